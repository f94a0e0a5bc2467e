#include "platform/Autostart.h"

#include "TestSupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

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
        auto row = [](const char *name, const QString &path, const QString &exec) {
            QTest::newRow(name) << path << exec;
        };
        row("plain path", u"/opt/tellwise/bin/tellwise-monitor"_s, u"/opt/tellwise/bin/tellwise-monitor"_s);
        row("blank", u"/home/ana/My Apps/tellwise"_s, u"\"/home/ana/My Apps/tellwise\""_s);
        row("dollar", u"/srv/a$b/t"_s, u"\"/srv/a\\\\$b/t\""_s);
        row("double quote", u"/srv/a\"b/t"_s, u"\"/srv/a\\\\\"b/t\""_s);
        row("backslash", u"/srv/a\\b/t"_s, u"\"/srv/a\\\\\\\\b/t\""_s);
        row("percent", u"/srv/100%/t"_s, u"/srv/100%%/t"_s);
        row("non-ASCII", u"/home/ana/programi/čšž/t"_s, u"/home/ana/programi/čšž/t"_s);
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

    // An installed copy starts by its menu entry's command, but only when that is this copy.
    void installedCopyUsesMenuCommand_data()
    {
        QTest::addColumn<QString>("menuExec");
        QTest::addColumn<bool>("onPath");
        QTest::addColumn<QString>("expected"); // "@" stands for the program's full path
        QTest::newRow("name found on PATH") << u"tellwise-monitor"_s << true << u"tellwise-monitor"_s;
        QTest::newRow("name not on PATH") << u"tellwise-monitor"_s << false << u"@"_s;
        QTest::newRow("with arguments") << u"tellwise-monitor --x"_s << true << u"@"_s;
    }

    void installedCopyUsesMenuCommand()
    {
        QFETCH(QString, menuExec);
        QFETCH(bool, onPath);
        QFETCH(QString, expected);
        QTemporaryDir prefix;
        const QString program = prefix.filePath(u"bin/tellwise-monitor"_s);
        QVERIFY(QDir().mkpath(prefix.filePath(u"bin"_s)) &&
                QDir().mkpath(prefix.filePath(u"share/applications"_s)));
        testsupport::writeFile(program, "#!/bin/sh\n");
        QFile(program).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        testsupport::writeFile(prefix.filePath(u"share/applications/tellwise-monitor.desktop"_s),
                               "[Desktop Entry]\nName=T\nExec=" + menuExec.toUtf8() + "\n");
        const QByteArray path = qgetenv("PATH");
        qputenv("PATH", (onPath ? prefix.filePath(u"bin"_s).toUtf8() + ':' : QByteArray()) + path);
        QVERIFY(Autostart::enable(program));
        qputenv("PATH", path);
        const QByteArray exec = expected == u"@"_s ? program.toUtf8() : expected.toUtf8();
        QVERIFY(testsupport::readFile(Autostart::entryPath()).split('\n').contains("Exec=" + exec));
    }
};

QTEST_GUILESS_MAIN(TestAutostart)
#include "tst_autostart.moc"
