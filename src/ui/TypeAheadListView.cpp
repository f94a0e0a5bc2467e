#include "ui/TypeAheadListView.h"

#include <QApplication>
#include <QDateTime>
#include <QHeaderView>

void TTypeAheadListView::setRows(QAbstractItemModel *rows, std::initializer_list<int> widths)
{
    setModel(rows);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setSectionsClickable(false);
    header()->setStretchLastSection(false);
    int column = 0;
    for (int width : widths)
        setColumnWidth(column++, width);
}

void TTypeAheadListView::selectFirstRow()
{
    if (!model() || model()->rowCount() == 0)
        return;
    const QModelIndex first = model()->index(0, 0);
    selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(first);
}

void TTypeAheadListView::keyboardSearch(const QString &search)
{
    if (!m_find || search.isEmpty() || !model())
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const int current = currentIndex().isValid() ? currentIndex().row() : 0;
    int start = current;
    if (m_typed.isEmpty() || now - m_lastKey > QApplication::keyboardInputInterval()) {
        m_typed = search;
        start = current + 1;
    } else {
        m_typed += search;
    }
    m_lastKey = now;
    const int rows = model()->rowCount();
    if (rows == 0)
        return;
    const int row = m_find(m_typed, start % rows);
    if (row < 0)
        return;
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

TNameRowsModel::TNameRowsModel(int columns, QPixmap picture, CellFn cell, TipFn tip, HeaderFn header,
                               QObject *parent)
    : QAbstractTableModel(parent), m_columns(columns), m_picture(std::move(picture)), m_cell(std::move(cell)),
      m_tip(std::move(tip)), m_header(std::move(header))
{
}

void TNameRowsModel::reset(int rows)
{
    beginResetModel();
    m_rows = rows;
    endResetModel();
}

QVariant TNameRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_rows)
        return {};
    switch (role) {
    case Qt::DisplayRole:
        return m_cell(index.row(), index.column());
    case Qt::DecorationRole:
        return index.column() == 0 ? QVariant(m_picture) : QVariant();
    case Qt::ToolTipRole:
        // The tip's line breaks are single carriage returns; on screen they break the line.
        return m_tip(index.row()).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    default:
        return {};
    }
}

QVariant TNameRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    return m_header(section);
}
