#pragma once

#include "LineReader.h"
#include "PositionSet.h"
#include "PuzzleFilter.h"
#include "RecordIndex.h"
#include "Result.h"

#include <QString>

#include <functional>
#include <memory>

namespace kx {

/// Asked now and then during a long reading with how far it got (bytes);
/// false stops the reading.
using ReadProgress = std::function<bool(qint64 done, qint64 total)>;

/*
 * One format of suite file as a suite reads it, behind one interface: how
 * many records the file has, which of them hold a position, and record n as
 * an EPD record. One pass over the file's lines finds the records and checks
 * each; a record is later read from the start the index gives, so reading
 * one never goes through the file. The formats are EPD (a record a line),
 * the puzzle CSV (a record a row after its header) and PGN (a record a game).
 */
class SuiteReader
{
public:
    enum class Format { Epd, PuzzleCsv, Pgn };
    /// The format of a file by its name: ".csv" and ".pgn" in any case; EPD otherwise.
    static Format FormatOf(const QString& fileName);
    static std::unique_ptr<SuiteReader> For(Format format);

    virtual ~SuiteReader();

    /// Goes through the file (size bytes, 0 when not known), finding and
    /// checking its records; a failure, in words about the file ("its first
    /// row names no FEN column"), when it is not of this format or progress
    /// stopped the reading. A read error shows on the file, not here.
    Result<> Index(const SuiteSource& source, qint64 size, const ReadProgress& progress);
    /// Takes up an index kept from an earlier reading of the same file.
    virtual Result<> Resume(const SuiteSource& source, const RecordIndex& index, qint32 skipped,
                            qint32 firstSkipped);

    virtual Format format() const = 0;
    qint32 count() const { return m_index.count(); }
    bool holdsPosition(qint32 n) const { return m_index.holds(n); }
    const RecordIndex& index() const { return m_index; }
    /// Records that are neither blank nor a position, and the first of them.
    qint32 skipped() const { return m_skipped; }
    qint32 firstSkipped() const { return m_firstSkipped; }
    /// Record n, one that holds a position, as an EPD record; a failure,
    /// in words about the record, when it cannot be read.
    Result<QString> record(const SuiteSource& source, qint32 n) const;

    /// What a record is called at the start of a sentence: "Line", "Row", "Game".
    virtual QString recordWord() const = 0;
    /// The user's notice of the skipped records of the file of that name.
    virtual QString SkippedNotice(const QString& fileName) const = 0;

    /// The records carry a rating or themes for a PuzzleFilter to select on.
    virtual bool filterable() const { return false; }
    /// The positions that match the filter, found by going through the file
    /// again; every position when the format carries nothing to filter on.
    virtual Result<PositionSet> Select(const SuiteSource& source, qint64 size,
                                       const PuzzleFilter& filter,
                                       const ReadProgress& progress) const;

protected:
    /// How often, in bytes read, a long reading reports its progress.
    static constexpr qint64 kProgressStep = 1024 * 1024;

    /// The longest line kept whole.
    virtual qsizetype lineLimit() const = 0;
    /// Indexing: the file's next line; calls addRecord for every record, in order.
    virtual Result<> take(const SuiteLine& line) = 0;
    /// Indexing: after the last line.
    virtual Result<> finish() { return {}; }
    /// Reading: the record that starts pass records on from the next line.
    virtual Result<QString> read(LineReader& lines, int pass) const = 0;

    void addRecord(qint64 start, bool position, bool blank);

private:
    RecordIndex m_index;
    qint32 m_skipped = 0;
    qint32 m_firstSkipped = 0;
};

// The readers, one a format.
std::unique_ptr<SuiteReader> NewEpdReader();
std::unique_ptr<SuiteReader> NewPuzzleCsvReader();
std::unique_ptr<SuiteReader> NewPgnReader();

} // namespace kx
