#include "NqCBoard.h"

#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Pellomar;

/*
 * The board control as a host sees it, on the offscreen platform: its size
 * rule and places in twips, real mouse presses and drags turned into Click,
 * the marks as they appear in the widget's picture, the change notifications
 * and the saved properties. Pictures are compared pixel for pixel against a
 * second board brought into the expected state by other means.
 */
class TestNqCBoard : public QObject
{
    Q_OBJECT

private slots:
    void keepsItselfSquare();
    void placesInTwips_data();
    void placesInTwips();
    void reversingTwiceRestores();
    void pressRaisesClick_data();
    void pressRaisesClick();
    void dragRaisesTwoClicks_data();
    void dragRaisesTwoClicks();
    void draggedPieceFollowsPointer();
    void disabledBoardRaisesNothing();
    void disablingFromClickEndsPress();
    void selectionInvertsOnce();
    void highlightHatchesSquare_data();
    void highlightHatchesSquare();
    void layoutAndClearRemoveMarks_data();
    void layoutAndClearRemoveMarks();
    void piecesAndTilesLook();
    void squareStyleDrawsBorders();
    void coordinateLabels();
    void propertyChangedNames_data();
    void propertyChangedNames();
    void badArgumentsAreIgnored();
    void savesFourEntriesInOrder();
    void reversedRoundTrip();
    void emptyBag();
    void initProperties();

private:
    static constexpr int Side = 288; // 4320 twips: T = 900, S = 450, squares 30 px
};

namespace {

using Clicks = QList<QPair<int, int>>;

std::unique_ptr<NqCBoard> shownBoard(bool reversed = false)
{
    auto board = std::make_unique<NqCBoard>();
    board->resize(288, 288);
    board->setReverseBoard(reversed);
    board->NewGame();
    board->show();
    if (!QTest::qWaitForWindowExposed(board.get()))
        return nullptr;
    return board;
}

QImage shot(NqCBoard& board)
{
    return board.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect pixelRect(const NqCBoard& board, Column col, short row)
{
    const QRect t = board.SquareRectTwips(col, row);
    return {t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15};
}

/// The pixel under a square name such as "e2"; "frame" and "outside" name
/// places on the frame and left of the control.
QPoint placeOf(const NqCBoard& board, const QString& name)
{
    if (name == QLatin1String("frame"))
        return {8, 150};
    if (name == QLatin1String("outside"))
        return {-20, 150};
    return pixelRect(board, Column(name.at(0).toLatin1() - 'a' + 1), short(name.at(1).digitValue()))
        .center();
}

Clicks clicksOf(const QSignalSpy& spy)
{
    Clicks out;
    for (const QList<QVariant>& args : spy)
        out.append({int(qvariant_cast<Column>(args.at(0))), qvariant_cast<short>(args.at(1))});
    return out;
}

/// Count of pixels in the brown of the coordinate labels.
int labelInk(const QImage& image, const QRect& area)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += qAbs(c.red() - 128) < 16 && qAbs(c.green() - 64) < 16 && c.blue() < 24;
        }
    }
    return count;
}

QRect labelArea(const NqCBoard& board, int kind, int index)
{
    return QRect(board.LabelPosTwips(kind, index) / 15, QSize(14, 16));
}

} // namespace

void TestNqCBoard::keepsItselfSquare()
{
    NqCBoard board;
    board.resize(333, 288);
    board.show();
    QVERIFY(QTest::qWaitForWindowExposed(&board));
    QCOMPARE(board.size(), QSize(288, 288));
    board.resize(400, 320);
    QCOMPARE(board.size(), QSize(320, 320));
    QCOMPARE(board.heightForWidth(250), 250);
}

void TestNqCBoard::placesInTwips_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("row");
    QTest::addColumn<QRect>("rect");
    QTest::newRow("a8") << false << int(a) << 8 << QRect(360, 360, 450, 450);
    QTest::newRow("h1") << false << int(h) << 1 << QRect(3510, 3510, 450, 450);
    QTest::newRow("reversed h1") << true << int(h) << 1 << QRect(360, 360, 450, 450);
    QTest::newRow("reversed a8") << true << int(a) << 8 << QRect(3510, 3510, 450, 450);
}

