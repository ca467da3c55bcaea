#pragma once

#include "DialogRunner.h"
#include "Result.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <functional>

class QWidget;

/*
 * Sees that no finished session is lost. A session's text report goes to the
 * session log; when the log cannot be written (a read-only or full data
 * folder), the user is told why and offered to save the report to a file of
 * their choosing. A report that has reached neither is kept, and goes into
 * the log ahead of the next session's, so the log keeps the order of the
 * sessions; one still kept when the window closes is offered once more.
 */
class SessionKeeper : public QObject
{
    Q_OBJECT

public:
    using MessageHandler = std::function<void(const QString& text)>;

    /// tell shows a message, run runs a modal dialog (both the window's);
    /// owner is the file dialog's parent.
    SessionKeeper(QWidget* owner, const QString& logPath, MessageHandler tell, DialogRunner run);

    /// A session has ended with report: logs it after any kept reports.
    void Finished(const QString& report);
    /// The window closes: the kept reports go to the log, or are offered a last time.
    void Flush();
    /// The reports that have reached neither the log nor a file, oldest first.
    QStringList Kept() const { return m_kept; }

private:
    /// Moves kept reports into the log, oldest first; a failure when one of
    /// them cannot go in.
    kx::Result<> logKept();
    /// Logs the kept reports, or tells why not, with advice, and offers a file.
    void logOrOffer(const QString& advice);
    /// Asks for a file until the kept reports are saved or the user gives up.
    void offerToSave();

    QWidget* m_owner;
    QString m_logPath;
    MessageHandler m_tell;
    DialogRunner m_run;
    QStringList m_kept;
};
