#include "app/CallMonitor.h"
#include "app/CallWindows.h"
#include "exchange/VCardCallerIndex.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/FileRecords.h"
#include "ui/TfrmCallerNotes.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmNewCallMessage.h"
#include "widgets/TRunningLabel.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include "TestCallSource.h"
#include "TestSupport.h"

// Callers named from a contacts folder that Debian's vdirsyncer keeps in step with Debian's
// Radicale, both started by the test: the running monitor follows each sync without a restart.
class TestVCardCallers : public QObject
{
    Q_OBJECT

    int dav(const QByteArray &method, const QString &path, const QByteArray &body = {})
    {
        QNetworkRequest request(QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(m_port).arg(path)));
        request.setRawHeader("Authorization", "Basic " + QByteArray("ana:x").toBase64());
        request.setHeader(QNetworkRequest::ContentTypeHeader,
                          method == "PUT" ? "text/vcard" : "application/xml");
        std::unique_ptr<QNetworkReply> reply(m_net.sendCustomRequest(request, method, body));
        (void)QTest::qWaitFor([&] { return reply->isFinished(); }, 20000);
        return reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
    }

    bool vdirsyncer(const QStringList &args)
    {
        QProcess p;
        p.start(QStringLiteral("vdirsyncer"),
                QStringList{QStringLiteral("-c"), m_dir.filePath("config")} + args);
        p.write("y\ny\ny\n"); // "create the local address book?"
        p.closeWriteChannel();
        return p.waitForFinished(60000) && p.exitCode() == 0;
    }

    QTemporaryDir m_dir;
    QNetworkAccessManager m_net;
    int m_port = 0;