void TestNqCBoard::placesInTwips()
{
    QFETCH(bool, reversed);
    QFETCH(int, col);
    QFETCH(int, row);
    QFETCH(QRect, rect);
    const auto board = shownBoard(reversed);
    QVERIFY(board);
    QCOMPARE(board->SquareRectTwips(Column(col), short(row)), rect);
    // "H" (label 15 reversed, 7 normally) stands above the leftmost column and
    // "1" beside the top row when reversed.
    const QRect left = board->SquareRectTwips(reversed ? h : a, reversed ? 1 : 8);
    const QPoint letter = board->LabelPosTwips(0, reversed ? 15 : 0);
    const QPoint digit = board->LabelPosTwips(1, reversed ? 15 : 0);
    QCOMPARE(letter.y(), 120);
    QVERIFY(letter.x() > left.left() && letter.x() < left.center().x());
    QCOMPARE(digit.x(), 150);
    QVERIFY(digit.y() > left.top() && digit.y() < left.center().y());
}

void TestNqCBoard::reversingTwiceRestores()
{
    const auto board = shownBoard();
    QVERIFY(board);
    const QImage before = shot(*board);
    QList<QRect> squares;
    QList<QPoint> labels;
    for (int i = 0; i < 64; ++i)
        squares.append(board->SquareRectTwips(Column(i / 8 + 1), short(i % 8 + 1)));
    for (int i = 0; i < 32; ++i)
        labels.append(board->LabelPosTwips(i / 16, i % 16));

    board->setReverseBoard(true);
    QVERIFY(shot(*board) != before);
    board->setReverseBoard(false);
    for (int i = 0; i < 64; ++i)
        QCOMPARE(board->SquareRectTwips(Column(i / 8 + 1), short(i % 8 + 1)), squares.at(i));
    for (int i = 0; i < 32; ++i)
        QCOMPARE(board->LabelPosTwips(i / 16, i % 16), labels.at(i));
    QVERIFY(board->InizioPartita());
    QCOMPARE(shot(*board), before);
}

void TestNqCBoard::pressRaisesClick_data()
{
    // Pixels on the 288-pixel board: the squares run from 24 to 263.
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<Clicks>("expected");
    QTest::newRow("top left square") << false << QPoint(30, 30) << Clicks{{1, 8}};
    QTest::newRow("first pixel of a8") << false << QPoint(24, 24) << Clicks{{1, 8}};
    QTest::newRow("last pixel of a8") << false << QPoint(53, 53) << Clicks{{1, 8}};
    QTest::newRow("first pixel of b7") << false << QPoint(54, 54) << Clicks{{2, 7}};
    QTest::newRow("e2") << false << QPoint(165, 230) << Clicks{{5, 2}};
    QTest::newRow("bottom right square") << false << QPoint(250, 250) << Clicks{{8, 1}};
    QTest::newRow("reversed top left square") << true << QPoint(30, 30) << Clicks{{8, 1}};
    QTest::newRow("reversed d7") << true << QPoint(165, 230) << Clicks{{4, 7}};
    QTest::newRow("reversed bottom right square") << true << QPoint(250, 250) << Clicks{{1, 8}};
    QTest::newRow("frame corner") << false << QPoint(3, 3) << Clicks{};
    QTest::newRow("file label") << false << QPoint(37, 12) << Clicks{};
    QTest::newRow("rank label") << true << QPoint(12, 37) << Clicks{};
    QTest::newRow("just right of the board") << false << QPoint(264, 100) << Clicks{};
    QTest::newRow("just below the board") << true << QPoint(100, 264) << Clicks{};
}

void TestNqCBoard::pressRaisesClick()
{
    QFETCH(bool, reversed);
    QFETCH(QPoint, pixel);
    QFETCH(Clicks, expected);
    const auto board = shownBoard(reversed);
    QVERIFY(board);
    QSignalSpy spy(board.get(), &NqCBoard::Click);
    QTest::mousePress(board.get(), Qt::LeftButton, {}, pixel);
    QCOMPARE(clicksOf(spy), expected);
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, pixel);
    QCOMPARE(clicksOf(spy), expected);
    // A press never changes the board by itself.
    QVERIFY(board->InizioPartita());
    QVERIFY(!board->OneSelected());
}

