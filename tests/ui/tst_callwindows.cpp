#include "UiTestSupport.h"

#include "ui/CallerPicture.h"
#include "ui/TfrmCallerNotes.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmNewCallMessage.h"
#include "ui/WorkArea.h"
#include "widgets/TRunningLabel.h"

#include <QApplication>
#include <QDialog>
#include <QElapsedTimer>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

// A 1280 x 1024 screen with a 40 pixel task bar along the bottom.
const ScreenAreas kDesk{QRect(0, 0, 1280, 1024), QRect(0, 0, 1280, 984)};

QString runningText(QWidget &window, const char *name)
{
    return uitest::own<TRunningLabel>(window, name)->text();
}

} // namespace

class TestCallWindows : public QObject
{
    Q_OBJECT

    TfrmNewCallMessage *m_message = nullptr;
    TfrmCallerNotes *m_notes = nullptr;
    TfrmIncomingCall *m_window = nullptr;

private slots:
    void init()
    {
        SetScreenAreasOverride(kDesk);
        TWindowSlide::setFrameInterval(0);
        m_message = new TfrmNewCallMessage;
        m_notes = new TfrmCallerNotes;
        m_window = new TfrmIncomingCall(m_message, m_notes);
        m_window->setAnimate(false);
        m_message->setAnimate(false);
    }

    void cleanup()
    {
        delete m_window;
        delete m_notes;
        delete m_message;
        SetScreenAreasOverride(std::nullopt);
    }

    // The caller's texts, the notes on one line, the picture in its frame, the skin's outline and
    // the notes window.
    void showsTheCaller()
    {
        m_window->setCaller(u"Ivana Kovačić"_s, u"01 / 2345-678"_s, u"< Neidentificiran >"_s);
        QCOMPARE(runningText(*m_window, "lblCallerName"), u"Ivana Kovačić"_s);
        QCOMPARE(runningText(*m_window, "lblCallerPhone"), u"01 / 2345-678"_s);
        QCOMPARE(uitest::own<QLabel>(*m_window, "lblCalledPhone")->text(), u"< Neidentificiran >"_s);
        // Line breaks of every system; empty lines and blanks go.
        m_window->setNotes(u"prvi\ndrugi\r\n\r\n  treći \r"_s);
        QCOMPARE(runningText(*m_window, "lblCallerNote"), u" prvi drugi treći"_s);
        QCOMPARE(m_window->CallerNotesLines().size(), 4);

        const QImage picture = LoadCallerPicture(QString(), false, false, 1);
        m_window->setCallerPicture(picture);
        auto *imgCaller = uitest::own<QLabel>(*m_window, "imgCaller");
        QCOMPARE(imgCaller->pixmap().toImage().convertToFormat(QImage::Format_ARGB32), picture);

        // The skin's outline steps down on the left, where the round badge stands.
        const QRegion shape = m_window->mask();
        QVERIFY(shape.contains(QPoint(183, 160)));
        QVERIFY(shape.contains(QPoint(62, 10)));   // the badge
        QVERIFY(!shape.contains(QPoint(140, 20))); // beside the badge, above the body
        QVERIFY(!m_message->mask().contains(QPoint(0, 0)));
        QVERIFY(m_message->mask().contains(QPoint(90, 70)));

        // A click on the notes line opens the whole notes beside the call, not instead of it.
        m_window->ShowIncomingCallWindow();
        QVERIFY(QTest::qWaitForWindowExposed(m_window));
        QTest::mouseClick(uitest::own<QWidget>(*m_window, "lblCallerNote"), Qt::LeftButton);
        QVERIFY(m_notes->isVisible() && m_window->isVisible());
        QCOMPARE(m_notes->windowTitle(), u"Ivana Kovačić"_s);
        QCOMPARE(m_notes->notesText(), u"prvi\ndrugi\n\n  treći "_s);
        QCOMPARE(m_notes->pos(), QPoint(10, 10));
        QTest::mouseClick(uitest::own<QWidget>(*m_notes, "btnClose"), Qt::LeftButton);
        QVERIFY(!m_notes->isVisible());
    }

