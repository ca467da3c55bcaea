#include "HistoryKeeper.h"

#include "HistoryFile.h"
#include "SessionTally.h"
#include "Suite.h"
#include "TrainingSession.h"

#include <QDir>
#include <QFileInfo>

namespace kx {

namespace {
const QString kLeftReview = QStringLiteral("out");
} // namespace

HistoryKeeper::HistoryKeeper(const TrainingSession& session, const QString& dataFolder,
                             QObject* parent, Today today)
    : QObject(parent), m_dataFolder(dataFolder), m_today(std::move(today))
{
    connect(&session, &TrainingSession::attemptJudged, this, &HistoryKeeper::attemptJudged);
}

QString HistoryKeeper::filePath() const
{
    return QDir(m_dataFolder).filePath(HistoryFileName(m_suiteName));
}

void HistoryKeeper::UseSuite(const QString& suiteName)
{
    if (suiteName == m_suiteName && QFileInfo(filePath()).lastModified() == m_fileTime)
        return;
    m_suiteName = suiteName;
    m_history = PositionHistory(ReadHistoryFile(filePath(), m_today()).entries);
    m_fileTime = QFileInfo(filePath()).lastModified();
    m_failureTold = false;
}

qint32 HistoryKeeper::BeginReview(const Suite& suite, qint32 most)
{
    bool dropped = false;
    std::vector<qint32> due = m_history.TakeDue(
        m_today(), most,
        [&suite](const HistoryEntry& entry) {
            if (!suite.holdsPosition(entry.number))
                return false;
            const Result<QString> record = suite.record(entry.number);
            return record && RecordKey(*record) == entry.key;
        },
        &dropped);
    if (dropped)
        save(); // the file forgets them too
    const auto count = qint32(due.size());
    if (count > 0)
        m_review.Begin(std::move(due));
    return count;
}

QString HistoryKeeper::BoxNote(const Attempt& attempt) const
{
    return attempt.number == m_notedAttempt && attempt.position == m_notedPosition ? m_note
                                                                                   : QString();
}

void HistoryKeeper::attemptJudged(const Attempt& attempt)
{
    if (m_suiteName.isEmpty() || attempt.position < 1)
        return;
    const bool review = m_review.isActive();
    const HistoryEntry& entry =
        m_history.Record(attempt.position, attempt.record, attempt.solved, review, m_today());
    m_notedAttempt = attempt.number;
    m_notedPosition = attempt.position;
    // A solve outside review leaves the box as it was; anything else moved it.
    m_note.clear();
    if (!attempt.solved || review)
        m_note = entry.box == kNoBox ? kLeftReview : QString::number(entry.box);
    save();
}

void HistoryKeeper::save()
{
    const Result<> saved = WriteHistoryFile(filePath(), m_history.entries());
    m_fileTime = QFileInfo(filePath()).lastModified();
    if (saved) {
        m_failureTold = false;
        return;
    }
    if (!m_failureTold) {
        m_failureTold = true;
        emit saveFailed(saved.error());
    }
}

} // namespace kx
