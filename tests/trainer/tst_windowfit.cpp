// The board fitted to the screen and the window, drawn at the screen's pixel
// density. CTest runs this on a 1920x1080 screen at device pixel ratios 1,
// 1.5 and 2.

#include "KestreluxTestAccess.h"
#include "TrainerFixture.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QTest>

using namespace Pellomar;

class TestWindowFit : public QObject
{
    Q_OBJECT

private slots:
    void boardFollowsTheWindow_data();
    void boardFollowsTheWindow();
};

namespace {

constexpr int kFrame = 8;  // pixels left of and above the board (120 twips)
constexpr int kBelow = 32; // a fitted window ends this far below the board (480 twips)
constexpr int kSmallest = 384;

// Light and dark squares and the frame's wood are told apart by brightness.
int brightness(QColor c)
{
    return (c.red() + c.green() + c.blue()) / 3;
}

} // namespace

void TestWindowFit::boardFollowsTheWindow_data()
{
    QTest::addColumn<QSize>("dragged"); // none: as started; empty: maximised
    QTest::addColumn<int>("side");      // 0: the maximised window's height
    // At the start, 60 % of the full-HD screen's height, the window fitted around it.
    QTest::newRow("as started")
        << QSize(-1, -1)
        << int(QGuiApplication::primaryScreen()->availableGeometry().height() * 0.6);
    QTest::newRow("taller") << QSize(1400, 800) << 800 - kFrame - kBelow;
    QTest::newRow("lower") << QSize(1000, 500) << 500 - kFrame - kBelow;
    QTest::newRow("too narrow for the panel") << QSize(300, 700) << 700 - kFrame - kBelow;
    QTest::newRow("below the smallest board") << QSize(900, 200) << kSmallest;
    QTest::newRow("maximised: the screen's height") << QSize(0, 0) << 0;
}

void TestWindowFit::boardFollowsTheWindow()
{
    QFETCH(QSize, dragged);
    QFETCH(int, side);
    TrainerFixture fx;
    KestreluxTestAccess& a = fx.openOn({QStringLiteral("7k/8/8/8/8/8/8/K7 w - - bm Kb1;")}, true);
    frmKestrelux& w = a.w;
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.ShowPosition(1);
    if (dragged.isEmpty() && dragged.isValid())
        w.showMaximized();
    else if (dragged.isValid())
        w.resize(dragged);
    NqCBoard* board = a.board();
    if (!side) { // the maximised window's height, whatever its frame takes
        QTRY_VERIFY(w.height() > 1000);
        side = w.height() - kFrame - kBelow;
    }
    QTRY_COMPARE(board->height(), side);
    QCOMPARE(board->width(), side);
    // The window is fitted to the board, the panel stays beside it and whole.
    QCOMPARE(w.height(), side + kFrame + kBelow);
    QVERIFY(w.width() <= w.screen()->availableGeometry().width());
    QCOMPARE(a.element<QPushButton>("cmdNew")->x(), board->x() + side + kFrame);
    QVERIFY(QRect(QPoint(), w.size()).contains(a.element<QPushButton>("cmdExit")->geometry()));

    // After a session the position table and comment count as shown, yet
    // nothing of them shows in the fitted window.
    auto* timer = a.element<QCheckBox>("chkTimer");
    timer->setChecked(true);
    timer->setChecked(false);
    for (QWidget* below : {static_cast<QWidget*>(a.grid()), a.element<QWidget>("txtCommento")}) {
        QVERIFY(below->isVisible());
        QVERIFY2(!QRect(QPoint(), w.size()).intersects(below->geometry()),
                 below->objectName().toLatin1());
    }

    // Squares are drawn where they are laid out, at the screen's density:
    // h8 is dark to its very corner, the frame beside it light, e4 light.
    const QImage shot = board->grab().toImage();
    const qreal dpr = board->devicePixelRatioF();
    QCOMPARE(shot.width(), qRound(side * dpr));
    auto pixel = [&](QPointF logical) {
        return shot.pixelColor((logical * dpr).toPoint());
    };
    auto square = [board](Column col, short row) {
        const QRect t = board->SquareRectTwips(col, row);
        return QRectF(t.x() / 15.0, t.y() / 15.0, t.width() / 15.0, t.height() / 15.0);
    };
    const QRectF h8 = square(h, 8);
    const QRectF e4 = square(e, 4);
    QVERIFY(brightness(pixel(h8.topRight() + QPointF(-2, 2) / dpr)) < 140);
    QVERIFY(brightness(pixel(h8.center())) < 140);
    QVERIFY(brightness(pixel(h8.topRight() + QPointF(4, -4) / dpr)) > 150);
    QVERIFY(brightness(pixel(e4.center())) > 170);
    QVERIFY(brightness(pixel(e4.bottomLeft() + QPointF(2, -2) / dpr)) > 170);
}

QTEST_MAIN(TestWindowFit)
#include "tst_windowfit.moc"
