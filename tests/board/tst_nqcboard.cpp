#include "NqCBoard.h"

#include <QPainter>
#include <QSignalSpy>
#include <QtTest>

#include <memory>

using namespace Pellomar;

using Clicks = QList<QPair<int, int>>;
/// Something a host does to the board, for the data tables.
using Operation = void (*)(NqCBoard&);
Q_DECLARE_METATYPE(Operation)

/*
 * The board control as a host sees it: size rule and places in twips, real
 * mouse events turned into Click, marks as they appear in the picture, change
 * notifications and saved properties. Each test starts from a shown new game
 * 288 pixels high (4320 twips: T = 900, S = 450, squares of 30 px from 24 on).
 */
class TestNqCBoard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup() { m_board.reset(); }
    void layoutInTwips_data();
    void layoutInTwips();
    void mouseGivesClicks_data();
    void mouseGivesClicks();
    void draggedPieceFollowsPointer();
    void disabledBoardGivesNothing();
    void marksPaintTheirSquare();
    void layoutAndClearRemoveMarks_data();
    void layoutAndClearRemoveMarks();
    void displaySettings();
    void propertyChangedNames();
    void savedProperties();

private:
    static constexpr int Side = 288;
    // Centres of squares on the normal board.
    static constexpr QPoint E2{158, 218};
    static constexpr QPoint E3{158, 188};
    static constexpr QPoint E4{158, 158};
    std::unique_ptr<NqCBoard> m_board;
};

namespace {

QImage shot(NqCBoard& board)
{
    return board.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

QRect pixelRect(const NqCBoard& board, Column col, short row)
{
    const QRect t = board.SquareRectTwips(col, row);
    return {t.x() / 15, t.y() / 15, t.width() / 15, t.height() / 15};
}

Clicks clicksOf(const QSignalSpy& spy)
{
    Clicks out;
    for (const QList<QVariant>& args : spy)
        out.append({int(qvariant_cast<Column>(args.at(0))), qvariant_cast<short>(args.at(1))});
    return out;
}

/// Every square's and label's place in twips, for before/after comparisons.
QList<QRect> places(const NqCBoard& board)
{
    QList<QRect> out;
    for (int i = 0; i < 64; ++i)
        out.append(board.SquareRectTwips(Column(i / 8 + 1), short(i % 8 + 1)));
    for (int i = 0; i < 32; ++i)
        out.append(QRect(board.LabelPosTwips(i / 16, i % 16), QSize(1, 1)));
    return out;
}

/// Count of pixels in the brown of the coordinate labels, in the box of one label.
int labelInk(const QImage& image, const NqCBoard& board, int kind, int index)
{
    const QRect area(board.LabelPosTwips(kind, index) / 15, QSize(14, 16));
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QColor c = image.pixelColor(x, y);
            count += qAbs(c.red() - 128) < 16 && qAbs(c.green() - 64) < 16 && c.blue() < 24;
        }
    }
    return count;
}

} // namespace

void TestNqCBoard::init()
{
    m_board = std::make_unique<NqCBoard>();
    m_board->resize(Side, Side);
    m_board->NewGame();
    m_board->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_board.get()));
}

void TestNqCBoard::layoutInTwips_data()
{
    QTest::addColumn<bool>("reversed");
    QTest::newRow("normal") << false;
    QTest::newRow("reversed") << true;
}

