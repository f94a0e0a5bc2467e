#pragma once

#include "exchange/WabRecord.h"
#include "ui/DialogSeams.h"
#include "ui/TypeAheadListView.h"

#include <QDialog>
#include <QList>
#include <QString>

#include <functional>

class AddressBook;
class QGroupBox;
class QPushButton;
class Settings;
class TRunningLabel;

// Imports contacts from an address-book file: shows the file's contacts sorted by name, and
// saves the marked ones that are not in the address book yet into a new group.
class TfrmWab : public QDialog
{
    Q_OBJECT

public:
    TfrmWab(Settings &settings, AddressBook &addressBook, QWidget *parent = nullptr);
    ~TfrmWab() override;

    // FOLDER is the file to start from when there is one.
    void setOpenFileDialog(OpenFileFn fn) { m_openFile = std::move(fn); }
    // Called with the new group's name after contacts were imported.
    void setImportedHandler(std::function<void(const QString &group)> fn) { m_imported = std::move(fn); }

    void FormShow();
    void FormClose();
    void LoadWabFile();
    void btnBrowseClick();
    void btnMarkAllClick();
    void btnUnmarkAllClick();
    void btnImportClick();

    const QList<TWABRecord> &records() const { return m_records; }

    TRunningLabel *lblWabFileName = nullptr;
    QGroupBox *gbChooseFile = nullptr;
    QGroupBox *gbAddressbook = nullptr;
    QPushButton *btnBrowse = nullptr;
    TTypeAheadListView *lvContacts = nullptr;
    QPushButton *btnMarkAll = nullptr;
    QPushButton *btnUnmarkAll = nullptr;
    QPushButton *btnImport = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void lvContactsChange();
    void setCount(int count);

    Settings &m_settings;
    AddressBook &m_book;
    TNameRowsModel *m_rows = nullptr;
    QList<TWABRecord> m_records;
    QString m_currentWabFile;
    OpenFileFn m_openFile;
    std::function<void(const QString &)> m_imported;
};