void TestNqCBoard::dragRaisesTwoClicks_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<Clicks>("expected");
    QTest::newRow("e2 to e4") << false << "e2"
                              << "e4" << Clicks{{5, 2}, {5, 4}};
    QTest::newRow("reversed e2 to e4") << true << "e2"
                                       << "e4" << Clicks{{5, 2}, {5, 4}};
    QTest::newRow("knight g8 to f6") << false << "g8"
                                     << "f6" << Clicks{{7, 8}, {6, 6}};
    QTest::newRow("empty square to a piece") << false << "d5"
                                             << "d8" << Clicks{{4, 5}, {4, 8}};
    QTest::newRow("back to the same square") << false << "e2"
                                             << "e2" << Clicks{{5, 2}};
    QTest::newRow("onto the frame") << false << "e2"
                                    << "frame" << Clicks{{5, 2}};
    QTest::newRow("outside the board") << true << "e2"
                                       << "outside" << Clicks{{5, 2}};
    QTest::newRow("from the frame") << false << "frame"
                                    << "e4" << Clicks{};
}

void TestNqCBoard::dragRaisesTwoClicks()
{
    QFETCH(bool, reversed);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(Clicks, expected);
    const auto board = shownBoard(reversed);
    QVERIFY(board);
    QSignalSpy spy(board.get(), &NqCBoard::Click);
    const QPoint start = placeOf(*board, from);
    const QPoint end = placeOf(*board, to);
    QTest::mousePress(board.get(), Qt::LeftButton, {}, start);
    QTest::mouseMove(board.get(), (start + end) / 2);
    QTest::mouseMove(board.get(), end);
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, end);
    QCOMPARE(clicksOf(spy), expected);
    // Moving pieces is the host's business.
    QVERIFY(board->InizioPartita());
}

void TestNqCBoard::draggedPieceFollowsPointer()
{
    const auto board = shownBoard();
    QVERIFY(board);
    const QImage before = shot(*board);
    // What the board shows mid-drag is the pawn already on e4 and e2 empty.
    NqCBoard moved;
    moved.resize(Side, Side);
    moved.NewGame();
    moved.MovePiece(e, 2, e, 4);
    const QImage expected = shot(moved);
    QVERIFY(expected != before);

    QTest::mousePress(board.get(), Qt::LeftButton, {}, placeOf(*board, "e2"));
    QTest::mouseMove(board.get(), placeOf(*board, "e3"));
    QTest::mouseMove(board.get(), placeOf(*board, "e4"));
    QCOMPARE(shot(*board), expected);
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, placeOf(*board, "e4"));
    QCOMPARE(shot(*board), before);
}

void TestNqCBoard::disabledBoardRaisesNothing()
{
    const auto board = shownBoard();
    QVERIFY(board);
    QSignalSpy spy(board.get(), &NqCBoard::Click);
    board->setEnabled(false);
    QVERIFY(!board->Enabled());
    // The events reach a disabled widget unhandled.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("MousePress.*not accepted"));
    QTest::mousePress(board.get(), Qt::LeftButton, {}, placeOf(*board, "e2"));
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("MouseRelease.*not accepted"));
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, placeOf(*board, "e4"));
    QCOMPARE(spy.count(), 0);
    board->setEnabled(true);
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, placeOf(*board, "e2"));
    QCOMPARE(clicksOf(spy), (Clicks{{5, 2}}));
}

void TestNqCBoard::disablingFromClickEndsPress()
{
    const auto board = shownBoard();
    QVERIFY(board);
    const QImage before = shot(*board);
    QSignalSpy spy(board.get(), &NqCBoard::Click);
    connect(board.get(), &NqCBoard::Click, board.get(), [&board] { board->setEnabled(false); });
    QTest::mousePress(board.get(), Qt::LeftButton, {}, placeOf(*board, "e2"));
    QCOMPARE(spy.count(), 1);
    board->setEnabled(true);
    // The press is over: moving on neither drags the pawn nor ends in a click.
    QTest::mouseMove(board.get(), placeOf(*board, "e4"));
    QCOMPARE(shot(*board), before);
    QTest::mouseRelease(board.get(), Qt::LeftButton, {}, placeOf(*board, "e4"));
    QCOMPARE(spy.count(), 1);
}

