#include "ui/TfrmGroup.h"

#include "store/AddressBook.h"
#include "store/Cp1250.h"
#include "store/FileRecords.h"

#include "ui/DialogSeams.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
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
    // Shown only while the name holds letters the file cannot, with the name it will hold.
    lblStoredName = new QLabel;
    lblStoredName->setObjectName(QStringLiteral("lblStoredName"));
    lblStoredName->setTextFormat(Qt::PlainText);
    lblStoredName->setVisible(false);
    auto *grid = new QGridLayout(gbGroup);
    grid->addWidget(new QLabel(tr("Naziv grupe:")), 0, 0);
    grid->addWidget(editGroupName, 0, 1);
    grid->addWidget(lblStoredName, 1, 1);

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
    return StoredText(editGroupName->text().trimmed(), capacity::GroupName);
}

void TfrmGroup::editGroupNameChange()
{
    btnSave->setEnabled(!groupName().isEmpty());
    lblStoredName->setVisible(groupName() !=
                              editGroupName->text().trimmed().normalized(QString::NormalizationForm_C));
    lblStoredName->setText(tr("Sprema se kao: %1").arg(groupName()));
}

QString NewGroup(TfrmGroup &dialog, AddressBook &book)
{
    dialog.prepare(TfrmGroup::tr("Nova grupa"), TfrmGroup::tr(" Dodaj novu grupu:"), QString());
    if (RunModalDialog(dialog) != QDialog::Accepted)
        return {};

    const QString name = dialog.groupName();
    return ShowStoreResult(book.AddGroup(name), dialog.parentWidget()) ? name : QString();
}
