#include "PipelineTestHost.h"

#include "store/Numbers.h"
#include "telephony/TapiFunc.h"

#include <QTest>

// One call at a time through the real pipeline: the modem monitor's callbacks and the ISDN
// monitor's handlers, the real caller look-up, the real call windows and Calls.dat on disk,
// with the recording sound sink standing in for the sound card.
class TestPipeline : public QObject
{
    Q_OBJECT

public:
    enum Caller
    {
        Known,          // a contact of the group with a sound
        Unknown,        // a number nobody has
        BlackListed,    // a black-listed contact with its own sound
        WithheldIsdn,   // an ISDN call without a calling number
        OutOfAreaModem, // a modem caller whose number is unavailable
        LowerCaseGroup, // a contact of "obitelj": group sounds match the name's case exactly
    };
    Q_ENUM(Caller)

private slots:
    void initTestCase()
    {
        m_dir = testsupport::testDataDir();
        m_soundLog = m_dir + QStringLiteral("sounds.log");
        qputenv("TELLWISE_SOUND_SINK", ("record:" + m_soundLog).toUtf8());
        m_ring = m_dir + QStringLiteral("ring.wav");
        m_groupSound = m_dir + QStringLiteral("group.wav");
        m_ownSound = m_dir + QStringLiteral("own.wav");
        writeSilentWave(m_ring, 300);
        writeSilentWave(m_groupSound, 100);
        writeSilentWave(m_ownSound, 100);

        auto contact = [](const char *name, const char *group, int phone, const char *number) {
            AListAddress c;
            c.DisplayNameAs = QString::fromUtf8(name);
            c.Group = QString::fromUtf8(group);
            c.PhoneNumber[phone] = QString::fromUtf8(number);
            return c;
        };
        AListAddress ana = contact("Ana Horvat", "Obitelj", 0, "091 234 5678");
        ana.Notes = QStringLiteral("Sestra");
        AListAddress marko = contact("Marko Crni", "Obitelj", 2, "098/111-2222");
        marko.SoundMode = 1;
        marko.UseThisSound = m_ownSound;
        marko.BlackList = true;
        AListAddress iva = contact("Iva Govor", "", 0, "01 4444 555");
        iva.SoundMode = 2;
        iva.Notes = QStringLiteral("a\r\n\r\n b ");
        TContactList contacts;
        for (const AListAddress &c : {ana, marko, iva, contact("Mala Slova", "obitelj", 0, "0957777777")})
            contacts.append(c);

        TGroupList groups;
        groups.append(AGroups{QStringLiteral("Obitelj"), m_groupSound});
        QVERIFY(SaveAddressbook(m_dir, contacts) && SaveGroups(m_dir, groups));

        OwnAreaCode = QStringLiteral("01");
        m_host = new PipelineTestHost;
        QVERIFY(m_host->book.load());
        SetCallPipelineHost(m_host);
        ConnectCallSources(nullptr);
    }

    void init()
    {
        m_host->reset();
        for (int key = 0; key < Settings::kKeyCount; ++key)
            m_host->settings.setValue(Settings::Key(key), m_host->settings.defaultValue(Settings::Key(key)));
        m_host->settings.setText(Settings::PhoneRingWave, m_ring);
        m_host->settings.setFlag(Settings::AnimateIcon, false);
        CallerBlocked = false;
        CallerOutOfArea = false;
        // A ring the last case left without its caller goes, with the calls it logged.
        m_host->log.CompleteCall({}, {}, {}, true);
        writeCalls({});
        QFile::remove(m_soundLog);
    }

    void cleanup() { QVERIFY(TSoundPlay::stopAll()); }

    void ringStep_data()
    {
        QTest::addColumn<bool>("animate");
        QTest::addColumn<bool>("flash");
        QTest::newRow("still icon, flashing") << false << true;
        QTest::newRow("animated icon, no flashing") << true << false;
    }

    void ringStep()
    {
        QFETCH(bool, animate);
        QFETCH(bool, flash);
        m_host->settings.setFlag(Settings::AnimateIcon, animate);
        m_host->settings.setFlag(Settings::FlashScrollLock, flash);
        OnTapiRing();
        OnTapiRing();
        QCOMPARE(m_host->newCalls, 2);
        // An animated icon shows the new call at its own next tick.
        QCOMPARE(m_host->trayNewCall, animate ? 0 : 2);
        QCOMPARE(m_host->flashStarts, flash ? 2 : 0);
        QCOMPARE(m_host->log.calls().size(), 2);
        QVERIFY(m_host->log.calls()[1].IsNew);
        QCOMPARE(DateFromTDateTime(m_host->log.calls()[1].CallDate), QDate::currentDate());
        waitForSounds();
        QVERIFY(recordedSounds(m_soundLog).contains(m_ring));
    }

