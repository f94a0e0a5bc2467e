#include "ui/TfrmGroup.h"

#include "store/Addressbook.h"
#include "store/FileRecords.h"
#include "store/Records.h"
#include "store/StoreError.h"

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

bool GroupNameTaken(const QString &name)
{
    // The tree's own nodes carry these names; a group of the same name could never be told
    // apart from them. Both languages' texts are refused, since stored contacts keep the
    // language they were saved in.
    const QStringList reserved = {QStringLiteral("Bez grupe"), QStringLiteral("Crna Lista"),
                                  TfrmGroup::tr("Bez grupe"), TfrmGroup::tr("Crna Lista")};
    return name.isEmpty() || GroupExists(name) || reserved.contains(name);
}

QString NewGroup(TfrmGroup &dialog, const MessageDialogFn &message)
{
    dialog.prepare(TfrmGroup::tr("Nova grupa"), TfrmGroup::tr(" Dodaj novu grupu:"), QString());
    if (RunModalDialog(dialog) != QDialog::Accepted)
        return {};

    const QString name = dialog.groupName();
    if (GroupNameTaken(name)) {
        message(TfrmGroup::tr("Informacija"), TfrmGroup::tr("Grupa pod tim imenom već postoji!"),
                QMessageBox::Information, QMessageBox::Ok);
        return {};
    }

    GroupList.append(AGroups{name, QString()});
    try {
        SaveGroups();
    } catch (const StoreError &e) {
        message(TfrmGroup::tr("Greška"), e.message(), QMessageBox::Critical, QMessageBox::Ok);
    }
    // Reading the file back leaves the list as the disk has it, so a failed save does not
    // leave a group that exists only in memory.
    LoadGroups();
    return GroupExists(name) ? name : QString();
}
