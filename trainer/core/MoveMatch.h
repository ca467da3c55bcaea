#pragma once

#include <QString>

namespace kx {

/// True when the user's move ("Ng1f3", "Pe7e8=Q", "Ke1g1") is the move that
/// a normalised best-move slot names in SAN ("Nf3", "ed5", "R1e2", "e8=Q",
/// "Qh7#", "O-O"). A slot holding several blank-separated moves matches when
/// any of them does. Read without a move generator: piece, destination,
/// promotion and any origin given must agree.
bool MatchMove(const QString& userMove, const QString& bestMove);

} // namespace kx
