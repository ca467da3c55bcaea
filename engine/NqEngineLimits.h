#pragma once

#include <QtGlobal>

#include <chrono>

namespace Ostravin {

// Sizes and times that bound what an engine can make the control do.

/// Longest line handed to the host in one piece; a longer line arrives in
/// pieces of this size, so an engine that never ends its line cannot exhaust
/// memory.
inline constexpr qsizetype kMaxLineBytes = 64 * 1024;

/// Most input kept waiting for an engine that has stopped reading; what does
/// not fit is refused rather than blocking the window.
inline constexpr qsizetype kMaxPendingInput = 1024 * 1024;

/// Most output taken from the pipe in one tick by the reader that takes
/// every waiting line.
inline constexpr qint64 kMaxReadPerTick = 1024 * 1024;

/// Longest the reader that takes every waiting line spends handing lines to
/// the host in one tick; the rest waits for the next tick, so the window keeps
/// answering however fast the engine prints and however slow the host's handler.
inline constexpr std::chrono::milliseconds kDeliveryBudget{10};

/// How long an engine told to quit may take to end before it is killed.
inline constexpr std::chrono::milliseconds kQuitGrace{3000};

/// How often released processes are checked for having ended.
inline constexpr std::chrono::milliseconds kReapInterval{20};

} // namespace Ostravin
