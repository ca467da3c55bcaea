// Puzzle collections in CSV: a record a row, the header row (when the file
// has one) being no record; a row is a position when it is a puzzle that can
// be played through to its first solution move.

#include "Fen.h"
#include "PuzzleCsv.h"
#include "SuiteReader.h"

namespace kx {

namespace {

class PuzzleCsvReader final : public SuiteReader
{
public:
    Format format() const override { return Format::PuzzleCsv; }
    QString recordWord() const override { return QStringLiteral("Row"); }

    QString SkippedNotice(const QString& fileName) const override
    {
        return QStringLiteral("%1 has %2 rows that are not puzzles (a bad FEN or move, too few "
                              "columns, a quoted field); they are never drawn (the first is "
                              "puzzle number %3).")
            .arg(fileName)
            .arg(skipped())
            .arg(firstSkipped());
    }

    Result<> Resume(const SuiteSource& source, const RecordIndex& index, qint32 skipped,
                    qint32 firstSkipped) override
    {
        LineReader lines(source, 0, lineLimit(), LineReader::kRecordRead);
        SuiteLine first;
        if (!lines.Next(first))
            return Fail(QStringLiteral("it has no first row"));
        if (Result<> columns = readColumns(first); !columns)
            return columns;
        return SuiteReader::Resume(source, index, skipped, firstSkipped);
    }

    bool filterable() const override { return m_columns.rating >= 0 || m_columns.themes >= 0; }

    Result<PositionSet> Select(const SuiteSource& source, qint64 size, const PuzzleFilter& filter,
                               const ReadProgress& progress) const override
    {
        PositionSet matching(count());
        if (count() == 0)
            return matching;
        LineReader lines(source, index().seekFor(1).from, lineLimit());
        SuiteLine line;
        qint64 reported = 0;
        for (qint32 n = 1; n <= count() && lines.Next(line); ++n) {
            if (holdsPosition(n)) {
                const PuzzleTraits traits = ReadPuzzleTraits(line.text, m_columns);
                if (filter.Matches(traits.rating, traits.themes))
                    matching.insert(n);
            }
            if (lines.offset() - reported >= kProgressStep) {
                reported = lines.offset();
                if (progress && !progress(reported, size))
                    return Fail(QStringLiteral("its reading was stopped"));
            }
        }
        if (lines.failed())
            return Fail(QStringLiteral("the file cannot be read"));
        return matching;
    }

protected:
    qsizetype lineLimit() const override { return kMaxPositionLine; }

    Result<> take(const SuiteLine& line) override
    {
        if (!m_columnsRead) {
            if (Result<> columns = readColumns(line); !columns)
                return columns;
            if (m_columns.header)
                return {};
        }
        addRecord(line.start, line.whole && IsPuzzleRow(line.text, m_columns), line.blank());
        return {};
    }

    Result<> finish() override
    {
        if (!m_columnsRead)
            return Fail(QStringLiteral("it is empty; %1").arg(kColumnsNeeded));
        return {};
    }

    Result<QString> read(LineReader& lines, int pass) const override
    {
        SuiteLine line;
        for (int i = 0; i <= pass; ++i) {
            if (!lines.Next(line))
                return Fail(QStringLiteral("the file ends before it"));
        }
        return PuzzleToEpd(line.text, m_columns);
    }

private:
    static constexpr const char* kColumnsNeeded =
        "a puzzle file names its columns in its first row, FEN and Moves among them "
        "(PuzzleId, Rating and Themes are read too)";

    Result<> readColumns(const SuiteLine& first)
    {
        m_columnsRead = true;
        const Result<PuzzleColumns> columns =
            first.whole ? ReadPuzzleColumns(first.text)
                        : Result<PuzzleColumns>(Fail(QStringLiteral("its first row is too long")));
        if (!columns)
            return Fail(QStringLiteral("%1; %2").arg(columns.error(), kColumnsNeeded));
        m_columns = *columns;
        return {};
    }

    PuzzleColumns m_columns;
    bool m_columnsRead = false;
};

} // namespace

std::unique_ptr<SuiteReader> NewPuzzleCsvReader()
{
    return std::make_unique<PuzzleCsvReader>();
}

} // namespace kx