private slots:
    void namesFollowTheServer_data()
    {
        QTest::addColumn<bool>("oneBook");
        QTest::addColumn<QString>("book");
        QTest::newRow("one address book as the root, as khard keeps it") << true << "contacts";
        QTest::newRow("several address books") << false << "work";
    }

    void namesFollowTheServer()
    {
        QFETCH(bool, oneBook);
        QFETCH(QString, book);
        QTcpServer probe; // a free loopback port for the server
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        m_port = probe.serverPort();
        probe.close();
        QProcess radicale;
        radicale.start(QStringLiteral("radicale"),
                       {QStringLiteral("-C"), QString(), QStringLiteral("--auth-type"),
                        QStringLiteral("none"), QStringLiteral("--server-hosts"),
                        QStringLiteral("127.0.0.1:%1").arg(m_port),
                        QStringLiteral("--storage-filesystem-folder"), m_dir.filePath(book + "-store")});
        const QByteArray mkcol =
            "<mkcol xmlns='DAV:' xmlns:C='urn:ietf:params:xml:ns:carddav'><set><prop>"
            "<resourcetype><collection/><C:addressbook/></resourcetype></prop></set></mkcol>";
        QTRY_COMPARE_WITH_TIMEOUT(dav("OPTIONS", "/"), 200, 30000);
        QCOMPARE(dav("MKCOL", "/ana/work/", mkcol), 201);
        QCOMPARE(dav("MKCOL", "/ana/home/", mkcol), 201);
        const auto put = [&](const char *name) {
            return 2 == dav("PUT", "/ana/work/ana.vcf",
                            QByteArray("BEGIN:VCARD\r\nVERSION:3.0\r\nUID:ana\r\nFN:") + name +
                                "\r\nTEL;TYPE=cell:+385 91 234 "
                                "5678\r\nPHOTO;ENCODING=b;TYPE=PNG:"
                                "iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQ"
                                "DwAEhQGAhKmMIQAAAABJRU5ErkJggg==\r\n"
                                "END:VCARD\r\n") /
                            100;
        };
        QVERIFY(put("Ana Oblak"));
        const QString root = m_dir.filePath(book + "-contacts/") + (oneBook ? "contacts" : "");
        Settings settings;
        settings.setText(Settings::ContactsRoot, root);
        QVERIFY(settings.SaveSettings()); // for tellwise-cli
        AddressBook addresses(testsupport::testDataDir());
        CallLog log(testsupport::testDataDir());
        TfrmNewCallMessage message;
        TfrmCallerNotes notes;
        TfrmIncomingCall window(&message, &notes);
        VCardCallerIndex cards;
        CallMonitor monitor(settings, addresses, log);
        auto *line = new testsupport::TestCallSource;
        monitor.setSource(std::unique_ptr<telephony::CallSource>(line));
        monitor.setCardIndex(&cards);
        ConnectCallWindows(monitor, settings, window, message, nullptr);
        PresentedCall presented;
        connect(&monitor, &CallMonitor::callPresented, this, [&](const PresentedCall &c) { presented = c; });
        cards.setRoot(root); // before the folder is there
        QVERIFY(QDir().mkpath(root));
        testsupport::writeFile(
            m_dir.filePath("config"),
            QStringLiteral(
                "[general]\nstatus_path = \"%1/status-%2/\"\n[pair p]\na = \"s\"\nb = \"l\"\n"
                "collections = %3\n[storage s]\ntype = \"carddav\"\nurl = \"http://127.0.0.1:%4/%5\"\n"
                "username = \"ana\"\npassword = \"x\"\n[storage l]\ntype = \"filesystem\"\n"
                "path = \"%6\"\nfileext = \".vcf\"\n")
                .arg(m_dir.path(), book, oneBook ? "null" : "[\"from a\"]")
                .arg(m_port)
                .arg(oneBook ? "ana/work/" : "", root)
                .toUtf8());
        QVERIFY(vdirsyncer({QStringLiteral("discover")}) && vdirsyncer({QStringLiteral("sync")}));

        const QString number = QStringLiteral("0912345678");
        const auto call = [&] {
            line->ring();
            line->identify({.number = number});
            line->end();
            log.flush();
            TCallList calls;
            LoadCalls(testsupport::testDataDir(), calls, FileAccess::ReadOnly);
            const QString shown = window.findChild<TRunningLabel *>("lblCallerName")->text();
            for (int i = 0; i < calls.size(); ++i)
                if (calls[i].CallerName == shown)
                    return shown;
            return shown + " (not logged)";
        };
        const auto indexed = [&] { return cards.find(number).value_or(VCardCaller{}).name; };

        QTRY_COMPARE_WITH_TIMEOUT(indexed(), QStringLiteral("Ana Oblak"), 20000);
        QCOMPARE(call(), QStringLiteral("Ana Oblak"));
        QVERIFY(presented.pictureData.startsWith("\x89PNG"));
        QProcess cli;
        cli.start(testsupport::toolPath(QStringLiteral("tellwise-cli")), {QStringLiteral("lookup"), number});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.readAllStandardOutput(), "Ana Oblak\tMobitel\tvcard:" + book.toUtf8() + "\n");

        QVERIFY(put("Ana Kišobran"));
        QVERIFY(vdirsyncer({QStringLiteral("sync")}));
        QTRY_COMPARE_WITH_TIMEOUT(indexed(), QStringLiteral("Ana Kišobran"), 20000);
        QCOMPARE(call(), QStringLiteral("Ana Kišobran"));

        QCOMPARE(dav("DELETE", "/ana/work/ana.vcf") / 100, 2);
        QVERIFY(vdirsyncer({QStringLiteral("sync"), QStringLiteral("--force-delete")}));
        QTRY_COMPARE_WITH_TIMEOUT(indexed(), QString(), 20000);
        QCOMPARE(call(), QStringLiteral("< Nepoznat >"));

        // An editor's save rewrites the card in place.
        const QString mine = root + (oneBook ? "" : "/work") + "/mine.vcf";
        for (const char *name : {"Ana Prva", "Ana Druga"}) {
            testsupport::writeFile(mine, QByteArray("BEGIN:VCARD\r\nFN:") + name +
                                             "\r\nTEL:0912345678\r\nEND:VCARD\r\n");
            QTRY_COMPARE_WITH_TIMEOUT(indexed(), QString::fromUtf8(name), 20000);
        }
        radicale.terminate();
        QVERIFY(radicale.waitForFinished(20000));
    }
};

QTEST_MAIN(TestVCardCallers)
#include "tst_vcardcallers.moc"
