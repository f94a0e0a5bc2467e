// The number format dialog: how a typed number is split when the dialog opens, and the preview
// that OK hands back, over a country list written for the test.

#include "TestSupport.h"

#include "ui/TfrmFormatNumber.h"

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

    QComboBox *countries() const { return m_dialog->findChild<QComboBox *>(QStringLiteral("cbCountries")); }
    QLineEdit *edit(const char *name) const
    {
        return m_dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
    }
    QString preview() const
    {
        return m_dialog->findChild<QLabel *>(QStringLiteral("lblFormatedNumber"))->text();
    }
    QString locationCaption() const
    {
        return m_dialog->findChild<QGroupBox *>(QStringLiteral("gbFormated"))->title();
    }

    std::unique_ptr<TfrmFormatNumber> m_dialog;

private slots:
    void init()
    {
        testsupport::writeFile(testsupport::testDataDir() + QStringLiteral("CountryList.dat"), kCountryList);
        m_dialog = std::make_unique<TfrmFormatNumber>();
    }

    void cleanup()
    {
        m_dialog.reset();
        QFile::remove(testsupport::testDataDir() + QStringLiteral("CountryList.dat"));
    }

    // The splitting rules are the number formatter's; here the controls it fills.
    void openingSplitsTheNumber()
    {
        m_dialog->prepareFor(QStringLiteral("00385 (1) 2345678"), QStringLiteral("Posao"));
        QCOMPARE(countries()->currentText(), QStringLiteral("Hrvatska"));
        QCOMPARE(edit("editCityCode")->text(), QStringLiteral("1"));
        QCOMPARE(edit("editLocalNumber")->text(), QStringLiteral("2345678"));
        QCOMPARE(preview(), QStringLiteral("+385 (1) 2345678"));
        QCOMPARE(m_dialog->formattedNumber(), preview());
        QCOMPARE(locationCaption(), QStringLiteral(" Posao:"));
    }

    void countryOfThePreviousUseStays()
    {
        m_dialog->prepareFor(QStringLiteral("+386 (1) 1112223"), QString());
        QCOMPARE(countries()->currentText(), QStringLiteral("Slovenija"));

        // No country in the number: the last choice stays in front of it.
        m_dialog->prepareFor(QStringLiteral("2345678"), QString());
        QCOMPARE(countries()->currentText(), QStringLiteral("Slovenija"));
        QCOMPARE(preview(), QStringLiteral("+386 2345678"));

        // An empty number starts from nothing: no country, and no number left from before.
        m_dialog->prepareFor(QString(), QString());
        QCOMPARE(countries()->currentIndex(), -1);
        QCOMPARE(preview(), QString());
    }

    void previewFollowsTheTyping()
    {
        m_dialog->prepareFor(QString(), QString());
        countries()->setCurrentIndex(countries()->findText(u"Sjedinjene Države"_s));
        QTest::keyClicks(edit("editCityCode"), u"212"_s);
        QCOMPARE(preview(), u"+1 (212)"_s);
        QTest::keyClicks(edit("editLocalNumber"), u"5550100"_s);
        QCOMPARE(preview(), u"+1 (212) 5550100"_s);
    }

    void closingEmptiesTheLocationCaption()
    {
        m_dialog->prepareFor(QStringLiteral("01/2345678"), QStringLiteral("Kuća"));
        m_dialog->show();
        QCOMPARE(locationCaption(), QString::fromUtf8(" Kuća:"));
        QTest::mouseClick(m_dialog->findChild<QPushButton *>(QStringLiteral("btnCancel")), Qt::LeftButton);
        QVERIFY(!m_dialog->isVisible());
        QCOMPARE(locationCaption(), QString());
    }

    void withoutCountryListCityAndLocalStillFormat()
    {
        m_dialog.reset();
        QFile::remove(testsupport::testDataDir() + QStringLiteral("CountryList.dat"));
        m_dialog = std::make_unique<TfrmFormatNumber>();
        QCOMPARE(countries()->count(), 0);
        m_dialog->prepareFor(QStringLiteral("00385 (1) 2345678"), QString());
        QCOMPARE(preview(), QStringLiteral("(1) 2345678"));
    }
};

QTEST_MAIN(TestFormatNumber)
#include "tst_formatnumber.moc"
