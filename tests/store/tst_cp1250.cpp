#include "store/Cp1250.h"

#include <QTest>

// The Windows-1250 codec. Decoding and comparing work on blocks of 8 bytes, with a last block
// that overlaps its predecessor, and fall back to a table for blocks that are not ASCII; every
// length and every position of a non-ASCII byte must give what one byte at a time would.
namespace {

struct Special
{
    char byte;
    char16_t character;
};

// Bytes above 0x7F with their characters, written out here rather than taken from the codec.
constexpr Special kSpecials[] = {
    {char(0x80), u'\u20AC'}, // euro sign
    {char(0x81), u'\u0081'}, // no character in the code page: kept as the control character
    {char(0x8A), u'\u0160'}, // Š
    {char(0xC8), u'\u010C'}, // Č
    {char(0xD0), u'\u0110'}, // Đ
    {char(0xFF), u'\u02D9'}, // dot above
};

// An ASCII text of `length` bytes that differs at every position.
QByteArray asciiText(int length)
{
    QByteArray bytes(length, Qt::Uninitialized);
    for (int i = 0; i < length; ++i)
        bytes[i] = char('!' + (i * 7) % 90);
    return bytes;
}

} // namespace

class TestCp1250 : public QObject
{
    Q_OBJECT
private slots:
    void everyByteRoundTrips()
    {
        QByteArray all(256, Qt::Uninitialized);
        for (int i = 0; i < 256; ++i)
            all[i] = char(i);
        const QString text = DecodeCp1250(all);
        QCOMPARE(text.size(), 256);
        QCOMPARE(EncodeCp1250(text), all);
        for (const Special &s : kSpecials)
            QCOMPARE(text.at(static_cast<unsigned char>(s.byte)).unicode(), s.character);
        QVERIFY(Cp1250Equals(all.constData(), all.size(), text.constData()));
    }

    void blocksMatchSingleBytes_data()
    {
        QTest::addColumn<int>("length");
        for (int length : {1, 2, 7, 8, 9, 12, 15, 16, 17, 23, 24, 25, 30, 65, 255})
            QTest::newRow(qPrintable(QStringLiteral("%1 bytes").arg(length))) << length;
    }
    void blocksMatchSingleBytes()
    {
        QFETCH(int, length);
        const QByteArray ascii = asciiText(length);
        QCOMPARE(DecodeCp1250(ascii), QString::fromLatin1(ascii));
        for (const Special &s : kSpecials) {
            for (int at = 0; at < length; ++at) {
                QByteArray bytes = ascii;
                bytes[at] = s.byte;
                QString expected = QString::fromLatin1(ascii);
                expected[at] = QChar(s.character);

                const QString decoded = DecodeCp1250(bytes);
                QCOMPARE(decoded, expected);
                // Into a buffer with room to spare: nothing is written past the text.
                QList<QChar> out(length + 8, QChar(u'#'));
                DecodeCp1250Into(bytes.constData(), length, out.data());
                QCOMPARE(QString(out.constData(), length), expected);
                QCOMPARE(QString(out.constData() + length, 8), QString(8, QChar(u'#')));

                QVERIFY(Cp1250Equals(bytes.constData(), length, expected.constData()));
                // A difference anywhere is seen, in an ASCII block or in one that is not.
                for (int other = 0; other < length; ++other) {
                    QString changed = expected;
                    changed[other] = other == at ? QChar(u'\u010D') : QChar(u'\u00E9');
                    QVERIFY2(
                        !Cp1250Equals(bytes.constData(), length, changed.constData()),
                        qPrintable(QStringLiteral("difference at %1, special at %2").arg(other).arg(at)));
                }
            }
        }
    }

    // An ASCII byte must not match the same value widened from a non-ASCII one, nor a character
    // whose low byte it is.
    void equalsComparesWholeCharacters()
    {
        const QByteArray bytes = asciiText(16);
        QString text = QString::fromLatin1(bytes);
        QVERIFY(Cp1250Equals(bytes.constData(), 16, text.constData()));
        for (int at : {0, 7, 8, 15}) {
            QString changed = text;
            changed[at] = QChar(char16_t(0x100 + static_cast<unsigned char>(bytes[at])));
            QVERIFY(!Cp1250Equals(bytes.constData(), 16, changed.constData()));
        }
        QVERIFY(Cp1250Equals(bytes.constData(), 0, text.constData()));
    }
};

QTEST_APPLESS_MAIN(TestCp1250)
#include "tst_cp1250.moc"
