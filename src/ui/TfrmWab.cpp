#include "ui/TfrmWab.h"

#include "exchange/ImportWabFunc.h"
#include "exchange/WabApi.h"
#include "store/AddressBook.h"
#include "store/DataDir.h"
#include "ui/MainLists.h"
#include "widgets/ShowMessageDialog.h"
#include "widgets/TRunningLabel.h"

#include <QAbstractTableModel>
#include <QApplication>
#include <QDateTime>
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

namespace {

// The hourglass while a file is read, back to the previous cursor however the reading ends.
struct WaitCursor
{
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

// The rows are made when the view asks for them, so a large file costs nothing up front.
class TWabRowsModel : public QAbstractTableModel
{
public:
    explicit TWabRowsModel(const QList<TWABRecord> &records, QObject *parent)
        : QAbstractTableModel(parent), m_records(records)
    {
    }
    void reset(int rows)
    {
        beginResetModel();
        m_count = rows;
        endResetModel();
    }
    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : m_count; }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 3; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= m_count || index.row() >= m_records.size())
            return {};
        const TWABRecord &r = m_records[index.row()];
        switch (role) {
        case Qt::DisplayRole:
            return index.column() == 0   ? r.DisplayName
                   : index.column() == 1 ? r.Company
                                         : QString::number(r.RecordNumber);
        case Qt::DecorationRole:
            return index.column() == 0 ? QVariant(MainListImage(2)) : QVariant();
        case Qt::ToolTipRole:
            // The tip's line breaks are single carriage returns; on screen they break the line.
            return WabInfoTip(r).replace(QLatin1Char('\r'), QLatin1Char('\n'));
        default:
            return {};
        }
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        const char *titles[] = {QT_TRANSLATE_NOOP("TfrmWab", "Naziv osobe"),
                                QT_TRANSLATE_NOOP("TfrmWab", "Tvrtka"), "ID"};
        return QCoreApplication::translate("TfrmWab", titles[section]);
    }

private:
    const QList<TWABRecord> &m_records;
    int m_count = 0;
};

void TWabListView::keyboardSearch(const QString &search)
{
    if (!m_records || search.isEmpty() || !model())
        return;
    const qint64 now = QDateTime::currentMSecsSinceEpoch();
    const int current = currentIndex().isValid() ? currentIndex().row() : 0;
    int start = current;
    // A new word starts after the current row; a longer one may stay on it.
    if (m_typed.isEmpty() || now - m_lastKey > QApplication::keyboardInputInterval()) {
        m_typed = search;
        start = current + 1;
    } else {
        m_typed += search;
    }
    m_lastKey = now;
    const int rows = model()->rowCount();
    if (rows == 0)
        return;
    const int row = FindWabRow(*m_records, m_typed, start % rows, true);
    if (row < 0)
        return;
    const QModelIndex index = model()->index(row, 0);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    scrollTo(index);
}

TfrmWab::TfrmWab(Settings &settings, AddressBook &addressBook, QWidget *parent)
    : QDialog(parent), m_settings(settings), m_book(addressBook)
{
    setObjectName(QStringLiteral("frmWab"));
    setWindowTitle(tr("Uvoz podataka iz Windows Adresara"));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    setFixedSize(405, 420);

    gbChooseFile = new QGroupBox(tr(" Izaberi datoteku za uvoz podataka:"));
    gbChooseFile->setObjectName(QStringLiteral("gbChooseFile"));
    lblWabFileName = new TRunningLabel;
    lblWabFileName->setObjectName(QStringLiteral("lblWabFileName"));
    lblWabFileName->setSpeed(100);
    lblWabFileName->setStep(1);
    btnBrowse = new QPushButton(tr("Izaberi datoteku"));
    btnBrowse->setObjectName(QStringLiteral("btnBrowse"));
    btnBrowse->setToolTip(tr("Izaberi datoteku Windows Adresara"));
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
    m_rows = new TWabRowsModel(m_records, this);
    lvContacts = new TWabListView;
    lvContacts->setObjectName(QStringLiteral("lvContacts"));
    lvContacts->setRecords(&m_records);
    lvContacts->setModel(m_rows);
    lvContacts->setRootIsDecorated(false);
    lvContacts->setUniformRowHeights(true);
    lvContacts->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvContacts->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvContacts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvContacts->header()->setSectionsClickable(false);
    lvContacts->header()->setStretchLastSection(false);
    lvContacts->setColumnWidth(0, 180);
    lvContacts->setColumnWidth(1, 144);
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

QMessageBox::StandardButton TfrmWab::message(const QString &caption, const QString &text,
                                             QMessageBox::Icon kind)
{
    QString shown = text;
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (m_message)
        return m_message(caption, shown, kind, QMessageBox::Ok);
    return ShowMessageDialog(caption, shown, kind, QMessageBox::Ok);
}

void TfrmWab::setCount(int count)
{
    gbAddressbook->setTitle(IsVCardFile(lblWabFileName->text()) ? tr(" vCard Adresar  [ %1 osoba ]:").arg(count)
                                                                : tr(" Windows Adresar  [ %1 osoba ]:").arg(count));
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
    const QString caption = tr("Izaberi WAB datoteku");
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
    {
        const WaitCursor wait;
        m_rows->reset(0);
        if (ReadContactFile(lblWabFileName->text(), m_records, &error))
            SortWabRecords(m_records);
        const int count = int(m_records.size());
        m_rows->reset(count);
        if (count > 0) {
            const QModelIndex first = m_rows->index(0, 0);
            lvContacts->selectionModel()->setCurrentIndex(first, QItemSelectionModel::ClearAndSelect |
                                                                     QItemSelectionModel::Rows);
            lvContacts->scrollTo(first);
        }
        setCount(count);
        btnMarkAll->setEnabled(count > 0);
        btnUnmarkAll->setEnabled(count > 0);
        lvContactsChange();
    }
    if (!error.isEmpty())
        message(tr("Greška"), error, QMessageBox::Critical);
    else if (m_records.isEmpty())
        message(tr("Nema podataka!"), tr("Izabrana datoteka je prazna!"), QMessageBox::Information);
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
    ImportCounts counts;
    QString group;
    const StoreResult result = m_book.ImportContacts(ImportGroupOf(lblWabFileName->text()),
                                                     WabContactsOfRows(m_records, rows), &counts, &group);
    if (!result) {
        // Nothing was saved; the marks stay for another try.
        message(tr("Greška"), result.message, QMessageBox::Critical);
        return;
    }
    if (counts.imported > 0 && m_imported)
        m_imported(group);
    hide();
    message(tr("Informacija"), WabImportMessage(group, int(rows.size()), counts.imported),
            QMessageBox::Information);
    accept();
}
