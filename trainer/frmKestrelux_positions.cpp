// Positions and moves: showing a suite's position on the board with its side
// to move, writing the board back as FEN, the clicks on the board and the
// Solution button.

#include "frmKestrelux.h"

#include "BoardMarks.h"
#include "Epd.h"
#include "MoveTyping.h"
#include "NumberText.h"
#include "StatsTable.h"
#include "TrainingSession.h"

#include <QLineEdit>

bool frmKestrelux::ShowPosition(qint32 iShowP)
{
    // Read first: a number outside the suite, or a suite that cannot be
    // read, changes nothing but says why.
    const kx::Result<> opened = m_suite.Open(suitePath());
    if (!opened) {
        showMessage(opened.error());
        return false;
    }
    const kx::Result<QString> record = m_suite.record(iShowP);
    if (!record) {
        showMessage(record.error());
        return false;
    }

    // The panel's statistics belong to the position being left.
    m_stats->ShowPosition(iShowP, statsMode, tableIsForSuite());
    m_shown.Show(iShowP, *record);
    m_view.txtPos->setText(QString::number(iShowP));
    showRecord();
    CalcFen();
    m_typing->clear();
    m_moves->Hold();
    const double allowed = kx::NumericValue(m_view.txtTimeForPosition->text());
    m_view.ShowClock(0, allowed);
    m_session->PositionShown(allowed);
    return true;
}

void frmKestrelux::CalcFen()
{
    m_moves->DrawPosition();
    m_view.ShowSideToMove(m_shown.blackToMove());
}

QString frmKestrelux::BoardToFen() const
{
    return m_shown.Fen();
}

void frmKestrelux::CBoard_Click(Pellomar::Column col, short row)
{
    m_moves->Click(col, row);
}

void frmKestrelux::CmdSolution_Click()
{
    // The record's own bm operation (or its am), wherever it stands, and its line.
    const QString field = kx::SolutionShown(m_shown.record());
    if (field.isEmpty())
        return;
    // Outside a session the first best move is also marked on the board.
    if (!sessionRunning()) {
        kx::ClearMoveMarks(*m_view.CBoard);
        kx::MarkBestMove(*m_view.CBoard, m_shown.record());
    }
    showMessage(field);
}
