#include "platform/DisplaySession.h"
#include "platform/KeyboardLight.h"

#include <QTest>

// Which platform a start chooses, and whether the Scroll Lock light is driven there, for the
// sessions Debian desktops have. Each row: WAYLAND_DISPLAY, XDG_SESSION_TYPE, DISPLAY,
// QT_QPA_PLATFORM as found, QT_QPA_PLATFORM afterwards (empty: unset), the light driven.
class TestDisplaySession : public QObject
{
    Q_OBJECT

private slots:
    void sessions_data()
    {
        QTest::addColumn<QByteArrayList>("env");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<bool>("light");
        QTest::newRow("x11") << QByteArrayList{"", "x11", ":0", ""} << QByteArray() << true;
        QTest::newRow("wayland, xwayland")
            << QByteArrayList{"wayland-0", "", ":0", ""} << QByteArray("xcb") << false;
        QTest::newRow("session type only")
            << QByteArrayList{"", "wayland", ":1", ""} << QByteArray("xcb") << false;
        QTest::newRow("user chose wayland")
            << QByteArrayList{"wayland-0", "", ":0", "wayland"} << QByteArray("wayland") << false;
        QTest::newRow("no xwayland") << QByteArrayList{"wayland-0", "", "", ""} << QByteArray() << false;
    }

    void sessions()
    {
        QFETCH(QByteArrayList, env);
        QFETCH(QByteArray, platform);
        QFETCH(bool, light);
        const char *names[] = {"WAYLAND_DISPLAY", "XDG_SESSION_TYPE", "DISPLAY", "QT_QPA_PLATFORM"};
        for (int i = 0; i < 4; ++i)
            env[i].isEmpty() ? qunsetenv(names[i]) : qputenv(names[i], env[i]);
        QCOMPARE(displaysession::preferXwayland(), env[3].isEmpty() && !platform.isEmpty());
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), platform);
        // The light follows the platform Qt ends up on: xcb where nothing was chosen.
        QCOMPARE(KeyboardLight::drivenOn(platform.isEmpty() ? u"xcb"_qs : QString::fromLatin1(platform)),
                 light);
    }
};

QTEST_GUILESS_MAIN(TestDisplaySession)
#include "tst_displaysession.moc"
