#include "ui/TCallRowsModel.h"

#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/CallPlaceholders.h"
#include "ui/MainLists.h"

#include <QDate>
#include <QLocale>
#include <QTime>

#include <algorithm>
#include <cmath>

TCallRowsModel::TCallRowsModel(CallLog &callLog, const AddressBook &addressBook, QObject *parent)
    : QAbstractTableModel(parent), m_log(callLog), m_book(addressBook)
{
    // The names shown stay with their calls; the rows look again.
    connect(&addressBook, &AddressBook::contactsChanged, this, [this] {
        keepShownNames();
        m_contactNames.clear();
        std::fill(m_looked.begin(), m_looked.end(), false);
    });
}

void TCallRowsModel::keepShownNames()
{
    m_log.NameCallers(m_contactNames);
}

size_t qHash(const TCallKey &key, size_t seed)
{
    return qHashMulti(seed, key.CallerNumber, key.CalledNumber, key.CallDate, key.CallTime);
}

void TCallRowsModel::refresh()
{
    beginResetModel();
    m_rows = m_log.calls().size();
    m_keys.clear();
    m_keys.reserve(std::size_t(m_rows));
    for (const ACalls &call : m_log.calls())
        m_keys.push_back({call.CallerNumber, call.CalledNumber, call.CallDate, call.CallTime});
    m_looked.assign(std::size_t(m_rows), false);
    m_contactNames.clear();
    m_contactsRevision = m_book.contactsRevision();
    endResetModel();
}

QString TCallRowsModel::callerText(int row) const
{
    if (row < 0 || row >= m_rows || row >= m_log.calls().size())
        return {};
    if (m_book.contactsRevision() != m_contactsRevision) {
        std::fill(m_looked.begin(), m_looked.end(), false);
        m_contactNames.clear();
        m_contactsRevision = m_book.contactsRevision();
    }
    if (!m_looked[std::size_t(row)]) {
        m_looked[std::size_t(row)] = true;
        const ContactMatch match = m_book.FindContactByNumber(m_log.calls()[row].CallerNumber);
        if (match.index >= 0)
            m_contactNames.insert(row, m_book.contacts()[match.index].DisplayNameAs);
    }
    return m_contactNames.value(row, m_log.calls()[row].CallerName);
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
