#pragma once

#include "PositionHistory.h"
#include "ReviewQueue.h"

#include <QDateTime>
#include <QObject>
#include <QString>

#include <functional>
#include <vector>

namespace kx {

class Suite;
class TrainingSession;
struct Attempt;

/*
 * Keeps the position history of the suite being trained on: every attempt a
 * session judges goes into it, and the history file in the data folder is
 * written whole after each, so a kill loses at most the attempt under way.
 * It also draws a review (the positions due, most overdue first) into the
 * review queue the window takes positions from. A history that cannot be
 * read counts as none; one that cannot be written is kept in memory, and the
 * user is told once until a write succeeds again.
 */
class HistoryKeeper : public QObject
{
    Q_OBJECT

public:
    using Today = std::function<QDate()>;

    /// Counts what session judges, and revises; today tells the date (a fixed
    /// one in tests).
    HistoryKeeper(const TrainingSession& session, const QString& dataFolder,
                  QObject* parent = nullptr, Today today = &QDate::currentDate);

    /// Attempts go to the history of suiteName from now on; it is read from
    /// its file unless that is the history kept, unchanged since.
    void UseSuite(const QString& suiteName);
    /// Queues at most `most` due positions of the suite in use whose records
    /// in suite are still those they were met with; how many were queued.
    qint32 BeginReview(const Suite& suite, qint32 most);
    ReviewQueue& review() { return m_review; }
    /// The box attempt left its position in, for the report: "1" to "6", or
    /// "out" when it left review; "" when the box stayed as it was.
    QString BoxNote(const Attempt& attempt) const;

signals:
    /// The history file could not be written, with the reason for the user.
    void saveFailed(const QString& why);

private:
    void attemptJudged(const Attempt& attempt);
    void attemptRevised(const Attempt& attempt);
    QString filePath() const;
    void save();

    QString m_dataFolder;
    Today m_today;
    QString m_suiteName;
    PositionHistory m_history;
    ReviewQueue m_review;
    QDateTime m_fileTime; // of the file as last read or written
    bool m_failureTold = false;
    // The session's attempts as counted, by number, so that a miss counted
    // as solved later is counted again from the entry it found.
    struct Counted
    {
        qint32 position = 0;
        bool review = false;
        HistoryEntry before; // the position's entry as the attempt found it
        HistoryEntry after;
        QString note; // the box note it earned
    };
    void count(Counted& counted, const QString& record, bool solved);
    std::vector<Counted> m_counted;
};

} // namespace kx
