#include "ui/TfrmContact.h"

#include "store/AddressBook.h"
#include "store/FileRecords.h"

#include "ui/CallerPicture.h"
#include "ui/OptionsIcons.h"
#include "ui/TfrmFormatNumber.h"
#include "ui/TfrmGroup.h"
#include "widgets/TLinkLabel.h"

#include "ui/DialogSeams.h"
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QStyledItemDelegate>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

namespace {

// MAXLENGTH is the field's capacity in the address book file, so nothing is cut when the record
// is written.
QLineEdit *lineEdit(const char *name, int maxLength)
{
    auto *edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    return edit;
}

QString indexed(const char *stem, int k)
{
    return QString::fromLatin1(stem) + QString::number(k);
}

} // namespace

TfrmContact::TfrmContact(AddressBook &addressBook, QWidget *parent) : QDialog(parent), m_book(addressBook)
{
    setObjectName(QStringLiteral("frmContact"));
    setWindowTitle(tr("Osoba:  "));
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    if (QFontDatabase::hasFamily(QStringLiteral("Tahoma")))
        setFont(QFont(QStringLiteral("Tahoma"), 8));

    m_formatNumber = new TfrmFormatNumber(this);
    m_groupDialog = new TfrmGroup(this);

    PageControl = new QTabWidget;
    PageControl->setObjectName(QStringLiteral("PageControl"));
    PageControl->setUsesScrollButtons(false);
    PageControl->addTab(createPersonPage(), tr("Osoba"));
    PageControl->addTab(createHomePage(), tr("Kuća"));
    PageControl->addTab(createCompanyPage(), tr("Posao"));
    PageControl->addTab(createPhonesPage(), tr("Telefonski brojevi"));
    PageControl->addTab(createInternetPage(), tr("Internet"));
    PageControl->addTab(createNotesPage(), tr("Napomena"));
    PageControl->addTab(createPicturePage(), tr(" Slika"));
    PageControl->addTab(createSoundPage(), tr("Zvuk"));

    QDialogButtonBox *buttons = AcceptCancelButtons(this, tr("Snimi"), "btnSave", btnSave, btnCancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(PageControl);
    layout->addWidget(buttons);
    // Made default only inside the dialog, so the dialog keeps it as its main default button
    // even after another button had the focus.
    btnSave->setDefault(true);

    RefreshGroupChoices();
    ClearForNewContact();
}

TfrmContact::~TfrmContact() = default;

QWidget *TfrmContact::createPersonPage()
{
    editFirstName = lineEdit("editFirstName", capacity::FirstName);
    editLastName = lineEdit("editLastName", capacity::LastName);
    editNickName = lineEdit("editNickName", capacity::NickName);
    cbDisplayAs = new QComboBox;
    cbDisplayAs->setObjectName(QStringLiteral("cbDisplayAs"));
    cbDisplayAs->setEditable(true);
    cbDisplayAs->setInsertPolicy(QComboBox::NoInsert);
    cbDisplayAs->lineEdit()->setMaxLength(capacity::DisplayNameAs);
    for (QLineEdit *edit : {editFirstName, editLastName, editNickName})
        connect(edit, &QLineEdit::textChanged, this, &TfrmContact::nameChange);
    connect(cbDisplayAs, &QComboBox::editTextChanged, this, &TfrmContact::cbDisplayAsChange);

    auto *names = new QGroupBox(tr(" Ime i prezime:"));
    auto *form = new QFormLayout(names);
    form->addRow(tr("Ime:"), editFirstName);
    form->addRow(tr("Prezime:"), editLastName);
    form->addRow(tr("Nadimak:"), editNickName);
    form->addRow(tr("Prikaži kao:"), cbDisplayAs);
    // Shown only while the name holds letters the file cannot, with the name it will hold.
    lblStoredName = new QLabel;
    lblStoredName->setObjectName(QStringLiteral("lblStoredName"));
    lblStoredName->setTextFormat(Qt::PlainText);
    lblStoredName->setVisible(false);
    form->addRow(QString(), lblStoredName);

    cbGroups = new QComboBox;
    cbGroups->setObjectName(QStringLiteral("cbGroups"));
    cbGroups->setIconSize(QSize(16, 16));
    // A contact saved with no group chosen is without group; the empty box says so.
    cbGroups->setPlaceholderText(tr("Bez grupe"));
    connect(cbGroups, &QComboBox::currentIndexChanged, this, &TfrmContact::cbGroupsChange);
    btnNewGroup = new QPushButton(tr("<< Dodaj novu grupu"));
    btnNewGroup->setObjectName(QStringLiteral("btnNewGroup"));
    connect(btnNewGroup, &QPushButton::clicked, this, &TfrmContact::btnNewGroupClick);
    auto *group = new QGroupBox(tr("Osoba pripada grupi:"));
    auto *groupRow = new QHBoxLayout(group);
    groupRow->addWidget(cbGroups, 1);
    groupRow->addWidget(btnNewGroup);

    chkBlackList = new QCheckBox(tr("Osoba je u Crnoj Listi"));
    chkBlackList->setObjectName(QStringLiteral("chkBlackList"));
    btnMoreInfo = new QPushButton(tr("<< Više informacija!"));
    btnMoreInfo->setObjectName(QStringLiteral("btnMoreInfo"));
    connect(btnMoreInfo, &QPushButton::clicked, this, &TfrmContact::btnMoreInfoClick);
    auto *black = new QGroupBox(tr(" Crna Lista:"));
    auto *blackRow = new QHBoxLayout(black);
    blackRow->addWidget(chkBlackList, 1);
    blackRow->addWidget(btnMoreInfo);

    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->addWidget(names);
    column->addWidget(group);
    column->addWidget(black);
    column->addStretch(1);
    return page;
}

QWidget *TfrmContact::createHomePage()
{
    editHomeAddress = lineEdit("editHomeAddress", capacity::HomeAddress);
    editHomePostNo = lineEdit("editHomePostNo", capacity::HomePostNo);
    editHomeCity = lineEdit("editHomeCity", capacity::HomeCity);
    editHomeCountry = lineEdit("editHomeCountry", capacity::HomeCountry);
    auto *box = new QGroupBox(tr(" Kućna adresa:"));
    auto *form = new QFormLayout(box);
    form->addRow(tr("Adresa:"), editHomeAddress);
    form->addRow(tr("Poštanski broj:"), editHomePostNo);
    form->addRow(tr("Grad:"), editHomeCity);
    form->addRow(tr("Država:"), editHomeCountry);
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->addWidget(box);
    column->addStretch(1);
    return page;
}

QWidget *TfrmContact::createCompanyPage()
{
    editCompanyName = lineEdit("editCompanyName", capacity::CompanyName);
    editCompanyDepartment = lineEdit("editCompanyDepartment", capacity::CompanyDepartment);
    editCompanyOffice = lineEdit("editCompanyOffice", capacity::CompanyOffice);
    editCompanyJobTitle = lineEdit("editCompanyJobTitle", capacity::CompanyJobTitle);
    editCompanyAddress = lineEdit("editCompanyAddress", capacity::CompanyAddress);
    editCompanyPostNo = lineEdit("editCompanyPostNo", capacity::CompanyPostNo);
    editCompanyCity = lineEdit("editCompanyCity", capacity::CompanyCity);
    editCompanyCountry = lineEdit("editCompanyCountry", capacity::CompanyCountry);
    connect(editCompanyName, &QLineEdit::textChanged, this, &TfrmContact::nameChange);

    auto *company = new QGroupBox(tr(" Tvrtka:"));
    auto *form = new QFormLayout(company);
    form->addRow(tr("Naziv tvrtke:"), editCompanyName);
    form->addRow(tr("Odjel:"), editCompanyDepartment);
    form->addRow(tr("Ured:"), editCompanyOffice);
    form->addRow(tr("Radno mjesto:"), editCompanyJobTitle);
    auto *address = new QGroupBox(tr(" Poslovna adresa:"));
    auto *form2 = new QFormLayout(address);
    form2->addRow(tr("Adresa:"), editCompanyAddress);
    form2->addRow(tr("Poštanski broj:"), editCompanyPostNo);
    form2->addRow(tr("Grad:"), editCompanyCity);
    form2->addRow(tr("Država:"), editCompanyCountry);
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->addWidget(company);
    column->addWidget(address);
    column->addStretch(1);
    return page;
}

QWidget *TfrmContact::createPhonesPage()
{
    const QStringList locations = {tr("Kuća"), tr("Posao"), tr("Mobitel"), tr("Faks")};
    auto *box = new QGroupBox(tr(" Telefonski brojevi:"));
    auto *grid = new QGridLayout(box);
    grid->addWidget(new QLabel(tr("Lokacija:")), 0, 0);
    grid->addWidget(new QLabel(tr("Broj telefona:")), 0, 1);
    for (int i = 0; i < 8; ++i) {
        const int k = i + 1;
        cbPhoneLocation[i] = new QComboBox;
        cbPhoneLocation[i]->setObjectName(indexed("cbPhoneLocation", k));
        cbPhoneLocation[i]->setEditable(true);
        cbPhoneLocation[i]->setInsertPolicy(QComboBox::NoInsert);
        cbPhoneLocation[i]->addItems(locations);
        cbPhoneLocation[i]->lineEdit()->setMaxLength(capacity::PhoneLocation);
        cbPhoneLocation[i]->setMinimumWidth(120);
        editPhoneNumber[i] = lineEdit("", capacity::PhoneNumber);
        editPhoneNumber[i]->setObjectName(indexed("editPhoneNumber", k));
        sbPhone[i] = new QToolButton;
        sbPhone[i]->setObjectName(indexed("sbPhone", k));
        sbPhone[i]->setText(QStringLiteral("..."));
        sbPhone[i]->setToolTip(tr("Format telefonskog broja"));
        sbPhone[i]->setProperty("Tag", k);
        connect(sbPhone[i], &QToolButton::clicked, this, [this, k] { sbPhoneClick(k); });
        grid->addWidget(cbPhoneLocation[i], k, 0);
        grid->addWidget(editPhoneNumber[i], k, 1);
        grid->addWidget(sbPhone[i], k, 2);
    }
    grid->setColumnStretch(1, 1);
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->addWidget(box);
    column->addStretch(1);
    return page;
}

QWidget *TfrmContact::createInternetPage()
{
    auto *mail = new QGroupBox(tr(" E-mail adrese:"));
    auto *form = new QFormLayout(mail);
    for (int i = 0; i < 4; ++i) {
        editEmail[i] = lineEdit("", capacity::EMail);
        editEmail[i]->setObjectName(indexed("editEmail", i + 1));
        form->addRow(tr("E-mail %1:").arg(i + 1), editEmail[i]);
    }
    editHomeWebPage = lineEdit("editHomeWebPage", capacity::HomeWebPage);
    editCompanyWebPage = lineEdit("editCompanyWebPage", capacity::CompanyWebPage);
    auto *web = new QGroupBox(tr(" Web stranice:"));
    auto *form2 = new QFormLayout(web);
    form2->addRow(tr("Privatna:"), editHomeWebPage);
    form2->addRow(tr("Poslovna:"), editCompanyWebPage);
    auto *page = new QWidget;
    auto *column = new QVBoxLayout(page);
    column->addWidget(mail);
    column->addWidget(web);
    column->addStretch(1);
    return page;
}

QWidget *TfrmContact::createNotesPage()
{
    memoNotes = new QPlainTextEdit;
    memoNotes->setObjectName(QStringLiteral("memoNotes"));
    memoNotes->setTabChangesFocus(true);
    lblNotesInput = new QLabel;
    lblNotesInput->setObjectName(QStringLiteral("lblNotesInput"));
    connect(memoNotes, &QPlainTextEdit::textChanged, this, &TfrmContact::memoNotesChange);
    auto *box = new QGroupBox(tr(" Napomena o osobi:"));
    auto *column = new QVBoxLayout(box);
    column->addWidget(memoNotes, 1);
    column->addWidget(lblNotesInput, 0, Qt::AlignRight);
    auto *page = new QWidget;
    (new QVBoxLayout(page))->addWidget(box);
    return page;
}

QWidget *TfrmContact::createPicturePage()
{
    imgContact = new QLabel;
    imgContact->setObjectName(QStringLiteral("imgContact"));
    imgContact->setFixedSize(kCallerPictureWidth, kCallerPictureHeight);
    auto *preview = new QGroupBox(tr(" Pregled izabrane slike:"));
    auto *previewLayout = new QVBoxLayout(preview);
    previewLayout->addWidget(imgContact, 0, Qt::AlignCenter);

    rbActualDimensions = new QRadioButton(tr(" Koristi stvarne dimenzije"));
    rbActualDimensions->setObjectName(QStringLiteral("rbActualDimensions"));
    rbAdjustDimensions = new QRadioButton(tr(" Prilagodi dimenzije"));
    rbAdjustDimensions->setObjectName(QStringLiteral("rbAdjustDimensions"));
    rbAdjustDimensions->setChecked(true);
    chkCenterPicture = new QCheckBox(tr(" Centriraj sliku"));
    chkCenterPicture->setObjectName(QStringLiteral("chkCenterPicture"));
    for (QAbstractButton *b :
         std::initializer_list<QAbstractButton *>{rbActualDimensions, rbAdjustDimensions, chkCenterPicture})
        connect(b, &QAbstractButton::clicked, this, &TfrmContact::pictureOptionClick);

    btnChoosePicture = new QPushButton(tr("<< Izaberi sliku"));
    btnChoosePicture->setObjectName(QStringLiteral("btnChoosePicture"));
    connect(btnChoosePicture, &QPushButton::clicked, this, &TfrmContact::btnChoosePictureClick);
    btnDeletePicture = new QPushButton(tr("<< Obriši sliku"));
    btnDeletePicture->setObjectName(QStringLiteral("btnDeletePicture"));
    connect(btnDeletePicture, &QPushButton::clicked, this, &TfrmContact::btnDeletePictureClick);

    auto *options = new QVBoxLayout;
    options->addWidget(btnChoosePicture);
    options->addWidget(btnDeletePicture);
    options->addSpacing(12);
    options->addWidget(rbAdjustDimensions);
    options->addWidget(rbActualDimensions);
    options->addWidget(chkCenterPicture);
    options->addStretch(1);

    auto *page = new QWidget;
    auto *row = new QHBoxLayout(page);
    row->addWidget(preview, 0, Qt::AlignTop);
    row->addLayout(options, 1);
    return page;
}

QWidget *TfrmContact::createSoundPage()
{
    rbGroupSound = new QRadioButton(tr(" Odsviraj zvuk grupe kojoj osoba pripada"));
    rbGroupSound->setObjectName(QStringLiteral("rbGroupSound"));
    rbSpecificSound = new QRadioButton(tr(" Odsviraj specifičan zvuk za ovu osobu"));
    rbSpecificSound->setObjectName(QStringLiteral("rbSpecificSound"));
    rbTTS = new QRadioButton(tr(" Izgovori tekst  (sintetizirani govor)"));
    rbTTS->setObjectName(QStringLiteral("rbTTS"));
    auto *choices = new QButtonGroup(this);
    choices->addButton(rbGroupSound, 1);
    choices->addButton(rbSpecificSound, 2);
    choices->addButton(rbTTS, 3);
    connect(choices, &QButtonGroup::idClicked, this, &TfrmContact::soundChoiceClick);

    lblUseThisSound = new QLabel(tr(" Koristi ovu zvučnu datoteku:"));
    lblUseThisSound->setObjectName(QStringLiteral("lblUseThisSound"));
    editUseThisSound = lineEdit("editUseThisSound", capacity::UseThisSound);
    connect(editUseThisSound, &QLineEdit::textChanged, this, &TfrmContact::editUseThisSoundChange);
    btnTest = new QPushButton(tr("Test"));
    btnTest->setObjectName(QStringLiteral("btnTest"));
    connect(btnTest, &QPushButton::clicked, this, &TfrmContact::btnTestClick);
    btnChooseSound = new QPushButton(tr("Izaberi"));
    btnChooseSound->setObjectName(QStringLiteral("btnChooseSound"));
    connect(btnChooseSound, &QPushButton::clicked, this, &TfrmContact::btnChooseSoundClick);
    lblTTSHelp = new TLinkLabel(tr("[ Više informacija o izgovoru teksta ]"), [this] { lblTTSHelpClick(); });
    lblTTSHelp->setObjectName(QStringLiteral("lblTTSHelp"));

    gbSound = new QGroupBox(tr(" Kada ova osoba pozove:"));
    gbSound->setObjectName(QStringLiteral("gbSound"));
    auto *column = new QVBoxLayout(gbSound);
    column->addWidget(rbGroupSound);
    column->addWidget(rbSpecificSound);
    column->addWidget(rbTTS);
    column->addSpacing(10);
    column->addWidget(lblUseThisSound);
    auto *row = new QHBoxLayout;
    row->addWidget(editUseThisSound, 1);
    row->addWidget(btnTest);
    row->addWidget(btnChooseSound);
    column->addLayout(row);
    column->addWidget(lblTTSHelp, 0, Qt::AlignRight);
    column->addStretch(1);

    auto *page = new QWidget;
    (new QVBoxLayout(page))->addWidget(gbSound);
    return page;
}

void TfrmContact::RefreshGroupChoices(const QString &select)
{
    const QString keep =
        select.isEmpty() ? (cbGroups->currentIndex() >= 0 ? cbGroups->currentText() : QString()) : select;
    QStringList names;
    for (const AGroups &g : m_book.groups())
        names << g.GroupName;
    std::sort(names.begin(), names.end(),
              [](const QString &a, const QString &b) { return QString::localeAwareCompare(a, b) < 0; });
    names.removeDuplicates();

    const QSignalBlocker quiet(cbGroups);
    cbGroups->clear();
    const QIcon icon = OptionsIcons::group();
    for (const QString &name : names)
        cbGroups->addItem(icon, name);
    cbGroups->setCurrentIndex(
        keep.isEmpty() ? -1 : cbGroups->findText(keep, Qt::MatchExactly | Qt::MatchCaseSensitive));
}

void TfrmContact::showTab(Tab tab)
{
    PageControl->setCurrentIndex(int(tab));
}
