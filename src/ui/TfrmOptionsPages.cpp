// The seven pages of the options window: controls, captions and ranges. The behaviour behind
// them is in TfrmOptions.cpp.

#include "ui/TfrmOptions.h"

#include "ui/OptionsIcons.h"
#include "widgets/TRunningLabel.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

QGroupBox *groupBox(const QString &title)
{
    auto *box = new QGroupBox(title);
    return box;
}

QVBoxLayout *column(QWidget *parent)
{
    auto *layout = new QVBoxLayout(parent);
    layout->setSpacing(4);
    return layout;
}

QCheckBox *checkBox(const char *name, const QString &caption)
{
    auto *check = new QCheckBox(caption);
    check->setObjectName(QLatin1String(name));
    return check;
}

QPushButton *button(const char *name, const QString &caption)
{
    auto *b = new QPushButton(caption);
    b->setObjectName(QLatin1String(name));
    b->setAutoDefault(false);
    return b;
}

// An up-down control with its read-only edit: the value changes only by the arrows (mouse,
// keys or wheel), in steps, within its range.
QSpinBox *upDown(const char *name, const char *editName, int min, int max, int step, int position,
                 QLineEdit *&edit)
{
    auto *spin = new QSpinBox;
    spin->setObjectName(QLatin1String(name));
    spin->setRange(min, max);
    spin->setSingleStep(step);
    spin->setValue(position);
    spin->setAlignment(Qt::AlignRight);
    spin->setFixedWidth(64);
    edit = spin->findChild<QLineEdit *>();
    edit->setObjectName(QLatin1String(editName));
    edit->setReadOnly(true);
    return spin;
}

QLabel *iconLabel(const char *name, const QPixmap &pixmap)
{
    auto *label = new QLabel;
    label->setObjectName(QLatin1String(name));
    label->setPixmap(pixmap);
    label->setFixedSize(16, 16);
    return label;
}

QTreeWidget *readOnlyTree(const char *name)
{
    auto *tree = new QTreeWidget;
    tree->setObjectName(QLatin1String(name));
    tree->setHeaderHidden(true);
    tree->setColumnCount(1);
    tree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tree->setSelectionMode(QAbstractItemView::SingleSelection);
    tree->setUniformRowHeights(true);
    return tree;
}

} // namespace

QWidget *TfrmOptions::createBasicPage()
{
    auto *page = new QWidget;
    auto *layout = column(page);

    auto *start = groupBox(tr(" Start programa:"));
    auto *startLayout = column(start);
    chkWindowsStart =
        checkBox("chkWindowsStart", tr(" Pokreni Tellwise Monitor pri prijavi u radnu okolinu"));
    chkSystemTray =
        checkBox("chkSystemTray", tr(" Sakrij Tellwise Monitor pri startu u područje obavijesti"));
    chkMonitorOnStart = checkBox("chkMonitorOnStart", tr(" Započni pratiti pozive pri startu programa"));
    for (QCheckBox *c : {chkWindowsStart, chkSystemTray, chkMonitorOnStart})
        startLayout->addWidget(c);
    layout->addWidget(start);

    auto *work = groupBox(tr(" U radu s programom:"));
    auto *workLayout = column(work);
    auto *closeRow = new QHBoxLayout;
    chkCIDCloseTime = checkBox("chkCIDCloseTime", tr(" Automatski zatvori prozor poziva nakon"));
    udCIDCloseTime = upDown("udCIDCloseTime", "editCIDCloseTime", 5, 300, 5, 30, editCIDCloseTime);
    closeRow->addWidget(chkCIDCloseTime);
    closeRow->addWidget(udCIDCloseTime);
    closeRow->addWidget(new QLabel(tr("sekundi")));
    closeRow->addStretch();
    workLayout->addLayout(closeRow);
    chkAnimateCIDWindow =
        checkBox("chkAnimateCIDWindow", tr(" Animiraj prozor poziva pri otvaranju i zatvaranju"));
    chkAnimateIcon = checkBox("chkAnimateIcon", tr(" Animiraj ikonu u području obavijesti"));
    chkConfimDelete = checkBox("chkConfimDelete", tr(" Potvrdi brisanje podataka"));
    chkBackupRecords =
        checkBox("chkBackupRecords", tr(" Prije zatvaranja programa napravi sigurnosne kopije podataka"));
    for (QCheckBox *c : {chkAnimateCIDWindow, chkAnimateIcon, chkConfimDelete, chkBackupRecords})
        workLayout->addWidget(c);
    layout->addWidget(work);
    layout->addStretch();

    connect(chkCIDCloseTime, &QCheckBox::clicked, this, &TfrmOptions::chkCIDCloseTimeClick);
    return page;
}

