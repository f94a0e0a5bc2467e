#pragma once

#include "ui/DialogSeams.h"

#include <QDialog>
#include <QString>

class AddressBook;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

// The small dialog that asks for a group's name, for a new group and for renaming one.
class TfrmGroup : public QDialog
{
    Q_OBJECT

public:
    explicit TfrmGroup(QWidget *parent = nullptr);

    // Window caption, the group box's label and the name to start from.
    void prepare(const QString &caption, const QString &label, const QString &name);

    // The name without surrounding blanks, as the groups file will hold it (other scripts in
    // Latin letters).
    QString groupName() const;

private:
    void editGroupNameChange();

    QGroupBox *gbGroup = nullptr;
    QLineEdit *editGroupName = nullptr;
    QLabel *lblStoredName = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnCancel = nullptr;
};

// The new-group operation of the editor and the main window: asks for a name and adds the group
// to BOOK, showing a refusal or a failure in a message box. Returns the new group's name, or empty
// when the user cancelled, the name was refused or the file could not be saved.
QString NewGroup(TfrmGroup &dialog, AddressBook &book);
