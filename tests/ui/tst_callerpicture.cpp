#include "TestSupport.h"
#include "ui/CallerPicture.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QPainter>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QRgb kRed = qRgb(220, 20, 20);
const QRgb kBlue = qRgb(20, 20, 220);
const QRgb kGreen = qRgb(20, 200, 20);
const QRgb kWhite = qRgb(255, 255, 255);

QImage solid(int w, int h, QRgb colour)
{
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(colour);
    return image;
}

// Left half red, right half blue.
QImage halves(int w, int h)
{
    QImage image = solid(w, h, kRed);
    QPainter(&image).fillRect(w / 2, 0, w - w / 2, h, QColor(kBlue));
    return image;
}

QByteArray encode(const QImage &image, const char *format, int quality = 95)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, format, quality))
        qFatal("cannot encode a test picture as %s", format);
    return bytes;
}

// JPEG is lossy: colours are compared with some room.
bool near(QRgb a, QRgb b, int tolerance = 40)
{
    return qAbs(qRed(a) - qRed(b)) <= tolerance && qAbs(qGreen(a) - qGreen(b)) <= tolerance &&
           qAbs(qBlue(a) - qBlue(b)) <= tolerance;
}

} // namespace

class TestCallerPicture : public QObject
{
    Q_OBJECT

    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        testsupport::writeFile(path, bytes);
        return path;
    }
    QTemporaryDir m_dir;
    QImage m_noPicture;

