// The contact editor's behaviour: filling, storing, and what its controls do.

#include "platform/WaveFile.h"
#include "store/AddressBook.h"
#include "store/Cp1250.h"
#include "store/DataDir.h"
#include "store/FileRecords.h"
#include "ui/CallerPicture.h"
#include "ui/TfrmContact.h"
#include "ui/TfrmFormatNumber.h"
#include "ui/TfrmGroup.h"
#include "widgets/ShowMessageDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QFileDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>

#include <algorithm>
#include <numeric>

void TfrmContact::ClearForNewContact(const QString &firstName, const QString &phoneNumber)
{
    RefreshGroupChoices();
    for (QLineEdit *edit : PageControl->findChildren<QLineEdit *>())
        edit->clear();
    for (QComboBox *combo : {cbDisplayAs, cbGroups})
        combo->setCurrentIndex(-1);
    std::iota(m_phoneRowSlot.begin(), m_phoneRowSlot.end(), 0);
    for (QComboBox *combo : cbPhoneLocation) {
        combo->setCurrentIndex(-1);
        combo->setEditText(QString());
    }
    cbDisplayAs->clear();
    memoNotes->clear();
    chkBlackList->setChecked(false);
    m_picturePath.clear();
    rbAdjustDimensions->setChecked(true);
    chkCenterPicture->setChecked(false);
    m_storedSoundMode = -1;
    m_storedSound.clear();
    rbGroupSound->setChecked(true);
    applySoundChoiceLook(1);
    editUseThisSound->clear();
    editUseThisSoundChange();
    pictureOptionClick();
    setWindowTitle(tr("Osoba:  "));
    nameChange();

    if (!firstName.isEmpty())
        editFirstName->setText(firstName);
    if (!phoneNumber.isEmpty())
        editPhoneNumber[0]->setText(phoneNumber);
    showTab(TabPerson);
}

bool TfrmContact::FillFromContact(const QString &displayName)
{
    const int at = m_book.indexOfContact(displayName);
    if (at >= 0)
        FillFromContact(m_book.contacts()[at]);
    return at >= 0;
}

void TfrmContact::FillFromContact(const AListAddress &c)
{
    RefreshGroupChoices();
    // The name fields would propose a display name of their own; the stored one wins.
    {
        const QSignalBlocker a(editFirstName), b(editLastName), n(editNickName), d(editCompanyName);
        editFirstName->setText(c.FirstName);
        editLastName->setText(c.LastName);
        editNickName->setText(c.NickName);
        editCompanyName->setText(c.CompanyName);
    }
    nameChange();
    cbDisplayAs->setEditText(c.DisplayNameAs);
    cbGroups->setCurrentIndex(cbGroups->findText(c.Group, Qt::MatchExactly | Qt::MatchCaseSensitive));
    chkBlackList->setChecked(c.BlackList);

    editHomeAddress->setText(c.HomeAddress);
    editHomePostNo->setText(c.HomePostNo);
    editHomeCity->setText(c.HomeCity);
    editHomeCountry->setText(c.HomeCountry);
    editCompanyDepartment->setText(c.CompanyDepartment);
    editCompanyOffice->setText(c.CompanyOffice);
    editCompanyJobTitle->setText(c.CompanyJobTitle);
    editCompanyAddress->setText(c.CompanyAddress);
    editCompanyPostNo->setText(c.CompanyPostNo);
    editCompanyCity->setText(c.CompanyCity);
    editCompanyCountry->setText(c.CompanyCountry);
    std::iota(m_phoneRowSlot.begin(), m_phoneRowSlot.end(), 0);
    std::stable_partition(m_phoneRowSlot.begin(), m_phoneRowSlot.end(),
                          [&](int slot) { return !c.PhoneNumber[std::size_t(slot)].isEmpty(); });
    for (std::size_t row = 0; row < 8; ++row) {
        const auto slot = std::size_t(m_phoneRowSlot[row]);
        editPhoneNumber[row]->setText(c.PhoneNumber[slot]);
        cbPhoneLocation[row]->setEditText(c.PhoneLocation[slot]);
    }
    for (int i = 0; i < 4; ++i)
        editEmail[i]->setText(c.EMail[i]);
    editHomeWebPage->setText(c.HomeWebPage);
    editCompanyWebPage->setText(c.CompanyWebPage);
    memoNotes->setPlainText(c.Notes);

    m_picturePath = c.Picture;
    rbActualDimensions->setChecked(c.ActualDimensions);
    rbAdjustDimensions->setChecked(!c.ActualDimensions);
    chkCenterPicture->setChecked(c.CenterPicture);
    pictureOptionClick();

    m_storedSoundMode = c.SoundMode;
    m_storedSound = c.UseThisSound;
    const int tag = c.SoundMode == 1 ? 2 : c.SoundMode == 2 ? 3 : 1;
    (tag == 2 ? rbSpecificSound : tag == 3 ? rbTTS : rbGroupSound)->setChecked(true);
    applySoundChoiceLook(tag);
    editUseThisSound->setText(c.UseThisSound);
    editUseThisSoundChange();
    showTab(TabPerson);
    // The dialog is reused: without this the focus stays where the last editing left it.
    editFirstName->setFocus();
}

