#include "ui/TfrmFindContact.h"

#include "store/AddressBook.h"
#include "ui/MainLists.h"
#include "ui/TContactRowsModel.h"
#include "ui/TfrmMain.h"
#include "widgets/Skin.h"

#include <QAbstractTableModel>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTimer>
#include <QTreeView>
#include <QVBoxLayout>

#include <algorithm>
#include <vector>

// The found contacts, appended batch by batch as the search reports them.
class TFoundContactsModel : public QAbstractTableModel
{
public:
    using QAbstractTableModel::QAbstractTableModel;

    void append(const QList<FoundContact> &found)
    {
        if (found.isEmpty())
            return;
        beginInsertRows({}, int(m_rows.size()), int(m_rows.size() + std::size_t(found.size())) - 1);
        m_rows.insert(m_rows.end(), found.begin(), found.end());
        endInsertRows();
    }
    void clear()
    {
        beginResetModel();
        m_rows.clear();
        endResetModel();
    }
    const FoundContact &row(int i) const { return m_rows[std::size_t(i)]; }

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_rows.size());
    }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid())
            return {};
        const FoundContact &f = row(index.row());
        if (role == Qt::DisplayRole)
            return index.column() == 0 ? f.name : f.company;
        if (role == Qt::DecorationRole && index.column() == 0)
            return MainListImage(TfrmMain::ImageContact);
        return {};
    }
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override
    {
        if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
            return {};
        return section == 0 ? TfrmFindContact::tr("Ime osobe") : TfrmFindContact::tr("Tvrtka");
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        if (!index.isValid())
            return Qt::NoItemFlags;
        return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsDragEnabled | Qt::ItemNeverHasChildren;
    }
    // Dragged as the main window's contact list drags, so that the groups tree takes the drop.
    QStringList mimeTypes() const override { return {QString::fromLatin1(TContactRowsModel::kMimeType)}; }
    QMimeData *mimeData(const QModelIndexList &indexes) const override
    {
        QList<int> rows;
        for (const QModelIndex &index : indexes)
            if (index.isValid() && index.column() == 0)
                rows << index.row();
        std::sort(rows.begin(), rows.end());
        QStringList names;
        for (int r : rows)
            names << row(r).name;
        return TContactRowsModel::mimeForNames(names);
    }
    Qt::DropActions supportedDragActions() const override { return Qt::MoveAction | Qt::CopyAction; }

private:
    std::vector<FoundContact> m_rows;
};

TfrmFindContact::TfrmFindContact(AddressBook &addressBook, QMenu *contactsMenu, QWidget *parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint |
                          Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_book(addressBook), m_contactsMenu(contactsMenu)
{
    setObjectName(QStringLiteral("frmFindContact"));
    setWindowTitle(tr("Traženje osobe"));
    for (int i = 0; i < int(m_frames.size()); ++i)
        m_frames[std::size_t(i)] = skin::pixmap(QStringLiteral("imagesSearch%1").arg(i));

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(createSearchPage());
    layout->addWidget(createResultPanel());
    setClientHeight(kIdleHeight);

    timerSearch = new QTimer(this);
    timerSearch->setObjectName(QStringLiteral("timerSearch"));
    timerSearch->setInterval(150);
    m_resultsTimer = new QTimer(this);
    m_resultsTimer->setInterval(100);
    m_resultsTimer->setSingleShot(true);

    connect(editSearch, &QLineEdit::textChanged, this, &TfrmFindContact::editSearchChange);
    connect(editSearch, &QLineEdit::returnPressed, this, &TfrmFindContact::btnSearchClick);
    connect(btnSearch, &QPushButton::clicked, this, &TfrmFindContact::btnSearchClick);
    connect(btnStop, &QPushButton::clicked, this, &TfrmFindContact::btnStopClick);
    connect(btnClear, &QPushButton::clicked, this, &TfrmFindContact::btnClearClick);
    connect(btnClose, &QPushButton::clicked, this, &TfrmFindContact::btnCloseClick);
    connect(btnShow, &QPushButton::clicked, this, &TfrmFindContact::btnShowClick);
    connect(timerSearch, &QTimer::timeout, this, &TfrmFindContact::timerSearchTimer);
    connect(m_resultsTimer, &QTimer::timeout, this, &TfrmFindContact::addPendingResults);
    connect(lvContacts, &QAbstractItemView::doubleClicked, this, &TfrmFindContact::lvContactsDblClick);
    connect(lvContacts, &QWidget::customContextMenuRequested, this, &TfrmFindContact::contactsContextMenu);
    connect(lvContacts->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &TfrmFindContact::lvContactsChange);
    // The caption of the result that became selected last is the one shown on a double click.
    connect(lvContacts->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex &current) {
                if (current.isValid() && lvContacts->selectionModel()->isSelected(current))
                    m_selectedName = m_found->row(current.row()).name;
            });
}

