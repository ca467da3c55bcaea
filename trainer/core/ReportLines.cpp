#include "ReportLines.h"

#include "NumberText.h"

#include <cmath>

namespace kx {

namespace {

constexpr qsizetype kMaxMarkerSpan = 4; // "[" + up to three digits, then "]"
constexpr qsizetype kAttemptPrefixWidth = 6;
constexpr qsizetype kSummaryPointsWidth = 5;
constexpr qsizetype kSavedDigits = 4;
constexpr qsizetype kSuiteNameWidth = 14;
const QString kSixBlanks = QStringLiteral("      ");

} // namespace

QString AddTab(const QString& s)
{
    // Positions are 1-based, as the columns the markers name.
    QString line = s;
    qsizetype start = 1;
    for (;;) {
        const qsizetype b = line.indexOf(u'[', start - 1) + 1;
        if (b == 0)
            return line;
        start = b + 1;
        const qsizetype c = line.indexOf(u']', b - 1) + 1;
        if (c == 0)
            continue; // no closing bracket: the "[" is plain text
        if (c - b > kMaxMarkerSpan)
            continue;
        const qsizetype length = line.size();
        const qint32 k = RoundToInt32(NumericValue(line.mid(b, c - b - 1)));
        const QString tail = line.right(length - c);
        if (k < b)
            line = line.left(b - 1) + tail;
        else
            line = line.left(b - 1) + QString(k - b, u' ') + tail;
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
