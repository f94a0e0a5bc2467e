#include "app/CallMonitor.h"

#include "app/SoundPlay.h"
#include "exchange/VCardCallerIndex.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/CallPlaceholders.h"
#include "store/FileRecords.h"
#include "store/Numbers.h"

#include <QDateTime>

#include <utility>

using telephony::CallerId;
using telephony::CallSource;

namespace {

// What the rules take from the matched contact; all empty for an unknown caller.
struct CallerDetails
{
    QString group;
    std::int32_t soundMode = 0;
    QString useThisSound;
    bool blackList = false;
};

// Plays the caller's own sound or the group's, or gives the text to speak instead.
QString announce(const AddressBook &book, const CallerDetails &details, const QString &name)
{
    switch (details.soundMode) {
    case 0:
        // An unknown caller has no group: nothing plays and the ring goes on.
        TSoundPlay::start(book.GroupSound(details.group));
        return {};
    case 1:
        TSoundPlay::start(details.useThisSound);
        return {};
    case 2:
        return ReplaceNameTag(details.useThisSound, name);
    default:
        return {};
    }
}

} // namespace

CallMonitor::CallMonitor(const Settings &settings, AddressBook &book, CallLog &log, QObject *parent)
    : QObject(parent), m_settings(settings), m_book(book), m_log(log)
{
    m_floodQuiet.setSingleShot(true);
    m_floodQuiet.setInterval(kFloodQuietMs);
    connect(&m_floodQuiet, &QTimer::timeout, this, [this] {
        m_flooding = false;
        emit floodingChanged(false);
    });
}

CallMonitor::~CallMonitor()
{
    if (m_source)
        m_source->stop();
}

void CallMonitor::setSource(std::unique_ptr<CallSource> source)
{
    if (m_source) {
        m_source->disconnect(this);
        m_source->stop();
    }
    m_source = std::move(source);
    m_inCall = m_ignoring = false;
    if (!m_source)
        return;
    connect(m_source.get(), &CallSource::callOffered, this, &CallMonitor::onOffered);
    connect(m_source.get(), &CallSource::callerKnown, this, &CallMonitor::onCallerKnown);
    connect(m_source.get(), &CallSource::callEnded, this, &CallMonitor::onEnded);
    connect(m_source.get(), &CallSource::lineLost, this, &CallMonitor::lineLost);
}

void CallMonitor::reject()
{
    if (!m_source || !m_source->canReject())
        return;
    m_source->reject();
    emit callRejected();
}

bool CallMonitor::takeCall()
{
    if (!m_allowanceClock.isValid())
        m_allowanceClock.start();
    m_allowance = qMin<double>(kFloodBurst, m_allowance + double(m_allowanceClock.restart()) / kFloodRefillMs);
    if (m_allowance >= 1) {
        m_allowance -= 1;
        return true;
    }
    m_floodQuiet.start();
    if (!std::exchange(m_flooding, true))
        emit floodingChanged(true);
    return false;
}

void CallMonitor::onOffered()
{
    m_inCall = true;
    m_ignoring = !takeCall();
    if (m_ignoring)
        return;
    emit callCounted();
    if (m_settings.flag(Settings::EnableSound))
        TSoundPlay::start(m_settings.text(Settings::PhoneRingWave));

    // One reading of the clock, so a call at midnight does not get tomorrow's date with
    // yesterday's time.
    const QDateTime now = QDateTime::currentDateTime();
    ACalls call;
    call.CallerName = PlaceholderUnidentified();
    call.CallerNumber = PlaceholderUnidentified();
    call.CalledNumber = PlaceholderUnidentified();
    call.CallDate = TDateFromQDate(now.date());
    call.CallTime = TTimeFromQTime(now.time());
    call.IsNew = true;
    m_log.BeginCall(std::move(call));
}

