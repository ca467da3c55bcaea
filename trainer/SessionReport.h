#pragma once

#include <QString>

class FlexGrid;
class QPlainTextEdit;

namespace kx {
struct Attempt;
}

/*
 * The session's report as the window shows it: one row of the report grid
 * and one line of the text report for each finished position, and the
 * summary line at the end. The text report is what goes into the log.
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
    /// The review box the last attempt's position went to, in its row.
    void ShowBox(const QString& box);
    void AddSummary(const QString& line);
    QString Text() const;

private:
    /// Adds a line (column markers expanded) after lineBreaks line breaks and
    /// scrolls it into view.
    void addLine(const QString& line, int lineBreaks);

    FlexGrid* m_grid;
    QPlainTextEdit* m_text;
};
