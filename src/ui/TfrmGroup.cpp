#include "ui/TfrmGroup.h"

#include "store/AddressBook.h"
#include "store/FileRecords.h"

#include "ui/DialogSeams.h"

#include <QDialogButtonBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmGroup::TfrmGroup(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmGroup"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);

    editGroupName = new QLineEdit;
    editGroupName->setObjectName(QStringLiteral("editGroupName"));
    editGroupName->setMaxLength(capacity::GroupName);
    editGroupName->setMinimumWidth(260);

    gbGroup = new QGroupBox;
    gbGroup->setObjectName(QStringLiteral("gbGroup"));
    auto *row = new QHBoxLayout(gbGroup);
    row->addWidget(new QLabel(tr("Naziv grupe:")));
    row->addWidget(editGroupName, 1);

    QDialogButtonBox *buttons = AcceptCancelButtons(this, tr("Snimi"), "btnSave", btnSave, btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(gbGroup);
    layout->addWidget(buttons);
    // Made default only inside the dialog, so the dialog keeps it as its main default button
    // even after another button had the focus.
    btnSave->setDefault(true);

    connect(editGroupName, &QLineEdit::textChanged, this, &TfrmGroup::editGroupNameChange);
    // Enter in the name saves only while saving is allowed (the default button would be
    // skipped silently when disabled, but say it here where the rule lives).
    connect(editGroupName, &QLineEdit::returnPressed, this, [this] {
        if (btnSave->isEnabled())
            accept();
    });
    editGroupNameChange();
}

void TfrmGroup::prepare(const QString &caption, const QString &label, const QString &name)
{
    setWindowTitle(caption);
    gbGroup->setTitle(label);
    editGroupName->setText(name);
    editGroupName->selectAll();
    editGroupName->setFocus();
    editGroupNameChange();
}

QString TfrmGroup::groupName() const
{
    return editGroupName->text().trimmed();
}

void TfrmGroup::editGroupNameChange()
{
    btnSave->setEnabled(!groupName().isEmpty());
}

QString NewGroup(TfrmGroup &dialog, AddressBook &book)
{
    dialog.prepare(TfrmGroup::tr("Nova grupa"), TfrmGroup::tr(" Dodaj novu grupu:"), QString());
    if (RunModalDialog(dialog) != QDialog::Accepted)
        return {};

    const QString name = dialog.groupName();
    return ShowStoreResult(book.AddGroup(name)) ? name : QString();
}
