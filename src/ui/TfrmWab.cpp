#include "ui/TfrmWab.h"

#include "exchange/ImportWabFunc.h"
#include "exchange/WabApi.h"
#include "store/AddressBook.h"
#include "store/DataDir.h"
#include "ui/MainLists.h"
#include "widgets/ShowMessageDialog.h"
#include "widgets/TRunningLabel.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>

TfrmWab::TfrmWab(Settings &settings, AddressBook &addressBook, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_book(addressBook)
{
    setObjectName(QStringLiteral("frmWab"));
    setWindowTitle(tr("Uvoz podataka iz datoteke adresara"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(qMax(405, TitleRoom(*this)), 420);

    gbChooseFile = new QGroupBox(tr(" Izaberi datoteku za uvoz podataka:"));
    gbChooseFile->setObjectName(QStringLiteral("gbChooseFile"));
    lblWabFileName = new TRunningLabel;
    lblWabFileName->setObjectName(QStringLiteral("lblWabFileName"));
    lblWabFileName->setSpeed(100);
    lblWabFileName->setStep(1);
    btnBrowse = new QPushButton(tr("Izaberi datoteku"));
    btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    btnBrowse->setToolTip(tr("Izaberi datoteku adresara (.wab ili .vcf)"));
    auto *image = new QLabel;
    image->setPixmap(MainListImage(2).scaled(32, 32, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    auto *fileRow = new QHBoxLayout(gbChooseFile);
    fileRow->addWidget(image);
    auto *nameColumn = new QVBoxLayout;
    nameColumn->addWidget(new QLabel(tr("Naziv datoteke:")));
    nameColumn->addWidget(lblWabFileName);
    fileRow->addLayout(nameColumn, 1);
    fileRow->addWidget(btnBrowse);

    gbAddressbook = new QGroupBox;
    gbAddressbook->setObjectName(QStringLiteral("gbAddressbook"));
    m_rows = new TNameRowsModel(
        3, MainListImage(2),
        [this](int row, int column) {
            if (row >= m_records.size())
                return QString();
            const TWABRecord &r = m_records[row];
            return column == 0 ? r.DisplayName : column == 1 ? r.Company : QString::number(r.RecordNumber);
        },
        [this](int row) { return WabInfoTip(m_records.value(row)); },
        [](int section) {
            return section == 0 ? tr("Ime osobe") : section == 1 ? tr("Tvrtka") : QStringLiteral("ID");
        },
        this);
    lvContacts = new TTypeAheadListView;
    lvContacts->setObjectName(QStringLiteral("lvContacts"));
    lvContacts->setRowFinder(
        [this](const QString &text, int start) { return FindWabRow(m_records, text, start, true); });
    lvContacts->setRows(m_rows, {180, 144});
    lvContacts->setColumnHidden(2, true);
    auto *listColumn = new QVBoxLayout(gbAddressbook);
    listColumn->addWidget(lvContacts);
    auto *markRow = new QHBoxLayout;
    btnMarkAll = new QPushButton(tr("Označi sve"));
    btnMarkAll->setObjectName(QStringLiteral("btnMarkAll"));
    btnUnmarkAll = new QPushButton(tr("Odznači sve"));
    btnUnmarkAll->setObjectName(QStringLiteral("btnUnmarkAll"));
    markRow->addWidget(btnMarkAll);
    markRow->addWidget(btnUnmarkAll);
    markRow->addStretch(1);
    listColumn->addLayout(markRow);

    btnImport = new QPushButton(tr("Uvoz podataka"));
    btnImport->setObjectName(QStringLiteral("btnImport"));
    btnCancel = new QPushButton(tr("Odustani"));
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btnImport);
    buttons->addWidget(btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(gbChooseFile);
    layout->addWidget(gbAddressbook, 1);
    layout->addLayout(buttons);

    connect(btnBrowse, &QPushButton::clicked, this, &TfrmWab::btnBrowseClick);
    connect(btnMarkAll, &QPushButton::clicked, this, &TfrmWab::btnMarkAllClick);
    connect(btnUnmarkAll, &QPushButton::clicked, this, &TfrmWab::btnUnmarkAllClick);
    connect(btnImport, &QPushButton::clicked, this, &TfrmWab::btnImportClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(lvContacts->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmWab::lvContactsChange);
    FormClose();
}

TfrmWab::~TfrmWab() = default;

void TfrmWab::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TfrmWab::hideEvent(QHideEvent *event)
{
    QDialog::hideEvent(event);
    if (!event->spontaneous())
        FormClose();
}

void TfrmWab::setCount(int count)
{
    gbAddressbook->setTitle(IsVCardFile(lblWabFileName->text())
                                ? tr(" vCard Adresar  [ %n osoba ]:", nullptr, count)
                                : tr(" Windows Adresar  [ %n osoba ]:", nullptr, count));
}

void TfrmWab::FormShow()
{
    m_records.clear();
    m_currentWabFile = GetDefaultWabFile(m_settings);
    lblWabFileName->setText(m_currentWabFile);
    if (!m_currentWabFile.isEmpty())
        LoadWabFile();
}

void TfrmWab::FormClose()
{
    m_rows->reset(0);
    m_records.clear();
    lblWabFileName->setText(QString());
    setCount(0);
    btnMarkAll->setEnabled(false);
    btnUnmarkAll->setEnabled(false);
    btnImport->setEnabled(false);
}

void TfrmWab::btnBrowseClick()
{
    const QString caption = tr("Izaberi datoteku adresara");
    const QString filter = tr("Adresar (*.wab *.vcf *.vcard)") +
                           QStringLiteral(";;Address Book File (*.wab);;") +
                           tr("vCard kontakti (*.vcf *.vcard)");
    QString start = DataDir();
    if (!m_currentWabFile.isEmpty() && QFileInfo(m_currentWabFile).absoluteDir().exists())
        start = m_currentWabFile;
    const QString file = m_openFile ? m_openFile(caption, start, filter)
                                    : QFileDialog::getOpenFileName(this, caption, start, filter);
    if (file.isEmpty())
        return;
    const QFileInfo info(file);
    const bool known = info.suffix().toLower() == QLatin1String("wab") || IsVCardFile(file);
    lblWabFileName->setText(known && info.isFile() ? file : QString());
    if (lblWabFileName->text().isEmpty())
        return;
    m_currentWabFile = file;
    SetDefaultWabFile(m_settings, file);
    LoadWabFile();
}

void TfrmWab::LoadWabFile()
{
    QString error;
    QString notice;
    {
        const WaitCursor wait;
        m_rows->reset(0);
        if (ReadContactFile(lblWabFileName->text(), m_records, &error, nullptr, &notice))
            SortWabRecords(m_records);
        const int count = int(m_records.size());
        m_rows->reset(count);
        lvContacts->selectFirstRow();
        setCount(count);
        btnMarkAll->setEnabled(count > 0);
        btnUnmarkAll->setEnabled(count > 0);
        lvContactsChange();
    }
    if (!error.isEmpty())
        ShowMessageDialog(tr("Greška"), error, QMessageBox::Critical, QMessageBox::Ok, this);
    else if (m_records.isEmpty())
        ShowMessageDialog(tr("Nema podataka!"), tr("Izabrana datoteka je prazna!"), QMessageBox::Information,
                          QMessageBox::Ok, this);
    else if (!notice.isEmpty())
        ShowMessageDialog(tr("Informacija"), notice, QMessageBox::Information, QMessageBox::Ok, this);
}

void TfrmWab::lvContactsChange()
{
    btnImport->setEnabled(lvContacts->selectionModel()->hasSelection());
}

void TfrmWab::btnMarkAllClick()
{
    lvContacts->selectAll();
    lvContacts->setFocus();
}

void TfrmWab::btnUnmarkAllClick()
{
    lvContacts->clearSelection();
    btnImport->setEnabled(false);
}

void TfrmWab::btnImportClick()
{
    QList<int> rows;
    for (const QModelIndex &index : lvContacts->selectionModel()->selectedRows())
        rows << index.row();
    std::sort(rows.begin(), rows.end());
    QList<AListAddress> contacts = WabContactsOfRows(m_records, rows);
    const int adding = ContactsAnImportAdds(m_book, contacts);
    const int holding = int(m_book.contacts().size());
    if (ImportAsksFirst(adding, holding) &&
        ShowMessageDialog(tr("Potvrda"), ImportQuestion(adding, holding), QMessageBox::Question,
                          QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
        return; // the marks stay
    ImportCounts counts;
    QString group;
    const StoreResult result =
        m_book.ImportContacts(ImportGroupOf(lblWabFileName->text()), std::move(contacts), &counts, &group);
    if (!result) {
        // Nothing was saved; the marks stay for another try.
        ShowMessageDialog(tr("Greška"), result.message, QMessageBox::Critical, QMessageBox::Ok, this);
        return;
    }
    if (counts.imported > 0 && m_imported)
        m_imported(group);
    hide();
    ShowMessageDialog(tr("Informacija"), WabImportMessage(group, int(rows.size()), counts.imported, counts.fitted),
                      QMessageBox::Information, QMessageBox::Ok, this);
    accept();
}