QWidget *TfrmOptions::createDevicesPage()
{
    auto *page = new QWidget;
    auto *layout = column(page);

    auto *kind = groupBox(tr(" Koristi ovu vrstu uređaja:"));
    auto *kindLayout = new QHBoxLayout(kind);
    rbModem = new QRadioButton(tr(" Modem"));
    rbModem->setObjectName(QStringLiteral("rbModem"));
    rbISDN = new QRadioButton(tr(" ISDN adapter"));
    rbISDN->setObjectName(QStringLiteral("rbISDN"));
    rbModem->setChecked(true);
    kindLayout->addWidget(rbModem);
    kindLayout->addSpacing(24);
    kindLayout->addWidget(rbISDN);
    kindLayout->addStretch();
    layout->addWidget(kind);

    auto *device = groupBox(tr(" Koristi ovaj uređaj:"));
    auto *deviceLayout = new QHBoxLayout(device);
    pbDevice = new QLabel;
    pbDevice->setObjectName(QStringLiteral("pbDevice"));
    pbDevice->setFixedSize(32, 32);
    cbDevices = new QComboBox;
    cbDevices->setObjectName(QStringLiteral("cbDevices"));
    cbDevices->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    cbDevices->setMinimumContentsLength(20);
    deviceLayout->addWidget(pbDevice);
    deviceLayout->addWidget(cbDevices, 1);
    layout->addWidget(device);
    layout->addWidget(createSipAccountButtons());

    auto *features = groupBox(tr(" Mogućnosti uređaja:"));
    auto *featuresLayout = column(features);
    tvFeatures = readOnlyTree("tvFeatures");
    tvFeatures->setSelectionMode(QAbstractItemView::NoSelection);
    tvFeatures->setFocusPolicy(Qt::NoFocus);
    // A long capability line widens the column and the tree scrolls sideways; nothing is cut.
    tvFeatures->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    tvFeatures->header()->setStretchLastSection(false);
    featuresLayout->addWidget(tvFeatures);
    layout->addWidget(features, 1);

    connect(rbModem, &QRadioButton::clicked, this, &TfrmOptions::rbModemClick);
    connect(rbISDN, &QRadioButton::clicked, this, &TfrmOptions::rbModemClick);
    connect(cbDevices, &QComboBox::activated, this, &TfrmOptions::cbDevicesChange);
    return page;
}

QWidget *TfrmOptions::createUnwantedPage()
{
    auto *page = new QWidget;
    auto *layout = column(page);

    auto *show = groupBox(tr(" Vizualni prikaz nepoželjnih poziva (Ne smetaj!):"));
    auto *showLayout = column(show);
    chkOnlyShowAddressbook =
        checkBox("chkOnlyShowAddressbook", tr(" Ne prikazuj pozive od osoba koje nisu u adresaru"));
    chkDontShowBlackList =
        checkBox("chkDontShowBlackList", tr(" Ne prikazuj pozive od osoba iz \"Crne Liste\""));
    chkDontShowBlocked = checkBox("chkDontShowBlocked", tr(" Ne prikazuj sakrivene i nedostupne pozive"));
    for (QCheckBox *c : {chkOnlyShowAddressbook, chkDontShowBlackList, chkDontShowBlocked})
        showLayout->addWidget(c);
    layout->addWidget(show);

    auto *reject = groupBox(tr(" Odbijanje nepoželjnih poziva (Odbij!):"));
    auto *rejectLayout = column(reject);
    chkRejectBlackList =
        checkBox("chkRejectBlackList", tr(" Automatski odbij sve pozive od osoba iz \"Crne Liste\""));
    chkRejectBlocked =
        checkBox("chkRejectBlocked", tr(" Automatski odbij sve sakrivene i nedostupne pozive"));
    rejectLayout->addWidget(chkRejectBlackList);
    rejectLayout->addWidget(chkRejectBlocked);
    layout->addWidget(reject);

    auto *log = groupBox(tr(" Zapisivanje nepoželjnih poziva:"));
    auto *logLayout = column(log);
    chkLogBlackList =
        checkBox("chkLogBlackList", tr(" Zapisuj pozive u \"Listu Poziva\" od osoba iz \"Crne Liste\""));
    chkLogBlocked =
        checkBox("chkLogBlocked", tr(" Zapisuj sakrivene i nedostupne pozive u \"Listu Poziva\""));
    logLayout->addWidget(chkLogBlackList);
    logLayout->addWidget(chkLogBlocked);
    layout->addWidget(log);
    layout->addStretch();
    return page;
}