private slots:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The no-picture bitmap is a real picture, not a black frame, and has an English face.
        m_noPicture = LoadCallerPicture(QString(), false, false, 1);
        QCOMPARE(m_noPicture.size(), QSize(160, 120));
        QVERIFY(m_noPicture.pixel(80, 42) != qRgb(0, 0, 0));
        QVERIFY(LoadCallerPicture(QString(), false, false, 0) != m_noPicture);
    }

    void cornersAreTransparent()
    {
        const QString file = write(u"white.jpg"_s, encode(solid(300, 200, kWhite), "JPG"));
        const QImage picture = LoadCallerPicture(file, false, false, 1);
        QCOMPARE(picture.size(), QSize(160, 120));
        // Each corner loses nine pixels along its edge row and one on its ninth row.
        for (const QPoint &p : {QPoint(0, 0), QPoint(8, 0), QPoint(159, 0), QPoint(0, 8), QPoint(159, 119)})
            QCOMPARE(qAlpha(picture.pixel(p)), 0);
        for (const QPoint &p : {QPoint(9, 0), QPoint(1, 8), QPoint(0, 9), QPoint(80, 60), QPoint(150, 119)})
            QVERIFY(near(picture.pixel(p), kWhite));
        QVERIFY(IsCallerPictureCorner(8, 0) && !IsCallerPictureCorner(9, 0));
    }

    void drawing_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("actualSize");
        QTest::addColumn<bool>("center");
        QTest::addColumn<QList<QPoint>>("points");
        QTest::addColumn<QList<QRgb>>("colours");

        // The first bytes tell the kind, not the name: cameras write ".JPG".
        const QByteArray halvesJpg = encode(halves(640, 480), "JPG");
        QTest::newRow("jpeg stretched over the frame")
            << "DSC0001.JPG" << halvesJpg << false << false
            << QList<QPoint>{{20, 60}, {78, 60}, {82, 60}, {150, 60}}
            << QList<QRgb>{kRed, kRed, kBlue, kBlue};
        QTest::newRow("png named .jpg") << "photo.jpg" << encode(halves(64, 48), "PNG") << false << false
                                        << QList<QPoint>{{20, 60}, {150, 60}} << QList<QRgb>{kRed, kBlue};
        // At its own size a large photo is cropped like a BMP, not decoded smaller.
        QTest::newRow("jpeg at actual size, top left")
            << "halves-actual.jpg" << halvesJpg << true << false << QList<QPoint>{{20, 60}, {150, 60}}
            << QList<QRgb>{kRed, kRed};
        // Odd sizes: the offsets are halves rounded toward zero, (160 - 81) / 2 = 39, (120 - 61) / 2 = 29.
        QTest::newRow("actual size, centred, odd size")
            << "odd.bmp" << encode(solid(81, 61, kGreen), "BMP") << true << true
            << QList<QPoint>{{39, 29}, {38, 29}, {39, 28}, {119, 89}, {120, 89}}
            << QList<QRgb>{kGreen, 0xff000000, 0xff000000, kGreen, 0xff000000};

        // Larger than the frame: (160 - 201) / 2 = -20 toward zero (not -21), so picture column 20
        // lands on the frame's first column.
        QImage wide = solid(201, 151, kBlue);
        QPainter(&wide).fillRect(20, 0, 1, 151, QColor(kWhite));
        QTest::newRow("actual size, centred, larger than the frame")
            << "wide.bmp" << encode(wide, "BMP") << true << true << QList<QPoint>{{0, 60}, {1, 60}}
            << QList<QRgb>{kWhite, kBlue};
    }

    void drawing()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, actualSize);
        QFETCH(bool, center);
        QFETCH(QList<QPoint>, points);
        QFETCH(QList<QRgb>, colours);

        const QImage picture = LoadCallerPicture(write(name, bytes), actualSize, center, 1);
        QCOMPARE(picture.size(), QSize(160, 120));
        for (qsizetype i = 0; i < points.size(); ++i) {
            const QRgb seen = picture.pixel(points[i]);
            QVERIFY2(near(seen, colours[i]), qPrintable(u"(%1, %2) is #%3"_s.arg(points[i].x())
                                                            .arg(points[i].y())
                                                            .arg(seen, 8, 16, QLatin1Char('0'))));
        }
    }

    void noPicture_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");

        QTest::newRow("missing file") << QString() << QByteArray();
        QTest::newRow("not a picture, named .jpg") << "notes.jpg" << QByteArray("BM, then text");
        QTest::newRow("bmp cut short") << "short.bmp" << encode(halves(64, 48), "BMP").left(40);
    }

    void noPicture()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        const QString file = name.isEmpty() ? m_dir.filePath(u"absent.jpg"_s) : write(name, bytes);
        QCOMPARE(LoadCallerPicture(file, false, false, 1), m_noPicture);
    }

    // Grey JPEGs decode; large photos shrink on decoding, never below what was asked for; a
    // picture over the pixel limit is refused.
    void decodeJpeg()
    {
        const QImage grey = halves(320, 240).convertToFormat(QImage::Format_Grayscale8);
        const QImage decoded = DecodeJpeg(encode(grey, "JPG"));
        QCOMPARE(decoded.size(), QSize(320, 240));
        QVERIFY(near(decoded.pixel(10, 10), grey.pixel(10, 10), 8));
        QVERIFY(near(decoded.pixel(300, 200), grey.pixel(300, 200), 8));

        QCOMPARE(DecodeJpeg(encode(halves(1300, 980), "JPG"), {160, 120}).size(), QSize(163, 123));
        const QByteArray photo = encode(solid(1000, 1000, kGreen), "JPG");
        QVERIFY(DecodeJpeg(photo, {}, 999'999).isNull());
        QCOMPARE(DecodeJpeg(photo, {}, 1'000'000).size(), QSize(1000, 1000));
    }

    void corruptJpegs_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("decodes");

        const QByteArray good = encode(halves(160, 120), "JPG", 90);
        const qsizetype scan = good.indexOf("\xff\xda");
        QVERIFY(scan > 0);
        QByteArray huge = good;
        const qsizetype sof = huge.indexOf("\xff\xc0");
        QVERIFY(sof > 0);
        huge[sof + 5] = char(0xff); // height 65 xxx
        huge[sof + 7] = char(0xff); // width 65 xxx

        // Damage past the header still gives a picture with grey where the data was lost.
        QTest::newRow("truncated in the scan") << good.left((scan + good.size()) / 2) << true;
        QTest::newRow("claims 65535 x 65535") << huge << false;
    }

    void corruptJpegs()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, decodes);
        QCOMPARE(!DecodeJpeg(bytes).isNull(), decodes);
        // Whatever the decoder makes of it, the caller picture is a whole frame.
        const QImage picture = LoadCallerPicture(write(u"corrupt.jpg"_s, bytes), false, false, 1);
        QCOMPARE(picture.size(), QSize(160, 120));
        QCOMPARE(picture == m_noPicture, !decodes);
    }
};

QTEST_MAIN(TestCallerPicture)
#include "tst_callerpicture.moc"
