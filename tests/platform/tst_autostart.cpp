#include "platform/Autostart.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTest>

// The autostart entry as a desktop session reads it: file place, Exec quoting, removal.
class TestAutostart : public QObject
{
    Q_OBJECT

private slots:
    void init() { QFile::remove(Autostart::entryPath()); }

    void execLine_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("exec");
        QTest::newRow("plain path") << "/opt/tellwise/bin/tellwise-monitor"
                                    << "/opt/tellwise/bin/tellwise-monitor";
        QTest::newRow("blank") << "/home/ana/My Apps/tellwise"
                               << "\"/home/ana/My Apps/tellwise\"";
        QTest::newRow("dollar") << "/srv/a$b/t"
                                << "\"/srv/a\\\\$b/t\"";
        QTest::newRow("double quote") << "/srv/a\"b/t"
                                      << "\"/srv/a\\\\\"b/t\"";
        QTest::newRow("backslash") << "/srv/a\\b/t"
                                   << "\"/srv/a\\\\\\\\b/t\"";
        QTest::newRow("percent") << "/srv/100%/t"
                                 << "/srv/100%%/t";
        QTest::newRow("non-ASCII") << "/home/ana/programi/čšž/t"
                                   << "/home/ana/programi/čšž/t";
    }

    void execLine()
    {
        QFETCH(QString, path);
        QFETCH(QString, exec);
        QCOMPARE(Autostart::execLine(path), exec);
    }

    void entryWrittenUnderConfigHome()
    {
        const QString expected =
            qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart/tellwise-monitor.desktop";
        QCOMPARE(Autostart::entryPath(), expected);
        QVERIFY(!Autostart::isEnabled());

        QVERIFY(Autostart::enable(QStringLiteral("/home/ana/My Apps/tellwise-monitor")));
        QVERIFY(Autostart::isEnabled());
        const QList<QByteArray> lines = testsupport::readFile(expected).split('\n');
        QCOMPARE(lines.value(0), QByteArray("[Desktop Entry]"));
        QVERIFY(lines.contains("Type=Application"));
        QVERIFY(lines.contains("Name=Tellwise Monitor"));
        QVERIFY(lines.contains("Exec=\"/home/ana/My Apps/tellwise-monitor\""));

        QVERIFY(Autostart::disable());
        QVERIFY(!QFile::exists(expected));
        QVERIFY(Autostart::disable()); // already gone: still a success
    }

    void unwritableFolderFailsWithoutThrowing()
    {
        const QString folder = qEnvironmentVariable("XDG_CONFIG_HOME") + "/autostart";
        QDir(folder).removeRecursively();
        testsupport::writeFile(folder, "not a folder");
        QVERIFY(!Autostart::enable(QStringLiteral("/opt/t")));
        QVERIFY(!Autostart::isEnabled());
        QFile::remove(folder);
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
