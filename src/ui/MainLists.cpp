#include "ui/MainLists.h"

#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "widgets/Skin.h"

#include <QCollator>
#include <QCoreApplication>
#include <QDataStream>
#include <QDate>
#include <QDragMoveEvent>
#include <QHBoxLayout>
#include <QHash>
#include <QLabel>
#include <QLocale>
#include <QMimeData>
#include <QTime>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

struct CallPlaceholder
{
    const char *croatian;
    const char *english;
};

constexpr CallPlaceholder kCallPlaceholders[] = {
    {QT_TRANSLATE_NOOP("CallPipeline", "< Nepoznat >"), "< Unknown >"},
    {QT_TRANSLATE_NOOP("CallPipeline", "< Sakriven >"), "< Withheld >"},
    {QT_TRANSLATE_NOOP("CallPipeline", "< Neidentificiran >"), "< Unidentified >"},
};

const CallPlaceholder *findCallPlaceholder(const QString &text)
{
    for (const CallPlaceholder &p : kCallPlaceholders)
        if (text == QString::fromUtf8(p.croatian) || text == QLatin1String(p.english))
            return &p;
    return nullptr;
}

} // namespace

bool IsCallPlaceholder(const QString &text)
{
    return findCallPlaceholder(text) != nullptr;
}

QString ShownCallText(const QString &stored)
{
    const CallPlaceholder *p = findCallPlaceholder(stored);
    return p ? QCoreApplication::translate("CallPipeline", p->croatian) : stored;
}

QPixmap MainListImage(int index)
{
    static QHash<int, QPixmap> cache;
    auto it = cache.find(index);
    if (it == cache.end())
        it = cache.insert(index, skin::pixmap(QStringLiteral("mainImage%1").arg(index)));
    return *it;
}

// --- Contact rows ---------------------------------------------------------------------------------

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

// --- Call rows ------------------------------------------------------------------------------------

TCallRowsModel::TCallRowsModel(CallLog &callLog, const AddressBook &addressBook, QObject *parent)
    : QAbstractTableModel(parent), m_log(callLog), m_book(addressBook)
{
}

void TCallRowsModel::refresh()
{
    beginResetModel();
    m_rows = m_log.calls().size();
    m_names.assign(std::size_t(m_rows), QString());
    m_named.assign(std::size_t(m_rows), false);
    m_contactsRevision = m_book.contacts().revision();
    endResetModel();
}

QString TCallRowsModel::callerText(int row) const
{
    if (row < 0 || row >= m_rows || row >= m_log.calls().size())
        return {};
    if (m_book.contacts().revision() != m_contactsRevision) {
        std::fill(m_named.begin(), m_named.end(), false);
        m_contactsRevision = m_book.contacts().revision();
    }
    const std::size_t i = std::size_t(row);
    if (m_named[i])
        return m_names[i];
    const ContactMatch match = m_book.FindContactByNumber(m_log.calls()[row].CallerNumber);
    if (match.index >= 0)
        m_log.NameCaller(row, m_book.contacts()[match.index].DisplayNameAs);
    m_names[i] = m_log.calls()[row].CallerName;
    m_named[i] = true;
    return m_names[i];
}

QString TCallRowsModel::dateTimeText(double callDate, double callTime)
{
    const QLocale locale = QLocale::system();
    QString date;
    if (std::isfinite(callDate) && std::fabs(callDate) <= 1.0e8)
        date =
            locale.toString(QDate(1899, 12, 30).addDays(qint64(std::trunc(callDate))), QLocale::ShortFormat);
    QString time;
    if (std::isfinite(callTime)) {
        const double fraction = std::fabs(callTime - std::trunc(callTime));
        const int ms = std::min(int(std::llround(fraction * 86400000.0)), 86399999);
        time = locale.toString(QTime::fromMSecsSinceStartOfDay(ms), QLocale::ShortFormat);
    }
    return date + QStringLiteral("  ") + time;
}

int TCallRowsModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_rows;
}

int TCallRowsModel::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : 4;
}

