#include "Suite.h"

#include "Fen.h"
#include "RandomSource.h"

#include <QDir>
#include <QFileInfo>
#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace kx {

namespace {

constexpr qint64 kReadChunk = 1024 * 1024;

// A line that is not valid UTF-8 is taken as Latin-1, so every byte reads.
QString decodeLine(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool isBlankByte(char c)
{
    return c == ' ' || c == '\t' || c == '\v' || c == '\f';
}

} // namespace

qint32 DrawSize(const QString& suiteName, qint32 lines)
{
    qint32 size = lines;
    for (const ClassicSuite& classic : kClassicSuites) {
        if (suiteName == QLatin1String(classic.name))
            size = classic.size;
    }
    return qBound(0, qMin(size, lines), kMaxPositions);
}

Suite::Suite() = default;
Suite::~Suite() = default;

QString Suite::name() const
{
    return QFileInfo(m_path).fileName();
}

void Suite::close()
{
    m_open = false;
    m_file.close();
    m_buffer.clear();
    m_starts.clear();
    m_end = 0;
    m_firstRecord = 0;
    m_skipped = 0;
    m_firstSkipped = 0;
    m_noticeGiven = false;
}

Result<> Suite::Open(const QString& path)
{
    const QFileInfo info(path);
    if (m_open && path == m_path &&
        (m_sequential ||
         (info.size() == m_fileSize && info.lastModified() == m_modified && info.exists())))
        return {};

    close();
    m_path = path;
    m_file.setFileName(path);
    if (!m_file.open(QIODevice::ReadOnly))
        return Fail(
            QStringLiteral("Cannot open the suite file %1: %2").arg(path, m_file.errorString()));
    m_sequential = m_file.isSequential();
    m_fileSize = info.size();
    m_modified = info.lastModified();
    Result<> indexed = index();
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
    // LF, CR LF and a lone CR each end a line; a last line without an end
    // still counts. The file is read until a read brings nothing, never only
    // as far as its reported size (a /proc file reports 0). Line ends are
    // found with memchr, so a suite of millions of lines indexes quickly; a
    // line is looked at whole only when it is short enough to be a position.
    qint64 offset = 0;    // of the chunk in the file
    qint64 lineStart = 0; // of the line being read
    bool blank = true;    // no byte but blanks in it so far
    bool inLine = false;  // bytes seen since the last line end
    bool afterCr = false; // the last byte seen was a CR
    QByteArray carried;   // the line's bytes from earlier chunks, while short
    bool tooLong = false;
    const auto endLine = [&](QByteArrayView tail, qint64 next) {
        bool position = false;
        if (!blank && !tooLong) {
            if (carried.isEmpty())
                position = IsPositionLine(tail);
            else
                position = carried.size() + tail.size() <= kMaxPositionLine &&
                           IsPositionLine(carried + tail.toByteArray());
        }
        m_starts.push_back(quint64(lineStart) | (position ? kRecordBit : 0));
        const qint32 n = qint32(m_starts.size());
        if (position && m_firstRecord == 0)
            m_firstRecord = n;
        if (!position && !blank && ++m_skipped == 1)
            m_firstSkipped = n;
        lineStart = next;
        blank = true;
        inLine = false;
        carried.clear();
        tooLong = false;
    };
    QByteArray chunk;
    for (;;) {
        chunk = m_file.read(kReadChunk);
        if (chunk.isEmpty())
            break;
        if (m_sequential)
            m_buffer += chunk;
        const char* const data = chunk.constData();
        const char* const end = data + chunk.size();
        const auto next = [end](const char* from, char c) {
            const void* found = std::memchr(from, c, size_t(end - from));
            return found ? static_cast<const char*>(found) : end;
        };
        const char* lf = next(data, '\n');
        const char* cr = next(data, '\r');
        const char* p = data;
        for (;;) {
            const char* const stop = std::min(lf, cr);
            if (p < stop) {
                inLine = true;
                afterCr = false;
                for (const char* q = p; blank && q < stop; ++q)
                    blank = isBlankByte(*q);
            }
            if (stop == end)
                break;
            const qint64 at = offset + (stop - data);
            if (*stop == '\n' && afterCr && p == stop) {
                lineStart = at + 1; // the second half of CR LF
            } else {
                const char* from = data + qMax<qint64>(0, lineStart - offset);
                endLine(QByteArrayView(from, stop - from), at + 1);
            }
            afterCr = *stop == '\r';
            p = stop + 1;
            if (lf < p)
                lf = next(p, '\n');
            if (cr < p)
                cr = next(p, '\r');
        }
        // A line going on into the next chunk: its bytes so far are kept
        // while it can still be a position.
        if (inLine && !tooLong) {
            const char* from = data + qMax<qint64>(0, lineStart - offset);
            if (carried.size() + (end - from) > kMaxPositionLine) {
                tooLong = true;
                carried.clear();
            } else {
                carried.append(from, end - from);
            }
        }
        offset += chunk.size();
    }
    if (m_file.error() != QFileDevice::NoError)
        return Fail(
            QStringLiteral("Cannot read the suite file %1: %2").arg(m_path, m_file.errorString()));
    if (inLine)
        endLine(QByteArrayView(), offset);
    m_end = offset;
    return {};
}

bool Suite::holdsPosition(qint32 n) const
{
    return n >= 1 && n <= size() && (m_starts[size_t(n - 1)] & kRecordBit);
}

bool Suite::holdsPositionUpTo(qint32 last) const
{
    return m_firstRecord > 0 && m_firstRecord <= last;
}

QByteArray Suite::bytesOf(qint32 n) const
{
    const qint64 from = qint64(m_starts[size_t(n - 1)] & ~kRecordBit);
    const qint64 to = n < size() ? qint64(m_starts[size_t(n)] & ~kRecordBit) : m_end;
    QByteArray bytes;
    if (m_sequential) {
        bytes = m_buffer.mid(from, to - from);
    } else if (m_file.seek(from)) {
        bytes = m_file.read(to - from);
    }
    while (!bytes.isEmpty() && (bytes.back() == '\n' || bytes.back() == '\r'))
        bytes.chop(1);
    return bytes;
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
        return Fail(QStringLiteral("Line %1 of %2 is not a chess position.").arg(n).arg(name()));
    const QByteArray bytes = bytesOf(n);
    if (!m_sequential && m_file.error() != QFileDevice::NoError)
        return Fail(
            QStringLiteral("Cannot read the suite file %1: %2").arg(m_path, m_file.errorString()));
    return decodeLine(bytes);
}

QString Suite::TakeSkippedNotice()
{
    if (m_skipped == 0 || std::exchange(m_noticeGiven, true))
        return QString();
    return QStringLiteral("%1 has %2 lines that are not chess positions; they are never drawn "
                          "(the first is line %3).")
        .arg(name())
        .arg(m_skipped)
        .arg(m_firstSkipped);
}

std::optional<qint32> Suite::Draw(RandomSource& random, qint32 size,
                                  const std::function<bool(qint32)>& accept,
                                  const KeepGoing& keepGoing) const
{
    const auto takes = [&](qint32 n) {
        return holdsPosition(n) && (!accept || accept(n));
    };
    // Refused at once when nothing could be taken; drawing on would never end.
    bool any = false;
    for (qint32 n = 1; n <= size && !any; ++n)
        any = takes(n);
    if (!any)
        return std::nullopt;
    for (;;) {
        const qint32 p = DrawPositionNumber(random.Next(), size);
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
            if (name.endsWith(QStringLiteral(".epd"), Qt::CaseInsensitive) &&
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
