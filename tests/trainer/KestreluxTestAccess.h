#pragma once

#include "FlexGrid.h"
#include "NqCBoard.h"
#include "NqIEngine.h"
#include "TrainingSession.h"
#include "Twips.h"
#include "frmKestrelux.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTimer>

/*
 * The window tests' way into the main window: its elements by name, the
 * seams it offers (the session, the position shown), and real mouse and key
 * input on the board.
 */
struct KestreluxTestAccess
{
    explicit KestreluxTestAccess(frmKestrelux& window) : w(window) {}

    frmKestrelux& w;

    template<typename T> T* element(const char* name)
    {
        T* found = w.findChild<T*>(QLatin1String(name));
        if (!found)
            qWarning("no element %s", name);
        return found;
    }

    Pellomar::NqCBoard* board() { return element<Pellomar::NqCBoard>("CBoard"); }
    FlexGrid* grid() { return element<FlexGrid>("Grid"); }
    FlexGrid* report() { return element<FlexGrid>("grdReport"); }
    QTimer* clock() { return element<QTimer>("tmrTime"); }
    Ostravin::NqIEngine* engine() { return element<Ostravin::NqIEngine>("ENGINE"); }
    kx::TrainingSession& session() { return w.trainingSession(); }
    /// The number of the position on the board; 0 when none.
    qint32 currentPosition() { return w.shownPosition().number(); }
    QString userMove() { return w.shownPosition().userMove(); }
    qint32 attemptCount() { return session().tally().attempts(); }
    qint32 solvedCount() { return session().tally().solved(); }

    /// The centre of a square in the board's own pixel coordinates.
    QPoint squareCentre(Pellomar::Column col, short row)
    {
        const QRect r = board()->SquareRectTwips(col, row);
        return QPoint((r.left() + r.width() / 2) / kTwipsPerPixel,
                      (r.top() + r.height() / 2) / kTwipsPerPixel);
    }

    /// A real mouse click on a square of the board, made as a user makes it:
    /// after the events waiting (the position coming up) have been handled.
    void clickSquare(Pellomar::Column col, short row)
    {
        QCoreApplication::processEvents();
        QTest::mouseClick(board(), Qt::LeftButton, Qt::NoModifier, squareCentre(col, row));
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
        const QImage shot = board()->grab().toImage();
        const qreal dpr = shot.devicePixelRatio();
        QStringList found;
        for (short row = 1; row <= 8; ++row) {
            for (int col = 1; col <= 8; ++col) {
                if (!board()->IsHighlighted(Pellomar::Column(col), row))
                    continue;
                const QRectF t = board()->SquareRectTwips(Pellomar::Column(col), row);
                const QRect r =
                    QRectF(t.topLeft() / kTwipsPerPixel * dpr, t.size() / kTwipsPerPixel * dpr)
                        .toRect();
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

    /// Chooses the engine as the user does, in the engine setup.
    void useEngine(const QString& program, const QString& commandLine,
                   kx::EngineProtocol protocol = kx::EngineProtocol::Auto)
    {
        w.setDialogRunner([&](QDialog& dialog) {
            dialog.findChild<QLineEdit*>(QStringLiteral("txtEngine"))->setText(program);
            dialog.findChild<QLineEdit*>(QStringLiteral("txtCommandLine"))->setText(commandLine);
            auto* choice = dialog.findChild<QComboBox*>(QStringLiteral("cmbProtocol"));
            choice->setCurrentIndex(choice->findText(kx::ProtocolName(protocol)));
            dialog.findChild<QAbstractButton*>(QStringLiteral("cmdOK"))->click();
            return dialog.result();
        });
        w.cmdSetEngine_Click();
        w.setDialogRunner({});
    }

    /// What the engine setup shows: "program|arguments|protocol" (the dialog is cancelled).
    QString engineShown()
    {
        QString shown;
        w.setDialogRunner([&](QDialog& dialog) {
            shown = dialog.findChild<QLineEdit*>(QStringLiteral("txtEngine"))->text() + u'|' +
                    dialog.findChild<QLineEdit*>(QStringLiteral("txtCommandLine"))->text() + u'|' +
                    dialog.findChild<QComboBox*>(QStringLiteral("cmbProtocol"))->currentText();
            return int(QDialog::Rejected);
        });
        w.cmdSetEngine_Click();
        w.setDialogRunner({});
        return shown;
    }

    /// The last line of the text report.
    QString lastReportLine() { return text("txtReport").section(u'\n', -1); }

    /// Runs the clock by hand (its timer stopped) until the attempt under way
    /// ends, then stops the timer the next position started.
    void finishAttempt()
    {
        clock()->stop();
        const qint32 before = attemptCount();
        for (int tick = 0; tick < 100000 && attemptCount() == before; ++tick)
            w.tmrTime_Timer();
        clock()->stop();
    }
};
