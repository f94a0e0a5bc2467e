#pragma once

#include "ui/DialogSeams.h"

#include <QDialog>

class QLineEdit;
class QPushButton;
class QTreeWidget;
class TfrmOutlookContacts;

// Chooses the contacts folder a save goes into; folders can be added and deleted here too. The
// tree holds the default folder as its root and the other folders as its children.
class TfrmOutlookFolders : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmOutlookFolders(TfrmOutlookContacts &exchange, QWidget *parent = nullptr);

    // Fills the tree and the exchange window's folder list from the contacts folders.
    void LoadOutlookFolders();
    // The chosen folder's position (0 for the root), or -1 when none is selected.
    int selectedPosition() const;

    void FormShow();
    void editFolderNameChange();
    void tvOutlookFoldersChange();
    void btnAddFolderClick();
    void btnDeleteFolderClick();

    QLineEdit *editFolderName = nullptr;
    QTreeWidget *tvOutlookFolders = nullptr;
    QPushButton *btnAddFolder = nullptr;
    QPushButton *btnDeleteFolder = nullptr;
    QPushButton *btnAccept = nullptr;
    QPushButton *btnCancel = nullptr;

protected:
    void showEvent(QShowEvent *event) override;

private:
    TfrmOutlookContacts &m_exchange;
};
