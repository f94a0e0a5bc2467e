#include "ui/TfrmOutlookFolders.h"

#include "ui/MainLists.h"
#include "ui/TfrmOutlookContacts.h"
#include "widgets/ShowMessageDialog.h"

#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

TfrmOutlookFolders::TfrmOutlookFolders(TfrmOutlookContacts &exchange, QWidget *parent)
    : QDialog(parent), m_exchange(exchange)
{
    setObjectName(QStringLiteral("frmOutlookFolders"));
    setWindowTitle(tr("Izaberi mapu za snimanje kontakata"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(qMax(325, TitleRoom(*this)), 248);

    auto *group = new QGroupBox(tr(" Mape u vCard Kontaktima:"));
    editFolderName = new QLineEdit;
    editFolderName->setObjectName(QStringLiteral("editFolderName"));
    btnAddFolder = new QPushButton(tr("Dodaj novu"));
    btnAddFolder->setObjectName(QStringLiteral("btnAddFolder"));
    btnAddFolder->setEnabled(false);
    tvOutlookFolders = new QTreeWidget;
    tvOutlookFolders->setObjectName(QStringLiteral("tvOutlookFolders"));
    tvOutlookFolders->setHeaderHidden(true);
    tvOutlookFolders->setEditTriggers(QAbstractItemView::NoEditTriggers);
    btnDeleteFolder = new QPushButton(tr("Izbriši mapu"));
    btnDeleteFolder->setObjectName(QStringLiteral("btnDeleteFolder"));
    btnDeleteFolder->setEnabled(false);
    auto *addRow = new QHBoxLayout;
    addRow->addWidget(editFolderName, 1);
    addRow->addWidget(btnAddFolder);
    auto *deleteRow = new QHBoxLayout;
    deleteRow->addStretch(1);
    deleteRow->addWidget(btnDeleteFolder);
    auto *inGroup = new QVBoxLayout(group);
    inGroup->addLayout(addRow);
    inGroup->addWidget(tvOutlookFolders, 1);
    inGroup->addLayout(deleteRow);

    btnAccept = new QPushButton(tr("Prihvati"));
    btnAccept->setObjectName(QStringLiteral("btnAccept"));
    btnAccept->setEnabled(false);
    btnCancel = new QPushButton(tr("Odustani"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnAccept);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(group, 1);
    layout->addLayout(buttons);

    connect(editFolderName, &QLineEdit::textChanged, this, &TfrmOutlookFolders::editFolderNameChange);
    connect(tvOutlookFolders, &QTreeWidget::currentItemChanged, this,
            &TfrmOutlookFolders::tvOutlookFoldersChange);
    connect(btnAddFolder, &QPushButton::clicked, this, &TfrmOutlookFolders::btnAddFolderClick);
    connect(btnDeleteFolder, &QPushButton::clicked, this, &TfrmOutlookFolders::btnDeleteFolderClick);
    connect(btnAccept, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmOutlookFolders::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmOutlookFolders::FormShow()
{
    editFolderName->clear();
    editFolderName->setFocus();
}

void TfrmOutlookFolders::LoadOutlookFolders()
{
    const QStringList names = m_exchange.GetContactFolders();
    tvOutlookFolders->clear();
    m_exchange.cbOutlookFolders->clear();
    QTreeWidgetItem *root = nullptr;
    for (const QString &name : names) {
        auto *node = root ? new QTreeWidgetItem(root, {name}) : new QTreeWidgetItem(tvOutlookFolders, {name});
        node->setIcon(0, MainListImage(16));
        if (!root)
            root = node;
        m_exchange.cbOutlookFolders->addItem(MainListImage(16), name);
    }
    if (!names.isEmpty())
        m_exchange.cbOutlookFolders->setCurrentIndex(0);
    tvOutlookFolders->expandAll();
    tvOutlookFoldersChange();
    editFolderName->setFocus();
}

int TfrmOutlookFolders::selectedPosition() const
{
    QTreeWidgetItem *node = tvOutlookFolders->currentItem();
    if (!node)
        return -1;
    return node->parent() ? node->parent()->indexOfChild(node) + 1 : 0;
}

void TfrmOutlookFolders::editFolderNameChange()
{
    // A root that is one address book takes no folders: its own programs would not read them.
    btnAddFolder->setEnabled(!editFolderName->text().trimmed().isEmpty() && !m_exchange.store().isOneBook());
}

void TfrmOutlookFolders::tvOutlookFoldersChange()
{
    const int position = selectedPosition();
    btnDeleteFolder->setEnabled(position > 0);
    btnAccept->setEnabled(position >= 0);
}

void TfrmOutlookFolders::btnAddFolderClick()
{
    TVCardFolders &store = m_exchange.store();
    if (!store.isLoggedOn())
        return;
    // Leading or trailing blanks would make a folder no one can tell from its neighbour.
    const QString name = editFolderName->text().trimmed();
    if (!store.addFolder(name)) {
        ShowMessageDialog(tr("Greška"), tr("Mapa koju pokušavate dodati već postoji!"), QMessageBox::Critical,
                          QMessageBox::Ok, this);
        return;
    }
    // The folders are listed by name, so the new one may push the chosen entry down: it is
    // found again by its name.
    QComboBox *folders = m_exchange.cbOutlookFolders;
    const QString text = folders->currentText();
    LoadOutlookFolders();
    folders->setCurrentIndex(std::max(0, folders->findText(text, Qt::MatchExactly | Qt::MatchCaseSensitive)));
    const QList<QTreeWidgetItem *> found =
        tvOutlookFolders->findItems(name, Qt::MatchExactly | Qt::MatchRecursive);
    if (!found.isEmpty())
        tvOutlookFolders->setCurrentItem(found.first());
    editFolderName->clear();
}

void TfrmOutlookFolders::btnDeleteFolderClick()
{
    const int position = selectedPosition();
    if (position < 0)
        return;
    TVCardFolders &store = m_exchange.store();
    QString question = tr("Izbriši mapu iz vCard Kontakata?");
    // The folder's cards go with it, also those other programs wrote; from the trash they can
    // be brought back.
    if (const qsizetype cards = store.itemNames(position).size(); cards > 0)
        question +=
            QStringLiteral("\n\n") +
            tr("Mapa se s kontaktima u njoj (%1) premješta u smeće, odakle se može vratiti.").arg(cards);
    if (ShowMessageDialog(tr("Potvrda"), question, QMessageBox::Question,
                          QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
        return;
    if (!store.isLoggedOn())
        return;
    // The list goes back to the default folder; it must not go on showing another's contacts.
    const bool otherShown = m_exchange.currentPosition() != 0;
    QString error;
    if (!store.removeFolder(position, &error))
        ShowMessageDialog(tr("Greška"), error, QMessageBox::Critical, QMessageBox::Ok, this);
    LoadOutlookFolders();
    m_exchange.setCurrentPosition(0);
    m_exchange.cbOutlookFolders->setCurrentIndex(0);
    if (otherShown)
        m_exchange.btnOutlookRefreshClick();
}
