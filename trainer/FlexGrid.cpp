#include "FlexGrid.h"

#include "Twips.h"

#include "FlexGridModel.h"

#include <QHeaderView>
#include <QHelpEvent>
#include <QToolTip>

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

bool FlexGrid::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        const auto* help = static_cast<QHelpEvent*>(event);
        const QModelIndex index = indexAt(help->pos());
        const QString text = index.data().toString();
        constexpr int kCellPadding = 8; // pixels the cell keeps around its text
        if (index.isValid() &&
            fontMetrics().horizontalAdvance(text) + kCellPadding > visualRect(index).width()) {
            QToolTip::showText(help->globalPos(), text, viewport(), visualRect(index));
            return true;
        }
    }
    return QTableView::viewportEvent(event);
}

void FlexGrid::setTableModel(FlexGridModel* model)
{
    model->setCols(Cols());
    FlexGridModel* old = m_model;
    m_model = model;
    setModel(model);
    if (old->parent() == this)
        delete old;
    showHeader();
}

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
