#pragma once

#include <QString>
#include <QStringList>

/*
 * The parts of an EPD record the trainer reads: the "bm" (best moves), "am"
 * (moves to avoid) and "pv" (the solution's line) operations, and the
 * solution text shown in reports.
 */
namespace kx {

/// The record's bm operation, "bm" up to (not including) its ";", or "" when
/// the record has none. Only a real operation counts: "bm" at the start of the
/// operations or after ";" or a blank, followed by a blank, outside quoted text.
/// A CR or LF left at the end of the line is not part of the record. Without a
/// ";" after it, bm runs to the end of the line or up to the first word that
/// is neither a move nor a lone "+", "#", "!" or "?" ("bm Rc8+ dm 26" gives
/// "bm Rc8+").
QString GetBmField(const QString& record);

/// The record without its solution: the bm, am and pv operations and their
/// moves are left out, the FEN fields and every other operation kept (blanks
/// between them made single). What the position box shows during a session.
QString WithoutSolution(const QString& record);

/// The best-move text of the record ("Rxe5 Qg6"). Without usable best moves:
/// "not " and the moves to avoid ("not Bxh7"), else the line's first move,
/// else "a1".
QString GetSolutionText(const QString& record);

/// What the Solution button shows: the bm operation, or without one "not "
/// and the moves to avoid, with the line ("pv ...") below when the record
/// has one; "" when it names none of them.
QString SolutionShown(const QString& record);

/// Trims text, then removes and returns its first blank-separated word (all of
/// it when there is no blank), leaving the rest after that blank in text.
QString PopToken(QString& text);

/// The move without "x", "+", "!" and "?".
QString CleanMove(const QString& move);

/// The best moves of the record's bm field as written, one word each, with a
/// lone "+", "#", "!" or "?" joined to the move before it ("Ng5 +" gives
/// "Ng5+"); they end at the first word that is not a move, move numbers
/// ("12." or "12...Nf3") set aside. Empty without bm.
QStringList GetBestMoveWords(const QString& record);

/// The moves of the record's am operation, read as bm's are; empty without am.
QStringList GetAvoidMoveWords(const QString& record);

/// The moves of the record's pv operation, the line from the position on,
/// read as bm's are; empty without pv.
QStringList GetLineMoveWords(const QString& record);

} // namespace kx