TfrmFindContact::~TfrmFindContact()
{
    // Before the list it reports to goes: the worker's destructor stops it and waits for its thread.
    delete m_worker.data();
}

QWidget *TfrmFindContact::createSearchPage()
{
    auto *top = new QWidget;
    top->setFixedHeight(kIdleHeight);
    auto *row = new QHBoxLayout(top);
    row->setContentsMargins(8, 6, 8, 6);

    pgcFindContact = new QTabWidget;
    pgcFindContact->setObjectName(QStringLiteral("pgcFindContact"));
    auto *tbsFind = new QWidget;
    tbsFind->setObjectName(QStringLiteral("tbsFind"));
    pgcFindContact->addTab(tbsFind, tr("Pretraživanje adresara"));
    auto *page = new QVBoxLayout(tbsFind);
    page->setContentsMargins(6, 4, 6, 4);
    page->setSpacing(2);

    GroupBox1 = new QGroupBox(tr(" Traženje:"));
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    auto *find = new QGridLayout(GroupBox1);
    editSearch = new QLineEdit;
    editSearch->setObjectName(QStringLiteral("editSearch"));
    auto *label1 = new QLabel(tr("Traženi pojam:"));
    label1->setObjectName(QStringLiteral("Label1"));
    label1->setBuddy(editSearch);
    find->addWidget(label1, 0, 0);
    find->addWidget(editSearch, 0, 1);
    page->addWidget(GroupBox1);

    GroupBox2 = new QGroupBox(tr(" Kriteriji pretraživanja:"));
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    auto *criteria = new QGridLayout(GroupBox2);
    cbSearchInFields = new QComboBox;
    cbSearchInFields->setObjectName(QStringLiteral("cbSearchInFields"));
    cbSearchInFields->setMaxVisibleItems(kSearchFieldCount);
    for (int i = 0; i < kSearchFieldCount; ++i)
        cbSearchInFields->addItem(SearchFieldName(i));
    cbCondition = new QComboBox;
    cbCondition->setObjectName(QStringLiteral("cbCondition"));
    cbCondition->addItems(
        {tr("Prikaži podatke koji sadržavaju pojam"), tr("Prikaži podatke koji su identični pojmu")});
    auto *label2 = new QLabel(tr("Traži u polju:"));
    label2->setObjectName(QStringLiteral("Label2"));
    label2->setBuddy(cbSearchInFields);
    auto *label3 = new QLabel(tr("Uvijet traženja:"));
    label3->setObjectName(QStringLiteral("Label3"));
    label3->setBuddy(cbCondition);
    chkMatchCase = new QCheckBox(tr(" Uzmi u obzir velika i mala slova pri traženju"));
    chkMatchCase->setObjectName(QStringLiteral("chkMatchCase"));
    // The conditions are long: each list takes the whole width under its label.
    criteria->setVerticalSpacing(2);
    criteria->addWidget(label2, 0, 0);
    criteria->addWidget(cbSearchInFields, 1, 0);
    criteria->addWidget(label3, 2, 0);
    criteria->addWidget(cbCondition, 3, 0);
    criteria->addWidget(chkMatchCase, 4, 0);
    page->addWidget(GroupBox2);
    page->addStretch(1);
    row->addWidget(pgcFindContact, 1);

    auto *buttons = new QVBoxLayout;
    auto button = [&](const char *name, const QString &caption) {
        auto *b = new QPushButton(caption);
        b->setObjectName(QLatin1String(name));
        buttons->addWidget(b);
        return b;
    };
    buttons->addSpacing(20);
    btnSearch = button("btnSearch", tr("Traži"));
    btnStop = button("btnStop", tr("Zaustavi"));
    btnClear = button("btnClear", tr("Očisti sve"));
    btnClose = button("btnClose", tr("Zatvori"));
    btnSearch->setDefault(true);
    btnSearch->setEnabled(false);
    btnStop->setEnabled(false);
    buttons->addStretch(1);
    pbxSearch = new QLabel;
    pbxSearch->setObjectName(QStringLiteral("pbxSearch"));
    pbxSearch->setFixedSize(32, 32);
    pbxSearch->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    buttons->addWidget(pbxSearch, 0, Qt::AlignHCenter);
    row->addLayout(buttons);
    paintSearchFrame();
    return top;
}

