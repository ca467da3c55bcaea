#pragma once

#include <QDateTime>
#include <QLocale>
#include <QString>

/*
 * The session report's text lines. Lines are built with column markers
 * ("[21]": the next text starts in column 21) and expanded by AddTab so they
 * line up in a fixed-width font; the scores view reads the summary lines back
 * from the log by their columns.
 */
namespace kx {

/// Expands the column markers of s ("[" up to three decimal digits "]") into
/// blanks, or drops a passed one; other bracketed text stays as it is.
QString AddTab(const QString& s);

struct AttemptLineInput
{
    bool solved = false;
    double positionPoints = 0.0; // used only when solved
    qint32 attemptCount = 0;
    QString userMove;
    QString solutionText;
    qint32 solvedCount = 0;
    double elapsedTime = 0.0;
    double timePerPosition = 0.0;
    qint32 currentPosition = 0;
};

/// The attempt line with its markers, not yet expanded.
QString AttemptLine(const AttemptLineInput& in, const QLocale& locale = QLocale());

struct SummaryLineInput
{
    QString puntiCaption;   // lblPunti
    QString solvedCaption;  // lblSolved
    QString totTimeCaption; // lblTotTime
    qint32 totalSaved = 0;
    QString timeForPosition; // txtTimeForPosition
    QDateTime when;
    QString suiteName; // cmbEPDFile
    QString levelTag;
};

/// The end-of-session summary line with its markers, not yet expanded.
QString SummaryLine(const SummaryLineInput& in);

} // namespace kx
