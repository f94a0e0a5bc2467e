#include "platform/SingleInstance.h"

#include <QProcess>
#include <QTest>

#include <csignal>
#include <memory>

// The instance lock against real processes: a killed holder (no clean-up at all) leaves it free
// even when a program it started lives on. Refusal while the holder lives is checked on the
// monitor program itself in the app tests.
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
};

QTEST_GUILESS_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
