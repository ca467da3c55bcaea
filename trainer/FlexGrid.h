#pragma once

#include <QColor>
#include <QString>
#include <QTableWidget>

/*
 * A table with the handful of operations the trainer's two grids need: rows
 * and columns counted with one optional fixed header row 0, cell texts by
 * (row, column), column widths in twips, row selection, cell colours, adding
 * rows and scrolling a row to the top. Keeping to these operations keeps the
 * window code readable; the fixed row is the table's own header, so it stays
 * in view while the rows scroll.
 */
class FlexGrid : public QTableWidget
{
    Q_OBJECT

public:
    explicit FlexGrid(QWidget* parent = nullptr);

    /// Rows including the header row 0.
    int Rows() const;
    void setRows(int rows);
    int Cols() const { return columnCount(); }
    void setCols(int cols);

    /// 1 when row 0 is a fixed header row, else 0.
    int FixedRows() const { return m_fixedRows; }
    void setFixedRows(int fixedRows);

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    /// Column width in twips (15 per pixel).
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);

    /// The selected row (0 when none or the header).
    int Row() const;
    void setRow(int row);

    void setCellBackColor(int row, int col, const QColor& color);
    QColor CellBackColor(int row, int col) const;

    /// Scrolls so that row is the top visible row.
    void setTopRow(int row);

    /// Appends a row whose cells take the tab-separated parts of text.
    void AddItem(const QString& text);

private:
    QTableWidgetItem* cell(int row, int col) const;
    QTableWidgetItem* ensureCell(int row, int col);

    int m_fixedRows = 0;
};