void TestNqCBoard::layoutInTwips()
{
    QFETCH(bool, reversed);
    m_board->setReverseBoard(reversed);
    // 5000 x 4320 twips: the height rules.
    m_board->resize(333, Side);
    QCOMPARE(m_board->size(), QSize(Side, Side));
    const QRect topLeft(360, 360, 450, 450);
    const QRect bottomRight(3510, 3510, 450, 450);
    QCOMPARE(m_board->SquareRectTwips(a, 8), reversed ? bottomRight : topLeft);
    QCOMPARE(m_board->SquareRectTwips(h, 1), reversed ? topLeft : bottomRight);
    // "A" or "H" above the leftmost column, "8" or "1" beside the top row.
    const QPoint letter = m_board->LabelPosTwips(0, reversed ? 15 : 0);
    const QPoint digit = m_board->LabelPosTwips(1, reversed ? 15 : 0);
    QVERIFY(letter.y() == 120 && letter.x() > 360 && letter.x() < 585);
    QVERIFY(digit.x() == 150 && digit.y() > 360 && digit.y() < 585);
    // The top-left square is light in both orientations.
    const QImage image = shot(*m_board);
    QVERIFY(image.pixelColor(25, 25).lightness() > image.pixelColor(55, 25).lightness() + 40);
}

void TestNqCBoard::mouseGivesClicks_data()
{
    // Press at one pixel, drag to the other, let go there.
    QTest::addColumn<bool>("reversed");
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<Clicks>("expected");
    const QPoint frame(8, 150);
    QTest::newRow("top left square") << false << QPoint(30, 30) << QPoint(30, 30) << Clicks{{1, 8}};
    QTest::newRow("reversed top left square")
        << true << QPoint(30, 30) << QPoint(30, 30) << Clicks{{8, 1}};
    QTest::newRow("drag e2 to e4") << false << E2 << E4 << Clicks{{5, 2}, {5, 4}};
    QTest::newRow("drag onto the frame") << true << QPoint(128, 68) << frame << Clicks{{5, 2}};
    QTest::newRow("drag from the frame") << false << frame << E4 << Clicks{};
}

void TestNqCBoard::mouseGivesClicks()
{
    QFETCH(bool, reversed);
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(Clicks, expected);
    m_board->setReverseBoard(reversed);
    QSignalSpy spy(m_board.get(), &NqCBoard::Click);
    QTest::mousePress(m_board.get(), Qt::LeftButton, {}, from);
    QCOMPARE(clicksOf(spy), expected.mid(0, 1));
    QTest::mouseMove(m_board.get(), (from + to) / 2);
    QTest::mouseMove(m_board.get(), to);
    QTest::mouseRelease(m_board.get(), Qt::LeftButton, {}, to);
    QCOMPARE(clicksOf(spy), expected);
    // Moving pieces and marking squares are the host's business.
    QVERIFY(m_board->InizioPartita());
    QVERIFY(!m_board->OneSelected());
}

void TestNqCBoard::draggedPieceFollowsPointer()
{
    // Mid-drag the board looks as if the pawn already stood on e4.
    NqCBoard moved;
    moved.resize(Side, Side);
    moved.NewGame();
    moved.MovePiece(e, 2, e, 4);
    QTest::mousePress(m_board.get(), Qt::LeftButton, {}, E2);
    QTest::mouseMove(m_board.get(), E3);
    QTest::mouseMove(m_board.get(), E4);
    QCOMPARE(shot(*m_board), shot(moved));
}

void TestNqCBoard::disabledBoardGivesNothing()
{
    QSignalSpy spy(m_board.get(), &NqCBoard::Click);
    m_board->setEnabled(false);
    // The events reach a disabled widget unhandled.
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("MousePress.*not accepted"));
    QTest::mousePress(m_board.get(), Qt::LeftButton, {}, E2);
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression("MouseRelease.*not accepted"));
    QTest::mouseRelease(m_board.get(), Qt::LeftButton, {}, E4);
    QCOMPARE(spy.count(), 0);

    // Disabled by the host's Click handler, the press ends there: letting go
    // on another square after enabling again is no second click.
    m_board->setEnabled(true);
    NqCBoard* const board = m_board.get();
    connect(board, &NqCBoard::Click, board, [board] { board->setEnabled(false); });
    QTest::mousePress(board, Qt::LeftButton, {}, E2);
    board->setEnabled(true);
    QTest::mouseMove(board, E4);
    QTest::mouseRelease(board, Qt::LeftButton, {}, E4);
    QCOMPARE(clicksOf(spy), (Clicks{{5, 2}}));
}

