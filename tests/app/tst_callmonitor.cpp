#include "app/CallMonitor.h"
#include "app/CallWindows.h"
#include "app/SoundPlay.h"
#include "exchange/VCardCallerIndex.h"
#include "platform/WaveFile.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/FileRecords.h"
#include "store/Numbers.h"
#include "ui/TfrmCallerNotes.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmNewCallMessage.h"
#include "widgets/TRunningLabel.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QSignalSpy>
#include <QStringList>
#include <QTest>

#include <sys/stat.h>

#include "TestCallSource.h"
#include "TestSupport.h"

// The call rules over a line that does what the test says: the real call windows and settings,
// the address book and call log of the test's data folder, and a record of what the monitor
// asked for (counted calls, speech) and of the rejects the line received.
struct MonitoredLine
{
    MonitoredLine() : window(&message, &notes)
    {
        window.setAnimate(false);
        window.setAutoClose(false, 30);
        message.setAnimate(false);
        auto owned = std::make_unique<testsupport::TestCallSource>();
        line = owned.get();
        monitor.setSource(std::move(owned));
        monitor.setCardIndex(&cards);
        ConnectCallWindows(monitor, settings, window, message, nullptr);
        QObject::connect(&monitor, &CallMonitor::callCounted, [this] { ++newCalls; });
        QObject::connect(&monitor, &CallMonitor::speechRequested, [this](const QString &text) { spoken << text; });
    }

    // Back to a quiet line between cases; the settings keep their defaults otherwise.
    void reset()
    {
        window.hide();
        message.hide();
        newCalls = line->rejects = 0;
        spoken.clear();
    }

    QString shown(const char *label) const
    {
        if (auto *running = window.findChild<TRunningLabel *>(QLatin1String(label)))
            return running->text();
        if (auto *plain = window.findChild<QLabel *>(QLatin1String(label)))
            return plain->text();
        return QStringLiteral("<no %1>").arg(QLatin1String(label));
    }

    Settings settings;
    AddressBook book{testsupport::testDataDir()};
    CallLog log{testsupport::testDataDir()};
    TfrmNewCallMessage message;
    TfrmCallerNotes notes;
    TfrmIncomingCall window;
    VCardCallerIndex cards;
    CallMonitor monitor{settings, book, log};
    testsupport::TestCallSource *line = nullptr;
    int newCalls = 0;
    QStringList spoken;
};

// A silent PCM wave file of the given length (mono, 8 bits, 8000 Hz), for the recording sound sink.
inline void writeSilentWave(const QString &path, int milliseconds)
{
    auto le = [](quint32 value, int size) {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = char(value >> (8 * i));
        return bytes;
    };
    const quint32 data = 8 * quint32(milliseconds);
    testsupport::writeFile(path, "RIFF" + le(36 + data, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                                     le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2) + "data" + le(data, 4) +
                                     QByteArray(int(data), char(0x80)));
}

// The lines the recording sound sink has written: one per sound that began to play.
inline QStringList recordedSounds(const QString &logFile)
{
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}

// One call at a time through the call rules: the real caller look-up, the real call windows and
// Calls.dat on disk, with the recording sound sink standing in for the sound card.
class TestCallMonitor : public QObject
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
        CardCaller,     // nobody of the address book; a card of the contacts folder
    };
    Q_ENUM(Caller)

