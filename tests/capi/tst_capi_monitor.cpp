// The engine and the monitor through the real libcapi20 against the simulated controller.
#include "CapiTestSupport.h"
#include "capi/CpConst.h"
#include "capi/CpMoni.h"
#include "store/Numbers.h"
#include "telephony/CapiCallSource.h"

#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {
const QString kListenAll = u"0580 7f"_s;
const QString kAlert = u"0180 0"_s;
} // namespace

// Records every event of a monitor as one line of text, in order.
class MonitorRecorder : public QObject
{
public:
    explicit MonitorRecorder(TCapiMonitor *monitor) : m_monitor(monitor)
    {
        connect(monitor, &TCapiMonitor::OnRejectCallQuestion, this,
                [this](const QString &calling, const QString &called, uint16_t cip, uint16_t &cause) {
                    lines << u"question %1 %2 %3"_s.arg(calling, called).arg(cip);
                    if (answer != 0xFFFF)
                        cause = answer;
                });
        connect(monitor, &TCapiMonitor::OnIncomingCall, this,
                [this](const QString &calling, const QString &called, uint16_t cip, const QString &text) {
                    lines << u"incoming %1 %2 %3 %4 last=%5"_s.arg(calling, called)
                                 .arg(cip)
                                 .arg(text)
                                 .arg(m_monitor->LastRejectCause());
                });
        connect(monitor, &TCapiMonitor::OnStateChange, this, [this](bool canReject, bool canChange) {
            lines << u"state %1 %2"_s.arg(int(canReject)).arg(int(canChange));
        });
        connect(monitor, &TCapiMonitor::OnDisconnectInfo, this, [this](uint16_t cause, uint16_t reason) {
            lines << u"disconnect %1 %2"_s.arg(cause).arg(reason, 4, 16, QLatin1Char('0'));
            errorAtDisconnect = m_monitor->ErrorString();
            failedAtDisconnect = m_monitor->Failed();
        });
        connect(monitor, &TCapiMonitor::OnDoResetCapi, this, [this](QObject *sender) {
            lines << u"reset %1"_s.arg(sender == m_monitor ? "self" : "other");
        });
    }

    // Each event's name appears in its own lines only.
    int count(const QString &event) const { return int(lines.filter(event).size()); }
    QString first(const QString &event) const { return lines.filter(event).value(0); }

    QStringList lines;
    uint16_t answer = 0xFFFF; // what OnRejectCallQuestion answers
    QString errorAtDisconnect;
    bool failedAtDisconnect = true;

private:
    TCapiMonitor *m_monitor;
};

class TestCapiMonitor : public QObject
{
    Q_OBJECT

private:
    SimHost m_host;
    qsizetype m_logSeen = 0;

    // A listening monitor with its recorder; the application id stays readable after release.
    struct Listening
    {
        std::unique_ptr<TCapiMonitor> monitor;
        std::unique_ptr<MonitorRecorder> events;
        uint16_t applId = 0;
    };

    Listening listen(int rejectTimeOut)
    {
        Listening l;
        l.monitor = std::make_unique<TCapiMonitor>();
        l.events = std::make_unique<MonitorRecorder>(l.monitor.get());
        l.monitor->setRejectTimeOut(rejectTimeOut);
        l.monitor->setActive(true);
        if (!l.monitor->Active())
            qFatal("monitor did not start: %s", qPrintable(l.monitor->ErrorString()));
        l.applId = uint16_t(l.monitor->engine()->applicationId());
        // Listening once the controller has confirmed.
        if (!QTest::qWaitFor([&] { return l.events->count(u"state 0 1"_s) == 2; }, 5000))
            qFatal("the controller did not confirm the LISTEN_REQ");
        return l;
    }

    uint32_t offer(const QString &calling, uint8_t typeOfNumber = ton::Unknown,
                   const QString &called = u"1234567"_s)
    {
        SimCallOffer offer;
        offer.calling = calling;
        offer.called = called;
        offer.typeOfNumber = typeOfNumber;
        QString error;
        const uint32_t plci = m_host.offerCall(offer, &error);
        if (!plci)
            qFatal("call not offered: %s", qPrintable(error));
        return plci;
    }