QWidget *TfrmFindContact::createResultPanel()
{
    pnlFound = new QWidget;
    pnlFound->setObjectName(QStringLiteral("pnlFound"));
    pnlFound->setFixedHeight(kResultsHeight - kIdleHeight);
    auto *layout = new QVBoxLayout(pnlFound);
    layout->setContentsMargins(8, 0, 8, 6);
    layout->setSpacing(4);

    m_found = new TFoundContactsModel(this);
    lvContacts = new QTreeView;
    lvContacts->setObjectName(QStringLiteral("lvContacts"));
    lvContacts->setModel(m_found);
    lvContacts->setRootIsDecorated(false);
    lvContacts->setUniformRowHeights(true);
    lvContacts->setItemsExpandable(false);
    lvContacts->setAllColumnsShowFocus(true);
    lvContacts->setSelectionMode(QAbstractItemView::ExtendedSelection);
    lvContacts->setSelectionBehavior(QAbstractItemView::SelectRows);
    lvContacts->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lvContacts->setContextMenuPolicy(Qt::CustomContextMenu);
    lvContacts->setDragEnabled(true);
    lvContacts->setDragDropMode(QAbstractItemView::DragOnly);
    lvContacts->header()->setSectionsClickable(false);
    lvContacts->header()->setSectionsMovable(false);
    lvContacts->setColumnWidth(0, 190);
    lvContacts->setColumnWidth(1, 148);
    layout->addWidget(lvContacts, 1);

    auto *bottom = new QHBoxLayout;
    stbContacts = new QLabel;
    stbContacts->setObjectName(QStringLiteral("stbContacts"));
    stbContacts->setFrameShape(QFrame::StyledPanel);
    stbContacts->setFrameShadow(QFrame::Sunken);
    bottom->addWidget(stbContacts, 1);
    pgbSearch = new QProgressBar;
    pgbSearch->setObjectName(QStringLiteral("pgbSearch"));
    pgbSearch->setTextVisible(false);
    pgbSearch->setFixedWidth(150);
    pgbSearch->hide();
    bottom->addWidget(pgbSearch);
    btnShow = new QPushButton(tr("Prikaži"));
    btnShow->setObjectName(QStringLiteral("btnShow"));
    btnShow->setEnabled(false);
    bottom->addWidget(btnShow);
    layout->addLayout(bottom);
    setFoundCount(0);
    return pnlFound;
}

void TfrmFindContact::setClientHeight(int height)
{
    pnlFound->setVisible(height > kIdleHeight);
    setFixedSize(kClientWidth, height);
}

void TfrmFindContact::setFoundCount(int count)
{
    stbContacts->setText(tr(" Pronađeno osoba:  %1").arg(count));
}

int TfrmFindContact::resultCount() const
{
    return m_found->rowCount();
}

QString TfrmFindContact::resultName(int row) const
{
    return row >= 0 && row < m_found->rowCount() ? m_found->row(row).name : QString();
}

// --- Handlers -------------------------------------------------------------------------------------

void TfrmFindContact::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnScreen();
    cbSearchInFields->setCurrentIndex(0);
    cbCondition->setCurrentIndex(0);
    chkMatchCase->setChecked(false);
    editSearch->setFocus();
}

void TfrmFindContact::closeEvent(QCloseEvent *event)
{
    setClientHeight(kIdleHeight);
    // A batch the worker sent before it saw the stop must not fill the emptied list.
    if (m_worker)
        disconnect(m_worker, &TSearchContact::progressed, this, nullptr);
    btnStopClick();
    btnClearClick();
    QWidget::closeEvent(event);
}

void TfrmFindContact::editSearchChange()
{
    btnSearch->setEnabled(!searching() && !editSearch->text().trimmed().isEmpty());
}

