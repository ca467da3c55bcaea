#include "FlexGrid.h"

#include <QHeaderView>

namespace {
constexpr int kTwipsPerPixel = 15;
}

FlexGrid::FlexGrid(QWidget* parent) : QTableWidget(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    horizontalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(0);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setWordWrap(false);
}

int FlexGrid::Rows() const
{
    return rowCount() + m_fixedRows;
}

void FlexGrid::setRows(int rows)
{
    rows = qMax(0, rows);
    if (m_fixedRows == 1 && rows == 0) {
        // No header row left: the header texts go with it.
        setFixedRows(0);
    }
    setRowCount(qMax(0, rows - m_fixedRows));
}

void FlexGrid::setCols(int cols)
{
    setColumnCount(qMax(0, cols));
}

void FlexGrid::setFixedRows(int fixedRows)
{
    fixedRows = qBound(0, fixedRows, 1);
    if (fixedRows == m_fixedRows)
        return;
    if (fixedRows == 1) {
        if (rowCount() == 0)
            insertRow(0);
        for (int c = 0; c < columnCount(); ++c) {
            const QTableWidgetItem* item = this->item(0, c);
            setHorizontalHeaderItem(c, new QTableWidgetItem(item ? item->text() : QString()));
        }
        removeRow(0);
        horizontalHeader()->show();
    } else {
        insertRow(0);
        for (int c = 0; c < columnCount(); ++c) {
            const QTableWidgetItem* header = horizontalHeaderItem(c);
            setItem(0, c, new QTableWidgetItem(header ? header->text() : QString()));
            setHorizontalHeaderItem(c, new QTableWidgetItem(QString()));
        }
        horizontalHeader()->hide();
    }
    m_fixedRows = fixedRows;
}

QTableWidgetItem* FlexGrid::cell(int row, int col) const
{
    if (row < 0 || col < 0 || col >= columnCount() || row >= Rows())
        return nullptr;
    if (m_fixedRows == 1 && row == 0)
        return horizontalHeaderItem(col);
    return item(row - m_fixedRows, col);
}

QTableWidgetItem* FlexGrid::ensureCell(int row, int col)
{
    if (row < 0 || col < 0 || col >= columnCount() || row >= Rows())
        return nullptr;
    if (QTableWidgetItem* existing = cell(row, col))
        return existing;
    auto* created = new QTableWidgetItem;
    if (m_fixedRows == 1 && row == 0)
        setHorizontalHeaderItem(col, created);
    else
        setItem(row - m_fixedRows, col, created);
    return created;
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    const QTableWidgetItem* item = cell(row, col);
    return item ? item->text() : QString();
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    if (QTableWidgetItem* item = ensureCell(row, col))
        item->setText(text);
}

int FlexGrid::ColWidth(int col) const
{
    return columnWidth(col) * kTwipsPerPixel;
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= columnCount())
        return;
    setColumnWidth(col, qMax(0, twips) / kTwipsPerPixel);
}

int FlexGrid::Row() const
{
    const int current = currentRow();
    return current < 0 ? 0 : current + m_fixedRows;
}

void FlexGrid::setRow(int row)
{
    const int tableRow = row - m_fixedRows;
    if (tableRow < 0 || tableRow >= rowCount())
        return;
    setCurrentCell(tableRow, qMax(0, currentColumn()));
    selectRow(tableRow);
}

void FlexGrid::setCellBackColor(int row, int col, const QColor& color)
{
    if (m_fixedRows == 1 && row == 0)
        return;
    if (QTableWidgetItem* item = ensureCell(row, col))
        item->setBackground(color);
}

QColor FlexGrid::CellBackColor(int row, int col) const
{
    const QTableWidgetItem* item = cell(row, col);
    return item ? item->background().color() : QColor();
}

void FlexGrid::setTopRow(int row)
{
    const int tableRow = row - m_fixedRows;
    if (tableRow < 0 || tableRow >= rowCount() || columnCount() == 0)
        return;
    scrollTo(model()->index(tableRow, 0), QAbstractItemView::PositionAtTop);
}

void FlexGrid::AddItem(const QString& text)
{
    const int tableRow = rowCount();
    insertRow(tableRow);
    const QStringList parts = text.split(QLatin1Char('\t'));
    for (int c = 0; c < parts.size() && c < columnCount(); ++c)
        setItem(tableRow, c, new QTableWidgetItem(parts.at(c)));
}