QWidget *TfrmOptions::createCallsPage()
{
    auto *page = new QWidget;
    auto *layout = column(page);

    auto *show = groupBox(tr(" Vizualni prikaz:"));
    auto *showLayout = column(show);
    chkShowCIDWindow = checkBox("chkShowCIDWindow", tr(" Prikaži prozor poziva pri novom pozivu"));
    chkShowCIDMessage =
        checkBox("chkShowCIDMessage", tr(" Prikaži poruku u području obavijesti pri novom pozivu"));
    chkFlashScrollLock = checkBox("chkFlashScrollLock",
                                  tr(" Pri novom pozivu pali i gasi \"Scroll Lock\" lampicu na tipkovnici"));
    chkDesktopNotification =
        checkBox("chkDesktopNotification", tr(" Pri novom pozivu pošalji obavijest radnoj površini"));
    // Callers the address book lacks, named from the contacts the desktop keeps.
    chkVCardCallers = checkBox("chkVCardCallers", tr(" Prepoznaj pozivatelje i iz vCard kontakata"));
    for (QCheckBox *c :
         {chkShowCIDWindow, chkShowCIDMessage, chkFlashScrollLock, chkDesktopNotification, chkVCardCallers})
        showLayout->addWidget(c);
    layout->addWidget(show);

    auto *keep = groupBox(tr(" Čuvanje dolaznih poziva:"));
    auto *keepLayout = column(keep);
    rbKeepAll = new QRadioButton(tr(" Čuvaj sve pozive"));
    rbKeepAll->setObjectName(QStringLiteral("rbKeepAll"));
    rbKeepAll->setChecked(true);
    rbKeepOnly = new QRadioButton(tr(" Čuvaj samo pozive unazad"));
    rbKeepOnly->setObjectName(QStringLiteral("rbKeepOnly"));
    udKeepCalls = upDown("udKeepCalls", "editKeepCalls", 5, 365, 5, 7, editKeepCalls);
    keepLayout->addWidget(rbKeepAll);
    auto *onlyRow = new QHBoxLayout;
    onlyRow->addWidget(rbKeepOnly);
    onlyRow->addWidget(udKeepCalls);
    onlyRow->addWidget(new QLabel(tr("dana")));
    onlyRow->addStretch();
    keepLayout->addLayout(onlyRow);
    layout->addWidget(keep);

    auto *format = groupBox(tr(" Formatiranje telefonskih brojeva:"));
    auto *formatLayout = column(format);
    cbHowToFormat = new QComboBox;
    cbHowToFormat->setObjectName(QStringLiteral("cbHowToFormat"));
    cbHowToFormat->addItems({tr("Nemoj formatirati telefonske brojeve"),
                             tr("Formatiraj telefonske brojeve prema \"Format\" postavkama"),
                             tr("Neka program odluči kako formatirati telefonske brojeve")});
    cbHowToFormat->setCurrentIndex(2);
    formatLayout->addWidget(cbHowToFormat);
    layout->addWidget(format);
    layout->addStretch();

    connect(rbKeepAll, &QRadioButton::clicked, this, &TfrmOptions::rbKeepAllClick);
    connect(rbKeepOnly, &QRadioButton::clicked, this, &TfrmOptions::rbKeepAllClick);
    return page;
}

