#pragma once

#include "store/Records.h"
#include "ui/DialogSeams.h"

#include <QDialog>
#include <QString>

#include <array>
#include <functional>

class AddressBook;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QTabWidget;
class QToolButton;
class TfrmFormatNumber;
class TfrmGroup;

// The contact editor: one contact in its controls, tab by tab. It never writes the address book
// itself: the main window fills it from a contact, shows it modally and, after "Snimi", creates
// the record from it and saves. Created once and reused.
class TfrmContact : public QDialog
{
    Q_OBJECT

public:
    enum Tab
    {
        TabPerson,
        TabHome,
        TabCompany,
        TabPhones,
        TabInternet,
        TabNotes,
        TabPicture,
        TabSound
    };

    explicit TfrmContact(AddressBook &addressBook, QWidget *parent = nullptr);
    ~TfrmContact() override;

    // Defaults: Qt's open dialog, wave files played on a thread, no speech, Croatian pictures.
    void setOpenFileDialog(OpenFileFn fn) { m_openFileDialog = std::move(fn); }
    void setSoundPlayer(PlaySoundFn fn) { m_playSound = std::move(fn); }
    void setSpeaker(SpeakTextFn fn) { m_speakText = std::move(fn); }
    void setLanguageIndex(std::function<int()> fn) { m_languageIndex = std::move(fn); }

    // Empties every control for a new contact and starts on the first tab. A caller taken from
    // the call list prefills the first name and phone number 1.
    void ClearForNewContact(const QString &firstName = {}, const QString &phoneNumber = {});
    // Copies every field of the first contact named DISPLAYNAME into the controls; false when
    // there is none.
    bool FillFromContact(const QString &displayName);
    void FillFromContact(const AListAddress &contact);
    // Writes every control into RECORD; a contact without a group gets "Bez grupe".
    void StoreIntoRecord(AListAddress &record) const;
    AListAddress CreateRecord() const;

    // Refills the group choices from the address book's groups, sorted, and selects SELECT (or keeps the
    // choice).
    void RefreshGroupChoices(const QString &select = {});
    void showTab(Tab tab);

    // The display name as the address book will hold it (other scripts in Latin letters).
    QString displayName() const;
    QString picturePath() const { return m_picturePath; }
    TfrmGroup *groupDialog() const { return m_groupDialog; }

signals:
    // A group was added from the editor; the main window rebuilds its tree and selects it.
    void groupAdded(const QString &name);

public slots:
    void accept() override;

protected:
    void showEvent(QShowEvent *event) override;

private:
    QWidget *createPersonPage();
    QWidget *createHomePage();
    QWidget *createCompanyPage();
    QWidget *createPhonesPage();
    QWidget *createInternetPage();
    QWidget *createNotesPage();
    QWidget *createPicturePage();
    QWidget *createSoundPage();

    // Handlers.
    void nameChange();
    void cbDisplayAsChange();
    void memoNotesChange();
    void btnChoosePictureClick();
    void btnDeletePictureClick();
    void pictureOptionClick();
    void soundChoiceClick(int tag);
    void editUseThisSoundChange();
    void btnChooseSoundClick();
    void btnTestClick();
    void btnMoreInfoClick();
    void lblTTSHelpClick();
    void sbPhoneClick(int k);
    void btnNewGroupClick();
    void cbGroupsChange();

    void applySoundChoiceLook(int tag);
    int soundTag() const;
    QString groupSoundOfChoice() const;
    void redrawPicture();
    bool previewHoldsPicture() const;
    // "typed  →  stored" for every text the data file will hold in other letters.
    QStringList textsStoredOtherwise() const;
    int languageIndex() const { return m_languageIndex ? m_languageIndex() : 1; }

    OpenFileFn m_openFileDialog;
    PlaySoundFn m_playSound;
    SpeakTextFn m_speakText;
    std::function<int()> m_languageIndex;

    TfrmFormatNumber *m_formatNumber = nullptr;
    AddressBook &m_book;
    TfrmGroup *m_groupDialog = nullptr;

    QString m_picturePath;
    QString m_currentSoundFile;
    // The sound choice and text the edited contact was stored with (-1: a new contact).
    int m_storedSoundMode = -1;
    QString m_storedSound;

    QTabWidget *PageControl = nullptr;
    QPushButton *btnSave = nullptr;
    QPushButton *btnCancel = nullptr;

    // Person
    QLineEdit *editFirstName = nullptr;
    QLineEdit *editLastName = nullptr;
    QLineEdit *editNickName = nullptr;
    QComboBox *cbDisplayAs = nullptr;
    QComboBox *cbGroups = nullptr;
    QPushButton *btnNewGroup = nullptr;
    QCheckBox *chkBlackList = nullptr;
    QPushButton *btnMoreInfo = nullptr;
    QLabel *lblStoredName = nullptr;

    // Home
    QLineEdit *editHomeAddress = nullptr;
    QLineEdit *editHomePostNo = nullptr;
    QLineEdit *editHomeCity = nullptr;
    QLineEdit *editHomeCountry = nullptr;

    // Company
    QLineEdit *editCompanyName = nullptr;
    QLineEdit *editCompanyDepartment = nullptr;
    QLineEdit *editCompanyOffice = nullptr;
    QLineEdit *editCompanyJobTitle = nullptr;
    QLineEdit *editCompanyAddress = nullptr;
    QLineEdit *editCompanyPostNo = nullptr;
    QLineEdit *editCompanyCity = nullptr;
    QLineEdit *editCompanyCountry = nullptr;

    // Phones
    std::array<QLineEdit *, 8> editPhoneNumber{};
    std::array<QComboBox *, 8> cbPhoneLocation{};
    std::array<QToolButton *, 8> sbPhone{};
    // The stored slot each row edits: the numbers shown first, in slot order, then the empty
    // slots, so the rows have no gaps while every slot is saved back where it was.
    std::array<int, 8> m_phoneRowSlot{0, 1, 2, 3, 4, 5, 6, 7};

    // Internet
    std::array<QLineEdit *, 4> editEmail{};
    QLineEdit *editHomeWebPage = nullptr;
    QLineEdit *editCompanyWebPage = nullptr;

    // Notes
    QPlainTextEdit *memoNotes = nullptr;
    QLabel *lblNotesInput = nullptr;

    // Picture
    QLabel *imgContact = nullptr;
    QRadioButton *rbActualDimensions = nullptr;
    QRadioButton *rbAdjustDimensions = nullptr;
    QCheckBox *chkCenterPicture = nullptr;
    QPushButton *btnChoosePicture = nullptr;
    QPushButton *btnDeletePicture = nullptr;

    // Sound
    QGroupBox *gbSound = nullptr;
    QRadioButton *rbGroupSound = nullptr;
    QRadioButton *rbSpecificSound = nullptr;
    QRadioButton *rbTTS = nullptr;
    QLabel *lblUseThisSound = nullptr;
    QLineEdit *editUseThisSound = nullptr;
    QPushButton *btnTest = nullptr;
    QPushButton *btnChooseSound = nullptr;
    QLabel *lblTTSHelp = nullptr;
};
