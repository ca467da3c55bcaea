#include "FlexGridModel.h"

namespace {

quint64 cellKey(int row, int col)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}

} // namespace

int FlexGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size()) - m_fixed;
}
int FlexGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : m_cols;
}

QVariant FlexGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return {};
    const int row = index.row() + m_fixed;
    if (role == Qt::DisplayRole)
        return cell(row, index.column());
    if (role == Qt::BackgroundRole) {
        const auto found = m_colors.constFind(cellKey(row, index.column()));
        if (found != m_colors.constEnd())
            return *found;
    }
    return {};
}

QVariant FlexGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && m_fixed == 1)
        return cell(0, section);
    return {};
}

Qt::ItemFlags FlexGridModel::flags(const QModelIndex& index) const
{
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}

QString FlexGridModel::cell(int row, int col) const
{
    if (row < 0 || row >= m_rows.size() || col < 0 || col >= m_cols)
        return {};
    const QStringList& cells = m_rows.at(row);
    return col < cells.size() ? cells.at(col) : QString();
}

void FlexGridModel::setCell(int row, int col, const QString& text)
{
    if (row < 0 || row >= m_rows.size() || col < 0 || col >= m_cols)
        return;
    QStringList& cells = m_rows[row];
    while (cells.size() <= col)
        cells.append(QString());
    cells[col] = text;
    if (row < m_fixed)
        emit headerDataChanged(Qt::Horizontal, col, col);
    else
        emit dataChanged(index(row - m_fixed, col), index(row - m_fixed, col));
}

QColor FlexGridModel::color(int row, int col) const
{
    return m_colors.value(cellKey(row, col));
}

void FlexGridModel::setColor(int row, int col, const QColor& color)
{
    if (row < m_fixed || row >= m_rows.size() || col < 0 || col >= m_cols)
        return;
    m_colors.insert(cellKey(row, col), color);
    emit dataChanged(index(row - m_fixed, col), index(row - m_fixed, col));
}

void FlexGridModel::setCols(int cols)
{
    cols = qMax(0, cols);
    if (cols > m_cols) {
        beginInsertColumns({}, m_cols, cols - 1);
        m_cols = cols;
        endInsertColumns();
    } else if (cols < m_cols) {
        beginRemoveColumns({}, cols, m_cols - 1);
        m_cols = cols;
        endRemoveColumns();
    }
}

void FlexGridModel::setTotalRows(int rows)
{
    rows = qMax(0, rows);
    if (rows == 0 && m_fixed == 1) {
        // No header row left: the header texts go with it.
        replace({}, 0);
        return;
    }
    const int old = int(m_rows.size());
    if (rows < old) {
        beginRemoveRows({}, rows - m_fixed, old - 1 - m_fixed);
        m_rows.resize(rows);
        dropColorsFrom(rows);
        endRemoveRows();
    } else if (rows > old) {
        beginInsertRows({}, old - m_fixed, rows - 1 - m_fixed);
        m_rows.resize(rows);
        endInsertRows();
    }
}

void FlexGridModel::setFixed(int fixedRows)
{
    if (fixedRows == m_fixed)
        return;
    if (fixedRows == 1) {
        if (m_rows.isEmpty()) {
            m_rows.append(QStringList());
            m_fixed = 1;
        } else {
            beginRemoveRows({}, 0, 0);
            m_fixed = 1;
            endRemoveRows();
        }
        m_colors.removeIf([](const auto& it) { return (it.key() >> 32) == 0; });
    } else {
        beginInsertRows({}, 0, 0);
        m_fixed = 0;
        endInsertRows();
    }
    if (m_cols > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

void FlexGridModel::append(const QStringList& cells)
{
    const int viewRow = rowCount();
    beginInsertRows({}, viewRow, viewRow);
    m_rows.append(cells.mid(0, m_cols));
    endInsertRows();
}

void FlexGridModel::replace(const kx::TableRows& rows, int fixedRows)
{
    if (rowCount() > 0) {
        beginRemoveRows({}, 0, rowCount() - 1);
        m_rows.resize(m_fixed);
        endRemoveRows();
    }
    m_colors.clear();
    kx::TableRows next = rows;
    if (fixedRows == 1 && next.isEmpty())
        next.append(QStringList());
    const int viewRows = int(next.size()) - fixedRows;
    if (viewRows > 0)
        beginInsertRows({}, 0, viewRows - 1);
    m_rows = std::move(next);
    m_fixed = fixedRows;
    if (viewRows > 0)
        endInsertRows();
    if (m_cols > 0)
        emit headerDataChanged(Qt::Horizontal, 0, m_cols - 1);
}

void FlexGridModel::dropColorsFrom(int row)
{
    m_colors.removeIf([row](const auto& it) { return int(it.key() >> 32) >= row; });
}
