#include "FlexGrid.h"

#include <QAbstractTableModel>
#include <QHash>
#include <QHeaderView>

namespace {
constexpr int kTwipsPerPixel = 15;

quint64 cellKey(int row, int col)
{
    return (quint64(quint32(row)) << 32) | quint32(col);
}
} // namespace

/*
 * The grid's cells: all rows, row 0 included, as plain texts, with the header
 * row shown as the view's column header while it is fixed. Rows change in
 * bulk with one insertion or removal, so a table of many thousand rows is
 * replaced in one step.
 */
class FlexGridModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size()) - m_fixed;
    }
    int columnCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : m_cols;
    }

    QVariant data(const QModelIndex& index, int role) const override
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

    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation == Qt::Horizontal && role == Qt::DisplayRole && m_fixed == 1)
            return cell(0, section);
        return {};
    }

    Qt::ItemFlags flags(const QModelIndex& index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
    }

    int totalRows() const { return int(m_rows.size()); }
    int fixed() const { return m_fixed; }
    const kx::TableRows& rows() const { return m_rows; }

    QString cell(int row, int col) const
    {
        if (row < 0 || row >= m_rows.size() || col < 0 || col >= m_cols)
            return {};
        const QStringList& cells = m_rows.at(row);
        return col < cells.size() ? cells.at(col) : QString();
    }

    void setCell(int row, int col, const QString& text)
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

    QColor color(int row, int col) const { return m_colors.value(cellKey(row, col)); }

    void setColor(int row, int col, const QColor& color)
    {
        if (row < m_fixed || row >= m_rows.size() || col < 0 || col >= m_cols)
            return;
        m_colors.insert(cellKey(row, col), color);
        emit dataChanged(index(row - m_fixed, col), index(row - m_fixed, col));
    }

    void setCols(int cols)
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

    void setTotalRows(int rows)
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

    void setFixed(int fixedRows)
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

    void append(const QStringList& cells)
    {
        const int viewRow = rowCount();
        beginInsertRows({}, viewRow, viewRow);
        m_rows.append(cells.mid(0, m_cols));
        endInsertRows();
    }

    void replace(const kx::TableRows& rows, int fixedRows)
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

private:
    void dropColorsFrom(int row)
    {
        m_colors.removeIf([row](const auto& it) { return int(it.key() >> 32) >= row; });
    }

    kx::TableRows m_rows;
    QHash<quint64, QColor> m_colors;
    int m_cols = 0;
    int m_fixed = 0;
};

FlexGrid::FlexGrid(QWidget* parent) : QTableView(parent), m_model(new FlexGridModel(this))
{
    setModel(m_model);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    verticalHeader()->hide();
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    horizontalHeader()->hide();
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    horizontalHeader()->setMinimumSectionSize(0);
    setWordWrap(false);
}

FlexGrid::~FlexGrid() = default;

int FlexGrid::Rows() const
{
    return m_model->totalRows();
}

void FlexGrid::setRows(int rows)
{
    m_model->setTotalRows(rows);
    showHeader();
}

int FlexGrid::Cols() const
{
    return m_model->columnCount();
}

void FlexGrid::setCols(int cols)
{
    m_model->setCols(cols);
}

int FlexGrid::FixedRows() const
{
    return m_model->fixed();
}

void FlexGrid::setFixedRows(int fixedRows)
{
    m_model->setFixed(qBound(0, fixedRows, 1));
    showHeader();
}

void FlexGrid::showHeader()
{
    horizontalHeader()->setVisible(m_model->fixed() == 1);
}

QString FlexGrid::TextMatrix(int row, int col) const
{
    return m_model->cell(row, col);
}

void FlexGrid::setTextMatrix(int row, int col, const QString& text)
{
    m_model->setCell(row, col, text);
}

int FlexGrid::ColWidth(int col) const
{
    return columnWidth(col) * kTwipsPerPixel;
}

void FlexGrid::setColWidth(int col, int twips)
{
    if (col < 0 || col >= Cols())
        return;
    setColumnWidth(col, qMax(0, twips) / kTwipsPerPixel);
}

int FlexGrid::Row() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() + FixedRows() : 0;
}

void FlexGrid::setRow(int row)
{
    const int viewRow = row - FixedRows();
    if (viewRow < 0 || viewRow >= m_model->rowCount() || Cols() == 0)
        return;
    setCurrentIndex(m_model->index(viewRow, qMax(0, currentIndex().column())));
    selectRow(viewRow);
}

void FlexGrid::setCol(int col)
{
    const QModelIndex current = currentIndex();
    if (current.isValid() && col >= 0 && col < Cols())
        setCurrentIndex(m_model->index(current.row(), col));
}

void FlexGrid::setCellBackColor(int row, int col, const QColor& color)
{
    m_model->setColor(row, col, color);
}

QColor FlexGrid::CellBackColor(int row, int col) const
{
    return m_model->color(row, col);
}

void FlexGrid::setTopRow(int row)
{
    const int viewRow = row - FixedRows();
    if (viewRow < 0 || viewRow >= m_model->rowCount() || Cols() == 0)
        return;
    scrollTo(m_model->index(viewRow, 0), QAbstractItemView::PositionAtTop);
}

void FlexGrid::AddItem(const QString& text)
{
    m_model->append(text.split(QLatin1Char('\t')));
}

kx::TableRows FlexGrid::Table() const
{
    return m_model->rows();
}

void FlexGrid::setTable(const kx::TableRows& rows, int fixedRows)
{
    m_model->replace(rows, qBound(0, fixedRows, 1));
    showHeader();
}