    // What the monitor sent, without the listen requests it repeats to see that the peer lives.
    QStringList sent(const Listening &l, QList<SimObservation> *records = nullptr)
    {
        QStringList messages = sentBy(m_host.sim(), l.applId, records);
        for (qsizetype i = messages.size() - 1; i > 0; --i) {
            if (messages[i] == kListenAll && messages.indexOf(kListenAll) < i) {
                messages.removeAt(i);
                if (records)
                    records->removeAt(i);
            }
        }
        return messages;
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_host.start(1));
        qputenv("TELLWISE_CAPI_REMOTE", QByteArray("127.0.0.1:") + QByteArray::number(m_host.port()));
    }

    // A strict stack refuses a response that does not repeat its indication's message number.
    void init() { m_logSeen = m_host.sim()->logLines().size(); }
    void cleanup()
    {
        QVERIFY(m_host.sim()->logLines().mid(m_logSeen).filter(u"answers no indication"_s).isEmpty());
    }

    void listensOnItsControllerAndStops()
    {
        Listening l = listen(10);
        QList<SimObservation> records;
        QCOMPARE(sent(l, &records), QStringList{kListenAll});
        QCOMPARE(records[0].value2, TCapiMonitor::kListenAllCip);

        // Inactive: a new application that is offered no calls.
        l.monitor->setActive(false);
        QVERIFY(!l.monitor->Active());
        const uint16_t quiet = uint16_t(l.monitor->engine()->applicationId());
        QTRY_COMPARE(m_host.sim()->registeredApplications(), 1);
        QList<SimObservation> quietRecords;
        QTRY_VERIFY(!sentBy(m_host.sim(), quiet, &quietRecords).isEmpty());
        QCOMPARE(quietRecords[0].value2, 0u); // listens for no calls
    }

    void reportsTheCallerByTypeOfNumber_data()
    {
        QTest::addColumn<QString>("digits");
        QTest::addColumn<int>("typeOfNumber");
        QTest::addColumn<QString>("reported");
        QTest::newRow("national gains a zero") << "12345" << 0x21 << "012345";
        QTest::newRow("international gains a zero") << "4930123" << 0x11 << "04930123";
        QTest::newRow("international with zero unchanged") << "012345" << 0x11 << "012345";
        QTest::newRow("national with zero still gains one") << "012345" << 0x21 << "0012345";
        QTest::newRow("subscriber unchanged") << "12345" << 0x41 << "12345";
        QTest::newRow("withheld stays empty") << "" << 0x21 << "";
    }
    void reportsTheCallerByTypeOfNumber()
    {
        QFETCH(QString, digits);
        QFETCH(int, typeOfNumber);
        QFETCH(QString, reported);
        Listening l = listen(0); // no time-out: every call is ignored at once
        offer(digits, uint8_t(typeOfNumber));
        QTRY_COMPARE_WITH_TIMEOUT(l.events->count(u"disconnect"_s), 1, 5000);
        QCOMPARE(l.events->first(u"question"_s), u"question %1 01234567 1"_s.arg(reported));
        QCOMPARE(l.events->first(u"incoming"_s), u"incoming %1 1234567 1 speech last=1"_s.arg(reported));
    }

    // How an offered call ends when the monitor decides, and what it sent the controller for it.
    void endsTheOfferedCall_data()
    {
        QTest::addColumn<QString>("how");
        QTest::addColumn<QString>("incoming");
        QTest::addColumn<QString>("disconnect");
        QTest::addColumn<QStringList>("sent");
        // Accepting and clearing at once: the caller is answered and cut off.
        const QStringList acceptAndClear{"0283 0", "0383 0", "8283 2", "0480 0", "0483 0"};
        QTest::newRow("owner rejects at once")
            << "reject"
            << "incoming 0987 0111 1 speech last=3"
            << "disconnect 3 0000" << QStringList{kListenAll, u"0283 3"_s, u"0483 0"_s};
        QTest::newRow("do not disturb hangs up")
            << "noDisturb"
            << "incoming 0987 0111 1 speech last=0"
            << "disconnect 0 0000" << QStringList{kListenAll} + acceptAndClear;
        QTest::newRow("hang up while ringing")
            << "hangUp"
            << "incoming 0987 0111 1 speech last=65535"
            << "disconnect 0 0000" << QStringList{kListenAll, kAlert} + acceptAndClear;
        // Two one-second ticks, then the call is ignored.
        QTest::newRow("ring time-out")
            << "timeOut"
            << "incoming 0987 0111 1 speech last=65535"
            << "disconnect 1 0000" << QStringList{kListenAll, kAlert, u"0283 1"_s, u"0483 0"_s};
    }

    void endsTheOfferedCall()
    {
        QFETCH(QString, how);
        QFETCH(QString, incoming);
        QFETCH(QString, disconnect);
        QFETCH(QStringList, sent);
        Listening l = listen(how == QLatin1String("timeOut") ? 2 : 10);
        if (how == QLatin1String("reject"))
            l.events->answer = 3;
        l.monitor->setNoDisturbMode(how == QLatin1String("noDisturb"));
        offer(u"987"_s, ton::National, u"0111"_s);
        if (how == QLatin1String("hangUp")) {
            QTRY_VERIFY_WITH_TIMEOUT(this->sent(l).contains(kAlert), 3000);
            l.monitor->HangUpCall();
        }
        QTRY_COMPARE_WITH_TIMEOUT(l.events->count(u"disconnect"_s), 1, 6000);
        QCOMPARE(l.events->first(u"question"_s), u"question 0987 0111 1"_s);
        QCOMPARE(l.events->first(u"incoming"_s), incoming);
        QCOMPARE(l.events->first(u"disconnect"_s), disconnect);
        QList<SimObservation> records;
        QTRY_COMPARE(this->sent(l, &records), sent);
        QVERIFY(records[1].elapsedMs < 1000);
        if (how == QLatin1String("timeOut"))
            QVERIFY2(records[2].elapsedMs >= 1800 && records[2].elapsedMs < 3500,
                     qPrintable(QString::number(records[2].elapsedMs)));
        // Only a ringing call offers the user a reject; the last call gone is told once, after its
        // disconnect.
        QCOMPARE(l.events->lines.contains(u"state 1 0"_s), sent.contains(kAlert));
        QTRY_COMPARE(l.events->lines.last(), u"reset self"_s);
        QCOMPARE(l.events->count(u"reset"_s), 1);
        // The call is gone: a hang-up now sends nothing.
        l.monitor->HangUpCall();
        QTest::qWait(300);
        QCOMPARE(this->sent(l), sent);
    }

    void callerHangsUpWhileRinging()
    {
        Listening l = listen(1);
        const uint32_t plci = offer(u"4713"_s, ton::National);
        QTRY_VERIFY_WITH_TIMEOUT(sent(l).contains(kAlert), 3000);
        QVERIFY(m_host.hangUp(plci));
        QTRY_COMPARE_WITH_TIMEOUT(l.events->count(u"disconnect"_s), 1, 5000);
        QCOMPARE(l.events->first(u"disconnect"_s), u"disconnect 65535 3490"_s);
        QCOMPARE(l.events->errorAtDisconnect, CapiInfoText(0x3490));
        QVERIFY(!l.events->failedAtDisconnect); // the call ended, the line is fine
        // The countdown stopped with the call: nothing goes out when it would have ended.
        QTest::qWait(1500);
        QCOMPARE(sent(l), (QStringList{kListenAll, kAlert, u"0483 0"_s}));
    }

    // The controller as a call source: each call offered, its caller known (withheld when the
    // calling number is missing, the called number without the own area code) and ended once;
    // reject hangs the ringing call up.
    void callSourceReportsEachStepOnce()
    {
        OwnAreaCode = u"01"_s;
        telephony::CapiCallSource source(1, 10);
        QStringList steps;
        connect(&source, &telephony::CallSource::callOffered, this, [&] { steps << u"offered"_s; });
        connect(&source, &telephony::CallSource::callerKnown, this, [&](const telephony::CallerId &c) {
            steps << u"caller %1 %2 %3"_s.arg(c.number, c.calledNumber).arg(c.withheld);
        });
        connect(&source, &telephony::CallSource::callEnded, this, [&] { steps << u"ended"_s; });
        QVERIFY(source.start());
        QTRY_VERIFY_WITH_TIMEOUT(source.monitor().engine()->applicationId() != 0, 3000);
        QTest::qWait(300); // the controller confirms the listen request
        QVERIFY(source.isMonitoring() && source.canReject());

        offer(QString(), ton::Unknown, u"15551234"_s);
        QTRY_COMPARE_WITH_TIMEOUT(steps.size(), 2, 5000);
        source.reject();
        QTRY_COMPARE_WITH_TIMEOUT(steps.size(), 3, 5000);
        offer(u"4713"_s, ton::National, u"5551234"_s);
        QTRY_COMPARE_WITH_TIMEOUT(steps.size(), 5, 5000);
        source.stop();
        QCOMPARE(steps, (QStringList{u"offered"_s, u"caller  5551234 1"_s, u"ended"_s, u"offered"_s,
                                     u"caller 04713 5551234 0"_s, u"ended"_s}));
        QVERIFY(!source.isMonitoring());
        OwnAreaCode.clear();
    }

    void confirmationErrorsShowInErrorString()
    {
        // An earlier test's monitor, still signing off, would take the failure meant for this one.
        QTRY_COMPARE(m_host.sim()->registeredApplications(), 0);
        m_host.run([](IsdnSimulator &s) { s.failNext(0x0580, 0x2002); });
        auto monitor = std::make_unique<TCapiMonitor>();
        monitor->setActive(true);
        QTRY_COMPARE_WITH_TIMEOUT(monitor->Error(), 0x2002u, 5000);
        QCOMPARE(monitor->ErrorString(), u"illegal Controller/PLCI/NCCI ($2002)"_s);
        QVERIFY(monitor->Failed());
    }

    void releaseIsBoundedWhenTheControllerIsSilent()
    {
        Listening l = listen(10);
        m_host.run([](IsdnSimulator &s) { s.setMuted(true); });
        QElapsedTimer clock;
        clock.start();
        l.monitor.reset();
        const qint64 took = clock.elapsed();
        m_host.run([](IsdnSimulator &s) { s.setMuted(false); });
        QVERIFY2(took < 5000, qPrintable(QString::number(took)));
        // The wake-up request reached the controller (a repeated listen may follow), and the app is gone.
        QTRY_VERIFY(std::ranges::any_of(m_host.sim()->observations(), [&](const SimObservation &o) {
            return o.applId == l.applId && o.command == 0x0580 && o.value2 == 2u;
        }));
        QTRY_VERIFY(!m_host.sim()->logLines().filter(u"appl %1: released"_s.arg(l.applId)).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCapiMonitor)
#include "tst_capi_monitor.moc"
