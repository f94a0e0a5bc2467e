#pragma once

#include <QAbstractTableModel>
#include <QPixmap>
#include <QTreeView>

#include <functional>

// Rows of a contact list made when the view asks for them, so a large list costs nothing up
// front: the first column carries PICTURE, every row its tool tip (line breaks as "\r").
class TNameRowsModel : public QAbstractTableModel
{
public:
    using CellFn = std::function<QString(int row, int column)>;
    using TipFn = std::function<QString(int row)>;
    using HeaderFn = std::function<QString(int section)>;

    TNameRowsModel(int columns, QPixmap picture, CellFn cell, TipFn tip, HeaderFn header, QObject *parent);

    // The view shows ROWS rows from now on.
    void reset(int rows);
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_rows; }
    int columnCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : m_columns;
    }
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    int m_columns;
    QPixmap m_picture;
    CellFn m_cell;
    TipFn m_tip;
    HeaderFn m_header;
    int m_rows = 0;
};

// A list whose type-ahead goes by the start of each row's name: a new word is looked for from the
// row after the current one, round to the top; a word typed on within the keyboard interval may
// stay on the current row.
class TTypeAheadListView : public QTreeView
{
    Q_OBJECT

public:
    // The row whose name begins with TEXT, from START on (wrapping), or -1.
    using RowFinder = std::function<int(const QString &text, int start)>;

    using QTreeView::QTreeView;
    // Shows MODEL as a read-only report with whole-row multiple selection, the columns WIDTHS wide.
    void setRows(QAbstractItemModel *model, std::initializer_list<int> widths);
    void setRowFinder(RowFinder finder) { m_find = std::move(finder); }
    // Makes the first row (when there is one) selected, current and visible.
    void selectFirstRow();
    void keyboardSearch(const QString &search) override;

private:
    RowFinder m_find;
    QString m_typed;
    qint64 m_lastKey = 0;
};
