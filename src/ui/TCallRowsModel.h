#pragma once

#include <QAbstractTableModel>
#include <QString>

#include <cstdint>
#include <vector>

class AddressBook;
class CallLog;

// The call list: a view straight over the call log, newest first. The caller's column shows the
// name of the contact the number belongs to now, looked up as the row is drawn.
class TCallRowsModel : public QAbstractTableModel
{
    Q_OBJECT

public:
    TCallRowsModel(CallLog &callLog, const AddressBook &addressBook, QObject *parent = nullptr);

    // The call list changed (or was reloaded): every row is read again.
    void refresh();

    QString callerText(int row) const;
    static QString dateTimeText(double callDate, double callTime);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    CallLog &m_log;
    const AddressBook &m_book;
    int m_rows = 0;
    // Caller names already looked up, valid while the address book keeps its revision.
    mutable std::vector<QString> m_names;
    mutable std::vector<bool> m_named;
    mutable std::uint64_t m_contactsRevision = 0;
};