QVariant TCallRowsModel::data(const QModelIndex &index, int role) const
{
    // A reload may have shortened the list before the view heard of it.
    if (!index.isValid() || index.row() >= m_rows || index.row() >= m_log.calls().size())
        return {};
    const ACalls &call = m_log.calls()[index.row()];
    if (role == Qt::DisplayRole) {
        switch (index.column()) {
        case 0:
            return ShownCallText(callerText(index.row()));
        case 1:
            return ShownCallText(call.CallerNumber);
        case 2:
            return ShownCallText(call.CalledNumber);
        case 3:
            return dateTimeText(call.CallDate, call.CallTime);
        default:
            return {};
        }
    }
    if (role == Qt::DecorationRole && index.column() == 0)
        return MainListImage(call.IsNew ? 26 : 25);
    if (role == Qt::UserRole && index.column() == 0)
        return call.IsNew ? 26 : 25;
    return {};
}

QVariant TCallRowsModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    switch (section) {
    case 0:
        return tr("Naziv pozivatelja");
    case 1:
        return tr("Telefon pozivatelja");
    case 2:
        return tr("Pozvani broj");
    case 3:
        return tr("Datum  :  Vrijeme");
    default:
        return {};
    }
}

// --- Groups tree ----------------------------------------------------------------------------------

namespace {
constexpr int kImageRole = Qt::UserRole + 1;
}

TGroupsTree::TGroupsTree(QWidget *parent) : QTreeWidget(parent)
{
    setHeaderHidden(true);
    setColumnCount(1);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    setDropIndicatorShown(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
}

int TGroupsTree::imageOf(const QTreeWidgetItem *node)
{
    return node ? node->data(0, kImageRole).toInt() : -1;
}

int TGroupsTree::levelOf(const QTreeWidgetItem *node)
{
    int level = 0;
    for (const QTreeWidgetItem *p = node ? node->parent() : nullptr; p; p = p->parent())
        ++level;
    return level;
}

QTreeWidgetItem *TGroupsTree::makeNode(const QString &text, int image)
{
    auto *node = new QTreeWidgetItem(QStringList{text});
    node->setData(0, kImageRole, image);
    node->setIcon(0, MainListImage(image));
    return node;
}

bool TGroupsTree::acceptsDrop(const QTreeWidgetItem *node)
{
    if (!node)
        return false;
    const int image = imageOf(node);
    if (levelOf(node) == 0)
        return image == 23;
    return image != 24;
}

void TGroupsTree::dragEnterEvent(QDragEnterEvent *event)
{
    if (event->mimeData()->hasFormat(QString::fromLatin1(TContactRowsModel::kMimeType)))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TGroupsTree::dragMoveEvent(QDragMoveEvent *event)
{
    QTreeWidgetItem *node = itemAt(event->position().toPoint());
    if (event->mimeData()->hasFormat(QString::fromLatin1(TContactRowsModel::kMimeType)) && acceptsDrop(node))
        event->acceptProposedAction();
    else
        event->ignore();
}

void TGroupsTree::dropEvent(QDropEvent *event)
{
    QTreeWidgetItem *node = itemAt(event->position().toPoint());
    const QStringList names = TContactRowsModel::namesFromMime(event->mimeData());
    if (!acceptsDrop(node) || names.isEmpty()) {
        event->ignore();
        return;
    }
    // The contacts keep their place in the list; only their fields change.
    event->setDropAction(Qt::CopyAction);
    event->accept();
    emit contactsDropped(node, names);
}

// --- Status panels --------------------------------------------------------------------------------

TStatusPanels::TStatusPanels(int panels, QWidget *parent) : QFrame(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < panels; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("panel%1").arg(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(20);
        layout->addWidget(label, 1);
        m_panels.push_back(label);
    }
}

QString TStatusPanels::text(int i) const
{
    return m_panels[std::size_t(i)]->text();
}

void TStatusPanels::setText(int i, const QString &text)
{
    m_panels[std::size_t(i)]->setText(text);
}
