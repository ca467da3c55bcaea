#pragma once

#include <QColor>
#include <QString>

class FlexGrid;
class QPlainTextEdit;

namespace kx {
struct Attempt;
struct EngineVerdict;
} // namespace kx

/*
 * The session's report as the window shows it: one row of the report grid
 * and one line of the text report for each finished position, and the
 * summary line at the end. The text report is what goes into the log. The
 * engine's word on a miss joins its row's solution when it comes, and a miss
 * counted as solved afterwards has its row and its line rewritten as a solve's.
 */
class SessionReport
{
public:
    SessionReport(FlexGrid* grid, QPlainTextEdit* text);

    /// The grid's columns and their headers.
    void SetUp();
    /// A new session: the header and one empty row, into which the first
    /// finished position is written; the text report empty.
    void Reset();
    void AddAttempt(const kx::Attempt& attempt);
    /// The review box the position of attempt number went to, in its row.
    void ShowBox(qint32 number, const QString& box);
    void AddSummary(const QString& line);
    /// The engine's word on the attempt, after its solution in the row; an
    /// equal move's row gets a colour of its own.
    void AddEngineWord(const kx::Attempt& attempt, const kx::EngineVerdict& verdict);
    /// The attempt now counts as solved: its row and its line as a solve's,
    /// the engine's word and the review box kept.
    void ReviseAttempt(const kx::Attempt& attempt);
    QString Text() const;

private:
    /// Adds a line (column markers expanded) after lineBreaks line breaks and
    /// scrolls it into view.
    void addLine(const QString& line, int lineBreaks);
    void colourRow(int row, const QColor& color);

    FlexGrid* m_grid;
    QPlainTextEdit* m_text;
};
