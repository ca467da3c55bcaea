#pragma once

#include "FlexGrid.h"
#include "NqIEngine.h"
#include "frmKestrelux.h"

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
    QString& LastEngine() { return w.LastEngine; }
    QString& LastCommandLine() { return w.LastCommandLine; }
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

    /// A move made with two clicks.
    void playMove(Pellomar::Column fromCol, short fromRow, Pellomar::Column toCol, short toRow)
    {
        clickSquare(fromCol, fromRow);
        clickSquare(toCol, toRow);
    }
};
