#include "app/MonitorProgram.h"

#include "app/CallMonitor.h"
#include "app/CallPublisher.h"
#include "app/SoundPlay.h"
#include "app/TfrmAbout.h"
#include "app/TfrmStart.h"
#include "exchange/VCardCallerIndex.h"
#include "exchange/VCardFolders.h"
#include "platform/SessionEvents.h"
#include "store/DataDir.h"
#include "ui/TfrmCallerNotes.h"
#include "ui/TfrmFindContact.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmMain.h"
#include "ui/TfrmNewCallMessage.h"
#include "ui/TfrmOptions.h"
#include "ui/TfrmOutlookContacts.h"
#include "ui/TfrmSpeech.h"
#include "ui/TfrmWab.h"

#include <QApplication>

MonitorProgram::MonitorProgram() : m_addressBook(DataDir()), m_callLog(DataDir())
{
    // Log-off, shutdown and SIGTERM: the data are backed up and the call log pruned before the
    // process goes; suspend ends the program as an ordinary close does. Watched from the first
    // moment, so that a signal during the loading of the data is not lost.
    m_session = std::make_unique<SessionEvents>();
    connect(m_session.get(), &SessionEvents::sessionEnding, this, [this] {
        endSession();
        // exit, not quit: a call window sliding out must not veto the end of the session.
        QCoreApplication::exit(0);
    });
    connect(m_session.get(), &SessionEvents::suspending, this, [] { QCoreApplication::exit(0); });
    m_session->watchSleep();
    m_frmStart = std::make_unique<TfrmStart>(m_settings, m_addressBook, m_callLog);
    m_cardIndex = std::make_unique<VCardCallerIndex>();
    m_frmStart->calls().setCardIndex(m_cardIndex.get());
    // Not children of the controller: a dialog opens centred on its parent, and the controller
    // waits off-screen, so they would open at the screen's edge. Without one, on the desktop.
    m_frmOptions = std::make_unique<TfrmOptions>(m_settings, m_addressBook);
    m_frmSpeech = std::make_unique<TfrmSpeech>(m_settings);
    m_frmMain =
        std::make_unique<TfrmMain>(m_settings, m_addressBook, m_callLog, m_frmStart->mainWindowMenus());
    // The pop-up needs the notice and the notes window it leads to, so those two come first.
    m_frmNewCallMessage = std::make_unique<TfrmNewCallMessage>();
    m_frmCallerNotes = std::make_unique<TfrmCallerNotes>();
    m_frmIncomingCall = std::make_unique<TfrmIncomingCall>(m_frmNewCallMessage.get(), m_frmCallerNotes.get());
    m_frmFindContact =
        std::make_unique<TfrmFindContact>(m_addressBook, m_frmStart->mainWindowMenus().contacts);
    m_frmAbout = std::make_unique<TfrmAbout>();
    m_frmWab = std::make_unique<TfrmWab>(m_settings, m_addressBook);
    m_frmOutlookContacts = std::make_unique<TfrmOutlookContacts>(m_settings, m_addressBook);

    m_frmStart->setOptionsWindow(m_frmOptions.get());
    m_frmSpeech->bindToOptions(m_frmOptions.get());
    m_frmStart->setSpeechWindow(m_frmSpeech.get());
    m_frmStart->setNewCallMessage(m_frmNewCallMessage.get());
    m_frmStart->setIncomingCallWindow(m_frmIncomingCall.get());
    m_frmStart->setAboutWindow(m_frmAbout.get());
    connect(m_frmStart.get(), &TfrmStart::languageBitmapsRequested, m_frmNewCallMessage.get(),
            &TfrmNewCallMessage::LoadLanguageBitmaps);
    connect(m_frmStart.get(), &TfrmStart::languageBitmapsRequested, m_frmIncomingCall.get(),
            &TfrmIncomingCall::LoadLanguageBitmaps);
    connect(m_frmNewCallMessage.get(), &TfrmNewCallMessage::callsPageRequested, m_frmStart.get(),
            [this] { m_frmStart->ShowMainWindowPage(1); });
    connectMainWindow();
    TfrmStart *start = m_frmStart.get();
    m_publisher =
        std::make_unique<CallPublisher>(m_settings, start->calls(), [start] { start->calls().reject(); });
    connect(m_publisher.get(), &CallPublisher::noteChanged, m_frmMain.get(), &TfrmMain::setSharingNote);
    connect(&m_settings, &Settings::valueChanged, this, &MonitorProgram::applyCallWindowSettings);
    applyCallWindowSettings();

    // The desktop asks for the data first and quits the program after: both end the one session,
    // and a second backup would copy the log the first one pruned.
    connect(qApp, &QGuiApplication::commitDataRequest, this, &MonitorProgram::endSession);
    connect(qApp, &QCoreApplication::aboutToQuit, this, &MonitorProgram::endSession);
}

MonitorProgram::~MonitorProgram()
{
    endSession();
    TSoundPlay::stopAll();
    m_publisher.reset(); // says "offline" while the line is still there
    m_session.reset();
    m_frmOutlookContacts.reset();
    m_frmWab.reset();
    m_frmAbout.reset();
    m_frmFindContact.reset();
    m_frmIncomingCall.reset();
    m_frmCallerNotes.reset();
    m_frmNewCallMessage.reset();
    m_frmMain.reset();
    m_frmSpeech.reset();
    m_frmOptions.reset();
    m_frmStart.reset();
}

