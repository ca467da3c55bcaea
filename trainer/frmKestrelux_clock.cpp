// The training clock: times the position on the board, ends the attempt on
// the user's move or when the time is up, judges and scores it, writes the
// report row and line, and draws the next position or ends the session.

#include "frmKestrelux.h"

#include "Epd.h"
#include "FlexGrid.h"
#include "Judging.h"
#include "NumberText.h"
#include "ReportLines.h"
#include "Scoring.h"
#include "SessionKeeper.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QDateTime>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTimer>

#include <cmath>

namespace {
constexpr int kMoveLength = 4; // "e2e4": the shortest text that is an answer
const QString kAnalysedMessage = QStringLiteral("Gia analizzato: non contato");
} // namespace

void frmKestrelux::tmrTime_Timer()
{
    if (!chkTimer->isChecked())
        return;
    elapsedTime += tmrTime->interval() / 1000.0;
    if (userMove.size() < kMoveLength && !(elapsedTime > timePerPosition)) {
        lblTime->setText(kx::NumberToText(kx::RoundToInt32(elapsedTime)));
        return;
    }

    ++attemptCount;
    txtUscito->setText(kx::NumberToText(kx::NumericValue(txtUscito->text()) + 1));
    // Off before anything below can let events run, so ticks never nest.
    tmrTime->stop();
    QApplication::clipboard()->setText(txtFen->text());

    bool solved = false;
    kx::SplitBestMoves(kx::GetBmField(txtFen->text()), bestMoves);
    if (kx::JudgeMove(txtFen->text(), userMove)) {
        if (positionAnalysed) {
            showMessage(kAnalysedMessage);
        } else {
            ++solvedCount;
            txtRisolto->setText(kx::NumberToText(kx::NumericValue(txtRisolto->text()) + 1));
            solved = true;
        }
    }

    // A half-entered move is dropped with its mark.
    if (selRow != 0)
        CBoard->UnSelectSquare(static_cast<Pellomar::Column>(moveCols[0]), selRow);
    selRow = 0;

    const double totTime = kx::NumericValue(lblTotTime->text());
    if (solved) {
        QApplication::beep();
        lblTotTime->setText(kx::NumberToText(totTime + kx::RoundToInt32(elapsedTime)));
        totalSaved = kx::RoundToInt32(totalSaved + timePerPosition - elapsedTime);
    } else {
        lblTotTime->setText(kx::NumberToText(totTime + kx::RoundToInt32(timePerPosition)));
    }

    lblSolved->setText(QStringLiteral("%1/%2(%3%)")
                           .arg(solvedCount)
                           .arg(attemptCount)
                           .arg(kx::RoundToInt32(double(solvedCount) / attemptCount * 100)));

    const double n = kx::NumericValue(txtPositionsForSession->text());
    const QString solution = kx::GetSolutionText(txtFen->text());
    kx::AttemptLineInput line;
    line.solved = solved;
    line.attemptCount = attemptCount;
    line.userMove = userMove;
    line.solutionText = solution;
    line.solvedCount = solvedCount;
    line.elapsedTime = elapsedTime;
    line.timePerPosition = timePerPosition;
    line.currentPosition = currentPosition;
    double positionPoints = 0.0;
    if (solved) {
        positionPoints = kx::PositionPoints(timePerPosition, elapsedTime, n);
        line.positionPoints = positionPoints;
        const double shown =
            kx::TextToNumber(kx::FormatNumber(positionPoints * 10 / n, QStringLiteral("###0.0")));
        lblPunti->setText(kx::NumberToText(kx::TextToNumber(lblPunti->text()) + shown));
    }

    WriteReportGridRow(solved, positionPoints, n, solution);
    lblTotSaved->setText(kx::NumberToText(totalSaved));
    AddReportLine(kx::AttemptLine(line), 1);

    if (chkAnalyze->isChecked() && !positionAnalysed)
        analyseFinishedPosition();
    positionAnalysed = false;

    if (n != attemptCount) {
        // Should the next position fail to come up (the suite file gone),
        // the session ends here rather than stay locked without a clock.
        if (!NextPosition())
            EndSession();
    } else {
        EndSession();
    }
}

void frmKestrelux::EndSession()
{
    // A session cut short by closing the window is abandoned, not logged.
    if (m_closing)
        return;
    lblPunti->setText(kx::NumberToText(std::floor(kx::TextToNumber(lblPunti->text()))));

    kx::SummaryLineInput summary;
    summary.puntiCaption = lblPunti->text();
    summary.solvedCaption = lblSolved->text();
    summary.totTimeCaption = lblTotTime->text();
    summary.totalSaved = totalSaved;
    summary.timeForPosition = txtTimeForPosition->text();
    summary.when = QDateTime::currentDateTime();
    summary.suiteName = cmbEPDFile->currentText();
    summary.levelTag = levelTag;
    AddReportLine(kx::SummaryLine(summary), 2);

    chkTimer->setChecked(false);

    m_sessionKeeper->Finished(txtReport->toPlainText());
}

void frmKestrelux::AddReportLine(const QString& line, int lineBreaks)
{
    const QString expanded = kx::AddTab(line);
    QTextCursor cursor = txtReport->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString(lineBreaks, QLatin1Char('\n')) + expanded);
    // The caret goes to the start of the new line, which scrolls it into view.
    cursor.setPosition(txtReport->document()->characterCount() - 1 - expanded.size());
    txtReport->setTextCursor(cursor);
    txtReport->ensureCursorVisible();
}

void frmKestrelux::WriteReportGridRow(bool solved, double positionPoints, double n,
                                      const QString& solutionText)
{
    if (attemptCount > 1)
        grdReport->AddItem(QStringLiteral(" "));
    const int r = grdReport->Rows() - 1;
    grdReport->setTopRow(r);
    grdReport->setTextMatrix(r, 0, QString::number(attemptCount));
    grdReport->setTextMatrix(
        r, 1,
        solved ? kx::FormatNumber(positionPoints * 10 / n, QStringLiteral("###0.0"))
               : QStringLiteral("..."));
    grdReport->setTextMatrix(r, 2, userMove);
    grdReport->setTextMatrix(r, 3, solutionText);
    grdReport->setTextMatrix(r, 7, QString::number(solvedCount));
    grdReport->setTextMatrix(r, 5, QString::number(currentPosition));
    grdReport->setTextMatrix(r, 8, kx::FormatNumber(elapsedTime, QStringLiteral("#####0.0")));
    grdReport->setTextMatrix(
        r, 9, kx::FormatNumber(timePerPosition - elapsedTime, QStringLiteral("#####0.0")));
}
