#pragma once

#include "ChessPosition.h"
#include "EngineLine.h"

#include <QString>

#include <optional>

/*
 * What the analysis reads from a UCI engine: its "info" lines turned into the
 * thinking lines an xboard engine prints, the variation written in SAN and
 * numbered from the position's move number, so that the output window, the
 * solution check and the grading read both protocols alike; and the lines by
 * which Auto tells a UCI engine from an xboard one.
 */
namespace kx {

/// One "info" line of a UCI engine, read.
struct UciThinking
{
    ThinkingLine thinking;   // ok: a thinking line with depth, score and a variation
    QString text;            // the thinking line as an xboard engine prints it
    QString illegalMove;     // the first pv move not legal where it stands; "" when none
    bool infoString = false; // an "info string" line, to be shown as it is
};

/// Reads "info depth 7 score cp 35 time 1200 nodes 9000 pv g1f3 d7d5" played
/// from position: depth, score in centipawns (mate in N as 100000 + N, mated in
/// N as -100000 - N), time in centiseconds, nodes, and the pv in SAN up to its
/// first illegal move ("7 +35 120 9000 1. Nf3 d5"). A lower or upper bound
/// marks the first move "!" or "?". Lines without depth, score or pv, lines of
/// a second multipv and lines with numbers out of range are no thinking lines.
/// Without a position the pv is kept in coordinates.
UciThinking ReadUciInfo(const QString& line, const std::optional<ChessPosition>& position);

/// True for what only a UCI engine says in answer to "uci": "id name ...",
/// "id author ...", "option name ...", "uciok".
bool IsUciGreeting(const QString& line);

/// True for an engine's refusal of the xboard greeting, as UCI engines answer
/// it: "Unknown command: 'xboard'", "Error (unknown command): protover".
bool RefusesXboardGreeting(const QString& line);

} // namespace kx