void TestNqCBoard::selectionInvertsOnce()
{
    const auto board = shownBoard();
    QVERIFY(board);
    const QImage before = shot(*board);
    const QRect square = pixelRect(*board, e, 2);
    board->SelectSquare(e, 2);
    board->SelectSquare(e, 2);
    QVERIFY(board->IsSelected(e, 2));
    QVERIFY(board->OneSelected());
    const QImage selected = shot(*board);
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            const QRgb was = before.pixel(x, y);
            const QRgb expected = square.contains(x, y)
                                      ? qRgb(255 - qRed(was), 255 - qGreen(was), 255 - qBlue(was))
                                      : was;
            if (selected.pixel(x, y) != expected)
                QFAIL(qPrintable(QStringLiteral("pixel %1,%2 not as expected").arg(x).arg(y)));
        }
    }
    // Marks are drawn from their flags, so they survive a repaint.
    board->repaint();
    QCOMPARE(shot(*board), selected);
    board->UnSelectSquare(e, 2);
    QVERIFY(!board->IsSelected(e, 2));
    QVERIFY(!board->OneSelected());
    QCOMPARE(shot(*board), before);
}

void TestNqCBoard::highlightHatchesSquare_data()
{
    QTest::addColumn<quint32>("value");
    QTest::addColumn<QColor>("color");
    QTest::newRow("red") << quint32(0x000000FF) << QColor(255, 0, 0);
    QTest::newRow("green") << quint32(0x0000FF00) << QColor(0, 255, 0);
    QTest::newRow("blue") << quint32(0x00FF0000) << QColor(0, 0, 255);
    QTest::newRow("mixed, bytes read in reverse")
        << quint32(0x00CC9933) << QColor(0x33, 0x99, 0xCC);
}

void TestNqCBoard::highlightHatchesSquare()
{
    QFETCH(quint32, value);
    QFETCH(QColor, color);
    const auto board = shownBoard();
    QVERIFY(board);
    const QImage before = shot(*board);
    // d1 carries the white queen, whose picture must come back afterwards.
    const QRect square = pixelRect(*board, d, 1);
    board->HighLightSquare(d, 1, value);
    QVERIFY(board->IsHighlighted(d, 1));
    const QImage marked = shot(*board);
    int hatch = 0;
    for (int y = 0; y < Side; ++y) {
        for (int x = 0; x < Side; ++x) {
            const bool coloured = marked.pixelColor(x, y) == color;
            if (!square.contains(x, y)) {
                QVERIFY(marked.pixel(x, y) == before.pixel(x, y));
                continue;
            }
            if (!coloured)
                continue;
            ++hatch;
            // Lines run from upper left to lower right.
            if (square.contains(x + 1, y + 1))
                QVERIFY(marked.pixelColor(x + 1, y + 1) == color);
            if (square.contains(x + 1, y - 1))
                QVERIFY(marked.pixelColor(x + 1, y - 1) != color);
        }
    }
    const int area = square.width() * square.height();
    QVERIFY2(hatch > area / 16 && hatch < area / 3, qPrintable(QString::number(hatch)));

    board->SelectSquare(d, 1);
    board->UnHighLightSquare(d, 1);
    QVERIFY(!board->IsHighlighted(d, 1));
    QVERIFY(board->IsSelected(d, 1)); // the other mark stays
    board->UnSelectSquare(d, 1);
    QCOMPARE(shot(*board), before);
}

void TestNqCBoard::layoutAndClearRemoveMarks_data()
{
    QTest::addColumn<QString>("operation");
    QTest::newRow("reverse") << "reverse";
    QTest::newRow("reverse and back") << "reverse and back";
    QTest::newRow("resize") << "resize";
    QTest::newRow("new game") << "new game";
    QTest::newRow("clear") << "clear";
}

