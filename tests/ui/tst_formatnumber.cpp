// The number format dialog: how a typed number is split when the dialog opens, and the preview
// that OK hands back, over a country list written for the test.

#include "TestSupport.h"

#include "ui/TfrmFormatNumber.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace Qt::Literals::StringLiterals;

namespace {

// Windows-1250, as the shipped list is: 0xE8 is "č".
const QByteArray kCountryList = "[Hrvatska][+385]\r\n[Njema\xe8ka][+49]\r\n\r\n[Slovenija][+386]\r\n"
                                "no brackets here\r\n[Sjedinjene Dr\x9e"
                                "ave][+1]\r\n";

} // namespace

class TestFormatNumber : public QObject
{
    Q_OBJECT

    template <typename T = QLineEdit> T *control(const char *name) const
    {
        return m_dialog->findChild<T *>(QLatin1String(name));
    }
    QComboBox *countries() const { return control<QComboBox>("cbCountries"); }
    QString preview() const { return control<QLabel>("lblFormatedNumber")->text(); }
    QString locationCaption() const { return control<QGroupBox>("gbFormated")->title(); }

    std::unique_ptr<TfrmFormatNumber> m_dialog;

private slots:
    void init()
    {
        testsupport::writeFile(testsupport::testDataDir() + u"CountryList.dat"_s, kCountryList);
        m_dialog = std::make_unique<TfrmFormatNumber>();
    }

    void cleanup()
    {
        m_dialog.reset();
        QFile::remove(testsupport::testDataDir() + u"CountryList.dat"_s);
    }

    // The splitting rules fill the controls; the country of one use stays for a number without one.
    void openingSplitsTheNumber()
    {
        m_dialog->prepareFor(u"00385 (1) 2345678"_s, u"Kuća"_s);
        m_dialog->show();
        QCOMPARE((QStringList{countries()->currentText(), control("editCityCode")->text(),
                              control("editLocalNumber")->text(), preview()}),
                 (QStringList{u"Hrvatska"_s, u"1"_s, u"2345678"_s, u"+385 (1) 2345678"_s}));
        QCOMPARE(m_dialog->formattedNumber(), preview());
        QCOMPARE(locationCaption(), u" Kuća:"_s);
        // Closing empties the location caption for the next use.
        QTest::mouseClick(control<QPushButton>("btnCancel"), Qt::LeftButton);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(locationCaption(), QString());

        m_dialog->prepareFor(u"+386 (1) 1112223"_s, QString());
        m_dialog->prepareFor(u"2345678"_s, QString());
        QCOMPARE(countries()->currentText(), u"Slovenija"_s);
        QCOMPARE(preview(), u"+386 2345678"_s);
        // Behind the country code the trunk 0 goes, from the area code or the whole number.
        m_dialog->prepareFor(u"091 234 5678"_s, QString());
        QCOMPARE(preview(), u"+386 912345678"_s);
        m_dialog->prepareFor(u"01/2345678"_s, QString());
        QCOMPARE(preview(), u"+386 (1) 2345678"_s);

        // An empty number starts from nothing: no country, and no number left from before.
        m_dialog->prepareFor(QString(), QString());
        QCOMPARE(countries()->currentIndex(), -1);
        QCOMPARE(preview(), QString());
    }

    void previewFollowsTheTyping()
    {
        m_dialog->prepareFor(QString(), QString());
        countries()->setCurrentIndex(countries()->findText(u"Sjedinjene Države"_s));
        QTest::keyClicks(control("editCityCode"), u"212"_s);
        QCOMPARE(preview(), u"+1 (212)"_s);
        QTest::keyClicks(control("editLocalNumber"), u"5550100"_s);
        QCOMPARE(preview(), u"+1 (212) 5550100"_s);
    }

    void withoutCountryListCityAndLocalStillFormat()
    {
        m_dialog.reset();
        QFile::remove(testsupport::testDataDir() + u"CountryList.dat"_s);
        m_dialog = std::make_unique<TfrmFormatNumber>();
        QCOMPARE(countries()->count(), 0);
        m_dialog->prepareFor(u"00385 (1) 2345678"_s, QString());
        QCOMPARE(preview(), u"(1) 2345678"_s);
    }

    // OK is the dialog's default button: Enter as it opens takes the proposed format, also when
    // the previous use ended with Cancel.
    void enterTakesTheFormat()
    {
        m_dialog->prepareFor(u"01/2345678"_s, QString());
        m_dialog->open();
        QTest::mouseClick(control<QPushButton>("btnCancel"), Qt::LeftButton);
        m_dialog->prepareFor(u"01/2345678"_s, QString());
        m_dialog->open();
        QVERIFY(QTest::qWaitForWindowActive(m_dialog.get()));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QCOMPARE(m_dialog->result(), int(QDialog::Accepted));
    }
};

QTEST_MAIN(TestFormatNumber)
#include "tst_formatnumber.moc"
