#include "store/Cp1250.h"

#include <QTest>

using namespace Qt::StringLiterals;

// What a data-file field holds of a text: names in other scripts arrive as Latin letters, never
// as question marks, and the code page's own letters are never touched.
class TestStoredText : public QObject
{
    Q_OBJECT

private slots:
    void storedForm_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("capacity");
        QTest::addColumn<QString>("stored");
        QTest::newRow("Croatian") << u"Đurđa Šimić, Čakovec"_s << 65 << u"Đurđa Šimić, Čakovec"_s;
        QTest::newRow("Croatian typed as letters and accents") << u"S\u030Cimic\u0301"_s << 65 << u"Šimić"_s;
        QTest::newRow("Ukrainian") << u"Віталій Кличко"_s << 65 << u"Vitalij Kličko"_s;
        QTest::newRow("Ukrainian in capitals") << u"ЮЛІЯ Тимошенко"_s << 65 << u"JULIJA Timošenko"_s;
        QTest::newRow("Serbian") << u"Љиљана Ђурђевић"_s << 65 << u"Ljiljana Đurđević"_s;
        QTest::newRow("Russian") << u"Наталья Щербакова"_s << 65 << u"Natalja Ščerbakova"_s;
        QTest::newRow("Greek") << u"Αλέξανδρος Παπαδόπουλος"_s << 65 << u"Aléxandros Papadópoulos"_s;
        QTest::newRow("Japanese kana") << u"やまだ たろう"_s << 65 << u"Yamada Tarou"_s;
        QTest::newRow("Japanese kanji") << u"山田太郎"_s << 65 << u"Shan tian tai lang"_s;
        QTest::newRow("Latin outside the code page") << u"Åse Øberg-Nguyễn"_s << 65 << u"Ase Oberg-Nguyen"_s;
        QTest::newRow("cut after the letters grew") << u"Ана Щ"_s << 6 << u"Ana Šč"_s;
        QTest::newRow("emoji and a lone surrogate dropped") << u"Ana 😀x\xD800y"_s << 65 << u"Ana xy"_s;
    }
    void storedForm()
    {
        QFETCH(QString, text);
        QFETCH(int, capacity);
        QTEST(StoredText(text, capacity), "stored");
    }
};

QTEST_GUILESS_MAIN(TestStoredText)
#include "tst_storedtext.moc"