void TfrmContact::StoreIntoRecord(AListAddress &r) const
{
    r.FirstName = editFirstName->text();
    r.LastName = editLastName->text();
    r.NickName = editNickName->text();
    r.DisplayNameAs = displayName();
    r.Group = cbGroups->currentIndex() >= 0 ? cbGroups->currentText() : AddressBook::kNoGroup;
    r.HomeAddress = editHomeAddress->text();
    r.HomeCity = editHomeCity->text();
    r.HomePostNo = editHomePostNo->text();
    r.HomeCountry = editHomeCountry->text();
    r.HomeWebPage = editHomeWebPage->text();
    r.CompanyName = editCompanyName->text();
    r.CompanyDepartment = editCompanyDepartment->text();
    r.CompanyOffice = editCompanyOffice->text();
    r.CompanyJobTitle = editCompanyJobTitle->text();
    r.CompanyAddress = editCompanyAddress->text();
    r.CompanyCity = editCompanyCity->text();
    r.CompanyPostNo = editCompanyPostNo->text();
    r.CompanyCountry = editCompanyCountry->text();
    r.CompanyWebPage = editCompanyWebPage->text();
    for (std::size_t row = 0; row < 8; ++row) {
        const auto slot = std::size_t(m_phoneRowSlot[row]);
        r.PhoneLocation[slot] = cbPhoneLocation[row]->currentText();
        r.PhoneNumber[slot] = editPhoneNumber[row]->text();
    }
    for (int i = 0; i < 4; ++i)
        r.EMail[i] = editEmail[i]->text();
    r.Notes = memoNotes->toPlainText();
    r.UseThisSound = editUseThisSound->text();
    r.Picture = m_picturePath;
    r.ActualDimensions = rbActualDimensions->isChecked();
    r.CenterPicture = chkCenterPicture->isChecked();
    r.SoundMode = soundTag() - 1;
    r.BlackList = chkBlackList->isChecked();
}

AListAddress TfrmContact::CreateRecord() const
{
    AListAddress record;
    StoreIntoRecord(record);
    return record;
}

QString TfrmContact::displayName() const
{
    return StoredText(cbDisplayAs->currentText(), capacity::DisplayNameAs);
}

QStringList TfrmContact::textsStoredOtherwise() const
{
    QStringList changes;
    auto note = [&changes](const QString &text, int capacity) {
        const QString stored = StoredText(text, capacity);
        if (stored != text.normalized(QString::NormalizationForm_C))
            changes << text + QStringLiteral("  →  ") + stored;
    };
    // Every line edit is as long as its field, the display name's and the phone locations' too.
    for (const QLineEdit *edit : PageControl->findChildren<QLineEdit *>())
        note(edit->text(), edit->maxLength());
    note(memoNotes->toPlainText(), capacity::Notes);
    note(m_picturePath, capacity::Picture);
    return changes;
}

