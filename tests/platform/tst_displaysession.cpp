#include "platform/DisplaySession.h"
#include "platform/KeyboardLight.h"

#include <QTest>

// Which platform a start chooses, and where the Scroll Lock light is driven, for the sessions
// Debian desktops have. An empty value is an unset variable.
class TestDisplaySession : public QObject
{
    Q_OBJECT

private slots:
    void sessions_data()
    {
        QTest::addColumn<QByteArray>("wayland");
        QTest::addColumn<QByteArray>("type");
        QTest::addColumn<QByteArray>("display");
        QTest::addColumn<QByteArray>("chosen");
        QTest::addColumn<QByteArray>("platform");
        QTest::addColumn<bool>("light");
        QTest::newRow("x11") << QByteArray() << QByteArray("x11") << QByteArray(":0") << QByteArray()
                             << QByteArray() << true;
        QTest::newRow("wayland with xwayland")
            << QByteArray("wayland-0") << QByteArray("wayland") << QByteArray(":0") << QByteArray()
            << QByteArray("xcb") << false;
        QTest::newRow("session type only") << QByteArray() << QByteArray("wayland") << QByteArray(":1")
                                           << QByteArray() << QByteArray("xcb") << false;
        QTest::newRow("user chose wayland") << QByteArray("wayland-0") << QByteArray() << QByteArray(":0")
                                            << QByteArray("wayland") << QByteArray("wayland") << false;
        QTest::newRow("no xwayland") << QByteArray("wayland-0") << QByteArray() << QByteArray()
                                     << QByteArray() << QByteArray() << false;
    }

    void sessions()
    {
        QFETCH(QByteArray, wayland);
        QFETCH(QByteArray, type);
        QFETCH(QByteArray, display);
        QFETCH(QByteArray, chosen);
        QFETCH(QByteArray, platform);
        QFETCH(bool, light);
        const auto set = [](const char *name, const QByteArray &value) {
            value.isEmpty() ? qunsetenv(name) : qputenv(name, value);
        };
        set("WAYLAND_DISPLAY", wayland);
        set("XDG_SESSION_TYPE", type);
        set("DISPLAY", display);
        set("QT_QPA_PLATFORM", chosen);
        QCOMPARE(displaysession::preferXwayland(), chosen.isEmpty() && !platform.isEmpty());
        QCOMPARE(qgetenv("QT_QPA_PLATFORM"), platform);
        // The light follows the platform Qt ends up on (xcb where nothing was chosen on X11).
        QCOMPARE(KeyboardLight::drivenOn(platform.isEmpty() ? QStringLiteral("xcb")
                                                            : QString::fromLatin1(platform)),
                 light);
    }
};

QTEST_GUILESS_MAIN(TestDisplaySession)
#include "tst_displaysession.moc"
