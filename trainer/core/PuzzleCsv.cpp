#include "PuzzleCsv.h"

#include "ChessPosition.h"
#include "Fen.h"
#include "MoveNotation.h"
#include "PuzzleFilter.h"

namespace kx {

namespace {

constexpr int kFenFields = 4;
constexpr int kFirstExtraComment = 2; // c0 and c1 hold the rating and the themes
constexpr int kLastComment = 9;

bool isCoordinateMove(QByteArrayView w)
{
    const auto file = [](char c) {
        return c >= 'a' && c <= 'h';
    };
    const auto rank = [](char c) {
        return c >= '1' && c <= '8';
    };
    if (w.size() != 4 && w.size() != 5)
        return false;
    if (!file(w[0]) || !rank(w[1]) || !file(w[2]) || !rank(w[3]))
        return false;
    return w.size() == 4 || QByteArrayView("qrbnQRBN").contains(w[4]);
}

using MoveWords = QVarLengthArray<QByteArrayView, 32>;

MoveWords wordsOf(QByteArrayView field)
{
    MoveWords words;
    for (qsizetype i = 0; i < field.size();) {
        qsizetype end = field.indexOf(' ', i);
        if (end < 0)
            end = field.size();
        if (end > i)
            words.append(field.sliced(i, end - i));
        i = end + 1;
    }
    return words;
}

// The legal move a word names: coordinates, as Lichess writes every move,
// are matched with the legal moves at once; anything else is read as SAN.
std::optional<ChessMove> moveNamed(const ChessPosition& position, QByteArrayView word)
{
    if (!isCoordinateMove(word))
        return ParseMove(position, QString::fromLatin1(word));
    const auto square = [](char file, char rank) {
        return (file - 'a') + (rank - '1') * 8;
    };
    const int from = square(word[0], word[1]);
    const int to = square(word[2], word[3]);
    const PieceKind promotion =
        word.size() == 5 ? PieceKind(QByteArrayView(" pnbrqk").indexOf(char(word[4] | 0x20)))
                         : NoKind;
    for (const ChessMove& move : position.LegalMoves()) {
        // A promotion without its piece is taken for a queen's.
        if (move.from == from && move.to == to &&
            (move.promotion == promotion || (promotion == NoKind && move.promotion == Queen)))
            return move;
    }
    return std::nullopt;
}

bool isCoordinateList(QByteArrayView field)
{
    const MoveWords words = wordsOf(field);
    return words.size() >= 2 && std::all_of(words.begin(), words.end(), isCoordinateMove);
}

QByteArrayView field(const CsvFields& fields, qsizetype column)
{
    return column >= 0 && column < fields.size() ? fields[column].trimmed() : QByteArrayView();
}

// The position the solver faces and the solution's moves, from a row.
struct Setup
{
    std::optional<ChessPosition> position;
    ChessMove best;
    MoveWords solution; // the solver's first move and the rest of the line
};

Result<Setup> setUp(QByteArrayView row, const CsvFields& fields, const PuzzleColumns& columns)
{
    if (fields.size() < columns.names.size())
        return Fail(QStringLiteral("it has %1 columns, fewer than the %2 the file names")
                        .arg(fields.size())
                        .arg(columns.names.size()));
    if (row.contains('"'))
        return Fail(QStringLiteral("it has a quoted field"));
    Setup setup;
    setup.position = ChessPosition::FromFen(QString::fromLatin1(field(fields, columns.fen)));
    if (!setup.position)
        return Fail(QStringLiteral("its FEN is no legal position"));
    setup.solution = wordsOf(field(fields, columns.moves));
    if (setup.solution.isEmpty())
        return Fail(QStringLiteral("it has no moves"));
    const QByteArrayView first = setup.solution.first();
    setup.solution.remove(0);
    const std::optional<ChessMove> opponent = moveNamed(*setup.position, first);
    if (!opponent)
        return Fail(QStringLiteral("its first move %1 cannot be played in its FEN")
                        .arg(QString::fromLatin1(first)));
    setup.position->MakeMove(*opponent);
    if (setup.solution.isEmpty())
        return Fail(QStringLiteral("it has no solution move"));
    const std::optional<ChessMove> best = moveNamed(*setup.position, setup.solution.first());
    if (!best)
        return Fail(QStringLiteral("its solution move %1 is not legal")
                        .arg(QString::fromLatin1(setup.solution.first())));
    setup.best = *best;
    return setup;
}

} // namespace

CsvFields SplitCsvRow(QByteArrayView row)
{
    CsvFields fields;
    for (qsizetype from = 0;;) {
        const qsizetype comma = row.indexOf(',', from);
        if (comma < 0) {
            fields.append(row.sliced(from));
            return fields;
        }
        fields.append(row.sliced(from, comma - from));
        from = comma + 1;
    }
}

Result<PuzzleColumns> ReadPuzzleColumns(QByteArrayView firstRow)
{
    const CsvFields fields = SplitCsvRow(firstRow);
    PuzzleColumns columns;
    if (fields.size() >= 3 && IsPositionLine(fields[1].trimmed()) && isCoordinateList(fields[2])) {
        for (const char* name : kLichessColumns)
            columns.names << QLatin1String(name);
    } else {
        columns.header = true;
        for (QByteArrayView name : fields) {
            name = name.trimmed();
            if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
                name = name.sliced(1, name.size() - 2);
            columns.names << QString::fromUtf8(name);
        }
    }
    const auto find = [&columns](const char* name) {
        for (qsizetype c = 0; c < columns.names.size(); ++c) {
            if (columns.names[c].compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
                return c;
        }
        return qsizetype(-1);
    };
    columns.id = find("PuzzleId");
    columns.fen = find("FEN");
    columns.moves = find("Moves");
    columns.rating = find("Rating");
    columns.themes = find("Themes");
    QStringList missing;
    if (columns.fen < 0)
        missing << QStringLiteral("FEN");
    if (columns.moves < 0)
        missing << QStringLiteral("Moves");
    if (!missing.isEmpty())
        return Fail(
            QStringLiteral("its first row names no %1 column").arg(missing.join(" and no ")));
    return columns;
}

bool IsPuzzleRow(QByteArrayView row, const PuzzleColumns& columns)
{
    return setUp(row, SplitCsvRow(row), columns).ok();
}

Result<QString> PuzzleToEpd(QByteArrayView row, const PuzzleColumns& columns)
{
    const CsvFields fields = SplitCsvRow(row);
    Result<Setup> setup = setUp(row, fields, columns);
    if (!setup)
        return Fail(setup.error());
    ChessPosition position = *setup->position;
    QString record = position.ToFen().section(u' ', 0, kFenFields - 1);
    record += QStringLiteral(" bm %1;").arg(SanOf(position, setup->best));
    const auto text = [&fields](qsizetype column) {
        return QString::fromUtf8(field(fields, column));
    };
    if (!text(columns.id).isEmpty())
        record += QStringLiteral(" id \"%1\";").arg(text(columns.id));
    if (!text(columns.rating).isEmpty())
        record += QStringLiteral(" c0 \"rating %1\";").arg(text(columns.rating));
    if (!text(columns.themes).isEmpty())
        record += QStringLiteral(" c1 \"themes %1\";").arg(text(columns.themes));
    QStringList line;
    for (const QByteArrayView word : setup->solution) {
        const std::optional<ChessMove> move = moveNamed(position, word);
        if (!move)
            break; // the line is kept as far as it can be played
        line << SanOf(position, *move);
        position.MakeMove(*move);
    }
    record += QStringLiteral(" pv %1;").arg(line.join(u' '));
    int comment = kFirstExtraComment;
    for (qsizetype c = 0; c < columns.names.size() && comment <= kLastComment; ++c) {
        if (c == columns.id || c == columns.fen || c == columns.moves || c == columns.rating ||
            c == columns.themes || text(c).isEmpty())
            continue;
        record += QStringLiteral(" c%1 \"%2 %3\";").arg(comment++).arg(columns.names[c], text(c));
    }
    return record;
}

PuzzleTraits ReadPuzzleTraits(QByteArrayView row, const PuzzleColumns& columns)
{
    const CsvFields fields = SplitCsvRow(row);
    return {ReadRating(field(fields, columns.rating)), field(fields, columns.themes)};
}

} // namespace kx
