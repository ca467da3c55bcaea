#pragma once

#include "PositionTable.h"

#include <QAbstractTableModel>
#include <QColor>
#include <QHash>

/*
 * A grid's cells: all rows, row 0 included, as plain texts, with the header
 * row shown as the view's column header while it is fixed, and a colour per
 * cell. Rows change in bulk with one insertion or removal, so a table of many
 * thousand rows is replaced in one step. FlexGrid shows one; the position
 * table is one with named columns.
 */
class FlexGridModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

    /// Rows including the header row 0.
    int totalRows() const { return int(m_rows.size()); }
    /// 1 when row 0 is the fixed header row, else 0.
    int fixed() const { return m_fixed; }
    const kx::TableRows& rows() const { return m_rows; }

    QString cell(int row, int col) const;
    void setCell(int row, int col, const QString& text);
    QColor color(int row, int col) const;
    void setColor(int row, int col, const QColor& color);

    void setCols(int cols);
    void setTotalRows(int rows);
    void setFixed(int fixedRows);
    void append(const QStringList& cells);
    /// Replaces every row at once, row 0 becoming the fixed header when
    /// fixedRows is 1; cell colours go with the old rows.
    void replace(const kx::TableRows& rows, int fixedRows);

private:
    void dropColorsFrom(int row);

    kx::TableRows m_rows;
    QHash<quint64, QColor> m_colors;
    int m_cols = 0;
    int m_fixed = 0;
};
