#include "LineReader.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace kx {

namespace {
constexpr QByteArrayView kByteOrderMark("\xEF\xBB\xBF");
} // namespace

QString DecodeLine(QByteArrayView bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8(bytes);
    return utf8.hasError() ? QString::fromLatin1(bytes) : text;
}

bool SuiteLine::blank() const
{
    return whole && std::all_of(text.begin(), text.end(), [](char c) {
               return c == ' ' || c == '\t' || c == '\v' || c == '\f';
           });
}

LineReader::LineReader(const SuiteSource& source, qint64 from, qsizetype limit, qsizetype read)
    : m_device(source.file), m_base(from), m_limit(limit), m_read(read)
{
    if (!m_device) {
        m_base = qBound<qint64>(0, from, source.memory.size());
        m_bytes = source.memory.sliced(m_base);
        m_end = true;
    } else if (!m_device->isSequential() && !m_device->seek(from)) {
        m_failed = true;
    }
}

qsizetype LineReader::find(char c, qsizetype& cached) const
{
    if (cached < m_pos && m_pos >= m_bytes.size()) {
        cached = m_bytes.size(); // nothing to search (and no bytes for memchr)
    } else if (cached < m_pos) {
        const void* hit = std::memchr(m_bytes.data() + m_pos, c, size_t(m_bytes.size() - m_pos));
        cached = hit ? static_cast<const char*>(hit) - m_bytes.data() : m_bytes.size();
    }
    return cached;
}

bool LineReader::readMore(qsizetype keepFrom)
{
    if (!m_device || m_end)
        return false;
    m_buffer.remove(0, keepFrom);
    m_base += keepFrom;
    m_pos -= keepFrom;
    m_lf = m_cr = -1;
    const qsizetype kept = m_buffer.size();
    // Another reader of the same file (a record read while events ran) may
    // have moved it meanwhile.
    if (!m_device->isSequential() && m_device->pos() != m_base + kept &&
        !m_device->seek(m_base + kept)) {
        m_failed = true;
        return false;
    }
    m_buffer.resize(kept + m_read);
    qint64 got = m_device->read(m_buffer.data() + kept, m_read);
    if (got < 0) {
        m_failed = true;
        got = 0;
    }
    m_buffer.resize(kept + got);
    m_bytes = m_buffer;
    m_end = got == 0;
    // A record read starts small and grows for a long line.
    m_read = std::min(m_read * 2, kScanRead);
    return got > 0;
}

bool LineReader::Next(SuiteLine& line)
{
    const qint64 start = m_base + m_pos;
    bool whole = true;
    for (;;) {
        if (m_failed)
            return false;
        const qsizetype size = m_bytes.size();
        const qsizetype stop = std::min(find('\n', m_lf), find('\r', m_cr));
        if (stop < size && m_bytes[stop] == '\r' && stop + 1 == size && !m_end) {
            // Whether an LF follows is in the next read; a long line keeps only its CR.
            if (!whole)
                m_pos = stop;
            readMore(m_pos);
            continue;
        }
        if (stop == size && !m_end) {
            if (whole && size - m_pos > m_limit)
                whole = false;
            if (!whole)
                m_pos = size; // nothing of a long line is kept
            readMore(m_pos);
            continue;
        }
        if (stop == size && whole && m_pos == size)
            return false; // every line has been handed out
        qsizetype next = stop + 1;
        if (stop < size && m_bytes[stop] == '\r' && next < size && m_bytes[next] == '\n')
            ++next;
        whole = whole && stop - m_pos <= m_limit;
        QByteArrayView text = whole ? m_bytes.sliced(m_pos, stop - m_pos) : QByteArrayView();
        if (start == 0 && text.startsWith(kByteOrderMark))
            text = text.sliced(kByteOrderMark.size());
        while (!text.isEmpty() && text.back() == '\0')
            text.chop(1);
        line.start = start;
        line.next = m_base + std::min(next, size);
        line.text = text;
        line.whole = whole;
        m_pos = std::min(next, size);
        return true;
    }
}

} // namespace kx