void TfrmContact::accept()
{
    // A control character (pasted, or from a contact another program wrote) would reach the
    // lists, the call window and every export raw; the names are refused until it is gone.
    auto hasControl = [](const QString &text) {
        return std::any_of(text.begin(), text.end(),
                           [](QChar c) { return c.category() == QChar::Other_Control; });
    };
    for (QLineEdit *field : {editFirstName, editLastName, editNickName, cbDisplayAs->lineEdit()}) {
        if (!hasControl(field->text()))
            continue;
        showTab(TabPerson);
        field->setFocus();
        const QString refusal = tr("Ime, prezime, nadimak i naziv za prikaz ne smiju sadržavati kontrolne "
                                   "znakove (tabulator, prijelom retka i slične).");
        ShowMessageDialog(QCoreApplication::translate("DialogSeams", "Informacija"), refusal,
                          QMessageBox::Information, QMessageBox::Ok, this);
        return;
    }
    // Letters the file cannot hold are saved in Latin ones; the user sees them first and may go
    // back and write them otherwise.
    const QStringList changes = textsStoredOtherwise();
    if (!changes.isEmpty() &&
        ShowMessageDialog(tr("Potvrda"),
                          tr("Datoteka adresara ne može zapisati sva ova slova, pa ih sprema latinicom:\n\n%1"
                             "\n\nSnimiti osobu ovako?")
                              .arg(changes.join(QLatin1Char('\n'))),
                          QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
        return;
    QDialog::accept();
}

void TfrmContact::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    if (!previewHoldsPicture())
        m_picturePath.clear();
    if (rbGroupSound->isChecked() && cbGroups->currentIndex() >= 0)
        editUseThisSound->setText(groupSoundOfChoice());
}

void TfrmContact::nameChange()
{
    const QString first = editFirstName->text().trimmed();
    const QString last = editLastName->text().trimmed();
    const QString nick = editNickName->text().trimmed();
    const QString company = editCompanyName->text().trimmed();

    QStringList choices;
    QString proposal;
    if (!first.isEmpty()) {
        choices = {first};
        proposal = first;
    }
    if (!last.isEmpty()) {
        choices << last;
        proposal = last;
    }
    if (!first.isEmpty() && !last.isEmpty()) {
        choices = {last + QStringLiteral(", ") + first, last + QLatin1Char(' ') + first,
                   first + QLatin1Char(' ') + last};
        proposal = choices.first();
    }
    for (const QString &other : {nick, company}) {
        if (other.isEmpty())
            continue;
        choices << other;
        if (proposal.isEmpty())
            proposal = other;
    }

    const QSignalBlocker quiet(cbDisplayAs);
    cbDisplayAs->clear();
    cbDisplayAs->addItems(choices);
    cbDisplayAs->setCurrentIndex(-1);
    cbDisplayAs->setEditText(proposal);
    cbDisplayAsChange();
}

void TfrmContact::cbDisplayAsChange()
{
    // A name of blanks only would be a contact nobody can tell apart in the lists.
    btnSave->setEnabled(!displayName().trimmed().isEmpty());
    setWindowTitle(tr("Osoba:  ") + displayName());
    const QString typed = cbDisplayAs->currentText().normalized(QString::NormalizationForm_C);
    lblStoredName->setVisible(displayName() != typed);
    lblStoredName->setText(tr("Sprema se kao: %1").arg(displayName()));
}

void TfrmContact::memoNotesChange()
{
    const QString text = memoNotes->toPlainText();
    if (text.size() > capacity::Notes) {
        // The notes field holds 255 characters; typing or pasting more keeps the first ones.
        const QSignalBlocker quiet(memoNotes);
        memoNotes->setPlainText(text.left(capacity::Notes));
        memoNotes->moveCursor(QTextCursor::End);
    }
    lblNotesInput->setText(tr("Dužina teksta:     %1 / 255").arg(memoNotes->toPlainText().size()));
}

void TfrmContact::btnChoosePictureClick()
{
    const QString caption = tr("Izaberi sliku");
    // The loader goes by content; the patterns only decide what the dialog offers. Both cases
    // are listed because some desktops' dialogs match patterns case-sensitively, and cameras
    // write ".JPG".
    const QString patterns = QStringLiteral("*.jpg *.jpeg *.png *.bmp *.JPG *.JPEG *.PNG *.BMP");
    const QString filter = tr("Slike (%1)").arg(patterns) + QStringLiteral(";;") + tr("Sve datoteke (*)");
    const QString file = m_openFileDialog ? m_openFileDialog(caption, DataDir(), filter)
                                          : QFileDialog::getOpenFileName(this, caption, DataDir(), filter);
    // The path is kept as chosen: folders on this system tell upper from lower case.
    if (!file.isEmpty())
        m_picturePath = file;
    pictureOptionClick();
}

void TfrmContact::btnDeletePictureClick()
{
    m_picturePath.clear();
    pictureOptionClick();
}

void TfrmContact::pictureOptionClick()
{
    chkCenterPicture->setEnabled(rbActualDimensions->isChecked());
    redrawPicture();
}

void TfrmContact::redrawPicture()
{
    imgContact->setPixmap(QPixmap::fromImage(LoadCallerPicture(
        m_picturePath, rbActualDimensions->isChecked(), chkCenterPicture->isChecked(), languageIndex())));
}

bool TfrmContact::previewHoldsPicture() const
{
    if (m_picturePath.isEmpty())
        return false;
    return LoadCallerPicture(m_picturePath, false, false, languageIndex()) !=
           LoadCallerPicture(QString(), false, false, languageIndex());
}

int TfrmContact::soundTag() const
{
    return rbSpecificSound->isChecked() ? 2 : rbTTS->isChecked() ? 3 : 1;
}

QString TfrmContact::groupSoundOfChoice() const
{
    if (cbGroups->currentIndex() < 0)
        return {};
    return m_book.GroupSound(cbGroups->currentText());
}

void TfrmContact::applySoundChoiceLook(int tag)
{
    const QRadioButton *chosen = tag == 2 ? rbSpecificSound : tag == 3 ? rbTTS : rbGroupSound;
    gbSound->setTitle(chosen->text() + QLatin1Char(':'));
    lblTTSHelp->setVisible(tag == 3);
    lblUseThisSound->setText(tag == 3 ? tr(" Izgovori ovaj tekst:") : tr(" Koristi ovu zvučnu datoteku:"));
    editUseThisSound->setReadOnly(tag == 1);
    // The group's sound is shown, not edited here.
    editUseThisSound->setEnabled(tag != 1);
    btnChooseSound->setEnabled(tag == 2);
}

void TfrmContact::soundChoiceClick(int tag)
{
    editUseThisSound->clear();
    applySoundChoiceLook(tag);
    if (tag == 1 && cbGroups->currentIndex() >= 0)
        editUseThisSound->setText(groupSoundOfChoice());
    else if (tag == 2 && m_storedSoundMode == 1)
        editUseThisSound->setText(m_storedSound);
    else if (tag == 3) {
        if (m_storedSoundMode == 2)
            editUseThisSound->setText(m_storedSound);
        if (editUseThisSound->text().isEmpty())
            editUseThisSound->setText(tr("<NAME> poziva"));
    }
    btnTest->setEnabled(!editUseThisSound->text().trimmed().isEmpty());
}

void TfrmContact::cbGroupsChange()
{
    // The group sound shown is the chosen group's; it follows a change of group.
    if (rbGroupSound->isChecked())
        editUseThisSound->setText(groupSoundOfChoice());
}

void TfrmContact::editUseThisSoundChange()
{
    btnTest->setEnabled(!editUseThisSound->text().trimmed().isEmpty());
    if (!rbTTS->isChecked())
        m_currentSoundFile = editUseThisSound->text();
}

void TfrmContact::btnChooseSoundClick()
{
    const QString caption = tr("Izaberi zvučnu datoteku");
    const QString filter = QStringLiteral("Wave Sound File (*.wav)");
    const QString file = m_openFileDialog ? m_openFileDialog(caption, DataDir(), filter)
                                          : QFileDialog::getOpenFileName(this, caption, DataDir(), filter);
    // The path itself is kept as chosen.
    if (IsWaveFile(file))
        m_currentSoundFile = file;
    editUseThisSound->setText(m_currentSoundFile);
}

void TfrmContact::btnTestClick()
{
    if (rbTTS->isChecked()) {
        QString text = editUseThisSound->text();
        const qsizetype at = text.indexOf(QLatin1String("<NAME>"));
        if (at >= 0)
            text.replace(at, 6, displayName());
        if (m_speakText)
            m_speakText(text);
    } else if (m_playSound) {
        m_playSound(m_currentSoundFile);
    }
}

void TfrmContact::btnMoreInfoClick()
{
    ShowMessageDialog(
        tr("Informacije o Crnoj Listi"),
        tr("Osobe koje se nalaze u Crnoj Listi tretiraju se kao\nnepoželjni pozivatelji. U opcijama programa "
           "možete postaviti\nkako da program postupi prema takvim pozivateljima.\n\nMoguće je postaviti da "
           "se "
           "pozivatelji iz Crne Liste uopće ne\nprikazuju (opcija 'Ne smetaj!'), da se automatski "
           "odbijaju\n(opcija 'Odbij!') i da se ne zapisuju u listu poziva."),
        QMessageBox::Information, QMessageBox::Ok, this);
}

void TfrmContact::lblTTSHelpClick()
{
    ShowMessageDialog(
        tr("Informacije o izgovoru teksta"),
        tr("Izgovor teksta vam omogućava da se određeni tekst\nizgovori generiranim glasom od "
           "strane "
           "računala.\n\nU polje predviđeno za upis teksta možete upisati tekst koji\nželite, no možete "
           "koristiti "
           "i funkciju <NAME> u kombinaciji\nsa svojim tekstom. Ova će funkcija automatski u tekst "
           "ubaciti\nime "
           "osobe na koju se tekst odnosi.\n\nPRIMJER:\nUpišite u polje \"<NAME> poziva\" i kliknite Test!"),
        QMessageBox::Information, QMessageBox::Ok, this);
}

void TfrmContact::sbPhoneClick(int k)
{
    QLineEdit *number = editPhoneNumber[k - 1];
    m_formatNumber->prepareFor(number->text(), cbPhoneLocation[k - 1]->currentText());
    if (RunModalDialog(*m_formatNumber) != QDialog::Accepted)
        return;
    number->setText(m_formatNumber->formattedNumber());
    number->selectAll();
    number->setFocus();
}

void TfrmContact::btnNewGroupClick()
{
    const QString name = NewGroup(*m_groupDialog, m_book);
    if (name.isEmpty())
        return;
    RefreshGroupChoices(name);
    cbGroupsChange();
    emit groupAdded(name);
}
