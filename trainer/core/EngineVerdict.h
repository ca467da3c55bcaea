#pragma once

#include <QString>
#include <QtGlobal>

/*
 * The engine's word on a missed move: the evaluation of the position after
 * the user's move set against the one after the move wanted, both from the
 * view of the side that moved. A move that keeps within a margin of the best
 * (wider the more the best is winning by) and never gives up a mate, nor
 * makes one longer by more than two moves, is as good; any other is worse,
 * and the engine's reply to it is what refutes it.
 */
namespace kx {

/// An evaluation from the view of the side that made the move before it.
struct EngineScore
{
    bool known = false;
    qint64 centipawns = 0;
    qint32 mate = 0; // > 0: that side mates in so many moves; < 0: it is mated in so many

    /// The score of a thinking line, which is the side to move's (a mate in N
    /// written 100000 + N, being mated -100000 - N); mover: the line is the
    /// mover's own (the position before the move), else the opponent's.
    static EngineScore FromLine(qint64 score, bool mover);
    /// A position without legal moves that is no mate: a draw.
    static EngineScore Draw();
};

/// The score as the report shows it, in pawns with the locale's decimal
/// point: "+2.3", "-0.4", "0.0"; a mate as "#3", being mated as "-#2".
QString ScoreText(const EngineScore& score);

struct EngineVerdict
{
    enum class Kind : quint8 { None, Equal, Worse };
    Kind kind = Kind::None;
    /// "also good (+2.3 vs +2.5)", "worse (+0.4 vs +2.5), refuted by Rxf7",
    /// "no engine verdict".
    QString text;

    bool isEqual() const { return kind == Kind::Equal; }
    /// "no engine verdict": the engine failed, hung or is missing.
    static EngineVerdict none();
    /// What a row shows while the engine checks: "the engine is checking...".
    static EngineVerdict pending();
};

/// The verdict on the user's move against the best; refutation is the
/// engine's reply to the user's move in SAN ("" when it gave none).
EngineVerdict CompareScores(const EngineScore& user, const EngineScore& best,
                            const QString& refutation);

} // namespace kx