    void rules_data()
    {
        QTest::addColumn<Caller>("caller");
        // Settings switched on for the case, by name.
        QTest::addColumn<QStringList>("on");
        QTest::addColumn<bool>("window");
        QTest::addColumn<bool>("rejected");
        QTest::addColumn<bool>("logged");
        QTest::addColumn<QString>("sound"); // "group", "own" or none after the ring

        const QStringList none;
        const QStringList dnd{QStringLiteral("DoNotDisturb")};
        const QStringList rej{QStringLiteral("AutoReject")};
        auto with = [](QStringList list, const char *more) {
            list << QLatin1String(more);
            return list;
        };

        QTest::newRow("known caller, no rules") << Known << none << true << false << true << "group";
        QTest::newRow("unknown caller, no rules") << Unknown << none << true << false << true << "";
        QTest::newRow("black-listed caller, no rules")
            << BlackListed << none << true << false << true << "own";
        QTest::newRow("group name in other case, no sound")
            << LowerCaseGroup << none << true << false << true << "";

        QTest::newRow("only address book without do-not-disturb")
            << Unknown << QStringList{QStringLiteral("DisplayOnlyAddressbook")} << true << false << true
            << "";
        QTest::newRow("only address book, unknown caller")
            << Unknown << with(dnd, "DisplayOnlyAddressbook") << false << false << true << "";
        QTest::newRow("only address book, known caller")
            << Known << with(dnd, "DisplayOnlyAddressbook") << true << false << true << "group";
        QTest::newRow("no black list shown, black-listed caller")
            << BlackListed << with(dnd, "DontDisplayBlackList") << false << false << true << "";
        QTest::newRow("no black list shown, known caller")
            << Known << with(dnd, "DontDisplayBlackList") << true << false << true << "group";
        QTest::newRow("no withheld shown, withheld ISDN caller")
            << WithheldIsdn << with(dnd, "DontDisplayBlocked") << false << false << true << "";
        QTest::newRow("no withheld shown, unavailable modem caller")
            << OutOfAreaModem << with(dnd, "DontDisplayBlocked") << false << false << true << "";
        QTest::newRow("no withheld shown, unknown caller with a number")
            << Unknown << with(dnd, "DontDisplayBlocked") << true << false << true << "";
        QTest::newRow("do-not-disturb with no option") << Known << dnd << true << false << true << "group";

        QTest::newRow("reject black list, black-listed caller")
            << BlackListed << with(rej, "AutoRejectBlackList") << true << true << true << "";
        QTest::newRow("reject black list, known caller")
            << Known << with(rej, "AutoRejectBlackList") << true << false << true << "group";
        QTest::newRow("reject withheld, withheld ISDN caller")
            << WithheldIsdn << with(rej, "AutoRejectBlocked") << true << true << true << "";
        QTest::newRow("reject withheld, unavailable modem caller")
            << OutOfAreaModem << with(rej, "AutoRejectBlocked") << true << true << true << "";
        QTest::newRow("reject withheld, black-listed caller with a number")
            << BlackListed << with(rej, "AutoRejectBlocked") << true << false << true << "own";
        QTest::newRow("reject switch on with no option")
            << BlackListed << rej << true << false << true << "own";
        QTest::newRow("reject options with the switch off")
            << BlackListed
            << QStringList{QStringLiteral("AutoRejectBlackList"), QStringLiteral("AutoRejectBlocked")} << true
            << false << true << "own";
        QTest::newRow("hidden and rejected")
            << BlackListed
            << QStringList{QStringLiteral("DoNotDisturb"), QStringLiteral("AutoReject"),
                           QStringLiteral("DontDisplayBlackList"), QStringLiteral("AutoRejectBlackList")}
            << false << true << true << "";

        QTest::newRow("black list not logged, black-listed caller")
            << BlackListed << QStringList{QStringLiteral("-LogBlackList")} << true << false << false << "own";
        QTest::newRow("black list not logged, known caller")
            << Known << QStringList{QStringLiteral("-LogBlackList")} << true << false << true << "group";
        QTest::newRow("withheld not logged, withheld ISDN caller")
            << WithheldIsdn << QStringList{QStringLiteral("-LogBlocked")} << true << false << false << "";
        QTest::newRow("withheld not logged, unavailable modem caller")
            << OutOfAreaModem << QStringList{QStringLiteral("-LogBlocked")} << true << false << false << "";
        QTest::newRow("withheld not logged, black-listed caller with a number")
            << BlackListed << QStringList{QStringLiteral("-LogBlocked")} << true << false << true << "own";
    }

