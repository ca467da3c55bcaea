#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QIODevice>
#include <QString>

namespace kx {

/// The bytes of a suite file: the file itself, or its whole content kept in
/// memory (a pipe, which can be read only once).
struct SuiteSource
{
    QIODevice* file = nullptr;
    QByteArrayView memory;
};

/// One line of a suite file as LineReader hands it out.
struct SuiteLine
{
    qint64 start = 0;    // where its first byte is
    qint64 next = 0;     // where the line after it starts
    QByteArrayView text; // without its line end and trailing NULs; empty when not whole
    bool whole = true;   // false when longer than the reader's limit

    /// No byte but blanks (a line too long to keep is never blank).
    bool blank() const;
};

/*
 * Reads a suite's lines from an offset on, from a file in large reads or from
 * bytes in memory. LF, CR LF and a lone CR each end a line, and a last line
 * without an end still counts; NUL bytes just before a line end belong to the
 * end (some published suites have them), and a UTF-8 byte order mark at the
 * file's start belongs to no line. Line ends are found with memchr, so
 * millions of lines go by quickly; a line longer than the limit is passed
 * over in reads of bounded size, its bytes never kept.
 */
class LineReader
{
public:
    static constexpr qsizetype kScanRead = 1024 * 1024; // a read while going through a file
    static constexpr qsizetype kRecordRead = 16 * 1024; // the first read for one record

    /// Lines from offset from on (the start of a line); limit is the longest
    /// line kept whole, read the size of the first read from a file.
    LineReader(const SuiteSource& source, qint64 from, qsizetype limit, qsizetype read = kScanRead);
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    /// The next line; false at the end of the bytes or when a read fails.
    /// The text stays valid until the next call.
    bool Next(SuiteLine& line);
    /// A read of the device failed (a seek included).
    bool failed() const { return m_failed; }
    /// How far the lines handed out reach.
    qint64 offset() const { return m_base + m_pos; }

private:
    /// Appends a read to the buffer, first dropping what lies before keepFrom;
    /// false when nothing more comes.
    bool readMore(qsizetype keepFrom);
    qsizetype find(char c, qsizetype& cached) const;

    QIODevice* m_device = nullptr;
    QByteArray m_buffer; // from the device; unused for memory
    QByteArrayView m_bytes;
    qint64 m_base = 0; // the offset of m_bytes[0]
    qsizetype m_pos = 0;
    qsizetype m_limit;
    qsizetype m_read = kScanRead;
    qsizetype m_lf = -1; // the next LF at or after m_pos (size when none), -1 unknown
    qsizetype m_cr = -1;
    bool m_end = false;
    bool m_failed = false;
};

/// A suite's text: UTF-8, or Latin-1 when it is not valid UTF-8, so every byte reads.
QString DecodeLine(QByteArrayView bytes);

} // namespace kx