QWidget *TfrmOptions::createSoundPage()
{
    auto *page = new QWidget;
    auto *layout = column(page);
    const QColor navy(0x00, 0x00, 0x80);

    auto *basic = groupBox(tr(" Osnovne postavke:"));
    auto *basicLayout = column(basic);
    auto *soundRow = new QHBoxLayout;
    chkEnableSound = checkBox("chkEnableSound", tr(" Uključi zvuk"));
    btnChooseSound = button("btnChooseSound", tr("Izaberi"));
    btnTestSound = button("btnTestSound", tr("Test"));
    btnTestSound->setEnabled(false);
    soundRow->addWidget(chkEnableSound);
    soundRow->addStretch();
    soundRow->addWidget(btnChooseSound);
    soundRow->addWidget(btnTestSound);
    basicLayout->addLayout(soundRow);
    basicLayout->addWidget(new QLabel(tr("Kad zazvoni telefon odsviraj ovaj zvuk:")));
    auto *ringRow = new QHBoxLayout;
    lblPhoneRingSound = new TRunningLabel;
    lblPhoneRingSound->setObjectName(QStringLiteral("lblPhoneRingSound"));
    lblPhoneRingSound->setTextColor(navy);
    ringRow->addWidget(iconLabel("pbxSoundIcon1", OptionsIcons::speaker()));
    ringRow->addWidget(lblPhoneRingSound, 1);
    basicLayout->addLayout(ringRow);
    layout->addWidget(basic);

    auto *groups = groupBox(tr(" Zvukovi grupa:"));
    auto *groupsLayout = new QGridLayout(groups);
    tvGroupSound = readOnlyTree("tvGroupSound");
    tvGroupSound->setRootIsDecorated(false);
    tvGroupSound->setSortingEnabled(true);
    tvGroupSound->sortByColumn(0, Qt::AscendingOrder);
    tvGroupSound->setMinimumHeight(72);
    btnChooseGroupSound = button("btnChooseGroupSound", tr("Izaberi"));
    btnDeleteGroupSound = button("btnDeleteGroupSound", tr("Izbriši"));
    btnTestGroupSound = button("btnTestGroupSound", tr("Test"));
    auto *groupButtons = new QVBoxLayout;
    for (QPushButton *b : {btnChooseGroupSound, btnDeleteGroupSound, btnTestGroupSound}) {
        b->setEnabled(false);
        groupButtons->addWidget(b);
    }
    groupButtons->addStretch();
    auto *groupSoundRow = new QHBoxLayout;
    lblGroupSound = new TRunningLabel;
    lblGroupSound->setObjectName(QStringLiteral("lblGroupSound"));
    lblGroupSound->setTextColor(navy);
    groupSoundRow->addWidget(iconLabel("pbxSoundIcon2", OptionsIcons::speaker()));
    groupSoundRow->addWidget(lblGroupSound, 1);
    groupsLayout->addWidget(tvGroupSound, 0, 0);
    groupsLayout->addLayout(groupButtons, 0, 1);
    groupsLayout->addLayout(groupSoundRow, 1, 0, 1, 2);
    layout->addWidget(groups, 1);

    auto *speech = groupBox(tr(" Govor računala:"));
    auto *speechLayout = new QGridLayout(speech);
    chkEnableSpeech = checkBox("chkEnableSpeech", tr(" Uključi govor računala"));
    btnSpeechEngine = button("btnSpeechEngine", tr("Opcije govora"));
    lblSpeechState = new QLabel;
    lblSpeechState->setObjectName(QStringLiteral("lblSpeechState"));
    speechLayout->addWidget(chkEnableSpeech, 0, 0);
    speechLayout->setColumnStretch(1, 1);
    speechLayout->addWidget(btnSpeechEngine, 0, 2);
    speechLayout->addWidget(lblSpeechState, 1, 0, 1, 3);
    layout->addWidget(speech);

    connect(chkEnableSound, &QCheckBox::clicked, this, &TfrmOptions::chkEnableSoundClick);
    connect(btnChooseSound, &QPushButton::clicked, this, &TfrmOptions::btnChooseSoundClick);
    connect(btnTestSound, &QPushButton::clicked, this, &TfrmOptions::btnTestSoundClick);
    connect(tvGroupSound, &QTreeWidget::currentItemChanged, this, &TfrmOptions::tvGroupSoundChange);
    connect(btnChooseGroupSound, &QPushButton::clicked, this, &TfrmOptions::btnChooseGroupSoundClick);
    connect(btnDeleteGroupSound, &QPushButton::clicked, this, &TfrmOptions::btnDeleteGroupSoundClick);
    connect(btnTestGroupSound, &QPushButton::clicked, this, &TfrmOptions::btnTestGroupSoundClick);
    connect(chkEnableSpeech, &QCheckBox::clicked, this, &TfrmOptions::chkEnableSpeechClick);
    connect(btnSpeechEngine, &QPushButton::clicked, this, &TfrmOptions::btnSpeechEngineClick);
    return page;
}

