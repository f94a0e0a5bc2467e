// The engine on its own, as an application that accepts calls: B channel set-up, local and remote
// clearing, against the simulated controller through the real libcapi20. (The monitor never sends
// or takes B channel data.)
#include "CapiTestSupport.h"
#include "capi/CpHand.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestCapiEngine : public QObject
{
    Q_OBJECT

private:
    SimHost m_host;

    // An engine that accepts every call and records what its hook saw.
    struct Acceptor
    {
        std::unique_ptr<TCapi> capi = std::make_unique<TCapi>(1, 2, 128);
        QStringList seen;
        int noConnections = 0;
        TConnection *connection = nullptr;

        Acceptor()
        {
            capi->OnMessage = [this](TConnection *c, TCapiMessage &m, bool &) {
                seen << u"%1 %2"_s.arg(m.command(), 4, 16, QLatin1Char('0')).arg(c ? c->state : -1);
                if (m.command() == capicmd::ConnectInd) {
                    connection = c;
                    auto accept = std::make_unique<TConnectResp>(static_cast<TConnectInd &>(m).plci(), 0,
                                                                 std::make_unique<TBProtocol>(1, 1, 0));
                    accept->header().MessageNumber = m.header().MessageNumber;
                    capi->putMessage(std::move(accept));
                } else if (m.command() == capicmd::DisconnectInd) {
                    seen << u"initiator %1 error %2"_s.arg(c->disconnectInitiator)
                                .arg(capi->lastError(), 0, 16);
                    connection = nullptr;
                }
            };
            capi->OnNoConnections = [this](TCapi *sender) {
                noConnections += sender == capi.get() ? 1 : 100;
            };
        }
    };

    QStringList sent(const Acceptor &a) { return sentBy(m_host.sim(), uint16_t(a.capi->applicationId())); }

    bool activeCall(Acceptor &a)
    {
        if (!a.capi->registered() ||
            !a.capi->putMessage(std::make_unique<TListenReq>(1, 0x7F, 0x1FFF03FE, 0)))
            return false;
        if (!QTest::qWaitFor([&] { return a.seen.contains(u"0581 -1"_s); }, 5000))
            return false;
        SimCallOffer offer;
        offer.calling = u"555"_s;
        if (!m_host.offerCall(offer))
            return false;
        return QTest::qWaitFor([&] { return a.connection && a.connection->state == kConnB3Active; }, 5000);
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_host.start(1));
        qputenv("TELLWISE_CAPI_REMOTE", QByteArray("127.0.0.1:") + QByteArray::number(m_host.port()));
    }

    void acceptedCallWithLocalClearing()
    {
        Acceptor a;
        QVERIFY(activeCall(a));
        // Local clearing goes B3 first, then the call.
        QVERIFY(a.capi->disconnect(a.connection));
        QCOMPARE(a.connection->disconnectInitiator, uint16_t(1));
        QTRY_COMPARE_WITH_TIMEOUT(a.noConnections, 1, 5000);
        QCOMPARE(a.capi->connections().count(), 0);
        QVERIFY(a.seen.contains(u"initiator 1 error 0"_s));
        // The simulator may still be reading the last answer.
        QTRY_COMPARE(sent(a).mid(sent(a).indexOf(u"8480 0"_s)),
                     (QStringList{"8480 0", "8483 0", "0480 0", "0483 0"}));
        QCOMPARE(sent(a).mid(0, 5), (QStringList{"0580 7f", "0283 0", "0383 0", "8283 0", "8383 0"}));
        QTest::qWait(200);
        QCOMPARE(a.noConnections, 1);
    }

    void remoteClearingDuringB3()
    {
        Acceptor a;
        QVERIFY(activeCall(a));
        QVERIFY(m_host.hangUp(a.connection->plci(), 0x3490));
        QTRY_COMPARE_WITH_TIMEOUT(a.noConnections, 1, 5000);
        QVERIFY(a.seen.contains(u"initiator 2 error 3490"_s));
        // The far end cleared: the engine answers and sends no DISCONNECT_REQ of its own.
        QVERIFY(!sent(a).contains(u"0480 0"_s));
        QTRY_COMPARE(sent(a).mid(sent(a).size() - 2), (QStringList{"8483 0", "0483 0"}));
    }

    void confirmationInfoAndLastError()
    {
        Acceptor a;
        QVERIFY(a.capi->registered());
        // An information value (0x00xx) is no error.
        m_host.run([](IsdnSimulator &s) { s.failNext(capicmd::AlertReq, 0x0003); });
        QVERIFY(a.capi->putMessage(std::make_unique<TAlertReq>(0x0F01)));
        QTRY_VERIFY(a.seen.contains(u"0181 -1"_s));
        QCOMPARE(a.capi->lastError(), 0u);
    }
};

QTEST_GUILESS_MAIN(TestCapiEngine)
#include "tst_capi_engine.moc"
