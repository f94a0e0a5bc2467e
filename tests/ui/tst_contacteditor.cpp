// The contact editor and the group dialog driven as a user drives them: typing and clicking on
// the real windows, results read from the controls, the record the editor makes, the data files
// on disk and the messages, sounds and speech it asked for.

#include "TestSupport.h"
#include "UiTestSupport.h"

#include "store/AddressBook.h"
#include "ui/DialogSeams.h"
#include "ui/TfrmContact.h"
#include "widgets/ShowMessageDialog.h"

#include <QComboBox>
#include <QDir>
#include <QGroupBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTranslator>

#include <memory>

using uitest::makeWave;
using uitest::typeText;

namespace {

QString dataFile(const QString &name)
{
    return testsupport::testDataDir() + name;
}

} // namespace

class TestContactEditor : public QObject
{
    Q_OBJECT

    // The editor's own control (its format and group dialogs have buttons of the same names).
    template <typename T> T *control(const char *name) const { return uitest::own<T>(*m_editor, name); }
    QLineEdit *edit(const char *name) const { return control<QLineEdit>(name); }
    void click(const char *name)
    {
        // A page just switched to lays its controls out on the next pass of the event loop.
        QCoreApplication::processEvents();
        // Radio buttons and check boxes react only on their mark and caption, at the left.
        auto *button = control<QAbstractButton>(name);
        QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
    }
    std::unique_ptr<AddressBook> m_book;
    std::unique_ptr<TfrmContact> m_editor;
    QStringList m_played;
    QStringList m_spoken;
    QString m_nextFile;

private slots:
    void init()
    {
        QDir(testsupport::testDataDir()).removeRecursively();
        QDir().mkpath(testsupport::testDataDir());
        testsupport::writeFile(dataFile(QStringLiteral("CountryList.dat")),
                               "[Hrvatska][+385]\r\n[Slovenija][+386]\r\n");
        TGroupList groups;
        groups.append({QStringLiteral("Prijatelji"), makeWave(QStringLiteral("friends.wav"))});
        groups.append({QStringLiteral("Obitelj"), QString()});
        QVERIFY(SaveGroups(testsupport::testDataDir(), groups));
        m_book = std::make_unique<AddressBook>(testsupport::testDataDir());
        QVERIFY(m_book->load());
        ModalDialogHook::clear();
        MessageDialogHook::clear();
        m_played.clear();
        m_spoken.clear();

        m_editor = std::make_unique<TfrmContact>(*m_book);
        m_editor->setOpenFileDialog(
            [this](const QString &, const QString &, const QString &) { return m_nextFile; });
        m_editor->setSoundPlayer([this](const QString &file) { m_played << file; });
        m_editor->setSpeaker([this](const QString &text) { m_spoken << text; });
        m_editor->ClearForNewContact();
        m_editor->show();
    }

    void cleanup()
    {
        m_editor.reset();
        QCOMPARE(ModalDialogHook::pending(), 0);
    }

    // The display name is proposed from the names; one typed by the user gives way to a name change.
    void displayName()
    {
        auto *displayAs = control<QComboBox>("cbDisplayAs");
        auto *save = control<QPushButton>("btnSave");
        auto choices = [displayAs] {
            QStringList shown;
            for (int i = 0; i < displayAs->count(); ++i)
                shown << displayAs->itemText(i);
            return shown;
        };
        typeText(edit("editFirstName"), QStringLiteral("   "));
        typeText(edit("editNickName"), QStringLiteral(" "));
        QCOMPARE(choices(), QStringList());
        QVERIFY(!save->isEnabled());

        typeText(edit("editFirstName"), QStringLiteral("Ana"));
        typeText(edit("editLastName"), QStringLiteral("Horvat"));
        QCOMPARE(choices(), (QStringList{"Horvat, Ana", "Horvat Ana", "Ana Horvat"}));
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("Osoba:  Horvat, Ana"));
        QVERIFY(save->isEnabled());

        m_editor->ClearForNewContact();
        typeText(edit("editNickName"), QStringLiteral("Kiki"));
        m_editor->showTab(TfrmContact::TabCompany);
        typeText(edit("editCompanyName"), QStringLiteral("Kovač d.o.o."));
        QCOMPARE(choices(), (QStringList{"Kiki", "Kovač d.o.o."}));
        QCOMPARE(displayAs->currentText(), QStringLiteral("Kiki"));

