#include "Fen.h"

#include "Notation.h"

#include <cstring>

namespace kx {

namespace {

constexpr qint16 kEmpty = 1;
constexpr int kSquares = 64;

} // namespace

FenReading ReadPlacement(const QString& text)
{
    FenReading reading;
    reading.squares.fill(kEmpty);
    qsizetype k = 0;
    int s = 0;
    // One stream of squares in reading order; separators are not checked, so
    // a missing "/" or a rank written "44" reads the same.
    while (s < kSquares && k < text.size()) {
        const QChar c = text[k];
        if (c >= u'1' && c <= u'8') {
            // A run reaching past the last square is cut there.
            for (int run = c.unicode() - u'0'; run > 0 && s < kSquares; --run)
                reading.squares[rov(s++)] = kEmpty;
        } else if (const qint16 code = trad(QString(c)); code != kEmpty) {
            reading.squares[rov(s++)] = code;
        }
        ++k;
    }
    // Fields may be separated by tabs as well as blanks, as the judge reads them.
    while (k < text.size() && (text[k] == u' ' || text[k] == u'\t'))
        ++k;
    reading.blackToMove = k < text.size() && text[k].toUpper() == u'B';
    return reading;
}

bool IsPositionLine(QByteArrayView line)
{
    if (line.size() > kMaxPositionLine)
        return false;
    qsizetype i = 0;
    int rank = 7;
    int file = 0;
    int whiteKings = 0;
    int blackKings = 0;
    for (; i < line.size() && line[i] != ' ' && line[i] != '\t'; ++i) {
        const char c = line[i];
        if (c == '/') {
            if (file != 8 || rank == 0)
                return false;
            --rank;
            file = 0;
        } else if (c >= '1' && c <= '8') {
            file += c - '0';
        } else if (std::strchr("KQRBNPkqrbnp", c) && c != 0) {
            if ((c == 'P' || c == 'p') && (rank == 0 || rank == 7))
                return false;
            whiteKings += c == 'K';
            blackKings += c == 'k';
            ++file;
        } else {
            return false;
        }
        if (file > 8)
            return false;
    }
    if (rank != 0 || file != 8 || whiteKings != 1 || blackKings != 1)
        return false;
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
        ++i;
    if (i >= line.size() || (line[i] != 'w' && line[i] != 'b'))
        return false;
    ++i;
    return i == line.size() || line[i] == ' ' || line[i] == '\t' || line[i] == ';';
}

QString PlacementToFen(const Placement& squares, bool blackToMove)
{
    QString fen;
    for (int rank = 8; rank >= 1; --rank) {
        int empty = 0;
        for (int file = 1; file <= 8; ++file) {
            const QString letter = dart(squares[(rank - 1) * 8 + (file - 1)]);
            if (letter.isEmpty()) {
                ++empty;
                continue;
            }
            if (empty > 0) {
                fen += QString::number(empty);
                empty = 0;
            }
            fen += letter;
        }
        if (empty > 0)
            fen += QString::number(empty);
        if (rank > 1)
            fen += u'/';
    }
    fen += blackToMove ? u" b - -" : u" w - -";
    return fen;
}

} // namespace kx
