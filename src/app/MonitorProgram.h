#pragma once

#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"

#include <QObject>

#include <memory>

class CallPublisher;
class SessionEvents;
class TfrmAbout;
class TfrmCallerNotes;
class TfrmFindContact;
class TfrmIncomingCall;
class TfrmMain;
class TfrmNewCallMessage;
class TfrmOptions;
class TfrmOutlookContacts;
class TfrmSpeech;
class TfrmStart;
class TfrmWab;
class VCardCallerIndex;

// The running program: the settings object and every window, created once in their fixed
// order with the controller first, and the session's end. Windows of the call pipeline and the
// main window join here as they are created.
class MonitorProgram : public QObject
{
    Q_OBJECT

public:
    MonitorProgram();
    ~MonitorProgram() override;

    // The start-up steps after the windows exist; returns at once, the event loop runs on.
    void start();
    // The session ended while the windows were being made: there is no event loop to run.
    bool ended() const { return m_ended; }

    Settings &settings() { return m_settings; }
    AddressBook &addressBook() { return m_addressBook; }
    CallLog &callLog() { return m_callLog; }
    TfrmStart *frmStart() const { return m_frmStart.get(); }
    TfrmOptions *frmOptions() const { return m_frmOptions.get(); }
    TfrmSpeech *frmSpeech() const { return m_frmSpeech.get(); }
    TfrmMain *frmMain() const { return m_frmMain.get(); }
    TfrmIncomingCall *frmIncomingCall() const { return m_frmIncomingCall.get(); }
    TfrmNewCallMessage *frmNewCallMessage() const { return m_frmNewCallMessage.get(); }
    TfrmCallerNotes *frmCallerNotes() const { return m_frmCallerNotes.get(); }
    TfrmAbout *frmAbout() const { return m_frmAbout.get(); }
    TfrmFindContact *frmFindContact() const { return m_frmFindContact.get(); }
    TfrmWab *frmWab() const { return m_frmWab.get(); }
    TfrmOutlookContacts *frmOutlookContacts() const { return m_frmOutlookContacts.get(); }
    CallPublisher *publisher() const { return m_publisher.get(); }

private:
    void endSession();
    void applyCallWindowSettings();
    void connectMainWindow();
    void followContactsFolder();

    Settings m_settings;
    // The data every window shows; they outlive the windows.
    AddressBook m_addressBook;
    CallLog m_callLog;
    // The numbers of the vCard contacts folder, for callers the address book does not know.
    std::unique_ptr<VCardCallerIndex> m_cardIndex;
    // Destroyed in reverse order: the controller goes last.
    std::unique_ptr<TfrmStart> m_frmStart;
    std::unique_ptr<TfrmOptions> m_frmOptions;
    std::unique_ptr<TfrmSpeech> m_frmSpeech;
    std::unique_ptr<TfrmMain> m_frmMain;
    std::unique_ptr<TfrmNewCallMessage> m_frmNewCallMessage;
    std::unique_ptr<TfrmCallerNotes> m_frmCallerNotes;
    std::unique_ptr<TfrmIncomingCall> m_frmIncomingCall;
    std::unique_ptr<TfrmFindContact> m_frmFindContact;
    std::unique_ptr<TfrmAbout> m_frmAbout;
    std::unique_ptr<TfrmWab> m_frmWab;
    std::unique_ptr<TfrmOutlookContacts> m_frmOutlookContacts;
    std::unique_ptr<SessionEvents> m_session;
    std::unique_ptr<CallPublisher> m_publisher;
    bool m_ended = false;
};
