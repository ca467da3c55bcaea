#pragma once

#include <QtGlobal>

/*
 * The board control's vocabulary, shared with every host: files, piece codes
 * and square border styles. The values are fixed; hosts store and compare
 * them as plain numbers. (BQuenn and WQuenn are spelt as hosts know them.)
 */
namespace Pellomar {

enum Column : qint32 { a = 1, b = 2, c = 3, d = 4, e = 5, f = 6, g = 7, h = 8 };

enum Material : qint32 {
    NoPiece = 1,
    BKing = 2,
    BQuenn = 3,
    BRook = 4,
    BBishop = 5,
    BKnight = 6,
    Bpawn = 7,
    WKing = 8,
    WQuenn = 9,
    WRook = 10,
    WBishop = 11,
    WKnight = 12,
    Wpawn = 13
};

enum SqStyle : qint32 { NoStyle = 0, FixedSingle = 1 };

} // namespace Pellomar
