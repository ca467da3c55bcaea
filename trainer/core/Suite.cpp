#include "Suite.h"

#include "RandomSource.h"

#include <QDataStream>
#include <QDir>
#include <QFileInfo>

#include <algorithm>

namespace kx {

namespace {

constexpr qint64 kPipeRead = 1024 * 1024;
const QString kIndexKind = QStringLiteral("index");
const QString kFilterKind = QStringLiteral("filter");
// Changes whenever what an index holds, or how a format is read, changes.
constexpr int kIndexVersion = 1;

QString formatKey(SuiteReader::Format format)
{
    return QStringLiteral("index %1 format %2").arg(kIndexVersion).arg(int(format));
}

} // namespace

qint32 DrawSize(const QString& suiteName, qint32 records)
{
    qint32 size = records;
    for (const ClassicSuite& classic : kClassicSuites) {
        if (suiteName == QLatin1String(classic.name))
            size = classic.size;
    }
    return qMax(0, qMin(size, records));
}

Suite::Suite() = default;
Suite::~Suite() = default;

void Suite::setCacheFolder(const QString& folder)
{
    m_cache = SuiteCache(folder);
}

QString Suite::name() const
{
    return QFileInfo(m_path).fileName();
}

void Suite::close()
{
    m_open = false;
    m_file.close();
    m_buffer.clear();
    m_reader.reset();
    m_matching.reset();
    m_noticeGiven = false;
}

SuiteSource Suite::source() const
{
    return m_sequential ? SuiteSource{nullptr, m_buffer} : SuiteSource{&m_file, {}};
}

bool Suite::report(const QString& what, qint64 done, qint64 total)
{
    if (m_progress && !m_progress(what, done, qMax<qint64>(1, total)))
        m_stopped = true;
    return !m_stopped;
}

Result<> Suite::Open(const QString& path)
{
    if (m_busy)
        return Fail(QStringLiteral("%1 is still being read.").arg(name()));
    const QFileInfo info(path);
    if (m_open && path == m_path &&
        (m_sequential ||
         (info.size() == m_fileSize && info.lastModified() == m_modified && info.exists())))
        return {};

    close();
    m_stopped = false;
    m_path = path;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return Fail(
            QStringLiteral("Cannot open the suite file %1: %2").arg(path, m_file.errorString()));
    m_sequential = m_file.isSequential();
    m_fileSize = info.size();
    m_modified = info.lastModified();
    m_reader = SuiteReader::For(SuiteReader::FormatOf(path));
    m_busy = true;
    Result<> indexed = restoreIndex(info) ? Result<>() : index();
    m_busy = false;
    if (!indexed) {
        close();
        return indexed;
    }
    if (m_sequential)
        m_file.close(); // a pipe is read once; its lines are kept
    m_open = true;
    return {};
}

Result<> Suite::index()
{
    // The file is read until a read brings nothing, never only as far as
    // its reported size (a /proc file reports 0).
    if (m_sequential) {
        for (QByteArray chunk; !(chunk = m_file.read(kPipeRead)).isEmpty();)
            m_buffer += chunk;
    }
    const qint64 total = m_sequential ? m_buffer.size() : m_fileSize;
    const QString what = QStringLiteral("Reading %1").arg(name());
    report(what, 0, total);
    const Result<> indexed = m_reader->Index(
        source(), total, [&](qint64 done, qint64 all) { return report(what, done, all); });
    report(what, total, total);
    if (m_file.error() != QFileDevice::NoError)
        return Fail(
            QStringLiteral("Cannot read the suite file %1: %2").arg(m_path, m_file.errorString()));
    if (m_stopped)
        return Fail(QStringLiteral("The reading of %1 was stopped; it is read again when the "
                                   "suite is next used.")
                        .arg(name()));
    if (!indexed)
        return Fail(
            QStringLiteral("%1 cannot be used as a suite: %2.").arg(name(), indexed.error()));
    keepIndex(QFileInfo(m_path));
    return {};
}

bool Suite::restoreIndex(const QFileInfo& info)
{
    if (m_sequential || info.size() < kKeptIndexFrom)
        return false;
    const std::optional<QByteArray> kept =
        m_cache.Read(kIndexKind, info, formatKey(m_reader->format()));
    if (!kept)
        return false;
    QDataStream in(*kept);
    qint32 skipped = 0;
    qint32 firstSkipped = 0;
    in >> skipped >> firstSkipped;
    constexpr qsizetype kCounts = 2 * sizeof(qint32);
    const std::optional<RecordIndex> index =
        RecordIndex::Load(QByteArrayView(*kept).sliced(qMin(kCounts, kept->size())));
    return in.status() == QDataStream::Ok && index &&
           m_reader->Resume(source(), *index, skipped, firstSkipped).ok();
}

void Suite::keepIndex(const QFileInfo& info) const
{
    if (m_sequential || info.size() < kKeptIndexFrom)
        return;
    QByteArray data;
    QDataStream out(&data, QIODevice::WriteOnly);
    out << m_reader->skipped() << m_reader->firstSkipped();
    // Kept only to save time: when it cannot be written, the next start reads the file again.
    (void)m_cache.Write(kIndexKind, info, formatKey(m_reader->format()),
                        data + m_reader->index().Save());
}

qint32 Suite::size() const
{
    return m_reader ? m_reader->count() : 0;
}

qint32 Suite::positions() const
{
    return m_reader ? m_reader->index().positions() : 0;
}

qint32 Suite::skipped() const
{
    return m_reader ? m_reader->skipped() : 0;
}

bool Suite::holdsPosition(qint32 n) const
{
    return m_open && m_reader->holdsPosition(n);
}

bool Suite::holdsPositionUpTo(qint32 last) const
{
    const qint32 first = m_open ? m_reader->index().firstPosition() : 0;
    return first > 0 && first <= last;
}

qint64 Suite::indexBytes() const
{
    return (m_reader ? m_reader->index().bytes() : 0) + (m_matching ? m_matching->bytes() : 0);
}

Result<QString> Suite::record(qint32 n) const
{
    if (n < 1)
        return Fail(
            QStringLiteral("Position %1 does not exist in %2: positions are numbered from 1.")
                .arg(n)
                .arg(name()));
    if (!m_open)
        return Fail(QStringLiteral("Cannot open the suite file %1: it is not open.").arg(m_path));
    if (n > size())
        return Fail(QStringLiteral("Position %1 is beyond the end of %2 (%3 positions).")
                        .arg(n)
                        .arg(name())
                        .arg(size()));
    if (!holdsPosition(n))
        return Fail(QStringLiteral("%1 %2 of %3 is not a chess position.")
                        .arg(m_reader->recordWord())
                        .arg(n)
                        .arg(name()));
    const Result<QString> record = m_reader->record(source(), n);
    if (!m_sequential && m_file.error() != QFileDevice::NoError)
        return Fail(
            QStringLiteral("Cannot read the suite file %1: %2").arg(m_path, m_file.errorString()));
    if (!record)
        return Fail(QStringLiteral("Position %1 of %2 cannot be read: %3.")
                        .arg(n)
                        .arg(name(), record.error()));
    return record;
}

QString Suite::TakeSkippedNotice()
{
    if (!m_open || skipped() == 0 || std::exchange(m_noticeGiven, true))
        return QString();
    return m_reader->SkippedNotice(name());
}

bool Suite::filterable() const
{
    return m_open && m_reader->filterable();
}

void Suite::setFilter(const PuzzleFilter& filter)
{
    if (filter == m_filter)
        return;
    m_filter = filter;
    m_matching.reset();
}

Result<> Suite::applyFilter()
{
    if (m_matching || !filtered())
        return {};
    if (m_busy)
        return Fail(QStringLiteral("%1 is still being read.").arg(name()));
    m_stopped = false;
    const QFileInfo info(m_path);
    const bool kept = !m_sequential && info.size() >= kKeptIndexFrom;
    if (kept) {
        if (const std::optional<QByteArray> bits = m_cache.Read(kFilterKind, info, m_filter.Text()))
            m_matching = PositionSet::Load(*bits, size());
        if (m_matching)
            return {};
    }
    const qint64 total = m_sequential ? m_buffer.size() : m_fileSize;
    const QString what =
        QStringLiteral("Finding the puzzles of %1 with %2").arg(name(), m_filter.Text());
    m_busy = true;
    report(what, 0, total);
    Result<PositionSet> matching =
        m_reader->Select(source(), total, m_filter,
                         [&](qint64 done, qint64 all) { return report(what, done, all); });
    report(what, total, total);
    m_busy = false;
    if (m_stopped)
        return Fail(QStringLiteral("The filter was not applied to %1: its reading was stopped.")
                        .arg(name()));
    if (!matching)
        return Fail(QStringLiteral("The filter cannot be applied to %1: %2.")
                        .arg(name(), matching.error()));
    m_matching = std::move(matching.value());
    if (kept) // only to save time at the next start
        (void)m_cache.Write(kFilterKind, info, m_filter.Text(), m_matching->Save());
    return {};
}

Result<qint32> Suite::Drawable(qint32 last)
{
    if (!m_open)
        return 0;
    if (!filtered())
        return m_reader->index().positionsUpTo(last);
    if (Result<> applied = applyFilter(); !applied)
        return Fail(applied.error());
    return m_matching->countUpTo(last);
}

Result<> Suite::CanDraw(qint32 last)
{
    const Result<qint32> drawable = Drawable(last);
    if (!drawable)
        return Fail(drawable.error());
    if (*drawable > 0)
        return {};
    if (filtered())
        return Fail(QStringLiteral("No puzzle of %1 matches the filter (%2).")
                        .arg(name(), m_filter.Text()));
    return Fail(QStringLiteral("The suite %1 holds no positions to draw from.").arg(name()));
}

std::optional<qint32> Suite::Draw(RandomSource& random, qint32 size,
                                  const std::function<bool(qint32)>& accept,
                                  const KeepGoing& keepGoing)
{
    if (!m_open)
        return std::nullopt;
    size = qMin(size, this->size());
    const bool filter = filtered();
    if (filter && !applyFilter())
        return std::nullopt;
    // With a filter the draw picks among the positions that match, so a
    // filter that takes few of millions costs no more than one that takes all.
    const qint32 members = filter ? m_matching->countUpTo(size) : size;
    const auto candidate = [&](qint32 k) {
        return filter ? m_matching->nth(k) : k;
    };
    const auto takes = [&](qint32 n) {
        return holdsPosition(n) && (!accept || accept(n));
    };
    // Refused at once when nothing could be taken; drawing on would never end.
    bool any = false;
    if (!accept)
        any = filter ? members > 0 : holdsPositionUpTo(size);
    for (qint32 k = 1; k <= members && !any && accept; ++k)
        any = takes(candidate(k));
    if (!any)
        return std::nullopt;
    for (;;) {
        const qint32 p = candidate(DrawPositionNumber(random.Next(), members));
        if (takes(p))
            return p;
        if (keepGoing && !keepGoing())
            return std::nullopt;
    }
}

QStringList SuiteList(const QStringList& folders)
{
    QStringList suites;
    for (const ClassicSuite& classic : kClassicSuites)
        suites << QLatin1String(classic.name);
    QStringList others;
    for (const QString& folder : folders) {
        const QStringList files = QDir(folder).entryList(QDir::Files);
        for (const QString& name : files) {
            const QString suffix = QFileInfo(name).suffix().toLower();
            if ((suffix == u"epd" || suffix == u"csv" || suffix == u"pgn") &&
                !suites.contains(name) && !others.contains(name))
                others.append(name);
        }
    }
    std::sort(others.begin(), others.end(), [](const QString& a, const QString& b) {
        const int c = a.compare(b, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a < b;
    });
    return suites + others;
}

QString FindSuite(const QStringList& folders, const QString& name)
{
    if (name.isEmpty())
        return QString();
    for (const QString& folder : folders) {
        const QString path = QDir(folder).filePath(name);
        if (QFileInfo(path).isFile())
            return path;
    }
    return QString();
}

} // namespace kx
