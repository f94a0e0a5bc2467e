#include "ui/MainLists.h"

#include "widgets/Skin.h"

#include <QHash>
#include <QItemSelection>
#include <QScrollBar>
#include <QTreeView>

#include <algorithm>

QPixmap MainListImage(int index)
{
    static QHash<int, QPixmap> cache;
    auto it = cache.find(index);
    if (it == cache.end())
        it = cache.insert(index, skin::pixmap(QStringLiteral("mainImage%1").arg(index)));
    return *it;
}

QList<int> SelectedRowsOf(const QAbstractItemView *view)
{
    QList<int> rows;
    for (const QItemSelectionRange &range : view->selectionModel()->selection())
        for (int r = range.top(); r <= range.bottom(); ++r)
            rows << r;
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    return rows;
}

ListRows ListRowsOf(const QTreeView *view)
{
    ListRows rows;
    rows.selected = SelectedRowsOf(view);
    const QModelIndex current = view->selectionModel()->currentIndex();
    rows.current = current.isValid() ? current.row() : -1;
    const QModelIndex top = view->indexAt(QPoint(1, 1));
    rows.top = top.isValid() ? top.row() : -1;
    rows.atTop = view->verticalScrollBar()->value() <= view->verticalScrollBar()->minimum();
    return rows;
}

void ShowListRows(QTreeView *view, const ListRows &rows)
{
    QAbstractItemModel *model = view->model();
    QItemSelectionModel *selection = view->selectionModel();
    QList<int> selected = rows.selected;
    selected.removeAll(-1);
    std::sort(selected.begin(), selected.end());
    // One range per run of neighbouring rows: a list of ten thousand selected stays quick.
    QItemSelection ranges;
    const int lastColumn = model->columnCount() - 1;
    for (qsizetype i = 0; i < selected.size();) {
        qsizetype end = i;
        while (end + 1 < selected.size() && selected[end + 1] <= selected[end] + 1)
            ++end;
        ranges.select(model->index(selected[i], 0), model->index(selected[end], lastColumn));
        i = end + 1;
    }
    if (rows.current >= 0)
        selection->setCurrentIndex(model->index(rows.current, 0), QItemSelectionModel::NoUpdate);
    selection->select(ranges, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    // Last: making a row current scrolls it into view.
    if (rows.atTop)
        view->scrollToTop();
    else if (rows.top >= 0)
        view->scrollTo(model->index(rows.top, 0), QAbstractItemView::PositionAtTop);
}