    void rules()
    {
        QFETCH(Caller, caller);
        QFETCH(QStringList, on);
        QFETCH(bool, window);
        QFETCH(bool, rejected);
        QFETCH(bool, logged);
        QFETCH(QString, sound);

        for (QString name : on) {
            const bool value = !name.startsWith(QLatin1Char('-'));
            if (!value)
                name.remove(0, 1);
            bool known = false;
            const int key =
                QMetaEnum::fromType<Settings::Key>().keyToValue(name.toLatin1().constData(), &known);
            QVERIFY2(known, qPrintable(name));
            m_host->settings.setFlag(Settings::Key(key), value);
        }

        call(caller);

        QCOMPARE(m_host->newCalls, 1); // every call is counted, logged or not
        QCOMPARE(m_host->trayNewCall, 1);
        QCOMPARE(m_host->flashStarts, 1);
        QCOMPARE(m_host->window.isVisible(), window);
        QCOMPARE(m_host->message.isVisible(), !window);
        QCOMPARE(m_host->rejects, rejected ? 1 : 0);

        const QList<ACalls> calls = callsOnDisk();
        QCOMPARE(calls.size(), logged ? 1 : 0);
        if (logged) {
            QCOMPARE(calls[0].CallerName, m_host->shown("lblCallerName"));
            QCOMPARE(calls[0].CallerNumber, m_host->shown("lblCallerPhone"));
            QVERIFY(calls[0].IsNew);
        }

        waitForSounds();
        const QStringList played = recordedSounds(m_soundLog);
        QVERIFY2(!played.isEmpty(), "the ring sound did not play");
        if (sound.isEmpty()) {
            QCOMPARE(played, QStringList{m_ring});
        } else {
            // The caller's sound comes last; it cuts the ring short when the ring is still on.
            // (When the ring reached the sound output late, the caller's sound starts once more.)
            const QString expected = sound == QLatin1String("group") ? m_groupSound : m_ownSound;
            QCOMPARE(played.last(), expected);
            QVERIFY(played.count(m_ring) <= 1);
            QCOMPARE(played.count(expected) + played.count(m_ring), played.size());
        }
    }

