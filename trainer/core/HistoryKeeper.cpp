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
    connect(&session, &TrainingSession::attemptRevised, this, &HistoryKeeper::attemptRevised);
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
    const qsizetype i = attempt.number - 1;
    if (i < 0 || i >= qsizetype(m_counted.size()) || m_counted[i].position != attempt.position)
        return {};
    return m_counted[i].note;
}

void HistoryKeeper::count(Counted& counted, const QString& record, bool solved)
{
    m_history.Put(counted.before);
    counted.after = m_history.Record(counted.position, record, solved, counted.review, m_today());
    // A solve outside review leaves the box as it was; anything else moved it.
    counted.note.clear();
    if (!solved || counted.review)
        counted.note =
            counted.after.box == kNoBox ? kLeftReview : QString::number(counted.after.box);
    save();
}

void HistoryKeeper::attemptJudged(const Attempt& attempt)
{
    if (attempt.number == 1)
        m_counted.clear(); // a new session
    if (m_suiteName.isEmpty() || attempt.position < 1 ||
        attempt.number != qint32(m_counted.size()) + 1)
        return;
    Counted& counted = m_counted.emplace_back();
    counted.position = attempt.position;
    counted.review = m_review.isActive();
    // A position never met starts from an entry of no record, which Record
    // takes for one met afresh.
    if (const HistoryEntry* entry = m_history.Find(attempt.position))
        counted.before = *entry;
    else
        counted.before.number = attempt.position;
    count(counted, attempt.record, attempt.solved);
}

void HistoryKeeper::attemptRevised(const Attempt& attempt)
{
    const qsizetype i = attempt.number - 1;
    if (i < 0 || i >= qsizetype(m_counted.size()) || m_counted[i].position != attempt.position)
        return;
    Counted& counted = m_counted[i];
    // Met again since (or the suite changed): the later attempt has the say.
    const HistoryEntry* now = m_history.Find(counted.position);
    if (!now || *now != counted.after)
        return;
    count(counted, attempt.record, attempt.solved);
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
