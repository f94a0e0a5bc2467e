#include "platform/KeyboardLight.h"

#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

// The Scroll Lock light on a real (virtual) X server, read back through a second connection so
// the state is the server's, not something this object remembers.
class TestKeyboardLight : public QObject
{
    Q_OBJECT

private:
    QProcess m_server;
    QByteArray m_display;

private slots:
    void initTestCase()
    {
        const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
        if (xvfb.isEmpty())
            QSKIP("Xvfb is not installed");
        // A display number nobody uses; the pid keeps parallel test runs apart.
        for (int n = 90 + int(QCoreApplication::applicationPid() % 300); n < 1000; ++n) {
            if (!QFileInfo::exists(QStringLiteral("/tmp/.X11-unix/X%1").arg(n)) &&
                !QFileInfo::exists(QStringLiteral("/tmp/.X%1-lock").arg(n))) {
                m_display = ':' + QByteArray::number(n);
                break;
            }
        }
        m_server.start(xvfb,
                       {QString::fromLatin1(m_display), QStringLiteral("-nolisten"), QStringLiteral("tcp")});
        QVERIFY(m_server.waitForStarted(5000));
        const QString socket = QStringLiteral("/tmp/.X11-unix/X") + QString::fromLatin1(m_display.mid(1));
        QTRY_VERIFY_WITH_TIMEOUT(QFileInfo::exists(socket), 10000);
    }

    void cleanupTestCase()
    {
        m_server.terminate();
        m_server.waitForFinished(5000);
    }

    void switchesTheServersLight()
    {
        KeyboardLight light(m_display);
        KeyboardLight observer(m_display);
        QVERIFY(light.isAvailable());
        QVERIFY(!observer.isScrollLockOn());

        light.setScrollLock(true);
        QVERIFY(observer.isScrollLockOn());
        light.setScrollLock(true); // already on: stays on rather than toggling off
        QVERIFY(observer.isScrollLockOn());
        light.setScrollLock(false);
        QVERIFY(!observer.isScrollLockOn());
        light.setScrollLock(false);
        QVERIFY(!observer.isScrollLockOn());
    }

    void withoutAServerNothingHappens()
    {
        KeyboardLight light(QByteArrayLiteral(":999"));
        QVERIFY(!light.isAvailable());
        QVERIFY(!light.isScrollLockOn());
        light.setScrollLock(true);
        QVERIFY(!light.isScrollLockOn());
    }
};

QTEST_GUILESS_MAIN(TestKeyboardLight)
#include "tst_keyboardlight.moc"