void CallMonitor::onCallerKnown(const CallerId &caller)
{
    // A caller told without a ring first is a call of its own to the flood limit.
    if (m_inCall ? m_ignoring : !takeCall())
        return;
    const NumberFormatSettings format = m_settings.numberFormat();
    // Another program (a script of the telephone exchange, tellwise-cli) may have added the caller
    // just now: a changed file is read before the look-up. A failed read keeps the list as it is;
    // the controller's watch on the files reports it.
    m_book.reloadChanged();
    const ContactMatch match = m_book.FindContactByNumber(caller.number);
    const TContactList &contacts = m_book.contacts();

    PresentedCall call;
    CallerDetails details;
    call.name = caller.name;
    if (match.index >= 0 && match.index < contacts.size()) {
        const AListAddress &contact = contacts[match.index];
        call.known = true;
        call.name = contact.DisplayNameAs;
        call.notes = contact.Notes;
        call.picture = contact.Picture;
        call.actualDimensions = contact.ActualDimensions;
        call.centerPicture = contact.CenterPicture;
        details.group = contact.Group;
        details.soundMode = contact.SoundMode;
        details.useThisSound = contact.UseThisSound;
        details.blackList = contact.BlackList;
    } else if (const auto card = m_cards && m_settings.flag(Settings::VCardCallers)
                                     ? m_cards->find(caller.number)
                                     : std::nullopt) {
        // A card names the caller and rings as a contact in no group would; it never carries
        // the black list.
        call.name = card->name;
        call.notes = card->notes;
        const VCardPicture picture = ReadVCardPicture(card->file);
        call.picture = picture.file;
        call.pictureData = picture.bytes;
        details.group = AddressBook::kNoGroup;
    }
    const bool hidden = caller.withheld || caller.unavailable;
    call.number = FormatPhoneNumber(DigitsOnly(caller.number), format);
    if (caller.withheld)
        call.number = PlaceholderBlocked();
    if (caller.unavailable)
        call.number = PlaceholderUnidentified();
    call.calledNumber = FormatPhoneNumber(DigitsOnly(caller.calledNumber), format);
    if (call.calledNumber.isEmpty())
        call.calledNumber = PlaceholderUnidentified();
    if (call.name.isEmpty())
        call.name = PlaceholderUnknown();

    // "Ne smetaj!" keeps the callers the options name quiet: only the notice shows them.
    if (m_settings.flag(Settings::DoNotDisturb)) {
        if (m_settings.flag(Settings::DisplayOnlyAddressbook))
            call.showWindow = call.known;
        if (call.showWindow && m_settings.flag(Settings::DontDisplayBlackList))
            call.showWindow = !details.blackList;
        if (call.showWindow && m_settings.flag(Settings::DontDisplayBlocked))
            call.showWindow = !hidden;
    }
    call.blackListed = details.blackList;
    call.group = call.known ? details.group : QString();
    call.caller = caller;
    call.rejectable = m_source && m_source->canReject();
    if (call.rejectable && m_settings.flag(Settings::AutoReject)) {
        call.rejected = (m_settings.flag(Settings::AutoRejectBlackList) && details.blackList) ||
                        (m_settings.flag(Settings::AutoRejectBlocked) && hidden);
    }
    // A caller turned away is no call to answer: the window would only come and go.
    if (call.rejected)
        call.showWindow = false;
    emit callPresented(call);

    if (call.rejected) {
        reject();
    } else if (m_settings.flag(Settings::EnableSound) && call.showWindow) {
        if (const QString speech = announce(m_book, details, call.name); !speech.isEmpty())
            emit speechRequested(speech);
    }

    bool log = m_settings.flag(Settings::LogBlackList) || !details.blackList;
    if (log && !m_settings.flag(Settings::LogBlocked))
        log = !hidden;
    const StoreResult saved = m_log.CompleteCall(call.name, call.number, call.calledNumber, !log);
    // A full or failing disk must not keep a call from being shown or rejected; the call stays in
    // memory and the next save writes it.
    if (!saved)
        qWarning("the call log could not be saved: %s", qPrintable(saved.message));
}

QString ReplaceNameTag(const QString &text, const QString &name)
{
    static const QString tag = QStringLiteral("<NAME>");
    QString result = text;
    const qsizetype at = result.indexOf(tag);
    if (at >= 0)
        result.replace(at, tag.size(), name);
    return result;
}

void CallMonitor::onEnded()
{
    m_inCall = false;
    if (std::exchange(m_ignoring, false))
        return;
    // A caller who hung up before the caller ID came, or a line without the service, leaves the
    // ring's placeholder waiting: the call was counted, so it is written as it stands.
    if (const StoreResult saved = m_log.CompleteCall({}, {}, {}, false); !saved)
        qWarning("the call log could not be saved: %s", qPrintable(saved.message));
    emit callEnded();
}
