#pragma once

#include "Result.h"

#include <QString>

/*
 * The session settings chosen last (suite, positions per session, seconds per
 * position, whether answers are judged by whole lines, the engine's check of
 * a miss and whether an equal move counts, and the rating range and theme
 * words that filter a puzzle collection), kept in a small file of their own
 * in the data folder so the next start begins where the user left off;
 * Kestrelux.ini holds only the engine's keys.
 */
namespace kx {

struct LastChoices
{
    QString suite;
    QString positions;
    QString seconds;
    QString ratingFrom;
    QString ratingTo;
    QString themes;
    bool wholeLine = false;
    bool engineCheck = false;
    bool countEqual = false; // an equal move, by the engine's check, counts as solved

    bool operator==(const LastChoices&) const = default;
};

inline constexpr const char* kLastChoicesFileName = "KXLast.ini";

/// What the folder's file holds; empty texts for what it lacks.
LastChoices ReadLastChoices(const QString& dataFolder);

/// Replaces the folder's file (creating the folder); a failure, with the
/// reason, when it cannot be written.
Result<> WriteLastChoices(const QString& dataFolder, const LastChoices& choices);

} // namespace kx
