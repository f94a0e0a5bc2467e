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

private slots:
    void init();
    void cleanup();

    void openingSplitsTheNumber_data();
    void openingSplitsTheNumber();
    void countryOfThePreviousUseStays();
    void previewFollowsTheInputs_data();
    void previewFollowsTheInputs();
    void closingEmptiesTheLocationCaption();
    void withoutCountryListCityAndLocalStillFormat();

private:
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
};

void TestFormatNumber::init()
{
    testsupport::writeFile(testsupport::testDataDir() + QStringLiteral("CountryList.dat"), kCountryList);
    m_dialog = std::make_unique<TfrmFormatNumber>();
}

void TestFormatNumber::cleanup()
{
    m_dialog.reset();
    QFile::remove(testsupport::testDataDir() + QStringLiteral("CountryList.dat"));
}

void TestFormatNumber::openingSplitsTheNumber_data()
{
    QTest::addColumn<QString>("number");
    QTest::addColumn<QString>("location");
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("city");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("preview");
    QTest::addColumn<QString>("caption");

    auto row = [](const char *tag, const char *number, const char *location, const char *country,
                  const char *city, const char *local, const char *preview, const char *caption) {
        QTest::newRow(tag) << QString::fromUtf8(number) << QString::fromUtf8(location)
                           << QString::fromUtf8(country) << QString::fromUtf8(city)
                           << QString::fromUtf8(local) << QString::fromUtf8(preview)
                           << QString::fromUtf8(caption);
    };
    row("00 prefix, city in brackets", "00385 (1) 2345678", "Posao", "Hrvatska", "1", "2345678",
        "+385 (1) 2345678", " Posao:");
    row("city before a slash", "01/2345678", "", "", "01", "2345678", "(01) 2345678", "");
    row("country before a blank, no brackets", "+385 1 2345678", "Mobitel", "Hrvatska", "", "12345678",
        "+385 12345678", " Mobitel:");
    row("non-ASCII country name, dash kept", "+49 (30) 123-45 67", "", "Njemačka", "30", "123-4567",
        "+49 (30) 123-4567", "");
    row("national number in brackets", "(021) 345 678", "", "", "021", "345678", "(021) 345678", "");
    row("code that no country has", "+999 (1) 234", "", "", "1", "234", "(1) 234", "");
    row("plus without separator stays whole", "+38512345678", "", "", "", "+38512345678", "+38512345678", "");
    row("brackets without a local part", "(01)", "", "", "", "01", "01", "");
    row("letters are dropped", "tel. 01/234 56 78 (kucni)", "", "", "01", "2345678", "(01) 2345678", "");
    row("blank number", "   ", "Faks", "", "", "", "", " Faks:");
}

void TestFormatNumber::openingSplitsTheNumber()
{
    QFETCH(QString, number);
    QFETCH(QString, location);
    QFETCH(QString, country);
    QFETCH(QString, city);
    QFETCH(QString, local);
    QFETCH(QString, preview);
    QFETCH(QString, caption);

    m_dialog->prepareFor(number, location);
    QCOMPARE(countries()->currentIndex() >= 0 ? countries()->currentText() : QString(), country);
    QCOMPARE(edit("editCityCode")->text(), city);
    QCOMPARE(edit("editLocalNumber")->text(), local);
    QCOMPARE(this->preview(), preview);
    QCOMPARE(m_dialog->formattedNumber(), preview);
    QCOMPARE(locationCaption(), caption);
}

void TestFormatNumber::countryOfThePreviousUseStays()
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

void TestFormatNumber::previewFollowsTheInputs_data()
{
    QTest::addColumn<QString>("country");
    QTest::addColumn<QString>("city");
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("preview");

    QTest::newRow("country alone") << u"Hrvatska"_s << u""_s << u""_s << u"+385"_s;
    QTest::newRow("local number alone") << u""_s << u""_s << u"2345678"_s << u"2345678"_s;
    QTest::newRow("city code alone") << u"Sjedinjene Države"_s << u"212"_s << u""_s << u"+1 (212)"_s;
}

void TestFormatNumber::previewFollowsTheInputs()
{
    QFETCH(QString, country);
    QFETCH(QString, city);
    QFETCH(QString, local);
    QFETCH(QString, preview);

    m_dialog->prepareFor(QString(), QString());
    if (!country.isEmpty())
        countries()->setCurrentIndex(countries()->findText(country));
    QTest::keyClicks(edit("editCityCode"), city);
    QTest::keyClicks(edit("editLocalNumber"), local);
    QCOMPARE(this->preview(), preview);
}

void TestFormatNumber::closingEmptiesTheLocationCaption()
{
    m_dialog->prepareFor(QStringLiteral("01/2345678"), QStringLiteral("Kuća"));
    m_dialog->show();
    QCOMPARE(locationCaption(), QString::fromUtf8(" Kuća:"));
    QTest::mouseClick(m_dialog->findChild<QPushButton *>(QStringLiteral("btnCancel")), Qt::LeftButton);
    QVERIFY(!m_dialog->isVisible());
    QCOMPARE(locationCaption(), QString());
}

void TestFormatNumber::withoutCountryListCityAndLocalStillFormat()
{
    m_dialog.reset();
    QFile::remove(testsupport::testDataDir() + QStringLiteral("CountryList.dat"));
    m_dialog = std::make_unique<TfrmFormatNumber>();
    QCOMPARE(countries()->count(), 0);
    m_dialog->prepareFor(QStringLiteral("00385 (1) 2345678"), QString());
    QCOMPARE(preview(), QStringLiteral("(1) 2345678"));
}

QTEST_MAIN(TestFormatNumber)
#include "tst_formatnumber.moc"