private slots:
    void initTestCase()
    {
        qputenv("TELLWISE_SOUND_SINK", ("record:" + m_soundLog).toUtf8());
        writeSilentWave(m_ring, 150);
        writeSilentWave(m_groupSound, 100);
        writeSilentWave(m_ownSound, 100);

        auto contact = [](const char *name, const char *group, int phone, const char *number,
                          const char *notes = "") {
            AListAddress c;
            c.DisplayNameAs = QString::fromUtf8(name);
            c.Group = QString::fromUtf8(group);
            c.PhoneNumber[phone] = QString::fromUtf8(number);
            c.Notes = QString::fromUtf8(notes);
            return c;
        };
        AListAddress marko = contact("Marko Crni", "Obitelj", 2, "098/111-2222");
        marko.SoundMode = 1;
        marko.UseThisSound = m_ownSound;
        marko.BlackList = true;
        AListAddress iva = contact("Iva Govor", "", 0, "01 4444 555", "a\r\n\r\n b ");
        iva.SoundMode = 2;
        TContactList contacts;
        for (const AListAddress &c : {contact("Ana Horvat", "Obitelj", 0, "091 234 5678", "Sestra"), marko,
                                      iva, contact("Mala Slova", "obitelj", 0, "0957777777")})
            contacts.append(c);
        TGroupList groups;
        groups.append(AGroups{QStringLiteral("Obitelj"), m_groupSound});
        groups.append(AGroups{AddressBook::kNoGroup, m_groupSound});
        QDir().mkpath(m_dir + QStringLiteral("contacts/book"));
        testsupport::writeFile(m_dir + QStringLiteral("contacts/book/oblak.vcf"),
                               "BEGIN:VCARD\r\nFN:Ana Oblak\r\nTEL:099 222 3333\r\nTEL:091 234 5678\r\nEND:VCARD\r\n");
        // Beside it what is no card: a FIFO that would block a reader, junk, a folder named as a card.
        QFile::remove(m_dir + QStringLiteral("contacts/book/fifo.vcf"));
        QCOMPARE(mkfifo(QFile::encodeName(m_dir + QStringLiteral("contacts/book/fifo.vcf")).constData(), 0600), 0);
        testsupport::writeFile(m_dir + QStringLiteral("contacts/book/junk.vcf"), QByteArray(5000, '\0'));
        QDir().mkpath(m_dir + QStringLiteral("contacts/book/folder.vcf"));
        QVERIFY(SaveAddressbook(m_dir, contacts) && SaveGroups(m_dir, groups));

        OwnAreaCode = QStringLiteral("01");
    }

    void init()
    {
        // A new line for every case: the flood limit starts afresh.
        m_host = std::make_unique<MonitoredLine>();
        QVERIFY(m_host->book.load());
        for (int key = 0; key < Settings::kKeyCount; ++key)
            m_host->settings.setValue(Settings::Key(key), m_host->settings.defaultValue(Settings::Key(key)));
        m_host->settings.setText(Settings::PhoneRingWave, m_ring);
        m_host->cards.indexNow(m_dir + QStringLiteral("contacts"));
        // A ring the last case left without its caller goes, with the calls it logged.
        m_host->log.CompleteCall({}, {}, {}, true);
        m_host->log.flush();
        QVERIFY(SaveCalls(m_dir, TCallList()) && m_host->log.load());
        QFile::remove(m_soundLog);
    }

    void cleanup()
    {
        QVERIFY(TSoundPlay::stopAll());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete); // the finished threads
    }

    void rules_data()
    {
        QTest::addColumn<Caller>("caller");
        // Settings switched on for the case, by name; "-Name" switches one off.
        QTest::addColumn<QString>("on");
        // "window" (else the notice), "rejected", "logged", and the caller's sound after the ring:
        // "group" or "own".
        QTest::addColumn<QString>("expected");
        auto row = [](const char *name, Caller caller, const char *on, const char *expected) {
            QTest::newRow(name) << caller << QString::fromLatin1(on) << QString::fromLatin1(expected);
        };
        row("known caller, no rules", Known, "", "window logged group");
        row("unknown caller, no rules", Unknown, "", "window logged");
        row("black-listed caller, no rules", BlackListed, "", "window logged own");
        row("group name in other case, no sound", LowerCaseGroup, "", "window logged");
        row("sound switched off", Known, "-EnableSound", "window logged");
        // A card rings as a contact in no group, and no black-list rule ever touches it. The card
        // also holds the number of "known caller": the address book's contact wins.
        row("card caller, no rules", CardCaller, "", "window logged group");
        row("card caller, black list kept away", CardCaller,
            "DoNotDisturb DontDisplayBlackList AutoReject AutoRejectBlackList -LogBlackList", "window logged group");
        row("card caller, only address book", CardCaller, "DoNotDisturb DisplayOnlyAddressbook", "logged");
        row("card caller, cards switched off", CardCaller, "-VCardCallers", "window logged");

        row("only address book without do-not-disturb", Unknown, "DisplayOnlyAddressbook", "window logged");
        row("only address book, unknown caller", Unknown, "DoNotDisturb DisplayOnlyAddressbook", "logged");
        row("only address book, known caller", Known, "DoNotDisturb DisplayOnlyAddressbook",
            "window logged group");
        row("no black list shown, black-listed caller", BlackListed, "DoNotDisturb DontDisplayBlackList",
            "logged");
        row("no black list shown, known caller", Known, "DoNotDisturb DontDisplayBlackList",
            "window logged group");
        row("no withheld shown, withheld ISDN caller", WithheldIsdn, "DoNotDisturb DontDisplayBlocked",
            "logged");
        row("no withheld shown, unavailable modem caller", OutOfAreaModem, "DoNotDisturb DontDisplayBlocked",
            "logged");
        row("no withheld shown, unknown caller with a number", Unknown, "DoNotDisturb DontDisplayBlocked",
            "window logged");

        row("reject black list, black-listed caller", BlackListed, "AutoReject AutoRejectBlackList",
            "rejected logged");
        row("reject black list, known caller", Known, "AutoReject AutoRejectBlackList",
            "window logged group");
        row("reject withheld, withheld ISDN caller", WithheldIsdn, "AutoReject AutoRejectBlocked",
            "rejected logged");
        row("reject withheld, black-listed caller with a number", BlackListed, "AutoReject AutoRejectBlocked",
            "window logged own");
        row("reject options with the switch off", BlackListed, "AutoRejectBlackList AutoRejectBlocked",
            "window logged own");
        row("hidden and rejected", BlackListed,
            "DoNotDisturb AutoReject DontDisplayBlackList AutoRejectBlackList", "rejected logged");

        row("black list not logged, black-listed caller", BlackListed, "-LogBlackList", "window own");
        row("black list not logged, known caller", Known, "-LogBlackList", "window logged group");
        row("withheld not logged, withheld ISDN caller", WithheldIsdn, "-LogBlocked", "window");
        row("withheld not logged, black-listed caller with a number", BlackListed, "-LogBlocked",
            "window logged own");
    }

    void rules()
    {
        QFETCH(Caller, caller);
        QFETCH(QString, on);
        QFETCH(QString, expected);
        const QStringList expect = expected.split(QLatin1Char(' '));
        for (const QString &name : on.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
            const bool value = !name.startsWith(QLatin1Char('-'));
            bool known = false;
            const int key = QMetaEnum::fromType<Settings::Key>().keyToValue(
                name.mid(value ? 0 : 1).toLatin1().constData(), &known);
            QVERIFY2(known, qPrintable(name));
            m_host->settings.setFlag(Settings::Key(key), value);
        }

        // The user sees the call before the call log changes.
        bool shownFirst = false;
        const auto logChanged = connect(&m_host->log, &CallLog::callsChanged, this, [&] {
            shownFirst = m_host->window.isVisible() || m_host->message.isVisible();
        });
        call(caller);
        disconnect(logChanged);
        QVERIFY(shownFirst);

        QCOMPARE(m_host->newCalls, 1); // every call is counted, logged or not
        QCOMPARE(m_host->shown("lblCallerName") == QLatin1String("Ana Oblak"),
                 caller == CardCaller && !on.contains(QLatin1String("-VCardCallers")));
        QCOMPARE(m_host->window.isVisible(), expect.contains(QLatin1String("window")));
        QCOMPARE(m_host->message.isVisible(), !m_host->window.isVisible());
        QCOMPARE(m_host->line->rejects, expect.contains(QLatin1String("rejected")) ? 1 : 0);

        const TCallList calls = callsOnDisk();
        QCOMPARE(calls.size(), expect.contains(QLatin1String("logged")) ? 1 : 0);
        if (calls.size() == 1) {
            QCOMPARE(calls[0].CallerName, m_host->shown("lblCallerName"));
            QCOMPARE(calls[0].CallerNumber, m_host->shown("lblCallerPhone"));
            QVERIFY(calls[0].IsNew);
        }

        waitForSounds();
        const QStringList played = recordedSounds(m_soundLog);
        const QString sound = expect.contains(QLatin1String("group")) ? m_groupSound
                              : expect.contains(QLatin1String("own")) ? m_ownSound
                                                                      : QString();
        if (sound.isEmpty()) {
            // The ring alone, and not even that with the sound switched off.
            QCOMPARE(played,
                     on.contains(QLatin1String("-EnableSound")) ? QStringList() : QStringList{m_ring});
        } else {
            // The caller's sound comes last; it cuts the ring short when the ring is still on.
            // (When the ring reached the sound output late, the caller's sound starts once more.)
            QVERIFY2(!played.isEmpty(), "nothing played");
            QCOMPARE(played.last(), sound);
            QVERIFY(played.count(m_ring) <= 1);
            QCOMPARE(played.count(sound) + played.count(m_ring), played.size());
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
        const TCallList calls = callsOnDisk();
        QCOMPARE(calls.size(), 1);
        QCOMPARE(calls[0].CallerNumber, QStringLiteral("< Sakriven >"));

        // The end of the call closes the window and leaves the notice; the next caller is no
        // longer withheld.
        m_host->line->end();
        QVERIFY(!m_host->window.isVisible() && m_host->message.isVisible());
        m_host->reset();
        call(Unknown);
        QCOMPARE(m_host->shown("lblCallerPhone"),
                 FormatPhoneNumber(QStringLiteral("0915550000"), m_host->settings.numberFormat()));
    }

    // "Odbij" closes the window before the line hangs up; a line that cannot reject offers none.
    void rejectEndsTheCallForTheUser()
    {
        auto shown = [this](const char *name) {
            return m_host->window.findChild<QWidget *>(name)->isVisible();
        };
        m_host->line->rejectable = false;
        call(BlackListed);
        m_host->monitor.reject();
        QVERIFY(m_host->line->rejects == 0 && !shown("btnReject") && shown("lblBlackList"));
        m_host->line->rejectable = true;
        call(Known);
        QVERIFY(shown("btnReject") && !shown("lblBlackList"));
        m_host->monitor.reject();
        QVERIFY(m_host->line->rejects == 1 && !m_host->window.isVisible());
    }

    // Iva's sound is a text to speak; her notes show on one line until the next caller's replace them.
    void speechAndNotes_data()
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

    void speechAndNotes()
    {
        QFETCH(QString, text);
        QFETCH(QString, spoken);
        AListAddress iva = m_host->book.contacts()[m_host->book.indexOfContact(QStringLiteral("Iva Govor"))];
        iva.UseThisSound = text;
        QVERIFY(m_host->book.EditContact(iva.DisplayNameAs, iva));
        m_host->line->ring();
        m_host->line->identify({.number = QStringLiteral("014444555")});
        QCOMPARE(m_host->spoken, QStringList{spoken});
        QCOMPARE(m_host->shown("lblCallerNote"), QStringLiteral(" a b"));
        waitForSounds();
        QCOMPARE(recordedSounds(m_soundLog), QStringList{m_ring}); // speech is no sound of its own
        call(Unknown);
        QCOMPARE(m_host->shown("lblCallerNote"), QString());
    }

    // Caller information without a ring logs nothing; a ring's placeholder waits in memory until
    // its caller is known (where it lands in the log is the call log's test).
    void placeholderIsReplaced()
    {
        m_host->line->identify({.number = QStringLiteral("0912345678")});
        QCOMPARE(m_host->newCalls, 0);
        QCOMPARE(m_host->shown("lblCallerName"), QStringLiteral("Ana Horvat"));

        m_host->line->ring();
        QCOMPARE(m_host->log.calls().size(), 1);
        const ACalls ringing = m_host->log.calls()[0];
        const QString unknown = QStringLiteral("< Neidentificiran >");
        QCOMPARE((QStringList{ringing.CallerName, ringing.CallerNumber, ringing.CalledNumber}),
                 (QStringList{unknown, unknown, unknown}));
        QVERIFY(callsOnDisk().isEmpty());

        m_host->line->identify({.number = QStringLiteral("0912345678")});
        const TCallList calls = callsOnDisk();
        QCOMPARE(calls.size(), 1);
        QCOMPARE((QStringList{calls[0].CallerName, calls[0].CalledNumber}),
                 (QStringList{"Ana Horvat", unknown}));
        QCOMPARE(DateFromTDateTime(calls[0].CallDate), QDate::currentDate());
    }

    // A caller who hangs up on the first ring, or a line without caller ID: the counted call is
    // written when it ends, with the placeholders the call list showed.
    void callWithoutCallerIdIsLoggedWhenItEnds()
    {
        m_host->line->ring();
        m_host->line->end();
        QCOMPARE(m_host->newCalls, 1);
        const TCallList calls = callsOnDisk();
        QCOMPARE(calls.size(), 1);
        const QString unknown = QStringLiteral("< Neidentificiran >");
        QCOMPARE((QStringList{calls[0].CallerName, calls[0].CallerNumber, calls[0].CalledNumber}),
                 (QStringList{unknown, unknown, unknown}));
        QVERIFY(calls[0].IsNew);
        QCOMPARE(DateFromTDateTime(calls[0].CallDate), QDate::currentDate());
    }

    // A contact another program added a moment ago names its call at once.
    void contactAddedByAnotherProgramNamesTheCall()
    {
        AddressBook other(m_dir);
        QVERIFY(other.load());
        AListAddress pero{.DisplayNameAs = QStringLiteral("Pero Novi")};
        pero.PhoneNumber[0] = QStringLiteral("0915550000");
        QVERIFY(other.AddContact(pero));
        call(Unknown);
        QCOMPARE(m_host->shown("lblCallerName"), QStringLiteral("Pero Novi"));
        QVERIFY(other.DeleteContacts({QStringLiteral("Pero Novi")}));
    }

    // A line that reports calls faster than a telephone rings: past the burst its calls are
    // ignored whole, those without caller ID too, and the monitor says that the line floods.
    void floodingLineIsLimited()
    {
        QSignalSpy flooding(&m_host->monitor, &CallMonitor::floodingChanged);
        for (int i = 0; i < CallMonitor::kFloodBurst + 6; ++i) {
            m_host->line->ring();
            if (i % 2 == 0)
                m_host->line->identify({.number = QStringLiteral("0915550000")});
            m_host->line->end();
        }
        QCOMPARE(m_host->newCalls, CallMonitor::kFloodBurst);
        QCOMPARE(callsOnDisk().size(), CallMonitor::kFloodBurst);
        QCOMPARE(flooding.count(), 1);
        QVERIFY(flooding.first().first().toBool());
        waitForSounds();
    }

    // ---- the sound threads, against the recording sound sink, which takes as long as each wave
    // file would play and is cut short by a newer sound, as a sound card is ----

    // Only an existing file named *.wav, in lower case, is a sound; the others neither play nor
    // cut the ring short.
    void unplayableFileLeavesSoundPlaying()
    {
        const QString ring = wave("ring-600.wav", 600);
        QVERIFY(IsWaveFile(ring));
        QElapsedTimer clock;
        clock.start();
        TSoundPlay::start(ring);
        QCOMPARE(TSoundPlay::runningCount(), 1); // the caller did not wait
        QTRY_COMPARE(recordedSounds(m_soundLog), QStringList{ring});
        for (const QString &file :
             {wave("LOUD.WAV", 100), wave("e.wav.bak", 100), m_dir + QStringLiteral("gone.wav"), QString()}) {
            QVERIFY2(!IsWaveFile(file), qPrintable(file));
            TSoundPlay::start(file);
        }
        QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 3000);
        QVERIFY2(clock.elapsed() >= 550, "a file that plays nothing cut the ring short");
        QCOMPARE(recordedSounds(m_soundLog), QStringList{ring});
    }

    // The ring and the caller's sound of an ISDN call start back to back; whichever thread the
    // system runs first, the caller's sound is the one left playing, and the long ring is cut
    // short rather than played on after it. Stopping ends every sound at once.
    void laterStartWinsEvenWhenScheduledFirst()
    {
        const QString ring = wave("ring-4s.wav", 4000);
        const QString own = wave("own-30.wav", 30);
        for (int round = 0; round < 20; ++round) {
            QFile::remove(m_soundLog);
            TSoundPlay::start(ring);
            TSoundPlay::start(own);
            QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 2000);
            const QStringList played = recordedSounds(m_soundLog);
            QVERIFY(!played.isEmpty());
            QCOMPARE(played.last(), own);
        }
        TSoundPlay::start(ring);
        TSoundPlay::start(ring);
        QVERIFY(TSoundPlay::stopAll(2000));
    }