    void withheldCallerUntilTheCallEnds()
    {
        call(WithheldIsdn);
        QCOMPARE(m_host->shown("lblCallerName"), QStringLiteral("< Nepoznat >"));
        QCOMPARE(m_host->shown("lblCallerPhone"), QStringLiteral("< Sakriven >"));
        // The own area code is taken off the number that was called.
        QCOMPARE(m_host->shown("lblCalledPhone"),
                 FormatPhoneNumber(QStringLiteral("5551234"), m_host->settings.numberFormat()));
        QVERIFY(CallerBlocked);
        const QList<ACalls> calls = callsOnDisk();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].CallerNumber, QStringLiteral("< Sakriven >"));

        // The end of the call closes the window, leaves the notice and frees the caller's flags.
        capiMonitorDisconnectInfo(0xFFFF, 0x3490);
        QVERIFY(!m_host->window.isVisible());
        QVERIFY(m_host->message.isVisible());
        QVERIFY(!CallerBlocked);
        m_host->reset();
        call(OutOfAreaModem);
        QVERIFY(m_host->window.isVisible());
        OnTapiCallEnded();
        QVERIFY(!m_host->window.isVisible());
        QVERIFY(m_host->message.isVisible());
        QVERIFY(!CallerOutOfArea);
    }

    void notesBecomeOneLine()
    {
        OnTapiRing();
        OnTapiCallerIdentified(QString(), QStringLiteral("014444555"), QString(), true);
        QCOMPARE(m_host->shown("lblCallerName"), QStringLiteral("Iva Govor"));
        QCOMPARE(m_host->shown("lblCallerNote"), QStringLiteral(" a b"));
        QCOMPARE(m_host->window.CallerNotesLines(),
                 (QStringList{QStringLiteral("a"), QString(), QStringLiteral(" b ")}));

        // The next caller's empty notes replace them.
        OnTapiRing();
        OnTapiCallerIdentified(QString(), QStringLiteral("0915550000"), QString(), true);
        QCOMPARE(m_host->shown("lblCallerNote"), QString());
        QVERIFY(m_host->window.CallerNotesLines().isEmpty());
    }

    void speechTag_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("tag in the middle") << "Zove <NAME>, javi se!"
                                           << "Zove Iva Govor, javi se!";
        QTest::newRow("two tags") << "<NAME> i <NAME>"
                                  << "Iva Govor i <NAME>";
        QTest::newRow("lower-case tag stays") << "Zove <name>"
                                              << "Zove <name>";
    }

    void speechTag()
    {
        QFETCH(QString, text);
        QFETCH(QString, spoken);
        AListAddress iva = m_host->book.contacts()[m_host->book.indexOfContact(QStringLiteral("Iva Govor"))];
        iva.UseThisSound = text;
        QVERIFY(m_host->book.EditContact(iva.DisplayNameAs, iva));
        OnTapiRing();
        OnTapiCallerIdentified(QString(), QStringLiteral("014444555"), QString(), true);
        QCOMPARE(m_host->spoken, QStringList{spoken});
        waitForSounds();
        QCOMPARE(recordedSounds(m_soundLog), QStringList{m_ring}); // speech is no sound of its own
    }

    void soundSwitchedOff()
    {
        m_host->settings.setFlag(Settings::EnableSound, false);
        call(Known);
        call(BlackListed);
        OnTapiRing();
        OnTapiCallerIdentified(QString(), QStringLiteral("014444555"), QString(), true);
        QCOMPARE(TSoundPlay::runningCount(), 0);
        QVERIFY(recordedSounds(m_soundLog).isEmpty());
        QVERIFY(m_host->spoken.isEmpty());
        QCOMPARE(m_host->newCalls, 3);
    }

    void callerInfoWithoutRingLeavesLogAlone()
    {
        ACalls old;
        old.CallerName = QStringLiteral("Stari");
        old.CallerNumber = QStringLiteral("123");
        old.CalledNumber = QStringLiteral("456");
        old.CallDate = 40000;
        writeCalls({old});
        const QByteArray before = testsupport::readFile(m_dir + QLatin1String(kCallsFileName));

        OnTapiCallerIdentified(QString(), QStringLiteral("0912345678"), QString(), true);

        QCOMPARE(m_host->newCalls, 0);
        QCOMPARE(m_host->shown("lblCallerName"), QStringLiteral("Ana Horvat"));
        QCOMPARE(testsupport::readFile(m_dir + QLatin1String(kCallsFileName)), before);
    }

    void placeholderIsReplacedAndLogSorted()
    {
        // An older call and one dated in the future around the new one.
        ACalls future;
        future.CallerName = QStringLiteral("Sutra");
        future.CallDate = TDateFromQDate(QDate::currentDate().addDays(1));
        ACalls past;
        past.CallerName = QStringLiteral("Jucer");
        past.CallDate = TDateFromQDate(QDate::currentDate().addDays(-1));
        writeCalls({future, past});
        const QByteArray before = testsupport::readFile(m_dir + QLatin1String(kCallsFileName));

        OnTapiRing();
        // The ring's placeholder waits in memory, at the end, and is not written yet.
        const TCallList &ringing = m_host->log.calls();
        QCOMPARE(ringing.size(), 3);
        QCOMPARE(ringing[2].CallerName, QStringLiteral("< Neidentificiran >"));
        QCOMPARE(ringing[2].CallerNumber, QStringLiteral("< Neidentificiran >"));
        QCOMPARE(ringing[2].CalledNumber, QStringLiteral("< Neidentificiran >"));
        QCOMPARE(testsupport::readFile(m_dir + QLatin1String(kCallsFileName)), before);

        OnTapiCallerIdentified(QString(), QStringLiteral("0912345678"), QString(), true);
        const QList<ACalls> calls = callsOnDisk();
        QCOMPARE(calls.size(), 3);
        QCOMPARE(calls[0].CallerName, QStringLiteral("Sutra"));
        QCOMPARE(calls[1].CallerName, QStringLiteral("Ana Horvat"));
        QCOMPARE(calls[1].CalledNumber, QStringLiteral("< Neidentificiran >"));
        QCOMPARE(DateFromTDateTime(calls[1].CallDate), QDate::currentDate());
        QCOMPARE(calls[2].CallerName, QStringLiteral("Jucer"));
    }

private:
    void call(Caller caller)
    {
        if (caller == WithheldIsdn) {
            capiMonitorIncomingCall(QString(), QStringLiteral("015551234"), 1, QStringLiteral("Speech"));
            return;
        }
        static const char *const numbers[] = {"0912345678", "0915550000", "0981112222", "", "", "0957777777"};
        OnTapiRing();
        CallerOutOfArea = caller == OutOfAreaModem;
        OnTapiCallerIdentified(caller == Unknown ? QStringLiteral("PERO") : QString(),
                               QString::fromLatin1(numbers[caller]), QString(), true);
    }

    void writeCalls(std::initializer_list<ACalls> calls)
    {
        TCallList list;
        for (const ACalls &c : calls)
            list.append(c);
        QVERIFY(SaveCalls(m_dir, list));
        QVERIFY(m_host->log.load());
    }

    QList<ACalls> callsOnDisk()
    {
        TCallList list;
        LoadCalls(m_dir, list, FileAccess::ReadOnly);
        QList<ACalls> calls;
        for (const ACalls &c : list)
            calls << c;
        return calls;
    }

    void waitForSounds() { QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 5000); }

    PipelineTestHost *m_host = nullptr;
    QString m_dir;
    QString m_soundLog;
    QString m_ring;
    QString m_groupSound;
    QString m_ownSound;
};

QTEST_MAIN(TestPipeline)
#include "tst_pipeline.moc"
