#pragma once

#include "PositionSet.h"
#include "PositionTable.h"
#include "PuzzleFilter.h"
#include "Result.h"
#include "SuiteCache.h"
#include "SuiteReader.h"

#include <QDateTime>
#include <QFile>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>
#include <vector>

/*
 * Suite files: EPD (one record a line, position n being line n), puzzle
 * collections in CSV (position n being the n-th puzzle row) and PGN (position
 * n being game n). Line ends may be LF, CR LF or CR alone, NULs before them
 * belong to them, and neither is ever part of a record. Text that is not
 * UTF-8 is read as Latin-1.
 */
namespace kx {

class RandomSource;

/// The data folder's folder that keeps large suites' indexes between runs.
inline constexpr const char* kSuiteCacheFolderName = "cache";

/// The most positions the position table of statistics mode holds.
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

/// How many positions of a suite of that name and number of records are
/// drawn from: a classic suite's own size, else every record; never more
/// than the file has.
qint32 DrawSize(const QString& suiteName, qint32 records);

/// Told how a long reading of a suite goes: what is being done, in words for
/// the user, and how many of the total bytes are done; first with done 0,
/// last (even when the reading fails or is stopped) with done equal to total.
/// False stops the reading.
using SuiteProgress = std::function<bool(const QString& what, qint64 done, qint64 total)>;

/*
 * A suite file opened once and indexed through the reader of its format:
 * where each record starts and whether it holds a position (other records,
 * blank or broken, keep their numbers but are never drawn or shown), so a
 * record, the count and the check of a record cost no reading of the whole
 * file. Opening the same file again re-indexes it only when it has changed
 * (its size or its modification time); a pipe is read once, whole. A large
 * file's index, and the positions the filter last matched in it, are kept in
 * the cache folder for the next start. A collection with ratings and themes
 * is drawn from only where it matches the filter.
 */
class Suite
{
public:
    /// Files at least this large have their index kept between runs.
    static constexpr qint64 kKeptIndexFrom = 8 * 1024 * 1024;

    Suite();
    ~Suite();
    Suite(const Suite&) = delete;
    Suite& operator=(const Suite&) = delete;

    /// Where a long reading reports how it goes; it may let events run.
    void setProgress(SuiteProgress progress) { m_progress = std::move(progress); }
    /// The folder that keeps indexes and filter results between runs; none
    /// when empty.
    void setCacheFolder(const QString& folder);

    /// Makes path the suite, indexing it unless it is the file already
    /// indexed and unchanged; a failure, with the file named, when it cannot
    /// be read, is no suite of its format (a CSV without the columns it
    /// needs) or its reading was stopped (the suite is then closed).
    Result<> Open(const QString& path);
    bool isOpen() const { return m_open; }
    /// The last Open or filtering was stopped through the progress.
    bool stopped() const { return m_stopped; }
    QString path() const { return m_path; }
    QString name() const;

    /// Records in the file (lines, puzzle rows, games).
    qint32 size() const;
    /// Records that hold positions.
    qint32 positions() const;
    /// True when record n (1-based) is in the file and is a position.
    bool holdsPosition(qint32 n) const;
    /// True when one of records 1 to last is a position.
    bool holdsPositionUpTo(qint32 last) const;
    /// Records that are neither blank nor a position.
    qint32 skipped() const;
    /// Once after each indexing that found such records: how many there are
    /// and where the first is, for the user; "" otherwise.
    QString TakeSkippedNotice();
    /// The memory the index and the filter's result take.
    qint64 indexBytes() const;

    /// Record n as an EPD record (a line of an EPD file as it is, a puzzle
    /// row or a game made into one); a failure when it is no position.
    Result<QString> record(qint32 n) const;

    /// The records carry ratings or themes for the filter to select on.
    bool filterable() const;
    /// The filter draws keep to in a filterable suite; an empty one takes
    /// every position. Kept when another suite is opened.
    void setFilter(const PuzzleFilter& filter);
    const PuzzleFilter& filter() const { return m_filter; }
    /// The suite is filterable and the filter not empty.
    bool filtered() const { return filterable() && !m_filter.isEmpty(); }
    /// How many of positions 1 to last can be drawn: those that match the
    /// filter, which is applied first when it has not been (a reading of
    /// the whole file, unless its result was kept), or every position.
    Result<qint32> Drawable(qint32 last);
    /// A failure, in words for the user, when none of positions 1 to last
    /// can be drawn (none there, none matching the filter, the filter's
    /// reading stopped).
    Result<> CanDraw(qint32 last);

    /// A position drawn from 1 to size (the two ends half as often as the
    /// others) that is a position, that matches the filter and that accept,
    /// when given, takes; none when no such position exists. keepGoing,
    /// when given, is asked after each position refused, and false stops the draw.
    std::optional<qint32> Draw(RandomSource& random, qint32 size,
                               const std::function<bool(qint32)>& accept = {},
                               const KeepGoing& keepGoing = {});

private:
    void close();
    Result<> index();
    bool restoreIndex(const QFileInfo& info);
    void keepIndex(const QFileInfo& info) const;
    Result<> applyFilter();
    SuiteSource source() const;
    bool report(const QString& what, qint64 done, qint64 total);

    QString m_path;
    bool m_open = false;
    bool m_busy = false; // reading the whole file; nothing else may start meanwhile
    bool m_stopped = false;
    bool m_sequential = false;
    qint64 m_fileSize = 0;
    QDateTime m_modified;
    mutable QFile m_file;
    QByteArray m_buffer; // a pipe's whole content
    std::unique_ptr<SuiteReader> m_reader;
    bool m_noticeGiven = false;
    SuiteProgress m_progress;
    SuiteCache m_cache;
    PuzzleFilter m_filter;
    std::optional<PositionSet> m_matching; // for m_filter, once applied
};

/// "WAC.EPD", "BWTC.EPD", "WCSAC.EPD", then every other .epd, .csv and .pgn
/// file (any case) in the folders, by name; each name once.
QStringList SuiteList(const QStringList& folders);

/// The path of the suite file name in the first of folders that holds it; empty when none does.
QString FindSuite(const QStringList& folders, const QString& name);

} // namespace kx
