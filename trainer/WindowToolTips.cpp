#include "WindowToolTips.h"

#include <QCoreApplication>
#include <QWidget>

namespace {

struct Tip
{
    const char* element;
    const char* text;
};

// Captions are short and partly Italian, so each says here what it is for.
constexpr Tip kTips[] = {
    {"CBoard", "Click a piece and then its square (or drag it), or type the move and press "
               "Enter"},
    {"Label1", "Number of the position on the board"},
    {"cmdEndSession", "End the session now: the positions finished so far are reported and "
                      "logged (Escape does the same)"},
    {"lblVerdict", "What your last answer came to"},
    {"lblTypedMove", "Type a move on the keyboard and press Enter: Nf3, nf3, exd5, ed5, O-O, 0-0, "
                     "e8=Q, e8Q or g1f3. Escape clears it."},
    {"txtPos", "Number of the position on the board: type a number and press Enter, or "
               "double-click, to show that position"},
    {"Label2", "The position's line in the suite"},
    {"txtFen", "The position's line in the suite: pieces, side to move and best moves (bm); "
               "click to read it whole"},
    {"lblPositionsForSession", "Positions in one session, 10 to 1000"},
    {"txtPositionsForSession", "Positions in one session, 10 to 1000"},
    {"lblTimeForPosition", "Seconds allowed for each position, up to 1000"},
    {"txtTimeForPosition", "Seconds allowed for each position, up to 1000"},
    {"cmbEPDFile", "The suite of test positions to train on: an EPD file, a puzzle collection in "
                   "CSV (as Lichess publishes it) or a PGN file of puzzles"},
    {"Label13", "The side to move in the position on the board"},
    {"lblSideToMove", "The side to move in the position on the board"},
    {"cmdNew", "Start a session: positions are drawn at random from the suite, one at a time"},
    {"cmdReview", "Review the positions you missed: a session of those due, most overdue first. "
                  "A missed position comes back at once; solved in a review it comes back after "
                  "1, 3, 7, 14 and then 30 days, and after that no more"},
    {"cmdNext", "Show another position drawn at random from the suite"},
    {"CmdSolution", "Show the best moves of the position and mark the first one on the board"},
    {"cmdAnalyze", "Let the chess engine analyse the position on the board; press again to stop"},
    {"cmdRecords", "List the past sessions of this suite, best score first"},
    {"cmdSetEngine", "Choose the chess engine program, its arguments and its protocol"},
    {"cmdExit", "Close Kestrelux"},
    {"Label6", "Seconds spent on the position on the board"},
    {"lblTime", "Seconds spent on the position on the board"},
    {"Label7", "Elap: seconds used in this session; Sav: seconds saved on the positions solved"},
    {"lblTotTime", "Elap: seconds used in this session so far (a missed position counts its "
                   "whole time)"},
    {"lblTotSaved", "Sav: seconds saved in this session, the time left over on the positions "
                    "solved"},
    {"Label8", "Positions solved / positions finished, and the share solved"},
    {"lblSolved", "Positions solved / positions finished, and the share solved"},
    {"lblPunti", "Points of this session: quick answers score most, more so in long sessions"},
    {"grdReport",
     "One row per finished position. n.: its number in the session; p.ti: points "
     "it earned (... when missed); move: your move; bm: the best moves (and the engine's word on a "
     "miss, with Engine check); Pos: its "
     "number in the suite; box: the review box a miss or a review put it in (out: it left "
     "review); Elap: seconds used; Sav: seconds left. After a session, "
     "click a row to see the position with the best move marked in green and "
     "yours in red"},
    {"chkWholeLine", "Train a position whose record holds a line (pv) along all of it: each right "
                     "move is answered on the board by the line's next move, and the position "
                     "is solved when you have played your side of the line"},
    {"chkEngineCheck", "After a missed move, let the engine (as set for Analyze) compare it with "
                       "the best move for a second each; its verdict appears on the report row"},
    {"chkCountEqual", "With Engine check: a move the engine finds as good as the best counts as "
                      "solved"},
    // Statistics mode.
    {"Label3", "Level (difficulty) of the position, 0 to 7"},
    {"txtDifficolta", "Level (difficulty) of the position, 0 to 7; the Down arrow shows another "
                      "position"},
    {"Label4", "The engine's evaluation of the position"},
    {"txtValutazione", "The engine's evaluation of the position"},
    {"Label9", "The engine's search depth when it found the solution"},
    {"txtDepth", "The engine's search depth when it found the solution"},
    {"Label10", "Times the position was drawn and finished"},
    {"txtUscito", "Times the position was drawn and finished"},
    {"Label11", "Times the position was solved"},
    {"txtRisolto", "Times the position was solved"},
    {"lblLivello", "Draw only positions of at most this level"},
    {"txtLivello", "Draw only positions of at most this level"},
    {"Label12", "Seconds the engine may take before an unsolved position gets level 7"},
    {"txtAnalyzeTime", "Seconds the engine may take before an unsolved position gets level 7"},
    {"lblWaitTime", "Seconds to wait for xboard to start"},
    {"txtWaitTime", "Seconds to wait for xboard to start"},
    {"chkTimer", "Ticked while a session runs"},
    {"chkAuto", "Go on to the next position when the analysis stops"},
    {"chkAnalyze", "Have the engine analyse each position after your answer"},
    {"cmdScanBM", "Build the position table afresh from the suite's best moves; this clears "
                  "the suite's statistics"},
    {"cmdStopEng", "Take the engine out of analysis"},
    {"cmdEngRestart", "Analyse the board as it stands now"},
    {"cmdWorst", "Show the worst-solved positions, one for each click"},
    {"cmdWB", "Open the position in xboard and analyse it there"},
    {"mnEngineStart", "Not used"},
    {"Grid", "The position table: each position's best moves and statistics; click a row to "
             "show that position"},
    {"Label5", "Your comment on the position, kept with its statistics"},
    {"txtCommento", "Your comment on the position, kept with its statistics"},
    {"txtReport", "The session's report, as it is added to the session log"},
};

// A plain-text tip is shown on one line however long it is: long ones are
// broken between words.
QString wrapped(const QString& text)
{
    constexpr qsizetype kWidth = 64;
    QString out;
    qsizetype lineLength = 0;
    for (const QString& word : text.split(u' ')) {
        if (lineLength > 0 && lineLength + 1 + word.size() > kWidth) {
            out += u'\n';
            lineLength = 0;
        } else if (lineLength > 0) {
            out += u' ';
            ++lineLength;
        }
        out += word;
        lineLength += word.size();
    }
    return out;
}

} // namespace

void SetWindowToolTips(QWidget& window)
{
    for (const Tip& tip : kTips) {
        if (auto* w = window.findChild<QWidget*>(QLatin1String(tip.element)))
            w->setToolTip(QCoreApplication::translate("frmKestrelux", tip.text));
    }
    // Those the parts of the window give themselves are wrapped too.
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (!w->toolTip().isEmpty() && !w->toolTip().contains(u'\n'))
            w->setToolTip(wrapped(w->toolTip()));
    }
}