void TestNqCBoard::marksPaintTheirSquare()
{
    const QImage before = shot(*m_board);
    // Selected twice, e2 is still inverted once under its pawn, which keeps
    // its colour; nothing else changes.
    const QRect e2 = pixelRect(*m_board, e, 2);
    m_board->SelectSquare(e, 2);
    m_board->SelectSquare(e, 2);
    QVERIFY(m_board->IsSelected(e, 2));
    const QImage selected = shot(*m_board);
    const auto outside = [](QImage image, const QRect& square) {
        QPainter(&image).fillRect(square, Qt::black);
        return image;
    };
    QCOMPARE(outside(selected, e2), outside(before, e2));
    const QPoint corner = e2.topLeft() + QPoint(1, 1);
    QCOMPARE(selected.pixel(corner), before.pixel(corner) ^ 0x00FFFFFF);
    QCOMPARE(selected.pixel(e2.center()), before.pixel(e2.center()));
    m_board->UnSelectSquare(e, 2);
    QCOMPARE(shot(*m_board), before);

    // A highlight hatches the square in the host's 0x00BBGGRR colour and
    // nothing else; d1 carries the white queen, whose picture must come back.
    const QColor color(0x33, 0x99, 0xCC);
    const QRect d1 = pixelRect(*m_board, d, 1);
    m_board->HighLightSquare(d, 1, 0x00CC9933);
    const QImage marked = shot(*m_board);
    QCOMPARE(outside(marked, d1), outside(before, d1));
    int hatch = 0;
    for (int y = d1.top(); y <= d1.bottom(); ++y) {
        for (int x = d1.left(); x <= d1.right(); ++x)
            hatch += marked.pixelColor(x, y) == color;
    }
    const int area = d1.width() * d1.height();
    QVERIFY2(hatch > area / 16 && hatch < area / 3, qPrintable(QString::number(hatch)));
    m_board->UnHighLightSquare(d, 1);
    QCOMPARE(shot(*m_board), before);
}

void TestNqCBoard::layoutAndClearRemoveMarks_data()
{
    QTest::addColumn<Operation>("operation");
    QTest::newRow("reverse") << Operation([](NqCBoard& b) { b.setReverseBoard(true); });
    QTest::newRow("reverse and back") << Operation([](NqCBoard& b) {
        b.setReverseBoard(true);
        b.setReverseBoard(false);
    });
    QTest::newRow("resize") << Operation([](NqCBoard& b) { b.resize(320, 320); });
    QTest::newRow("new game") << Operation([](NqCBoard& b) { b.NewGame(); });
    QTest::newRow("clear") << Operation([](NqCBoard& b) { b.Clear(); });
}

void TestNqCBoard::layoutAndClearRemoveMarks()
{
    QFETCH(Operation, operation);
    m_board->MovePiece(e, 2, e, 4);
    m_board->SelectSquare(e, 4);
    m_board->HighLightSquare(d, 7, 0xFF);
    operation(*m_board);
    QVERIFY(!m_board->OneSelected());
    QVERIFY(!m_board->IsHighlighted(d, 7));
    // No trace of either mark: the picture is that of an unmarked board laid
    // out for the new size and orientation, from scratch.
    NqCBoard plain;
    plain.resize(m_board->size());
    plain.setReverseBoard(m_board->ReverseBoard());
    for (int col = 1; col <= 8; ++col) {
        for (short row = 1; row <= 8; ++row)
            plain.setPiece(Column(col), row, m_board->Piece(Column(col), row));
    }
    QCOMPARE(places(*m_board), places(plain));
    QCOMPARE(shot(*m_board), shot(plain));
}

