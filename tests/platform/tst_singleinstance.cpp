#include "platform/SingleInstance.h"

#include <QProcess>
#include <QTest>

#include <csignal>
#include <memory>

// The instance lock against real processes: a live holder refuses others, a killed one
// (no clean-up at all) does not.
class TestSingleInstance : public QObject
{
    Q_OBJECT

private:
    // Starts the child and returns its first line ("held", "refused" or "child <pid>").
    std::unique_ptr<QProcess> startChild(const QStringList &args = {})
    {
        auto child = std::make_unique<QProcess>();
        child->start(QStringLiteral(INSTANCE_CHILD), args);
        if (!child->waitForStarted(5000))
            qFatal("cannot start the instance child");
        return child;
    }

    QByteArray readLine(QProcess &child)
    {
        while (!child.canReadLine()) {
            if (!child.waitForReadyRead(5000))
                return {};
        }
        return child.readLine().trimmed();
    }

    void kill9(QProcess &child)
    {
        ::kill(pid_t(child.processId()), SIGKILL);
        QVERIFY(child.waitForFinished(5000));
    }

private slots:
    void refusedWhileHolderLivesThenFreeAfterKill()
    {
        auto first = startChild();
        QCOMPARE(readLine(*first), QByteArray("held"));

        auto second = startChild();
        QVERIFY(second->waitForFinished(5000));
        QCOMPARE(second->readAll().trimmed(), QByteArray("refused"));
        QCOMPARE(second->exitCode(), 1);

        kill9(*first);

        auto third = startChild();
        QCOMPARE(readLine(*third), QByteArray("held"));
        kill9(*third);
    }

    void programsStartedByTheHolderDoNotKeepTheLock()
    {
        auto first = startChild({QStringLiteral("spawn")});
        const QByteArray childLine = readLine(*first);
        QVERIFY2(childLine.startsWith("child "), childLine.constData());
        const pid_t grandchild = pid_t(childLine.mid(6).toInt());
        QCOMPARE(readLine(*first), QByteArray("held"));

        kill9(*first);
        auto next = startChild();
        const QByteArray answer = readLine(*next);
        ::kill(grandchild, SIGKILL);
        QCOMPARE(answer, QByteArray("held"));
        kill9(*next);
    }

    void heldWithinOneProcessUntilReleased()
    {
        auto a = std::make_unique<SingleInstance>();
        QVERIFY(a->acquire());
        QVERIFY(a->isHeld());
        SingleInstance b;
        QVERIFY(!b.acquire());
        QVERIFY(!b.isHeld());
        a.reset();
        QVERIFY(b.acquire());
    }
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