private:
    void call(Caller caller)
    {
        static const char *const numbers[] = {"0912345678", "0915550000", "0981112222", "", "", "0957777777", "0992223333"};
        telephony::CallerId id;
        id.name = caller == Unknown ? QStringLiteral("PERO") : QString();
        id.number = QString::fromLatin1(numbers[caller]);
        id.withheld = caller == WithheldIsdn;
        id.unavailable = caller == OutOfAreaModem;
        // An ISDN line tells the number that was called, without the own area code.
        if (caller == WithheldIsdn)
            id.calledNumber = QStringLiteral("5551234");
        m_host->line->ring();
        m_host->line->identify(id);
    }

    TCallList callsOnDisk()
    {
        m_host->log.flush();
        TCallList list;
        LoadCalls(m_dir, list, FileAccess::ReadOnly);
        return list;
    }

    QString wave(const char *name, int ms)
    {
        writeSilentWave(m_dir + QLatin1String(name), ms);
        return m_dir + QLatin1String(name);
    }

    void waitForSounds() { QTRY_COMPARE_WITH_TIMEOUT(TSoundPlay::runningCount(), 0, 5000); }

    std::unique_ptr<MonitoredLine> m_host;
    QString m_dir = testsupport::testDataDir();
    QString m_soundLog = m_dir + QStringLiteral("sounds.log");
    QString m_ring = m_dir + QStringLiteral("ring.wav");
    QString m_groupSound = m_dir + QStringLiteral("group.wav");
    QString m_ownSound = m_dir + QStringLiteral("own.wav");
};

QTEST_MAIN(TestCallMonitor)
#include "tst_callmonitor.moc"