QWidget *TfrmOptions::createFormatPage()
{
    // The patterns each length offers; the first is the default. Any other may be typed.
    static const char *const kItems[9][4] = {
        {"xx-xxx", "xxxxx", "x xxxx", "x-xx-xx"},
        {"xxx-xxx", "xx xxxx", "xx-xx-xx", nullptr},
        {"xxx-xxxx", "xxx-xx-xx", nullptr, nullptr},
        {"xxxx-xxxx", "(x) xxx-xxxx", "(xx) xxxxxx", nullptr},
        {"(xx) xxx-xxxx", "(xxx) xxx-xxx", "xxxx xxxxx", "xxxxx xxxx"},
        {"(xxx) xxx-xxxx", "(xxxx) xxx xxx", "xxx-xxx-xxxx", nullptr},
        {"(xxx) xxxx-xxxx", "(xxxx) xxx-xxxx", "(xxxxx) xxxxxx", "x (xxx) xxx xxxx"},
        {"+xxx (xx) xxx-xxxx", "+xx (xx) x xxx xxxx", "(xx) xx xx xx xx xx", nullptr},
        {"(xxx) xxx-xxxxxxx", nullptr, nullptr, nullptr},
    };

    auto *page = new QWidget;
    auto *layout = column(page);
    auto *box = groupBox(tr(" Formatiranje telefonskih brojeva:"));
    auto *grid = new QGridLayout(box);
    grid->setVerticalSpacing(3);
    grid->setColumnStretch(1, 1);
    grid->setColumnStretch(2, 1);
    for (int i = 0; i < 9; ++i) {
        grid->addWidget(new QLabel(tr("%1 znamenki").arg(i + 5)), i, 0);
        auto *combo = new QComboBox;
        combo->setObjectName(QStringLiteral("cbFormat%1").arg(i + 1));
        combo->setEditable(true);
        combo->setInsertPolicy(QComboBox::NoInsert);
        for (const char *item : kItems[i]) {
            if (item)
                combo->addItem(QLatin1String(item));
        }
        auto *preview = new QLineEdit;
        preview->setObjectName(QStringLiteral("editFormated%1").arg(i + 1));
        preview->setReadOnly(true);
        preview->setFocusPolicy(Qt::NoFocus);
        grid->addWidget(combo, i, 1);
        grid->addWidget(preview, i, 2);
        cbFormat[std::size_t(i)] = combo;
        editFormated[std::size_t(i)] = preview;
        connect(combo, &QComboBox::editTextChanged, this, &TfrmOptions::cbFormat1Change);
    }
    layout->addWidget(box);
    layout->addStretch();
    return page;
}

QWidget *TfrmOptions::createLanguagePage()
{
    auto *page = new QWidget;
    auto *layout = column(page);
    auto *box = groupBox(tr(" Koristi ovaj jezik:"));
    auto *boxLayout = column(box);
    cbLanguage = new QComboBox;
    cbLanguage->setObjectName(QStringLiteral("cbLanguage"));
    cbLanguage->addItems({tr("Engleski"), tr("Hrvatski")});
    boxLayout->addWidget(cbLanguage);
    layout->addWidget(box);
    layout->addStretch();
    return page;
}
