#include "SessionKeeper.h"

#include "SafeWrite.h"
#include "SessionLog.h"

#include <QDateTime>
#include <QDir>
#include <QFileDialog>

#include <utility>

SessionKeeper::SessionKeeper(QWidget* owner, const QString& logPath, MessageHandler tell,
                             DialogRunner run)
    : m_owner(owner), m_logPath(logPath), m_tell(std::move(tell)), m_run(std::move(run))
{
}

void SessionKeeper::Finished(const QString& report)
{
    m_kept.append(report);
    logOrOffer(tr("Choose a file to save the session's report in. Until it is saved somewhere, "
                  "Kestrelux keeps it and writes it to the log after the next session."));
}

void SessionKeeper::Flush()
{
    logOrOffer(tr("Some session reports have not been saved yet. Choose a file to save them in, "
                  "or they are lost when Kestrelux closes."));
}

void SessionKeeper::logOrOffer(const QString& advice)
{
    const kx::Result<> logged = logKept();
    if (logged)
        return;
    m_tell(logged.error() + u'\n' + advice);
    offerToSave();
}

kx::Result<> SessionKeeper::logKept()
{
    // One at a time, so that each is in the log whole or not at all, in order.
    while (!m_kept.isEmpty()) {
        kx::Result<> appended = kx::AppendSessionLog(m_logPath, m_kept.first());
        if (!appended)
            return appended;
        m_kept.removeFirst();
    }
    return {};
}

void SessionKeeper::offerToSave()
{
    while (!m_kept.isEmpty()) {
        QFileDialog dialog(m_owner, tr("Save the session's report"));
        dialog.setObjectName(QStringLiteral("dlgSaveReport"));
        dialog.setAcceptMode(QFileDialog::AcceptSave);
        dialog.setFileMode(QFileDialog::AnyFile);
        dialog.setNameFilters({tr("Text files (*.txt)"), tr("All files (*)")});
        dialog.setDefaultSuffix(QStringLiteral("txt"));
        dialog.setDirectory(QDir::homePath());
        dialog.selectFile(
            QStringLiteral("kestrelux-session-%1.txt")
                .arg(QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd-HHmm"))));
        const int result = RunDialog(m_run, dialog);
        const QStringList chosen = dialog.selectedFiles();
        if (result != QDialog::Accepted || chosen.isEmpty() || chosen.first().isEmpty())
            return;
        // As the log holds them, so the file can be added to the log by hand.
        QByteArray text;
        for (const QString& report : std::as_const(m_kept))
            text += (report + u'\n').toUtf8();
        const kx::Result<> saved = kx::ReplaceFileContents(chosen.first(), text);
        if (saved) {
            m_kept.clear();
            return;
        }
        m_tell(tr("Cannot save the session's report to %1: %2").arg(chosen.first(), saved.error()));
    }
}
