#pragma once

#include "exchange/VCardFolders.h"
#include "store/Records.h"
#include "ui/DialogSeams.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class AddressBook;
class QComboBox;
class QGroupBox;
class QPushButton;
class Settings;
class TNameRowsModel;
class TTypeAheadListView;
class TfrmOutlookFolders;
class TfrmReading;

// Exchanges contacts with a vCard contacts folder: the contacts of one of its folders beside
// those of the address book. Marked contacts of the folder go into a new group of the address
// book, marked contacts of the address book into a folder chosen in TfrmOutlookFolders, and
// names present on both sides can be taken out of both lists first.
class TfrmOutlookContacts : public QDialog
{
    Q_OBJECT

public:
    TfrmOutlookContacts(Settings &settings, AddressBook &addressBook, QWidget *parent = nullptr);
    ~TfrmOutlookContacts() override;

    // Called with the new group's name after contacts were saved into the address book.
    void setSavedHandler(std::function<void(const QString &group)> fn) { m_saved = std::move(fn); }

    // What the main window's exchange button does: connect, list the folders, read the default
    // folder (which brings the window up) and the address book.
    void StartExchange();

    // Opens the contacts root; false, with "Ne mogu otvoriti…" shown, when it cannot be read.
    bool ConnectOutlook();
    // The default folder's name, then its sub-folders' in order.
    QStringList GetContactFolders() const;
    void ReadOutlookContacts();
    void ShowAddressbookContacts();

    void cbOutlookFoldersChange();
    void btnOutlookRefreshClick();
    void btnAddressbookRefreshClick();
    void btnOutlookMarkAllClick();
    void btnOutlookUnmarkAllClick();
    void btnAddressbookMarkAllClick();
    void btnAddressbookUnmarkAllClick();
    void btnRemoveIdenticalClick();
    void btnSaveToAddressbookClick();
    void btnSaveToOutlookClick();
    void btnCloseClick();

    TVCardFolders &store() { return m_store; }
    // The folder shown: its position in the folder list, or -1 when none is set.
    int currentPosition() const;
    // Makes the folder at POSITION the one shown, without reading it.
    void setCurrentPosition(int position);

    const QList<AListAddress> &outlookList() const { return OutlookList; }
    const QList<AListAddress> &bookList() const { return BookList; }
    TfrmOutlookFolders &foldersWindow() { return *m_folders; }
    TfrmReading &readingWindow() { return *m_reading; }

    QGroupBox *gbOutlook = nullptr;
    QComboBox *cbOutlookFolders = nullptr;
    TTypeAheadListView *lvOutlook = nullptr;
    QPushButton *btnOutlookMarkAll = nullptr;
    QPushButton *btnOutlookUnmarkAll = nullptr;
    QPushButton *btnOutlookRefresh = nullptr;
    QPushButton *btnSaveToAddressbook = nullptr;
    QGroupBox *gbAddressbook = nullptr;
    TTypeAheadListView *lvContacts = nullptr;
    QPushButton *btnAddressbookMarkAll = nullptr;
    QPushButton *btnAddressbookUnmarkAll = nullptr;
    QPushButton *btnAddressbookRefresh = nullptr;
    QPushButton *btnSaveToOutlook = nullptr;
    QPushButton *btnRemoveIdentical = nullptr;
    QPushButton *btnClose = nullptr;

signals:
    // Each contact read, with its position from 1, once the progress window shows it.
    void readingStep(int position);

protected:
    void hideEvent(QHideEvent *event) override;

private:
    void FormClose();
    void showOutlookRows();
    void showBookRows();
    void updateRemoveIdentical();
    QList<int> selectedRows(const TTypeAheadListView *list) const;

    Settings &m_settings;
    AddressBook &m_book;
    TVCardFolders m_store;
    QString m_currentFolder; // name of the folder shown; empty when not connected
    QList<AListAddress> OutlookList;
    QList<AListAddress> BookList;
    TNameRowsModel *m_outlookRows = nullptr;
    TNameRowsModel *m_bookRows = nullptr;
    TfrmOutlookFolders *m_folders = nullptr;
    TfrmReading *m_reading = nullptr;
    std::function<void(const QString &)> m_saved;
};