void MonitorProgram::start()
{
    m_frmStart->Startup();
    // Indexed once the stored settings name the folder, and again whenever they change it.
    followContactsFolder();
    connect(&m_settings, &Settings::valueChanged, this, [this](Settings::Key key) {
        if (key == Settings::ContactsRoot || key == Settings::VCardCallers)
            followContactsFolder();
    });
}

void MonitorProgram::followContactsFolder()
{
    // A contacts folder made later (vdirsyncer's first sync) is taken up when it appears.
    const bool on = m_settings.flag(Settings::VCardCallers);
    m_cardIndex->setRoot(on ? TVCardFolders::rootPath(m_settings.text(Settings::ContactsRoot)) : QString());
}

// The call windows read their switches when they appear; they follow every change at once.
void MonitorProgram::applyCallWindowSettings()
{
    const Settings &s = m_settings;
    m_frmIncomingCall->setShowWindow(s.flag(Settings::DisplayCIDWindow));
    m_frmIncomingCall->setAnimate(s.flag(Settings::AnimateCID));
    m_frmIncomingCall->setAutoClose(s.flag(Settings::AutoCloseCID), s.number(Settings::AutoCloseCIDValue));
    m_frmNewCallMessage->setShowMessage(s.flag(Settings::DisplayCIDMessage));
    m_frmNewCallMessage->setAnimate(s.flag(Settings::AnimateCID));
}

void MonitorProgram::connectMainWindow()
{
    TfrmMain *main = m_frmMain.get();
    TfrmStart *start = m_frmStart.get();
    main->setSoundPlayer(TSoundPlay::start);
    // The contact editor's test speaks even with the sound switched off.
    TfrmSpeech *speech = m_frmSpeech.get();
    main->setSpeaker([speech](const QString &text) { speech->SpeakText(text, true); });
    main->setOptionsOpener([start] { start->miOptionsClick(); });
    TfrmNewCallMessage *message = m_frmNewCallMessage.get();
    main->setCallsSeenHandler([start, message](bool programEnding) {
        start->setNewCallCount(0);
        if (!programEnding)
            message->closeMessage();
    });
    // Where nothing sits in a notification area, a hidden window could not be found again.
    main->setMinimiseOnClose(!TfrmStart::trayAvailable());
    connect(start, &TfrmStart::newCallsTextChanged, main, &TfrmMain::setNewCallsText);
    start->setNewCallCount(start->freshCallCount());
    connect(start, &TfrmStart::callsIndicatorChanged, main, &TfrmMain::setCallsIndicator);
    connect(&start->calls(), &CallMonitor::floodingChanged, main, &TfrmMain::setLineFlooding);
    const LineState *line = &start->line();
    connect(line, &LineState::stateChanged, main,
            [main, line] { main->setConnectionIndicator(line->connected() ? 1 : 0, line->statusText()); });
    start->setMainWindowOpener([main](int page) { main->ShowPage(page); });
    // A caller a card named is offered with the whole card, read again from its file.
    main->setCallerCard([this](const QString &name, const QString &number) {
        return m_settings.flag(Settings::VCardCallers) ? m_cardIndex->contactOf(name, number) : std::nullopt;
    });
    start->setAddToAddressbook([main](const QString &name, const QString &number) {
        main->ShowPage(1);
        main->AddCallerToAddressbook(name, number);
    });
    TfrmFindContact *find = m_frmFindContact.get();
    find->setShowContactsHandler([main](const QStringList &names) { main->ShowContacts(names); });
    main->setFindContactHandler([find] {
        find->show();
        find->raise();
        find->activateWindow();
    });
    TfrmWab *wab = m_frmWab.get();
    main->setImportHandler([wab] { RunModalDialog(*wab); });
    wab->setImportedHandler([main](const QString &group) { main->selectGroupNode(group); });
    TfrmOutlookContacts *exchange = m_frmOutlookContacts.get();
    exchange->setSavedHandler([main](const QString &group) { main->selectGroupNode(group); });
    // Offered when there is a contacts folder to exchange with.
    const auto offerExchange = [this, main, exchange] {
        main->setExchangeHandler(IsOutlookInstalled(m_settings)
                                     ? std::function<void()>([exchange] { exchange->StartExchange(); })
                                     : std::function<void()>());
    };
    offerExchange();
    connect(&m_settings, &Settings::valueChanged, main, [offerExchange](Settings::Key key) {
        if (key == Settings::ContactsRoot)
            offerExchange();
    });
}

void MonitorProgram::endSession()
{
    if (m_ended)
        return;
    m_ended = true;
    // Before the controller exists (a box of the first load still open) nothing was loaded that
    // could be backed up.
    if (!m_frmStart)
        return;
    // The calls the user has looked at are written as seen before the files are backed up.
    if (m_frmMain) {
        m_frmMain->setProgramEnding(true);
        m_frmMain->MarkAllCallsSeen();
    }
    // The last call's save may still be on its way; the backup takes the log with it.
    if (const StoreResult saved = m_callLog.flush(); !saved)
        qWarning("the call log could not be saved: %s", qPrintable(saved.message));
    m_frmStart->BackupAndPrune();
}
