#pragma once

#include "FlexGrid.h"
#include "NqIEngine.h"
#include "frmKestrelux.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

/*
 * Lets the window tests read the main window's shared state and reach its
 * board, the way the window's own handlers do.
 */
struct KestreluxTestAccess
{
    explicit KestreluxTestAccess(frmKestrelux& window) : w(window) {}

    frmKestrelux& w;

    qint16& suiteSize() { return w.suiteSize; }
    qint16& selRow() { return w.selRow; }
    qint32& currentPosition() { return w.currentPosition; }
    qint32& solvedCount() { return w.solvedCount; }
    qint32& attemptCount() { return w.attemptCount; }
    qint32& totalSaved() { return w.totalSaved; }
    bool& statsMode() { return w.statsMode; }
    bool& positionAnalysed() { return w.positionAnalysed; }
    bool& defaultEngineFound() { return w.defaultEngineFound; }
    bool& defaultEngineMissing() { return w.defaultEngineMissing; }
    QString& userMove() { return w.userMove; }
    QString& levelTag() { return w.levelTag; }
    QString& LastEngine() { return w.engineSettings.program; }
    QString& LastCommandLine() { return w.engineSettings.arguments; }
    kx::EngineProtocol& protocol() { return w.engineSettings.protocol; }
    double& elapsedTime() { return w.elapsedTime; }
    double& timePerPosition() { return w.timePerPosition; }
    kx::BestMoves& bestMoves() { return w.bestMoves; }
    Pellomar::NqCBoard* board() { return w.CBoard; }
    FlexGrid* grid() { return w.Grid; }
    FlexGrid* report() { return w.grdReport; }
    QTimer* clock() { return w.tmrTime; }
    Ostravin::NqIEngine* engine() { return w.ENGINE; }
    QString settingsFile() const { return w.settingsFile(); }

    template<typename T> T* element(const char* name)
    {
        T* found = w.findChild<T*>(QLatin1String(name));
        if (!found)
            qWarning("no element %s", name);
        return found;
    }

    /// The centre of a square in the board's own pixel coordinates.
    QPoint squareCentre(Pellomar::Column col, short row)
    {
        const QRect r = w.CBoard->SquareRectTwips(col, row);
        return QPoint((r.left() + r.width() / 2) / 15, (r.top() + r.height() / 2) / 15);
    }

    /// A real mouse click on a square of the board.
    void clickSquare(Pellomar::Column col, short row)
    {
        QTest::mouseClick(w.CBoard, Qt::LeftButton, Qt::NoModifier, squareCentre(col, row));
    }

    /// A click on a square named as in "e2".
    void clickSquare(const QString& square)
    {
        clickSquare(Pellomar::Column(square.at(0).unicode() - 'a' + 1),
                    short(square.at(1).digitValue()));
    }

    /// The hatched squares in board order, each with the colour of its lines as
    /// drawn: "e2g" green, "d2r" red.
    QString marks()
    {
        const QImage shot = w.CBoard->grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        QStringList found;
        for (short row = 1; row <= 8; ++row) {
            for (int col = 1; col <= 8; ++col) {
                if (!w.CBoard->IsHighlighted(Pellomar::Column(col), row))
                    continue;
                const QRectF t = w.CBoard->SquareRectTwips(Pellomar::Column(col), row);
                const QRect r = QRectF(t.topLeft() / 15 * dpr, t.size() / 15 * dpr).toRect();
                int red = 0;
                int green = 0;
                for (int y = r.top(); y <= r.bottom(); ++y) {
                    for (int x = r.left(); x <= r.right(); ++x) {
                        const QColor c = shot.pixelColor(x, y);
                        red += c.red() > c.green() + 80 && c.red() > c.blue() + 80;
                        green += c.green() > c.red() + 60 && c.green() > c.blue() + 60;
                    }
                }
                found << QChar('a' + col - 1) + QString::number(row) +
                             (red > 20 && !green   ? "r"
                              : green > 20 && !red ? "g"
                                                   : "?");
            }
        }
        return found.join(' ');
    }

    /// A move made with two clicks.
    void playMove(Pellomar::Column fromCol, short fromRow, Pellomar::Column toCol, short toRow)
    {
        clickSquare(fromCol, fromRow);
        clickSquare(toCol, toRow);
    }

    /// A button clicked as the user's click reaches it.
    void click(const char* name) { element<QAbstractButton>(name)->click(); }

    /// What an element shows: a button's caption, a label's or a box's text.
    QString text(const char* name)
    {
        QObject* found = element<QObject>(name);
        if (auto* button = qobject_cast<QAbstractButton*>(found))
            return button->text();
        if (auto* label = qobject_cast<QLabel*>(found))
            return label->text();
        if (auto* box = qobject_cast<QLineEdit*>(found))
            return box->text();
        auto* edit = qobject_cast<QPlainTextEdit*>(found);
        return edit ? edit->toPlainText() : QString();
    }

    void setText(const char* name, const QString& text)
    {
        if (auto* edit = w.findChild<QPlainTextEdit*>(QLatin1String(name)))
            edit->setPlainText(text);
        else
            element<QLineEdit>(name)->setText(text);
    }

    /// The last line of the text report.
    QString lastReportLine() { return text("txtReport").section(u'\n', -1); }

    /// Runs the clock by hand (its timer stopped) until the attempt under way
    /// ends, then stops the timer the next position started.
    void finishAttempt()
    {
        w.tmrTime->stop();
        const qint32 before = w.attemptCount;
        for (int tick = 0; tick < 100000 && w.attemptCount == before; ++tick)
            w.tmrTime_Timer();
        w.tmrTime->stop();
    }
};