    void captionsFollowTheLanguage()
    {
        auto caption = [](QWidget &window) {
            return uitest::own<QLabel>(window, "imgCaption")->pixmap().toImage();
        };
        const QImage croatian = caption(*m_window);
        const QImage croatianNotice = caption(*m_message);
        m_window->LoadLanguageBitmaps(0);
        m_message->LoadLanguageBitmaps(0);
        QVERIFY(caption(*m_window) != croatian);
        QVERIFY(caption(*m_message) != croatianNotice);
        m_window->LoadLanguageBitmaps(1);
        QCOMPARE(caption(*m_window), croatian);
    }

    // On a second screen the windows stop where they would on the first, moved by its offset;
    // the notice sits on the work area's corner. The slides are checked on the test's own screen.
    void placesTheWindowsOnTheScreen()
    {
        SetScreenAreasOverride(ScreenAreas{QRect(1920, 0, 1280, 1024), QRect(1920, 28, 1280, 996)});
        for (bool animate : {false, true}) {
            m_window->setAnimate(animate);
            m_message->setAnimate(animate);
            m_window->ShowIncomingCallWindow();
            QCOMPARE(m_window->pos(), QPoint(1920 + 457, 352));
            m_window->closeWindow();
            QCOMPARE(m_message->pos(), QPoint(3020, 884));
            m_message->closeMessage();
        }
    }

    // The call window comes in from above the screen and leaves down to the bottom edge and then
    // up over the top edge; the notice comes in along the work area and leaves to the left.
    void slides()
    {
        m_window->setAnimate(true);
        m_window->ShowIncomingCallWindow();
        const QList<QPoint> in = m_window->slide().lastFrames();
        QVERIFY(!in.isEmpty() && in.first().y() < 0);
        QCOMPARE(in.last(), QPoint(457, 352));
        m_window->closeWindow();
        const QList<QPoint> out = m_window->slide().lastFrames();
        QCOMPARE(out.first(), QPoint(457, 353));
        QVERIFY(std::any_of(out.begin(), out.end(), [](QPoint p) { return p.y() >= 704; }));
        QVERIFY(out.last().y() <= -320);
        QVERIFY(!m_window->isVisible());

        m_message->closeMessage();
        m_message->setAnimate(true);
        m_message->ShowNewCallMessage();
        const QList<QPoint> noticeIn = m_message->slide().lastFrames();
        QCOMPARE(noticeIn.first().y(), 844);
        QCOMPARE(m_message->pos(), QPoint(1100, 844));
        // A tray icon in the corner (no panel reserving space) is left uncovered.
        m_message->setKeepClearOf([] { return QRect(1256, 960, 24, 24); });
        QCOMPARE(m_message->targetPosition(), QPoint(1100, 820));
        m_message->setKeepClearOf([] { return QRect(1256, 0, 24, 24); });
        QCOMPARE(m_message->targetPosition(), QPoint(1100, 844));
        m_message->setKeepClearOf(nullptr);
        // A second call while the notice is up changes only its texts.
        m_message->ShowNewCallMessage();
        QCOMPARE(m_message->slide().lastFrames(), noticeIn);
        m_message->closeMessage();
        QVERIFY(m_message->slide().lastFrames().last().x() <= -180);
    }

