#pragma once

#include <QHash>
#include <QList>
#include <QPixmap>

#include <optional>
#include <type_traits>
#include <utility>

class QAbstractItemView;
class QTreeView;

// What the main window's lists and the other windows' lists share.

// The main window's list pictures by their image-list index (2, 9, 22 ... 26).
QPixmap MainListImage(int index);

// Where a report list stands: the rows selected, the current row and the row at its top (-1 for
// none), and whether it is scrolled to its very top.
struct ListRows
{
    QList<int> selected;
    int current = -1;
    int top = -1;
    bool atTop = true;
};
ListRows ListRowsOf(const QTreeView *view);
// The rows selected in a list that selects whole rows, in ascending order. Unlike Qt's
// selectedRows() it reads the selection's ranges only, which keeps a selection of a hundred
// thousand rows quick.
QList<int> SelectedRowsOf(const QAbstractItemView *view);
// Selects ROWS, makes the current one current and scrolls as they say; rows of -1 are left out.
void ShowListRows(QTreeView *view, const ListRows &rows);

// Keeps a report list where it stands while its rows are replaced (a file read again, a call
// logged): the records selected, the current one and the one at the top are found again by their
// keys, the model's keyAt(row), wherever the new rows put them. A record that is gone leaves
// nothing selected in its place, so that no command reaches a record the user did not choose.
template <typename Model> class KeepListPlace
{
public:
    using Key = std::decay_t<decltype(std::declval<const Model &>().keyAt(0))>;

    // Before the rows are replaced.
    KeepListPlace(QTreeView *view, const Model &model) : m_view(view), m_model(model)
    {
        const ListRows rows = ListRowsOf(view);
        for (int r : rows.selected)
            m_selected << model.keyAt(r);
        if (rows.current >= 0)
            m_current = model.keyAt(rows.current);
        if (rows.top >= 0)
            m_top = model.keyAt(rows.top);
        m_atTop = rows.atTop;
    }

    // After the rows were replaced.
    void restore() const
    {
        ListRows rows;
        rows.selected = rowsOf(m_selected);
        rows.current = m_current ? rowsOf({*m_current}).first() : -1;
        rows.top = m_top ? rowsOf({*m_top}).first() : -1;
        rows.atTop = m_atTop;
        ShowListRows(m_view, rows);
    }

private:
    // Where each of KEYS stands now, -1 when nowhere. Records alike in every key field take
    // such rows in turn, one each. One pass over the rows, which ends when all are found.
    QList<int> rowsOf(const QList<Key> &keys) const
    {
        // The first key of each value waiting to be found, and after each key the next one of
        // the same value.
        QHash<Key, qsizetype> wanted;
        wanted.reserve(keys.size());
        QList<qsizetype> next(keys.size(), -1);
        for (qsizetype i = keys.size() - 1; i >= 0; --i) {
            next[i] = wanted.value(keys[i], -1);
            wanted.insert(keys[i], i);
        }
        QList<int> rows(keys.size(), -1);
        const int count = m_model.rowCount();
        for (int r = 0; r < count && !wanted.isEmpty(); ++r) {
            const auto it = wanted.find(m_model.keyAt(r));
            if (it == wanted.end())
                continue;
            rows[*it] = r;
            if (next[*it] >= 0)
                *it = next[*it];
            else
                wanted.erase(it);
        }
        return rows;
    }

    QTreeView *m_view;
    const Model &m_model;
    QList<Key> m_selected;
    std::optional<Key> m_current;
    std::optional<Key> m_top;
    bool m_atTop = true;
};