void TestNqCBoard::layoutAndClearRemoveMarks()
{
    QFETCH(QString, operation);
    const auto board = shownBoard();
    QVERIFY(board);
    board->MovePiece(e, 2, e, 4);
    board->SelectSquare(e, 4);
    board->HighLightSquare(d, 7, 0xFF);
    if (operation.startsWith(QLatin1String("reverse")))
        board->setReverseBoard(true);
    if (operation == QLatin1String("reverse and back"))
        board->setReverseBoard(false);
    if (operation == QLatin1String("resize"))
        board->resize(320, 320);
    if (operation == QLatin1String("new game"))
        board->NewGame();
    if (operation == QLatin1String("clear"))
        board->Clear();
    QVERIFY(!board->IsSelected(e, 4));
    QVERIFY(!board->OneSelected());
    QVERIFY(!board->IsHighlighted(d, 7));

    // No trace of either mark: the picture is that of an unmarked board.
    NqCBoard plain;
    plain.resize(board->size());
    plain.setReverseBoard(board->ReverseBoard());
    for (int col = 1; col <= 8; ++col) {
        for (short row = 1; row <= 8; ++row)
            plain.setPiece(Column(col), row, board->Piece(Column(col), row));
    }
    QCOMPARE(shot(*board), shot(plain));
}

void TestNqCBoard::piecesAndTilesLook()
{
    for (const bool reversed : {false, true}) {
        const auto board = shownBoard(reversed);
        QVERIFY(board);
        board->resize(480, 480); // squares of 54 px show the inner lines clearly
        QImage image = shot(*board);
        const auto count = [&image](const QRect& r, auto test) {
            int n = 0;
            for (int y = r.top(); y <= r.bottom(); ++y) {
                for (int x = r.left(); x <= r.right(); ++x)
                    n += test(image.pixelColor(x, y).lightness());
            }
            return n;
        };
        const auto light = [](int l) {
            return l > 235;
        };
        const auto dark = [](int l) {
            return l < 60;
        };
        // The white king is mostly light inside a dark outline; the black king
        // mostly dark, its inner lines light.
        const QRect white = pixelRect(*board, e, 1).adjusted(6, 6, -6, -6);
        // (on a dark square, where light lines can only come from the piece)
        board->MovePiece(e, 8, d, 4);
        image = shot(*board);
        const QRect black = pixelRect(*board, d, 4).adjusted(6, 6, -6, -6);
        QVERIFY(count(white, light) > count(white, dark));
        QVERIFY(count(white, dark) > 10);
        QVERIFY(count(black, dark) > count(black, light));
        QVERIFY(count(black, [](int l) { return l > 180; }) > 10);
        // The top-left square is light in both orientations.
        const QRect corner = pixelRect(*board, reversed ? h : a, reversed ? 1 : 8);
        const QRect next = corner.translated(corner.width(), 0);
        QVERIFY(image.pixelColor(corner.topLeft() + QPoint(1, 1)).lightness() >
                image.pixelColor(next.topLeft() + QPoint(1, 1)).lightness() + 40);
    }
}

void TestNqCBoard::squareStyleDrawsBorders()
{
    const auto board = shownBoard();
    QVERIFY(board);
    const QImage plain = shot(*board);
    board->setSquareStyle(FixedSingle);
    QCOMPARE(board->SquareStyle(), FixedSingle);
    const QImage bordered = shot(*board);
    for (int i = 0; i < 64; ++i) {
        const QRect r = pixelRect(*board, Column(i / 8 + 1), short(i % 8 + 1));
        // One pixel on every edge changes, the pixel inside it does not.
        for (const QPoint& edge :
             {QPoint(r.center().x(), r.top()), QPoint(r.left(), r.center().y()),
              QPoint(r.right(), r.center().y() + 1), QPoint(r.center().x() + 1, r.bottom())}) {
            QVERIFY(bordered.pixel(edge) != plain.pixel(edge));
            const QPoint inside =
                edge + (r.center() - edge) / qMax(1, (r.center() - edge).manhattanLength());
            QCOMPARE(bordered.pixel(inside), plain.pixel(inside));
        }
    }
    board->setSquareStyle(NoStyle);
    QCOMPARE(shot(*board), plain);
}