        m_editor->ClearForNewContact();
        typeText(displayAs, QStringLiteral("Teta Ana"));
        QVERIFY(save->isEnabled());
        QCOMPARE(m_editor->windowTitle(), QStringLiteral("Osoba:  Teta Ana"));
        typeText(edit("editLastName"), QStringLiteral("Horvat"));
        QCOMPARE(m_editor->displayName(), QStringLiteral("Horvat"));
    }

    void notesStopAtTheirCapacity()
    {
        m_editor->showTab(TfrmContact::TabNotes);
        auto *notes = control<QPlainTextEdit>("memoNotes");
        typeText(notes, QString(262, QLatin1Char('7')));
        QCOMPARE(notes->toPlainText().size(), 255);
        QCOMPARE(control<QLabel>("lblNotesInput")->text(), QString::fromUtf8("Dužina teksta:     255 / 255"));
    }

    void fillAndStoreKeepEveryField()
    {
        // Every text field different, so a field copied into the wrong control shows.
        AListAddress c;
        QString *texts[] = {
            &c.FirstName,      &c.LastName,        &c.NickName,       &c.HomeAddress, &c.HomeCity,
            &c.HomePostNo,     &c.HomeCountry,     &c.HomeWebPage,    &c.CompanyName, &c.CompanyDepartment,
            &c.CompanyOffice,  &c.CompanyJobTitle, &c.CompanyAddress, &c.CompanyCity, &c.CompanyPostNo,
            &c.CompanyCountry, &c.CompanyWebPage,  &c.Notes};
        int n = 0;
        for (QString *t : texts)
            *t = QStringLiteral("v%1").arg(++n);
        // Every other slot without a number: the rows close up, each slot is saved where it was.
        for (int k = 0; k < 8; ++k) {
            c.PhoneLocation[k] = QStringLiteral("L%1").arg(k);
            c.PhoneNumber[k] = k % 2 ? QStringLiteral("0%1 555").arg(k) : QString();
        }
        for (int k = 0; k < 4; ++k)
            c.EMail[k] = QStringLiteral("m%1@example.org").arg(k);
        c.DisplayNameAs = QStringLiteral("Moj prikaz");
        c.Group = QStringLiteral("Obitelj");
        c.Picture = makeWave(QStringLiteral("pic.bmp"));
        c.ActualDimensions = true;
        c.CenterPicture = true;
        c.SoundMode = 2;
        c.UseThisSound = QStringLiteral("Zvoni <NAME>");
        c.BlackList = true;
        QVERIFY(m_book->AddContact(c));

        QVERIFY(m_editor->FillFromContact(QStringLiteral("Moj prikaz")));
        QCOMPARE(edit("editPhoneNumber2")->text(), QStringLiteral("03 555"));
        QCOMPARE(m_editor->CreateRecord(), c);
        QVERIFY(!m_editor->FillFromContact(QStringLiteral("Nitko")));

        // A group that no longer exists is no choice: the contact goes back as without group.
        c.Group = QStringLiteral("Nestala grupa");
        m_editor->FillFromContact(c);
        QCOMPARE(m_editor->CreateRecord().Group, QStringLiteral("Bez grupe"));
    }

    // The stored group value stays Croatian in an English session; a name holding a control
    // character is refused in English.
    void newContactWithoutGroupIsSavedBezGrupe()
    {
        QTranslator translator;
        QVERIFY(translator.load(QStringLiteral(":/translations/tellwise_en.qm")));
        QVERIFY(QCoreApplication::installTranslator(&translator));
        m_editor->ClearForNewContact(QStringLiteral("Ivo"), QStringLiteral("091 234 5678"));
        QCOMPARE(edit("editPhoneNumber1")->text(), QStringLiteral("091 234 5678"));
        edit("editLastName")->setText(QStringLiteral("Horvat\x1b[2J"));
        MessageDialogHook::setNextAnswer(QMessageBox::Ok);
        click("btnSave");
        const QList<MessageDialogHook::Record> refused = MessageDialogHook::takeAnswered();
        QCOMPARE(refused.size(), 1);
        QVERIFY(refused[0].text.startsWith(QStringLiteral("The first name, last name")));
        QVERIFY(m_editor->isVisible());
        edit("editLastName")->clear();
        click("btnSave");
        const AListAddress saved = m_editor->CreateRecord();
        QCoreApplication::removeTranslator(&translator);
        QCOMPARE(m_editor->result(), int(QDialog::Accepted));
        QCOMPARE(saved.DisplayNameAs, QStringLiteral("Ivo"));
        QCOMPARE(saved.Group, QStringLiteral("Bez grupe"));
    }

    void soundChoicesFillTheSoundText()
    {
        m_editor->showTab(TfrmContact::TabSound);
        auto *text = edit("editUseThisSound");

        // A new contact: speech proposes the example text, and Test speaks it with the name.
        click("rbTTS");
        QCOMPARE(text->text(), QStringLiteral("<NAME> poziva"));
        typeText(edit("editFirstName"), QStringLiteral("Ana"));
        click("btnTest");
        QCOMPARE(m_spoken, QStringList{QStringLiteral("Ana poziva")});

        // The group's sound, read-only, for the chosen group; Test plays it.
        control<QComboBox>("cbGroups")->setCurrentText(QStringLiteral("Prijatelji"));
        click("rbGroupSound");
        QCOMPARE(text->text(), dataFile(QStringLiteral("friends.wav")));
        QVERIFY(!text->isEnabled());
        click("btnTest");
        QCOMPARE(m_played, QStringList{dataFile(QStringLiteral("friends.wav"))});

        // An own file is kept as chosen, folder in capitals and all; what is no wave file
        // (the sound player's rule) changes nothing.
        click("rbSpecificSound");
        m_nextFile = makeWave(QStringLiteral("Zvukovi/Ring.wav"));
        click("btnChooseSound");
        m_nextFile = makeWave(QStringLiteral("RING.WAV"));
        click("btnChooseSound");
        QCOMPARE(m_editor->CreateRecord().UseThisSound, dataFile(QStringLiteral("Zvukovi/Ring.wav")));

        // A stored contact gets back its own text and its own file, each under its own choice.
        AListAddress spoken;
        spoken.DisplayNameAs = QStringLiteral("Govornik");
        spoken.SoundMode = 2;
        spoken.UseThisSound = QStringLiteral("Zvoni <NAME>!");
        m_editor->FillFromContact(spoken);
        click("rbSpecificSound");
        QCOMPARE(text->text(), QString());
        click("rbTTS");
        QCOMPARE(text->text(), QStringLiteral("Zvoni <NAME>!"));

        AListAddress own = spoken;
        own.SoundMode = 1;
        own.UseThisSound = makeWave(QStringLiteral("own.wav"));
        m_editor->FillFromContact(own);
        click("rbTTS");
        QCOMPARE(text->text(), QStringLiteral("<NAME> poziva"));
        click("rbSpecificSound");
        click("btnTest");
        QCOMPARE(m_played.last(), own.UseThisSound);
    }

    void picturePreviewFollowsTheOptions()
    {
        QImage red(40, 30, QImage::Format_RGB32);
        red.fill(Qt::red);
        const QString path = dataFile(QStringLiteral("Slike/Ana.bmp"));
        QDir().mkpath(dataFile(QStringLiteral("Slike")));
        QVERIFY(red.save(path, "BMP"));

        m_editor->showTab(TfrmContact::TabPicture);
        auto shown = [this](int x, int y) {
            return control<QLabel>("imgContact")->pixmap().toImage().pixelColor(x, y);
        };
        m_nextFile = path;
        click("btnChoosePicture");
        QCOMPARE(m_editor->picturePath(), path);  // kept as chosen, capitals and all
        QCOMPARE(shown(80, 60), QColor(Qt::red)); // stretched over the frame

        // At its own size in the corner, then centred; the centre box only goes with that choice.
        click("rbActualDimensions");
        QCOMPARE(shown(80, 60), QColor(Qt::black));
        click("chkCenterPicture");
        QCOMPARE(shown(80, 60), QColor(Qt::red));
        QCOMPARE(shown(20, 15), QColor(Qt::black));
        QVERIFY(m_editor->CreateRecord().CenterPicture);
        click("btnDeletePicture");
        QCOMPARE(m_editor->picturePath(), QString());
        QVERIFY(shown(80, 60) != QColor(Qt::red));

        // A stored picture that cannot be read is forgotten when the editor opens.
        AListAddress lost;
        lost.DisplayNameAs = QStringLiteral("Bez slike");
        lost.Picture = dataFile(QStringLiteral("gone.jpg"));
        m_editor->hide();
        m_editor->FillFromContact(lost);
        m_editor->show();
        QCOMPARE(m_editor->CreateRecord().Picture, QString());
    }

    // The buttons are clicked: what Enter does in the number format dialog depends on where the
    // focus was left (the dialog's own test shows that).
    void formatButtonReplacesItsOwnNumber()
    {
        m_editor->showTab(TfrmContact::TabPhones);
        typeText(edit("editPhoneNumber1"), QStringLiteral("01/2345678"));
        typeText(edit("editPhoneNumber2"), QStringLiteral("00385 (1) 2345678"));
        control<QComboBox>("cbPhoneLocation2")->setEditText(QStringLiteral("Posao"));
        QString caption;
        auto answer = [&caption](const char *button) {
            ModalDialogHook::pushNext([&caption, button](QDialog &dialog) {
                caption = dialog.findChild<QGroupBox *>(QStringLiteral("gbFormated"))->title();
                QTest::mouseClick(dialog.findChild<QPushButton *>(QLatin1String(button)), Qt::LeftButton);
            });
        };
        answer("btnOK");
        click("sbPhone2");
        QCOMPARE(caption, QStringLiteral(" Posao:"));
        QCOMPARE(edit("editPhoneNumber2")->selectedText(), QStringLiteral("+385 (1) 2345678"));
        QCOMPARE(edit("editPhoneNumber1")->text(), QStringLiteral("01/2345678"));

        // Cancel leaves the number as typed.
        answer("btnCancel");
        click("sbPhone1");
        QCOMPARE(edit("editPhoneNumber1")->text(), QStringLiteral("01/2345678"));
    }

    // Names in another script: the dialogs say what the files will hold, the editor asks before
    // saving, and a new group is chosen under the name it got.
    void otherScriptsShowTheirStoredForm()
    {
        ModalDialogHook::pushNext([](QDialog &d) {
            typeText(d.findChild<QLineEdit *>(QStringLiteral("editGroupName")), QStringLiteral("Семья"));
            QCOMPARE(d.findChild<QLabel *>(QStringLiteral("lblStoredName"))->text(),
                     QStringLiteral("Sprema se kao: Semja"));
            d.accept();
        });
        click("btnNewGroup");
        QCOMPARE(control<QComboBox>("cbGroups")->currentText(), QStringLiteral("Semja"));

        typeText(edit("editFirstName"), QStringLiteral("Віталій"));
        typeText(edit("editLastName"), QStringLiteral("Кличко"));
        QVERIFY(control<QLabel>("lblStoredName")->isVisible());
        QCOMPARE(control<QLabel>("lblStoredName")->text(), QStringLiteral("Sprema se kao: Kličko, Vitalij"));
        MessageDialogHook::setNextAnswer(QMessageBox::No);
        click("btnSave");
        QVERIFY(MessageDialogHook::takeAnswered().value(0).text.contains(
            QStringLiteral("Віталій  →  Vitalij\n")));
        QVERIFY(m_editor->isVisible());
        MessageDialogHook::setNextAnswer(QMessageBox::Yes);
        click("btnSave");
        QCOMPARE(m_editor->result(), int(QDialog::Accepted));
        QCOMPARE(m_editor->CreateRecord().DisplayNameAs, QStringLiteral("Kličko, Vitalij"));
    }

    // A group name of blanks is none: Save stays off, Enter does nothing, Escape cancels.
    void groupDialogKeys()
    {
        ModalDialogHook::pushNext([](QDialog &d) {
            QLineEdit *name = d.findChild<QLineEdit *>(QStringLiteral("editGroupName"));
            typeText(name, QStringLiteral("   "));
            QVERIFY(!d.findChild<QPushButton *>(QStringLiteral("btnSave"))->isEnabled());
            QTest::keyClick(name, Qt::Key_Return);
            QVERIFY(d.isVisible());
            QTest::keyClick(name, Qt::Key_Escape);
            QVERIFY(!d.isVisible());
        });
        click("btnNewGroup");
        QVERIFY(MessageDialogHook::takeAnswered().isEmpty());
        QCOMPARE(m_book->groups().size(), 2);
    }
};

QTEST_MAIN(TestContactEditor)
#include "tst_contacteditor.moc"
