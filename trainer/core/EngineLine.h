#pragma once

#include <QString>
#include <QStringList>

/*
 * What the analysis reads from an xboard engine and what it sends: thinking
 * lines and their first move, the engine's feature announcements, its answer
 * to a status request it does not know, the position as a six-field FEN (or
 * as edit commands for an engine without setboard), and the grade a position
 * gets from the engine in statistics mode.
 */
namespace kx {

/// A thinking line of an engine in post mode: "7 35 120 900 1. Nf3 d5 2. d4".
struct ThinkingLine
{
    bool ok = false; // false: the text is not a thinking line
    qint32 depth = 0;
    qint64 score = 0;
    qint64 time = 0; // centiseconds
    qint64 nodes = 0;
    QString variation; // as printed, from its first word on
    QString firstMove; // FirstMove(variation)
};

/// Reads depth, score, time and nodes (whole numbers, the score signed) and a
/// variation whose first word, numbers and notes aside, is a move.
ThinkingLine ReadThinkingLine(const QString& line);

/// The variation's first move with move numbers, "...", notes such as "(+)"
/// and the marks + # ! ? set aside: "Rxb2" from "1. ... Rxb2+"; "" when the
/// first word that is not a number or note is no move.
QString FirstMove(const QString& variation);

/// True when move, in SAN ("Qxg6+") or in coordinates ("g3g6", "Qg3-g6"),
/// is one of the blank-separated best moves ("Qg6 Rxb2+") in the position of
/// fen (needed to tell the piece that a coordinate move moves).
bool IsBestMove(const QString& move, const QString& bestMoves, const QString& fen);

/// The position of an EPD record as six FEN fields: its placement, side,
/// castling and en-passant fields, then its hmvc and fmvn operations or 0 and 1.
QString EngineFen(const QString& record);

/// Commands that set fen up in an engine's edit mode (for an engine that has
/// no setboard), to follow "new" and "force".
QStringList EditModeCommands(const QString& fen);

/// What an engine announced with its "feature" lines.
struct EngineFeatures
{
    bool done = false;     // done=1: the engine is ready
    bool moreTime = false; // done=0: the engine asked for more time
    bool setboard = true;  // setboard=0 turns it off
    QString myname;        // the engine's name, "" when not given
};

/// Takes in one line when it is a "feature" line; false otherwise.
bool ReadFeatures(const QString& line, EngineFeatures& features);

/// True when the line is an engine's refusal of the status request ".":
/// "Error (unknown command): .", "Illegal move: .", "Invalid move: .".
bool RejectsStatusRequest(const QString& line);

/// The statistics fields an analysis fills in; a field already holding text keeps it.
struct PositionGrade
{
    QString comment;
    QString depth;
    QString difficulty;
    QString evaluation;
};

/// The level of a position the engine solved at depth: depth + 2, then 7
/// becomes 6 and anything above 7 becomes 7.
QString DifficultyForDepth(double depth);

/// Grades from the thinking line that found the solution: the line as the
/// comment, its first two words as depth and evaluation, the level from the depth.
void GradeBySolution(PositionGrade& grade, const QString& line);

/// Grades a position whose solution the engine did not find in time.
void GradeByTimeOut(PositionGrade& grade);

} // namespace kx