void TestNqCBoard::coordinateLabels()
{
    const auto board = shownBoard();
    QVERIFY(board);
    // A new control shows its labels although Coordinate reads false.
    QVERIFY(!board->Coordinate());
    QVERIFY(labelInk(shot(*board), labelArea(*board, 0, 0)) > 0);
    board->setCoordinate(false);
    QImage image = shot(*board);
    for (int i = 0; i < 32; ++i)
        QCOMPARE(labelInk(image, labelArea(*board, i / 16, i % 16)), 0);
    board->setCoordinate(true);
    QVERIFY(board->Coordinate());
    image = shot(*board);
    for (int i = 0; i < 32; ++i)
        QVERIFY(labelInk(image, labelArea(*board, i / 16, i % 16)) > 0);
}

void TestNqCBoard::propertyChangedNames_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QStringList>("names");
    QTest::newRow("coordinate") << "coordinate" << QStringList{"Coordinate"};
    QTest::newRow("piece") << "piece" << QStringList{"Piece"};
    QTest::newRow("square style") << "style" << QStringList{"SquareStyle"};
    QTest::newRow("reverse board") << "reverse" << QStringList{"ReverseBoard"};
    QTest::newRow("enabled") << "enabled" << QStringList{"Enabled"};
    QTest::newRow("new game") << "new game" << QStringList{};
    QTest::newRow("clear") << "clear" << QStringList{};
    QTest::newRow("move") << "move" << QStringList{};
    QTest::newRow("marks") << "marks" << QStringList{};
    QTest::newRow("refused piece") << "bad piece" << QStringList{};
    QTest::newRow("unknown style") << "bad style" << QStringList{};
}

void TestNqCBoard::propertyChangedNames()
{
    QFETCH(QString, operation);
    QFETCH(QStringList, names);
    NqCBoard board;
    QSignalSpy spy(&board, &NqCBoard::PropertyChanged);
    if (operation == QLatin1String("coordinate"))
        board.setCoordinate(true);
    else if (operation == QLatin1String("piece"))
        board.setPiece(e, 4, WQuenn);
    else if (operation == QLatin1String("style"))
        board.setSquareStyle(FixedSingle);
    else if (operation == QLatin1String("reverse"))
        board.setReverseBoard(true);
    else if (operation == QLatin1String("enabled"))
        board.setEnabled(false);
    else if (operation == QLatin1String("new game"))
        board.NewGame();
    else if (operation == QLatin1String("clear"))
        board.Clear();
    else if (operation == QLatin1String("move"))
        board.MovePiece(e, 2, e, 4);
    else if (operation == QLatin1String("marks"))
        board.SelectSquare(e, 2), board.HighLightSquare(e, 2, 0xFF);
    else if (operation == QLatin1String("bad piece"))
        board.setPiece(e, 4, Material(14));
    else if (operation == QLatin1String("bad style"))
        board.setSquareStyle(SqStyle(2));
    QStringList seen;
    for (const QList<QVariant>& args : spy)
        seen.append(args.at(0).toString());
    QCOMPARE(seen, names);
}

void TestNqCBoard::badArgumentsAreIgnored()
{
    const auto board = shownBoard();
    QVERIFY(board);
    const QImage before = shot(*board);
    for (const auto& [col, row] : {std::pair{0, 1}, {9, 1}, {-1, 4}, {1, 0}, {1, 9}, {5, -32768}}) {
        QCOMPARE(int(board->Piece(Column(col), short(row))), 0);
        board->setPiece(Column(col), short(row), WQuenn);
        board->MovePiece(Column(col), short(row), e, 4);
        board->MovePiece(e, 2, Column(col), short(row));
        board->SelectSquare(Column(col), short(row));
        board->HighLightSquare(Column(col), short(row), 0xFF);
        QVERIFY(!board->IsSelected(Column(col), short(row)));
        QVERIFY(!board->IsHighlighted(Column(col), short(row)));
        QVERIFY(board->SquareRectTwips(Column(col), short(row)).isEmpty());
    }
    board->setPiece(e, 1, Material(0));
    board->setPiece(e, 1, Material(14));
    QCOMPARE(board->Piece(e, 1), WKing);
    QVERIFY(board->InizioPartita());
    QVERIFY(!board->OneSelected());
    QCOMPARE(board->LabelPosTwips(2, 0), QPoint());
    QCOMPARE(board->LabelPosTwips(0, 16), QPoint());
    QCOMPARE(shot(*board), before);
}

