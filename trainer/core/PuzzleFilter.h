#pragma once

#include <QByteArrayList>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace kx {

/*
 * Which puzzles of a collection a session draws from: a rating range and
 * theme words. A puzzle matches when its rating lies in the range (either
 * end may be open) and it carries every word, compared without regard to
 * case; the empty filter takes every puzzle.
 */
struct PuzzleFilter
{
    std::optional<qint32> ratingFrom;
    std::optional<qint32> ratingTo;
    QByteArrayList themes; // lower case, each once, sorted

    bool isEmpty() const { return !ratingFrom && !ratingTo && themes.isEmpty(); }
    /// True when a puzzle of that rating (none when it has none) and those
    /// themes (words separated by blanks) matches.
    bool Matches(std::optional<qint32> rating, QByteArrayView themeWords) const;
    /// The filter in words ("rating 1500-1800, themes fork pin"), the same
    /// for every way of writing it; "" for the empty filter.
    QString Text() const;

    bool operator==(const PuzzleFilter&) const = default;
};

/// The filter as typed: the whole numbers of from and to (a text that is no
/// whole number is no bound; a range written backwards is turned round) and
/// the words of themes.
PuzzleFilter ReadPuzzleFilter(const QString& from, const QString& to, const QString& themes);

/// The whole number a rating text holds, blanks aside; none when it holds none.
std::optional<qint32> ReadRating(QByteArrayView text);

} // namespace kx
