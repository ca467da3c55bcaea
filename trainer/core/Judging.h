#pragma once

#include "ChessMove.h"
#include "ChessPosition.h"

#include <QList>
#include <QString>

#include <optional>

/*
 * Judging an answer as a chess player would: the user's move counts when it
 * is a legal move of the side to move that mates at once, or one of the
 * moves the record's bm operation names (in SAN or coordinates); a record
 * without usable best moves takes any move but the ones its am operation
 * names, or else its line's first move. Trained as a whole line, the
 * record's pv goes on: each right move of the user is answered by the
 * line's next move, and the attempt is solved once the user has played
 * every move of their side of it.
 */
namespace kx {

/// The position a record sets up from its leading FEN fields: placement,
/// side, castling and en passant (either may carry the ";" that ends the
/// FEN), optionally the two move counters. A record without a side field is
/// read as the board reads it. Nothing when the FEN is not a legal position.
std::optional<ChessPosition> RecordPosition(const QString& record);

/// The legal moves that the record's bm operation names in the position.
QList<ChessMove> RecordBestMoves(const ChessPosition& position, const QString& record);

/// The legal moves that the record's am operation names in the position.
QList<ChessMove> RecordAvoidMoves(const ChessPosition& position, const QString& record);

/// The record's line from the position: its pv moves up to the first one
/// that is not legal where it stands; empty unless its first move is a
/// right answer.
QList<ChessMove> RecordLine(const ChessPosition& position, const QString& record);

/// Whether an attempt is judged on its first move or along the record's line.
enum class LineMode : quint8 { FirstMove, WholeLine };

/// What the judge makes of the latest move of an attempt.
struct Verdict
{
    enum class Answer : quint8 {
        None,       // no legal move, or none made before the time ran out
        Wrong,      // a legal move the record does not take
        Avoided,    // one of the am moves
        Best,       // a best move, or the line's move
        NotAvoided, // any move but the am moves was asked for, and this is one
        Mate,       // it mates at once
    };

    Answer answer = Answer::None;
    /// The line goes on: the trainer answers with this move, then the user moves again.
    std::optional<ChessMove> reply;
    /// The solution as the report shows it: the best-move text on the first
    /// move, further on the line numbered up to the move due ("1.Qxh7+ Kxh7 2.Ng5+").
    QString solution;
    /// The position the move was due in (six FEN fields); "" when the record is no position.
    QString dueFen;
    /// The move wanted there, in coordinates; "" when any move but the am moves would do.
    QString wanted;

    bool right() const { return answer >= Answer::Best; }
};

/// Judges the latest of the moves made on the record's position, each as the
/// board writes it ("Ng1f3", "Pe7e8=Q", "Ke1g1"): the user's moves and, along
/// a whole line, the trainer's replies between them. An empty last move means
/// the time ran out before it was made.
Verdict JudgeMove(const QString& record, const QStringList& moves,
                  LineMode mode = LineMode::FirstMove);

} // namespace kx
