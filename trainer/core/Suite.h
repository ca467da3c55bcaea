#pragma once

#include "PositionTable.h"
#include "Result.h"

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <optional>
#include <vector>

/*
 * Suite files: one EPD record per line, position n being line n. Line ends may
 * be LF, CR LF or CR alone and are never part of a record. Lines that are not
 * UTF-8 are read as Latin-1.
 */
namespace kx {

class RandomSource;

/// The most positions a draw takes and the position table holds.
inline constexpr qint32 kMaxPositions = 32767;

/// The classic suites, listed first whether installed or not, with the
/// number of positions they have always been drawn from.
struct ClassicSuite
{
    const char* name;
    qint32 size;
};
inline constexpr ClassicSuite kClassicSuites[] = {
    {"WAC.EPD", 300}, {"BWTC.EPD", 1001}, {"WCSAC.EPD", 1001}};

/// How many positions of a suite of that name and number of lines are drawn
/// from: a classic suite's own size, else every line; never more than the
/// file has, nor than kMaxPositions.
qint32 DrawSize(const QString& suiteName, qint32 lines);

/*
 * A suite file opened once and indexed: where each line starts and whether
 * it holds a position (other lines, blank ones or broken ones, keep their
 * numbers but are never drawn or shown), so a record, the count and the
 * check of a line cost no reading of the whole file. Opening the same file again re-indexes it only
 * when it has changed (its size or its modification time). A pipe is read once, whole.
 */
class Suite
{
public:
    Suite();
    ~Suite();
    Suite(const Suite&) = delete;
    Suite& operator=(const Suite&) = delete;

    /// Makes path the suite, indexing it unless it is the file already
    /// indexed and unchanged; a failure, with the file named, when it cannot
    /// be read (the suite is then closed).
    Result<> Open(const QString& path);
    bool isOpen() const { return m_open; }
    QString path() const { return m_path; }
    QString name() const;

    /// Lines in the file.
    qint32 size() const { return qint32(m_starts.size()); }
    /// True when line n (1-based) is in the file and is a position (IsPositionLine).
    bool holdsPosition(qint32 n) const;
    /// True when one of lines 1 to last is a position.
    bool holdsPositionUpTo(qint32 last) const;
    /// Lines that are neither blank nor a position.
    qint32 skipped() const { return m_skipped; }
    /// Once after each indexing that found such lines: how many there are and
    /// where the first is, for the user; "" otherwise.
    QString TakeSkippedNotice();

    /// Line n, without its line end; a failure when it is no position.
    Result<QString> record(qint32 n) const;

    /// A position drawn from 1 to size (the two ends half as often as the
    /// others) that is a position and that accept, when given, takes; none
    /// when no such position exists. keepGoing, when given, is asked after
    /// each position refused, and false stops the draw.
    std::optional<qint32> Draw(RandomSource& random, qint32 size,
                               const std::function<bool(qint32)>& accept = {},
                               const KeepGoing& keepGoing = {}) const;

private:
    void close();
    Result<> index();
    QByteArray bytesOf(qint32 n) const;

    static constexpr quint64 kRecordBit = quint64(1) << 63;

    QString m_path;
    bool m_open = false;
    bool m_sequential = false;
    qint64 m_fileSize = 0;
    QDateTime m_modified;
    mutable QFile m_file;
    QByteArray m_buffer; // a pipe's whole content
    // The start of each line, kRecordBit set when it holds a record; a file
    // of millions of lines costs eight bytes a line.
    std::vector<quint64> m_starts;
    qint64 m_end = 0; // where the last line ends
    qint32 m_firstRecord = 0;
    qint32 m_skipped = 0;
    qint32 m_firstSkipped = 0;
    bool m_noticeGiven = false;
};

/// "WAC.EPD", "BWTC.EPD", "WCSAC.EPD", then every other .epd file (any case)
/// in the folders, by name; each name once.
QStringList SuiteList(const QStringList& folders);

/// The path of the suite file name in the first of folders that holds it; empty when none does.
QString FindSuite(const QStringList& folders, const QString& name);

} // namespace kx
