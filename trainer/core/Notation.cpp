#include "Notation.h"

namespace kx {

namespace {

// FEN letters in piece-code order: code 2 is "k", code 13 is "P".
constexpr char kLetters[] = "kqrbnpKQRBNP";
constexpr qint16 kFirstPiece = 2;
constexpr qint16 kLastPiece = 13;

} // namespace

qint16 trad(const QString& letter)
{
    if (letter.size() != 1)
        return 1;
    for (qint16 code = kFirstPiece; code <= kLastPiece; ++code) {
        if (letter[0] == QLatin1Char(kLetters[code - kFirstPiece]))
            return code;
    }
    return 1;
}

QString dart(qint16 code)
{
    if (code < kFirstPiece || code > kLastPiece)
        return {};
    return QString(QLatin1Char(kLetters[code - kFirstPiece]));
}

QString num2pie(qint16 code)
{
    return dart(code).toUpper();
}

qint16 rov(qint32 index)
{
    // Wide arithmetic so that no argument overflows; C++ division and remainder
    // already truncate toward zero with the remainder taking the dividend's sign.
    const qint64 i = index;
    return static_cast<qint16>((7 - i / 8) * 8 + i % 8);
}

} // namespace kx
