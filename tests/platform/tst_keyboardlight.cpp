#include "platform/KeyboardLight.h"

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
        // Xvfb picks a free display and names it once it takes connections.
        m_server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                              QStringLiteral("tcp")});
        QVERIFY(m_server.waitForStarted(5000));
        QTRY_VERIFY_WITH_TIMEOUT(m_server.canReadLine(), 10000);
        m_display = ':' + m_server.readLine().trimmed();
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
