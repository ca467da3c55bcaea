#include "SessionReport.h"

#include "EngineVerdict.h"
#include "FlexGrid.h"
#include "ReportLines.h"
#include "SessionTally.h"

#include <QPlainTextEdit>
#include <QTextBlock>

namespace {
constexpr int kReportColumns = 10;
const QColor kSolvedColor(205, 240, 205);
const QColor kMissedColor(250, 215, 215);
const QColor kAsGoodColor(250, 240, 190); // missed, but the engine finds it as good
constexpr int kSolutionColumn = 3;
constexpr int kBoxColumn = 6;
} // namespace

SessionReport::SessionReport(FlexGrid* grid, QPlainTextEdit* text) : m_grid(grid), m_text(text) {}

void SessionReport::SetUp()
{
    m_grid->setCols(kReportColumns);
    m_grid->setRows(2);
    const QStringList headers = {QStringLiteral("n."),
                                 QStringLiteral("p.ti"),
                                 QStringLiteral("move"),
                                 QStringLiteral("bm"),
                                 QString(),
                                 QStringLiteral("Pos"),
                                 QStringLiteral("box"),
                                 QStringLiteral("solv"),
                                 QStringLiteral("Elap"),
                                 QStringLiteral("Sav")};
    for (int c = 0; c < headers.size(); ++c)
        m_grid->setTextMatrix(0, c, headers.at(c));
    m_grid->setFixedRows(1);
}

void SessionReport::Reset()
{
    m_grid->setRows(1);
    m_grid->AddItem(QString());
    m_grid->setFixedRows(1);
    m_text->clear();
}

void SessionReport::AddAttempt(const kx::Attempt& attempt)
{
    if (attempt.number > 1)
        m_grid->AddItem(QStringLiteral(" "));
    const int r = m_grid->Rows() - 1;
    m_grid->setTopRow(r);
    const QStringList cells = attempt.reportRow();
    for (int c = 0; c < cells.size(); ++c)
        m_grid->setTextMatrix(r, c, cells.at(c));
    colourRow(r, attempt.solved ? kSolvedColor : kMissedColor);
    addLine(kx::AttemptLine(attempt.lineInput()), 1);
}

void SessionReport::colourRow(int row, const QColor& color)
{
    for (int c = 0; c < m_grid->Cols(); ++c)
        m_grid->setCellBackColor(row, c, color);
}

void SessionReport::AddEngineWord(const kx::Attempt& attempt, const kx::EngineVerdict& verdict)
{
    // Row n holds the session's attempt n.
    const int r = attempt.number;
    if (r < 1 || r >= m_grid->Rows())
        return;
    m_grid->setTextMatrix(r, kSolutionColumn,
                          attempt.solution + QStringLiteral(" - ") + verdict.text);
    if (m_grid->CellBackColor(r, 0) != kSolvedColor)
        colourRow(r, verdict.isEqual() ? kAsGoodColor : kMissedColor);
}

void SessionReport::ReviseAttempt(const kx::Attempt& attempt)
{
    const int r = attempt.number;
    if (r < 1 || r >= m_grid->Rows())
        return;
    const QStringList cells = attempt.reportRow();
    for (int c = 0; c < cells.size(); ++c) {
        if (c != kSolutionColumn && c != kBoxColumn)
            m_grid->setTextMatrix(r, c, cells.at(c));
    }
    colourRow(r, kSolvedColor);
    // Line n of the text report, after the line break it starts with.
    QTextBlock block = m_text->document()->findBlockByNumber(r);
    if (!block.isValid())
        return;
    QTextCursor cursor(block);
    cursor.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    cursor.insertText(kx::AddTab(kx::AttemptLine(attempt.lineInput())));
}

void SessionReport::ShowBox(qint32 number, const QString& box)
{
    if (number >= 1 && number < m_grid->Rows())
        m_grid->setTextMatrix(number, kBoxColumn, box);
}

void SessionReport::AddSummary(const QString& line)
{
    addLine(line, 2);
}

QString SessionReport::Text() const
{
    return m_text->toPlainText();
}

void SessionReport::addLine(const QString& line, int lineBreaks)
{
    const QString expanded = kx::AddTab(line);
    QTextCursor cursor = m_text->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QString(lineBreaks, QLatin1Char('\n')) + expanded);
    // The caret goes to the start of the new line, which scrolls it into view.
    cursor.setPosition(m_text->document()->characterCount() - 1 - expanded.size());
    m_text->setTextCursor(cursor);
    m_text->ensureCursorVisible();
}
