#pragma once

#include "telephony/CallSource.h"

#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>

#include <memory>

class AddressBook;
class CallLog;
class Settings;
class VCardCallerIndex;

// What the call window, the new-call notice and the desktop notification show of one call, with
// the texts that stand in for what the line did not tell already in place.
struct PresentedCall
{
    QString name;
    QString number;       // laid out as the options say
    QString calledNumber; // laid out as the options say
    QString notes;
    QString picture; // the contact's picture file; empty for none
    QByteArray pictureData; // a picture carried in a contacts-folder card, instead of a file
    bool actualDimensions = false;
    bool centerPicture = false;
    bool known = false; // the caller is in the address book (not a card of the contacts folder)
    bool blackListed = false;
    // The line can turn the caller away: the windows offer to reject.
    bool rejectable = false;
    // "Odbij!" turned the caller away at once: only the notice shows the call.
    bool rejected = false;
    // The call window (true) or, with "Ne smetaj!" keeping this caller quiet, only the notice.
    bool showWindow = true;
    QString group;              // the contact's group; empty for an unknown caller
    telephony::CallerId caller; // what the line told
};

// Follows the calls of the one line the program watches and applies the user's rules to them.
// A call that rings is counted, rings and waits in the call log as a placeholder; once the
// caller is known it is looked up in the address book and presented, then rejected or announced
// by its sound or speech, and only then written to the call log, so nothing the user sees waits
// for the disk. The windows, the tray and the notifications follow the signals.
//
// A line that reports calls faster than a telephone can ring is flooding (a broken or hostile
// server): beyond a burst of kFloodBurst calls it is taken at one call every kFloodRefillMs, and
// the calls in between are ignored whole: not counted, shown, sounded or logged.
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
    // Callers the address book does not know are looked up here next, while the settings say so.
    void setCardIndex(const VCardCallerIndex *cards) { m_cards = cards; }

    // Turns the call in progress away through the line ("Odbij!"), when the line can.
    void reject();

    static constexpr int kFloodBurst = 20;
    static constexpr int kFloodRefillMs = 6000;
    // How long after the last ignored call the line counts as flooding.
    static constexpr int kFloodQuietMs = 60000;

signals:
    // A call rang: it counts as new.
    void callCounted();
    void callPresented(const PresentedCall &call);
    // The call was turned away: it is over for the windows, though the line may take a moment.
    void callRejected();
    void callEnded();
    // A contact's spoken announcement, "<NAME>" already replaced.
    void speechRequested(const QString &text);
    void lineLost();
    // The line floods (calls are being ignored), or has been quiet long enough again.
    void floodingChanged(bool flooding);

private:
    void onOffered();
    void onCallerKnown(const telephony::CallerId &caller);
    void onEnded();
    // Whether one more call may be taken now; a refused one marks the line as flooding.
    bool takeCall();

    const Settings &m_settings;
    AddressBook &m_book;
    CallLog &m_log;
    std::unique_ptr<telephony::CallSource> m_source;
    const VCardCallerIndex *m_cards = nullptr;

    bool m_inCall = false;   // a call was offered and has not ended
    bool m_ignoring = false; // the call in progress is one the flood limit refused
    double m_allowance = kFloodBurst;
    QElapsedTimer m_allowanceClock;
    QTimer m_floodQuiet;
    bool m_flooding = false;
};

// TEXT with its first "<NAME>" replaced by NAME.
QString ReplaceNameTag(const QString &text, const QString &name);