void TestNqCBoard::displaySettings()
{
    // A new control shows its labels although Coordinate reads false.
    QVERIFY(!m_board->Coordinate());
    QVERIFY(labelInk(shot(*m_board), *m_board, 0, 0) > 0);
    for (const bool on : {false, true}) {
        m_board->setCoordinate(on);
        const QImage image = shot(*m_board);
        for (int i = 0; i < 32; ++i)
            QCOMPARE(labelInk(image, *m_board, i / 16, i % 16) > 0, on);
    }

    const QImage plain = shot(*m_board);
    m_board->setSquareStyle(FixedSingle);
    const QImage bordered = shot(*m_board);
    // Every square gets its whole outline.
    for (int i = 0; i < 64; ++i) {
        const QRect r = pixelRect(*m_board, Column(i / 8 + 1), short(i % 8 + 1));
        QVERIFY(bordered.pixel(r.topLeft()) != plain.pixel(r.topLeft()));
        QVERIFY(bordered.pixel(r.bottomRight()) != plain.pixel(r.bottomRight()));
    }
}

void TestNqCBoard::propertyChangedNames()
{
    QSignalSpy spy(m_board.get(), &NqCBoard::PropertyChanged);
    const auto seen = [&spy] {
        QStringList out;
        for (const QList<QVariant>& args : spy)
            out.append(args.at(0).toString());
        spy.clear();
        return out;
    };
    // Neither the position as a whole, nor marks, nor refused values are saved.
    m_board->MovePiece(e, 2, e, 4);
    m_board->SelectSquare(e, 4);
    m_board->setPiece(e, 4, Material(14));
    m_board->setSquareStyle(SqStyle(2));
    m_board->Clear();
    m_board->NewGame();
    QCOMPARE(seen(), QStringList());
    // Each saved property names itself.
    m_board->setCoordinate(true);
    m_board->setPiece(e, 4, WQuenn);
    m_board->setSquareStyle(FixedSingle);
    m_board->setReverseBoard(true);
    m_board->setEnabled(false);
    QCOMPARE(seen(),
             (QStringList{"Coordinate", "Piece", "SquareStyle", "ReverseBoard", "Enabled"}));
}

void TestNqCBoard::savedProperties()
{
    // All four entries are written, defaults included.
    NqPropertyBag fresh;
    NqCBoard().WriteProperties(fresh);
    QCOMPARE(fresh.names(), (QStringList{"Coordinate", "Enabled", "ReverseBoard", "SquareStyle"}));

    NqCBoard saved;
    saved.setReverseBoard(true);
    saved.setCoordinate(true);
    saved.setSquareStyle(FixedSingle);
    NqPropertyBag bag;
    saved.WriteProperties(bag);
    m_board->ReadProperties(bag);
    QVERIFY(m_board->ReverseBoard() && m_board->Coordinate() && m_board->Enabled());
    QCOMPARE(m_board->SquareStyle(), FixedSingle);
    // Laid out reversed at once: h1 stands top left and is what a press there reports.
    QCOMPARE(m_board->SquareRectTwips(h, 1), QRect(360, 360, 450, 450));
    QSignalSpy clicks(m_board.get(), &NqCBoard::Click);
    QTest::mouseClick(m_board.get(), Qt::LeftButton, {}, QPoint(30, 30));
    QCOMPARE(clicksOf(clicks), (Clicks{{8, 1}}));

    // Whatever the board was, an empty bag reads as all false and no style.
    m_board->ReadProperties(NqPropertyBag());
    QVERIFY(!m_board->Coordinate() && !m_board->Enabled() && !m_board->ReverseBoard());
    QCOMPARE(m_board->SquareStyle(), NoStyle);
    QCOMPARE(labelInk(shot(*m_board), *m_board, 0, 0), 0);
    QCOMPARE(m_board->SquareRectTwips(a, 8), QRect(360, 360, 450, 450));
}

QTEST_MAIN(TestNqCBoard)
#include "tst_nqcboard.moc"
