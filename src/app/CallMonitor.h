#pragma once

#include "telephony/CallSource.h"

#include <QObject>
#include <QString>

#include <memory>

class AddressBook;
class CallLog;
class Settings;

// What the call window, the new-call notice and the desktop notification show of one call, with
// the texts that stand in for what the line did not tell already in place.
struct PresentedCall
{
    QString name;
    QString number;       // laid out as the options say
    QString calledNumber; // laid out as the options say
    QString notes;
    QString picture; // the contact's picture file; empty for none
    bool actualDimensions = false;
    bool centerPicture = false;
    bool known = false; // the caller is in the address book
    // The call window (true) or, with "Ne smetaj!" keeping this caller quiet, only the notice.
    bool showWindow = true;
};

// Follows the calls of the one line the program watches and applies the user's rules to them.
// A call that rings is counted, rings and waits in the call log as a placeholder; once the
// caller is known it is looked up in the address book and presented, then rejected or announced
// by its sound or speech, and only then written to the call log, so nothing the user sees waits
// for the disk. The windows, the tray and the notifications follow the signals.
class CallMonitor : public QObject
{
    Q_OBJECT
public:
    CallMonitor(const Settings &settings, AddressBook &book, CallLog &log, QObject *parent = nullptr);
    ~CallMonitor() override;

    // The line to watch; the monitor owns it from now on. The previous one is stopped and
    // dropped. Null watches none.
    void setSource(std::unique_ptr<telephony::CallSource> source);
    telephony::CallSource *source() const { return m_source.get(); }

    // Turns the call in progress away through the line ("Odbij!").
    void reject();

signals:
    // A call rang: it counts as new.
    void callCounted();
    void callPresented(const PresentedCall &call);
    void callEnded();
    // A contact's spoken announcement, "<NAME>" already replaced.
    void speechRequested(const QString &text);
    void lineLost();

private:
    void onOffered();
    void onCallerKnown(const telephony::CallerId &caller);
    void onEnded();

    const Settings &m_settings;
    AddressBook &m_book;
    CallLog &m_log;
    std::unique_ptr<telephony::CallSource> m_source;
};

// TEXT with its first "<NAME>" replaced by NAME.
QString ReplaceNameTag(const QString &text, const QString &name);
