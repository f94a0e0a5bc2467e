#include "ui/TContactRowsModel.h"

#include "ui/MainLists.h"

#include <QCollator>
#include <QDataStream>
#include <QIODevice>
#include <QLocale>
#include <QMimeData>

#include <algorithm>
#include <numeric>

TContactRowsModel::TContactRowsModel(QObject *parent) : QAbstractTableModel(parent) {}

void TContactRowsModel::setRows(std::vector<TContactRec> rows)
{
    // Sort keys once per row: comparing through the locale on every step of the sort costs
    // several times more with ten thousand names.
    QCollator collator{QLocale()};
    collator.setCaseSensitivity(Qt::CaseSensitive);
    std::vector<QCollatorSortKey> keys;
    keys.reserve(rows.size());
    for (const TContactRec &rec : rows)
        keys.push_back(collator.sortKey(rec.DisplayName));
    std::vector<std::size_t> order(rows.size());
    std::iota(order.begin(), order.end(), std::size_t(0));
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return keys[a].compare(keys[b]) < 0; });
    std::vector<TContactRec> sorted;
    sorted.reserve(rows.size());
    for (std::size_t i : order)
        sorted.push_back(std::move(rows[i]));

    beginResetModel();
    m_rows = std::move(sorted);
    endResetModel();
}

int TContactRowsModel::indexOfName(const QString &displayName) const
{
    for (std::size_t i = 0; i < m_rows.size(); ++i)
        if (m_rows[i].DisplayName == displayName)
            return int(i);
    return -1;
}

int TContactRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_rows.size());
}

int TContactRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 3;
}

QVariant TContactRowsModel::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= int(m_rows.size()))
        return {};
    const TContactRec &rec = m_rows[std::size_t(index.row())];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return rec.DisplayName;
        case 1:
            return rec.Company;
        case 2:
            return rec.Group;
        default:
            return {};
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0)
        return MainListImage(rec.BlackList ? 22 : 2);
    return {};
}

QVariant TContactRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return tr("Ime osobe");
    case 1:
        return tr("Tvrtka");
    case 2:
        return tr("Grupa");
    default:
        return {};
    }
}

Qt::ItemFlags TContactRowsModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
}

QStringList TContactRowsModel::mimeTypes() const
{
    return {QString::fromLatin1(kMimeType)};
}

QMimeData *TContactRowsModel::mimeData(const QModelIndexList &indexes) const
{
    QList<int> rows;
    for (const QModelIndex &index : indexes)
        if (index.isValid() && !rows.contains(index.row()))
            rows << index.row();
    std::sort(rows.begin(), rows.end());
    QStringList names;
    for (int r : rows)
        if (r < int(m_rows.size()))
            names << m_rows[std::size_t(r)].DisplayName;
    return mimeForNames(names);
}

QMimeData *TContactRowsModel::mimeForNames(const QStringList &names)
{
    auto *mime = new QMimeData;
    // Names may hold any character but a line break never ends one: they are written as a
    // length-prefixed list.
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out << names;
    mime->setData(QString::fromLatin1(kMimeType), bytes);
    mime->setText(names.join(QLatin1Char('\n')));
    return mime;
}

QStringList TContactRowsModel::namesFromMime(const QMimeData *mime)
{
    QStringList names;
    if (!mime || !mime->hasFormat(QString::fromLatin1(kMimeType)))
        return names;
    QDataStream in(mime->data(QString::fromLatin1(kMimeType)));
    in >> names;
    if (in.status() != QDataStream::Ok)
        return {};
    return names;
}
