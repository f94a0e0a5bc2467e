#pragma once

#include <QAbstractTableModel>
#include <QHash>
#include <QString>

#include <cstdint>
#include <vector>

class AddressBook;
class CallLog;
struct ACalls;

// What tells one logged call from another in the list: the caller's name may change as contacts
// do, and the new mark as calls are seen.
struct TCallKey
{
    QString CallerNumber;
    QString CalledNumber;
    double CallDate = 0.0;
    double CallTime = 0.0;

    bool operator==(const TCallKey &) const = default;
};
size_t qHash(const TCallKey &key, size_t seed = 0);

// The call list: a view straight over the call log, newest first. The caller's column shows the
// name of the contact the number belongs to now, looked up as the row is first drawn and kept
// until the call log or the address book changes. Drawing never changes the call log.
class TCallRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    TCallRowsModel(CallLog &callLog, const AddressBook &addressBook, QObject *parent = nullptr);

    // The call list changed (or was reloaded): every row is read again.
    void refresh();
    // The call a row showed at the last refresh, still there while the log has changed since.
    const TCallKey &keyAt(int row) const { return m_keys[std::size_t(row)]; }

    QString callerText(int row) const;
    // The contact names shown so far go into the call log (never while drawing), which keeps
    // them with the calls for its next save.
    void keepShownNames();
    static QString dateTimeText(double callDate, double callTime);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CallLog &m_log;
    const AddressBook &m_book;
    int m_rows = 0;
    std::vector<TCallKey> m_keys;
    // Rows whose caller was looked up, and the contact names found, valid while the address
    // book keeps its revision.
    mutable std::vector<bool> m_looked;
    mutable QHash<int, QString> m_contactNames;
    mutable std::uint64_t m_contactsRevision = 0;
};
