// The modem emulator as a program talks to it: command lines written to its pseudo-terminal,
// the exact bytes it answers read back.

#include "TestSupport.h"

#include <QElapsedTimer>
#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

class TestModemSim : public QObject
{
    Q_OBJECT
private slots:
    void answersCommandLines_data();
    void answersCommandLines();
};

void TestModemSim::answersCommandLines_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("control"); // a call played after the input; then a part suffices
    QTest::addColumn<QByteArray>("expected");
    QTest::addColumn<int>("minMs");

    const QStringList quietEcho{QStringLiteral("--profile"), QStringLiteral("E0")};
    const QByteArray ok = "\r\nOK\r\n";
    auto row = [&](const char *name, const QByteArray &input, const QByteArray &expected,
                   const QStringList &options = {}, const QByteArray &control = {}, int minMs = 0) {
        QTest::newRow(name) << (quietEcho + options) << input << control << expected << minMs;
    };
    row("basic commands with blanks, after Z too", "AT Z S0=0 E0 V1 Q0\rATZ S0=2\rATS0?\r",
        ok + ok + "\r\n002\r\n" + ok);
    row("only the chosen caller-ID command", "AT+VCID=1\rAT#CID=1\r", "\r\nERROR\r\n" + ok,
        {QStringLiteral("--cid-command"), QStringLiteral("#CID")});
    row("stored profile echoes and answers with numbers", "AT\rATV1\rATZ\r",
        "AT\r0\rATV1\r" + ok + "ATZ\r0\r", {QStringLiteral("--profile"), QStringLiteral("E1 V0")});
    row("first command answered after the reset pause", "AT\rAT\r", ok + ok,
        {QStringLiteral("--reset-pause"), QStringLiteral("600")}, {}, 550);
    row("name in Windows-1250, quotes kept", "AT+VCID=1\r",
        "NAME = \xC8"
        "a\xE8i\xE6\xD0 \"Pub\"\r\n",
        {}, "call 0912345678 ČačićĐ \"Pub\" --cid-first");
    row("name in UTF-8", "AT+VCID=1\r", "NMBR=0912345678\r\nNAME=Čačić\r\n", {QStringLiteral("--utf8")},
        "call --compact 0912345678 Čačić --cid-first");
}

void TestModemSim::answersCommandLines()
{
    QFETCH(QStringList, options);
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, control);
    QFETCH(QByteArray, expected);
    QFETCH(int, minMs);

    QProcess sim;
    sim.start(testsupport::toolPath(QStringLiteral("tellwise-modem-sim")),
              QStringList{"--no-link"} + options);
    QVERIFY(sim.waitForStarted(5000));
    while (!sim.canReadLine())
        QVERIFY(sim.waitForReadyRead(5000));
    const QByteArray pty = sim.readLine().trimmed();
    const int fd = ::open(pty.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    QVERIFY(fd >= 0);
    termios tio{};
    ::tcgetattr(fd, &tio);
    ::cfmakeraw(&tio);
    ::tcsetattr(fd, TCSANOW, &tio);

    QElapsedTimer clock;
    clock.start();
    QCOMPARE(::write(fd, input.constData(), size_t(input.size())), ssize_t(input.size()));
    if (!control.isEmpty()) {
        QTest::qWait(100);
        sim.write(control + '\n');
    }
    QByteArray received;
    auto done = [&] { return control.isEmpty() ? received == expected : received.contains(expected); };
    qint64 matchedAt = -1;
    while (clock.elapsed() < 4000 && (matchedAt < 0 || clock.elapsed() < matchedAt + 150)) {
        pollfd p{fd, POLLIN, 0};
        if (::poll(&p, 1, 20) > 0) {
            char buf[512];
            const ssize_t n = ::read(fd, buf, sizeof buf);
            if (n > 0)
                received.append(buf, n);
        }
        if (matchedAt < 0 && done())
            matchedAt = clock.elapsed();
        QCoreApplication::processEvents();
    }
    ::close(fd);
    sim.kill();
    sim.waitForFinished(3000);
    if (control.isEmpty())
        QCOMPARE(received, expected); // nothing more came after the answer either
    QVERIFY2(done(), received.toPercentEncoding(" \"=:+").constData());
    QVERIFY2(matchedAt >= minMs, QByteArray::number(matchedAt).constData());
}

QTEST_GUILESS_MAIN(TestModemSim)
#include "tst_modem_sim.moc"
