#pragma once

#include "PositionTable.h"

#include <QColor>
#include <QString>
#include <QTableView>

class FlexGridModel;

/*
 * A table with the handful of operations the trainer's two grids need: rows
 * and columns counted with one optional fixed header row 0, cell texts by
 * (row, column), column widths in twips, row selection, cell colours, adding
 * rows and scrolling a row to the top, and whole-table reads and writes for
 * the position table's tens of thousands of rows. Keeping to these
 * operations keeps the window code readable; the fixed row is the table's
 * own header, so it stays in view while the rows scroll. A cell too narrow
 * for its text shows it whole as its tooltip.
 */
class FlexGrid : public QTableView
{
    Q_OBJECT

public:
    explicit FlexGrid(QWidget* parent = nullptr);
    ~FlexGrid() override;

    /// Shows model's cells instead of the grid's own (which go); the model
    /// keeps its owner and takes the grid's column count.
    void setTableModel(FlexGridModel* model);

    /// Rows including the header row 0.
    int Rows() const;
    void setRows(int rows);
    int Cols() const;
    void setCols(int cols);

    /// 1 when row 0 is a fixed header row, else 0.
    int FixedRows() const;
    void setFixedRows(int fixedRows);

    QString TextMatrix(int row, int col) const;
    void setTextMatrix(int row, int col, const QString& text);

    /// Column width in twips (15 per pixel).
    int ColWidth(int col) const;
    void setColWidth(int col, int twips);

    /// The selected row (0 when none or the header).
    int Row() const;
    void setRow(int row);
    /// Moves the current cell to column col of the selected row.
    void setCol(int col);

    void setCellBackColor(int row, int col, const QColor& color);
    /// The colour set for the cell; invalid when none was.
    QColor CellBackColor(int row, int col) const;

    /// Scrolls so that row is the top visible row.
    void setTopRow(int row);

    /// Appends a row whose cells take the tab-separated parts of text.
    void AddItem(const QString& text);

    /// Every row's cells, header row 0 included.
    kx::TableRows Table() const;
    /// Replaces every row at once, row 0 becoming the fixed header row when
    /// fixedRows is 1; cell colours go with the old rows.
    void setTable(const kx::TableRows& rows, int fixedRows);

protected:
    bool viewportEvent(QEvent* event) override;

private:
    void showHeader();

    FlexGridModel* m_model;
};