void TestNqCBoard::savesFourEntriesInOrder()
{
    NqCBoard board;
    NqPropertyBag fresh;
    board.WriteProperties(fresh);
    const QStringList order{"Coordinate", "Enabled", "ReverseBoard", "SquareStyle"};
    QCOMPARE(fresh.names(), order);
    QCOMPARE(fresh.ReadProperty("Coordinate"), QVariant(false));
    QCOMPARE(fresh.ReadProperty("Enabled"), QVariant(true));
    QCOMPARE(fresh.ReadProperty("SquareStyle"), QVariant(int(NoStyle)));

    board.setCoordinate(true);
    board.setEnabled(false);
    board.setReverseBoard(true);
    board.setSquareStyle(FixedSingle);
    NqPropertyBag bag;
    board.WriteProperties(bag);
    QCOMPARE(bag.names(), order);
    QCOMPARE(bag.ReadProperty("Coordinate"), QVariant(true));
    QCOMPARE(bag.ReadProperty("Enabled"), QVariant(false));
    QCOMPARE(bag.ReadProperty("ReverseBoard"), QVariant(true));
    QCOMPARE(bag.ReadProperty("SquareStyle"), QVariant(int(FixedSingle)));
}

void TestNqCBoard::reversedRoundTrip()
{
    NqCBoard saved;
    saved.setReverseBoard(true);
    saved.setCoordinate(true);
    NqPropertyBag bag;
    saved.WriteProperties(bag);

    const auto board = shownBoard();
    QVERIFY(board);
    QSignalSpy changes(board.get(), &NqCBoard::PropertyChanged);
    board->ReadProperties(bag);
    QCOMPARE(changes.count(), 4);
    QVERIFY(board->ReverseBoard());
    QVERIFY(board->Coordinate());
    QVERIFY(board->Enabled());
    QCOMPARE(board->SquareRectTwips(h, 1), QRect(360, 360, 450, 450));
    QSignalSpy clicks(board.get(), &NqCBoard::Click);
    QTest::mouseClick(board.get(), Qt::LeftButton, {}, QPoint(30, 30));
    QCOMPARE(clicksOf(clicks), (Clicks{{8, 1}}));

    // The names as the trainer's saved window holds them, in lower case.
    NqPropertyBag lower;
    lower.WriteProperty("coordinate", false);
    lower.WriteProperty("enabled", true);
    lower.WriteProperty("reverseboard", false);
    lower.WriteProperty("squarestyle", int(FixedSingle));
    board->ReadProperties(lower);
    QVERIFY(!board->ReverseBoard());
    QVERIFY(!board->Coordinate());
    QCOMPARE(board->SquareStyle(), FixedSingle);
}

void TestNqCBoard::emptyBag()
{
    const auto board = shownBoard(true);
    QVERIFY(board);
    board->setSquareStyle(FixedSingle);
    board->ReadProperties(NqPropertyBag());
    QVERIFY(!board->Coordinate());
    QVERIFY(!board->Enabled());
    QVERIFY(!board->ReverseBoard());
    QCOMPARE(board->SquareStyle(), NoStyle);
    QCOMPARE(labelInk(shot(*board), labelArea(*board, 0, 0)), 0);
    QCOMPARE(board->SquareRectTwips(a, 8), QRect(360, 360, 450, 450));
}

void TestNqCBoard::initProperties()
{
    const auto board = shownBoard(true);
    QVERIFY(board);
    board->setCoordinate(true);
    board->setSquareStyle(FixedSingle);
    board->SelectSquare(e, 2);
    QSignalSpy changes(board.get(), &NqCBoard::PropertyChanged);
    board->InitProperties();
    QCOMPARE(changes.count(), 0);
    QVERIFY(!board->Coordinate());
    QVERIFY(!board->ReverseBoard());
    QVERIFY(!board->OneSelected());
    QCOMPARE(board->Piece(e, 1), NoPiece);
    QVERIFY(board->Enabled());
    QCOMPARE(board->SquareStyle(), FixedSingle);
    // The labels keep showing until Coordinate is written.
    QVERIFY(labelInk(shot(*board), labelArea(*board, 0, 0)) > 0);
}

QTEST_MAIN(TestNqCBoard)
#include "tst_nqcboard.moc"
