#include "ReportLines.h"

#include "NumberText.h"

#include <cmath>
#include <optional>

namespace kx {

namespace {

constexpr qsizetype kMaxMarkerDigits = 3;
constexpr qsizetype kAttemptPrefixWidth = 6;
constexpr qsizetype kSummaryPointsWidth = 5;
constexpr qsizetype kSavedDigits = 4;
constexpr qsizetype kSuiteNameWidth = 14;
const QString kSixBlanks = QStringLiteral("      ");

// The column a marker's text names: up to three decimal digits and nothing
// else, so the widest padding is 999 columns whatever a record or a file name
// puts between brackets ("[9e9]" stays text). An empty pair names column 0,
// always passed. Nothing when the text is no column.
std::optional<qsizetype> markerColumn(QStringView digits)
{
    if (digits.size() > kMaxMarkerDigits)
        return std::nullopt;
    qsizetype column = 0;
    for (const QChar c : digits) {
        if (c < u'0' || c > u'9')
            return std::nullopt;
        column = column * 10 + (c.unicode() - u'0');
    }
    return column;
}

} // namespace

QString AddTab(const QString& s)
{
    // The line is built once, left to right, so a long line full of brackets
    // costs no more than its length. A "[" right after a marker that was
    // removed or needed no blanks is taken as text, as it always has been.
    QString line;
    line.reserve(s.size());
    qsizetype pos = 0;        // where the text not yet copied starts
    qsizetype searchFrom = 0; // where the next "[" may start
    qsizetype close = -1;     // the first "]" at or after the last "[" found
    for (;;) {
        const qsizetype open = s.indexOf(u'[', searchFrom);
        if (open >= 0 && close < open)
            close = s.indexOf(u']', open);
        if (open < 0 || close < 0) {
            line += QStringView(s).mid(pos); // without a "]" no marker can follow
            return line;
        }
        const std::optional<qsizetype> column =
            markerColumn(QStringView(s).mid(open + 1, close - open - 1));
        if (!column) {
            searchFrom = open + 1;
            continue;
        }
        line += QStringView(s).mid(pos, open - pos);
        const qsizetype at = line.size() + 1; // the marker's column
        if (*column > at)
            line += QString(*column - at, u' ');
        pos = close + 1;
        searchFrom = *column > at ? pos : pos + 1;
    }
}

QString AttemptLine(const AttemptLineInput& in, const QLocale& locale)
{
    QString prefix = QStringLiteral(" .... ");
    if (in.solved) {
        // The report shows the points truncated to one decimal; the grid rounds.
        const double truncated = std::floor(in.positionPoints * 10.0) / 10.0;
        prefix = (kSixBlanks + NumberToText(truncated, locale) + u' ').right(kAttemptPrefixWidth);
    }
    return prefix + QStringLiteral("[7]") +
           FormatNumber(in.attemptCount, QStringLiteral("0#) "), locale) +
           QStringLiteral("[11]Move:") + in.userMove + QStringLiteral(" [21]Sol:") +
           in.solutionText + QStringLiteral("[30]solv") +
           FormatNumber(in.solvedCount, QStringLiteral("0# "), locale) +
           QStringLiteral(" [38]Elap") +
           FormatNumber(in.elapsedTime * 10.0, QStringLiteral("00"), locale) +
           QStringLiteral(" [48]Save") +
           FormatNumber(in.timePerPosition - in.elapsedTime, QStringLiteral("00"), locale) +
           QStringLiteral(" [56]PosN") +
           FormatNumber(in.currentPosition, QStringLiteral("000 "), locale);
}

QString SummaryLine(const SummaryLineInput& in)
{
    const QString when = QLocale::c().toString(in.when, QStringLiteral("dd/MM/yy HH:mm"));
    return (kSixBlanks + in.puntiCaption + u' ').right(kSummaryPointsWidth) + in.solvedCaption +
           QStringLiteral("[19]tottime ") + in.totTimeCaption + QStringLiteral("[34]saved ") +
           QString::number(in.totalSaved).right(kSavedDigits) + QStringLiteral("[45](s/p") +
           in.timeForPosition + QStringLiteral(") [55]") + when + QStringLiteral("[70]") +
           in.suiteName.left(kSuiteNameWidth) + QStringLiteral("[85]") + in.levelTag;
}

} // namespace kx