    // However the window closes, the notice appears and the close timer stops, so that it cannot
    // fire into a later call.
    void rejectAndClose()
    {
        QSignalSpy closing(m_window, &TfrmIncomingCall::closing);
        m_window->setAutoClose(true, 1);
        for (const char *closedBy : {"button", "window manager"}) {
            m_window->ShowIncomingCallWindow();
            QVERIFY(m_window->isCloseTimerActive());
            if (closedBy == QLatin1String("button"))
                QTest::mouseClick(uitest::own<QWidget>(*m_window, "btnClose"), Qt::LeftButton);
            else
                m_window->close();
            QVERIFY2(!m_window->isVisible() && m_message->isVisible(), closedBy);
            QVERIFY2(!m_window->isCloseTimerActive(), closedBy);
            m_message->closeMessage();
        }
        QCOMPARE(closing.count(), 2);

        // The timer closes the window after the set time; switched off, it does not run.
        QElapsedTimer clock;
        clock.start();
        m_window->ShowIncomingCallWindow();
        QTRY_VERIFY_WITH_TIMEOUT(!m_window->isVisible(), 5000);
        QVERIFY2(clock.elapsed() >= 950, qPrintable(QString::number(clock.elapsed())));
        QCOMPARE(closing.count(), 3);
        QVERIFY(m_message->isVisible());
        m_window->setAutoClose(false, 1);
        m_window->ShowIncomingCallWindow();
        QVERIFY(!m_window->isCloseTimerActive());
    }

    // A modal dialog neither blocks the window nor hides behind it: it stays on top while the
    // window shows. The clicks (reject, close) come through the window system, as a user's do.
    void dialogDoesNotBlockTheWindow()
    {
        QSignalSpy reject(m_window, &TfrmIncomingCall::rejectRequested);
        m_window->ShowIncomingCallWindow();
        QDialog dialog;
        dialog.setModal(true);
        dialog.show();
        const auto onTop = [&dialog] { return dialog.windowHandle()->flags() & Qt::WindowStaysOnTopHint; };
        QVERIFY(onTop());
        for (QPoint button : {QPoint(346, 262), QPoint(346, 296)})
            QTest::mouseClick(m_window->windowHandle(), Qt::LeftButton, {}, button);
        QVERIFY(reject.count() == 1 && !m_window->isVisible() && !onTop());
    }

    void switchedOffWindowStillLeadsToTheNotice()
    {
        m_window->setShowWindow(false);
        QSignalSpy closing(m_window, &TfrmIncomingCall::closing);
        m_window->ShowIncomingCallWindow();
        QVERIFY(!m_window->isVisible());
        QVERIFY(!m_message->isVisible());
        // The disconnect closes the hidden window: the caller is let go and the notice appears.
        m_window->closeWindow();
        QCOMPARE(closing.count(), 1);
        QVERIFY(m_message->isVisible());

        // With the notice switched off as well, nothing appears.
        m_message->closeMessage();
        m_message->setShowMessage(false);
        m_window->closeWindow();
        QVERIFY(!m_message->isVisible());
        QCOMPARE(closing.count(), 2);
    }

    // The notice shows the last call (its counts are the translation test's); a click on it asks
    // for the call list and closes it.
    void notice()
    {
        m_message->setLastCall(u"Ivana Kovačić"_s, u"01 / 2345-678"_s,
                               QDateTime(QDate(2026, 3, 9), QTime(14, 5, 37)));
        QCOMPARE(runningText(*m_message, "lblPhone"), u"01 / 2345-678"_s);
        const QString date = QLocale::system().toString(QDate(2026, 3, 9), QLocale::ShortFormat);
        QCOMPARE(runningText(*m_message, "lblDateTime"), date + u"   14:05"_s);

        QSignalSpy asked(m_message, &TfrmNewCallMessage::callsPageRequested);
        for (const char *where : {"CoolForm1", "lblDateTime"}) {
            m_message->ShowNewCallMessage();
            QVERIFY(QTest::qWaitForWindowExposed(m_message));
            QTest::mouseClick(uitest::own<QWidget>(*m_message, where), Qt::LeftButton, {}, QPoint(20, 5));
            QVERIFY2(!m_message->isVisible(), where);
        }
        QCOMPARE(asked.count(), 2);
    }
};

QTEST_MAIN(TestCallWindows)
#include "tst_callwindows.moc"
