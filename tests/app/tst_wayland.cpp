#include "app/CallMonitor.h"
#include "app/MonitorProgram.h"
#include "app/TfrmStart.h"
#include "platform/DisplaySession.h"
#include "ui/TfrmIncomingCall.h"

#include <QApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTest>
#include <QWindow>

#include <sys/stat.h>

#include "TestCallSource.h"

using namespace Qt::StringLiterals;

// The program on a Wayland desktop: a headless weston with Xwayland, and the program started
// in it as a process of its own, which shows a call and tells what it ran on.
class TestWayland : public QObject
{
    Q_OBJECT
    QProcess m_weston;
    QString m_display;

private slots:
    void initTestCase()
    {
        if (QStandardPaths::findExecutable(u"weston"_s).isEmpty() ||
            QStandardPaths::findExecutable(u"Xwayland"_s).isEmpty())
            QSKIP("weston or Xwayland is not installed");
        // Weston's Xwayland needs the X socket folder, which a machine gets with its first X server.
        if (::mkdir("/tmp/.X11-unix", 01777) == 0)
            ::chmod("/tmp/.X11-unix", 01777);
        m_weston.setProcessChannelMode(QProcess::MergedChannels);
        m_weston.start(u"weston"_s, {u"--backend=headless-backend.so"_s, u"--use-pixman"_s, u"--xwayland"_s,
                                     u"--socket=tellwise-wayland"_s});
        QVERIFY(m_weston.waitForStarted(5000));
        QByteArray log;
        static const QRegularExpression listening(u"xserver listening on display (:\\d+)"_s);
        QTRY_VERIFY_WITH_TIMEOUT(
            (log += m_weston.readAll(), listening.match(QString::fromUtf8(log)).hasMatch()), 10000);
        m_display = listening.match(QString::fromUtf8(log)).captured(1);
    }

    void cleanupTestCase() { m_weston.terminate(), m_weston.waitForFinished(5000); }

    // Left alone the program runs through Xwayland, where the call windows place and shape
    // themselves; on native Wayland, chosen by the user, the skin's corners are left to the
    // compositor to blend instead of a mask.
    void callWindow_data()
    {
        QTest::addColumn<QString>("platform");
        QTest::addColumn<QString>("shown");
        QTest::newRow("nothing chosen") << QString() << u"xcb mask opaque"_s;
        QTest::newRow("wayland chosen") << u"wayland"_s << u"wayland no-mask translucent"_s;
    }
    void callWindow()
    {
        QFETCH(QString, platform);
        QFETCH(QString, shown);
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(u"WAYLAND_DISPLAY"_s, u"tellwise-wayland"_s);
        env.insert(u"DISPLAY"_s, m_display);
        env.insert(u"XDG_SESSION_TYPE"_s, u"wayland"_s);
        env.remove(u"QT_QPA_PLATFORM"_s);
        if (!platform.isEmpty())
            env.insert(u"QT_QPA_PLATFORM"_s, platform);
        QProcess program;
        program.setProcessEnvironment(env);
        program.start(QCoreApplication::applicationFilePath(), {u"--show-call"_s});
        QVERIFY(program.waitForFinished(30000));
        QCOMPARE(program.exitCode(), 0);
        QCOMPARE(QString::fromUtf8(program.readAllStandardOutput()).trimmed(), shown);
    }
};

// The program's side: the platform chosen as the program chooses it, a call shown, and what the
// call window became once the compositor shows it.
static int showCall(int argc, char *argv[])
{
    displaysession::preferXwayland();
    QApplication app(argc, argv);
    MonitorProgram program;
    auto line = std::make_unique<testsupport::TestCallSource>();
    testsupport::TestCallSource *driven = line.get();
    program.frmStart()->calls().setSource(std::move(line));
    driven->identify({.name = u"Ana"_s, .number = u"0123456"_s, .calledNumber = u"555"_s});
    TfrmIncomingCall *window = program.frmIncomingCall();
    if (!QTest::qWaitFor([window] { return window->windowHandle() && window->windowHandle()->isExposed(); },
                         15000))
        return 1;
    QTextStream(stdout) << QGuiApplication::platformName()
                        << (window->mask().isEmpty() ? " no-mask" : " mask")
                        << (window->testAttribute(Qt::WA_TranslucentBackground) ? " translucent" : " opaque")
                        << Qt::endl;
    return 0;
}

int main(int argc, char *argv[])
{
    if (argc > 1 && qstrcmp(argv[1], "--show-call") == 0)
        return showCall(argc, argv);
    QCoreApplication app(argc, argv);
    TestWayland test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_wayland.moc"
