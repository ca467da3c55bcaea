#include "PuzzleFilter.h"

#include <QRegularExpression>

#include <algorithm>

namespace kx {

bool PuzzleFilter::Matches(std::optional<qint32> rating, QByteArrayView themeWords) const
{
    if ((ratingFrom || ratingTo) && !rating)
        return false;
    if ((ratingFrom && *rating < *ratingFrom) || (ratingTo && *rating > *ratingTo))
        return false;
    return std::all_of(themes.begin(), themes.end(), [themeWords](const QByteArray& wanted) {
        for (qsizetype i = 0; i < themeWords.size();) {
            qsizetype end = themeWords.indexOf(' ', i);
            if (end < 0)
                end = themeWords.size();
            if (themeWords.sliced(i, end - i).compare(wanted, Qt::CaseInsensitive) == 0)
                return true;
            i = end + 1;
        }
        return false;
    });
}

QString PuzzleFilter::Text() const
{
    QStringList parts;
    if (ratingFrom || ratingTo) {
        parts << QStringLiteral("rating %1-%2")
                     .arg(ratingFrom ? QString::number(*ratingFrom) : QString(),
                          ratingTo ? QString::number(*ratingTo) : QString());
    }
    if (!themes.isEmpty())
        parts << QStringLiteral("themes ") + QString::fromUtf8(themes.join(' '));
    return parts.join(QStringLiteral(", "));
}

std::optional<qint32> ReadRating(QByteArrayView text)
{
    bool ok = false;
    const qint32 rating = text.trimmed().toInt(&ok);
    return ok ? std::optional<qint32>(rating) : std::nullopt;
}

PuzzleFilter ReadPuzzleFilter(const QString& from, const QString& to, const QString& themes)
{
    PuzzleFilter filter;
    filter.ratingFrom = ReadRating(from.toUtf8());
    filter.ratingTo = ReadRating(to.toUtf8());
    if (filter.ratingFrom && filter.ratingTo && *filter.ratingFrom > *filter.ratingTo)
        std::swap(filter.ratingFrom, filter.ratingTo);
    // Words may be parted by commas as well as blanks, as lists are often typed.
    static const QRegularExpression parting(QStringLiteral("[\\s,;]+"));
    for (const QString& word : themes.toLower().split(parting, Qt::SkipEmptyParts)) {
        const QByteArray bytes = word.toUtf8();
        if (!filter.themes.contains(bytes))
            filter.themes << bytes;
    }
    std::sort(filter.themes.begin(), filter.themes.end());
    return filter;
}

} // namespace kx