void TfrmFindContact::btnSearchClick()
{
    if (searching() || editSearch->text().trimmed().isEmpty())
        return;
    timerSearch->start();
    setClientHeight(kResultsHeight);

    m_found->clear();
    m_selectedName.clear();
    setFoundCount(0);
    btnShow->setEnabled(false);

    btnSearch->setEnabled(false);
    btnStop->setEnabled(true);

    pgbSearch->setRange(0, qMax(1, m_book.contacts().size()));
    pgbSearch->setValue(0);
    pgbSearch->show();

    m_criteria = SearchCriteria{editSearch->text(), cbSearchInFields->currentIndex(),
                                chkMatchCase->isChecked(), cbCondition->currentIndex() == 1};
    // The worker reads its own copy: the address book may change or be read again from disk
    // while it runs.
    m_worker = new TSearchContact(m_book.contacts(), m_criteria, this);
    connect(m_worker, &TSearchContact::progressed, this, &TfrmFindContact::searchProgressed);
    connect(m_worker, &TSearchContact::searchDone, this, &TfrmFindContact::searchDone);
    connect(m_worker, &QThread::finished, m_worker, &QObject::deleteLater);
    m_worker->start();
}

void TfrmFindContact::searchProgressed(const QList<FoundContact> &found, int tested)
{
    m_pending += found;
    if (!m_pending.isEmpty() && !m_resultsTimer->isActive())
        m_resultsTimer->start();
    pgbSearch->setValue(tested);
}

void TfrmFindContact::addPendingResults()
{
    m_resultsTimer->stop();
    if (m_pending.isEmpty())
        return;
    m_found->append(m_pending);
    m_pending.clear();
    setFoundCount(m_found->rowCount());
}

void TfrmFindContact::searchDone()
{
    // Finished is on its way and deletes the worker; the window forgets it now.
    m_worker = nullptr;
    addPendingResults();
    btnStop->setEnabled(false);
    timerSearch->stop();
    m_searchFrame = 0;
    paintSearchFrame();
    pgbSearch->hide();
    editSearchChange();
}

void TfrmFindContact::btnStopClick()
{
    if (m_worker)
        m_worker->requestStop();
    btnStop->setEnabled(false);
    timerSearch->stop();
}

void TfrmFindContact::btnClearClick()
{
    editSearch->clear();
    setClientHeight(kIdleHeight);
    m_found->clear();
    m_pending.clear();
    m_selectedName.clear();
    setFoundCount(0);
    btnShow->setEnabled(false);
    editSearch->setFocus();
}

void TfrmFindContact::lvContactsChange()
{
    // A mouse press makes a row current before it selects it: the row is taken once selected.
    const QModelIndex current = lvContacts->currentIndex();
    if (current.isValid() && lvContacts->selectionModel()->isSelected(current))
        m_selectedName = m_found->row(current.row()).name;
    btnShow->setEnabled(lvContacts->selectionModel()->selectedRows().size() == 1);
    setFoundCount(m_found->rowCount());
}

void TfrmFindContact::btnShowClick()
{
    if (m_showContacts && !m_selectedName.isEmpty())
        m_showContacts({m_selectedName});
}

void TfrmFindContact::lvContactsDblClick()
{
    btnShowClick();
}

// The main window's contact menu acts on the main window's selection, so the results it is
// opened on are selected there first.
void TfrmFindContact::contactsContextMenu(const QPoint &pos)
{
    if (!m_contactsMenu)
        return;
    const QModelIndex at = lvContacts->indexAt(pos);
    if (!at.isValid())
        return;
    QStringList names;
    for (const QModelIndex &index : lvContacts->selectionModel()->selectedRows())
        names << m_found->row(index.row()).name;
    if (!names.contains(m_found->row(at.row()).name))
        names = QStringList{m_found->row(at.row()).name};
    if (m_showContacts)
        m_showContacts(names);
    m_contactsMenu->popup(lvContacts->viewport()->mapToGlobal(pos));
}

void TfrmFindContact::timerSearchTimer()
{
    m_searchFrame = m_searchFrame >= 7 ? 0 : m_searchFrame + 1;
    paintSearchFrame();
}

void TfrmFindContact::paintSearchFrame()
{
    pbxSearch->setPixmap(m_frames[std::size_t(m_searchFrame)]);
}

void TfrmFindContact::centreOnScreen()
{
    const QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = screen->geometry();
    move(area.center() - QPoint(width() / 2, height() / 2));
}
