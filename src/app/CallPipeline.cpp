#include "app/CallPipeline.h"

#include "app/CallNotifier.h"
#include "app/SoundPlay.h"
#include "capi/CpMoni.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/CallPlaceholders.h"
#include "store/FileRecords.h"
#include "store/Numbers.h"
#include "telephony/TapiFunc.h"
#include "ui/CallerPicture.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmNewCallMessage.h"

#include <QCoreApplication>
#include <QDateTime>

namespace {

CallPipelineHost *g_host = nullptr;

// What the identified step takes from the matched contact; all empty for an unknown caller.
struct CallerDetails
{
    QString group;
    QString notes;
    QString picture;
    bool actualDimensions = false;
    bool centerPicture = false;
    std::int32_t soundMode = 0;
    QString useThisSound;
    bool blackList = false;
};

CallerDetails detailsOf(int index, QString &name)
{
    CallerDetails details;
    const TContactList &contacts = g_host->addressBook().contacts();
    if (index < 0 || index >= contacts.size())
        return details;
    const AListAddress &contact = contacts[index];
    name = contact.DisplayNameAs;
    details.group = contact.Group;
    details.notes = contact.Notes;
    details.picture = contact.Picture;
    details.actualDimensions = contact.ActualDimensions;
    details.centerPicture = contact.CenterPicture;
    details.soundMode = contact.SoundMode;
    details.useThisSound = contact.UseThisSound;
    details.blackList = contact.BlackList;
    return details;
}

void ringStep()
{
    const Settings &settings = g_host->pipelineSettings();
    g_host->setNewCallCount(g_host->newCallCount() + 1);
    // An animated icon shows the new call at its next tick.
    if (!settings.flag(Settings::AnimateIcon))
        g_host->SetTrayStateNewCall();
    if (settings.flag(Settings::FlashScrollLock))
        g_host->StartScrollLockFlashing();
    if (settings.flag(Settings::EnableSound))
        TSoundPlay::start(settings.text(Settings::PhoneRingWave));

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
    g_host->callLog().BeginCall(std::move(call));
}

void identifiedStep(const QString &name, const QString &number, const QString &calledNumber, bool discard)
{
    const StoreResult saved = g_host->callLog().CompleteCall(name, number, calledNumber, discard);
    // A full or failing disk must not stop the call from being shown or rejected; the call stays
    // in memory and the next save writes it.
    if (!saved)
        qWarning("the call log could not be saved: %s", qPrintable(saved.message));
}

bool shouldLog(const Settings &settings, bool blackList)
{
    bool log = true;
    if (!settings.flag(Settings::LogBlackList))
        log = !blackList;
    if (log && !settings.flag(Settings::LogBlocked))
        log = !(CallerBlocked || CallerOutOfArea);
    return log;
}

bool shouldShow(const Settings &settings, bool known, bool blackList)
{
    bool show = true;
    if (!g_host->IsDoNotDisturbOn())
        return show;
    if (settings.flag(Settings::DisplayOnlyAddressbook))
        show = known;
    if (show && settings.flag(Settings::DontDisplayBlackList))
        show = !blackList;
    if (show && settings.flag(Settings::DontDisplayBlocked))
        show = !(CallerBlocked || CallerOutOfArea);
    return show;
}

bool shouldReject(const Settings &settings, bool blackList)
{
    bool reject = false;
    if (!g_host->IsAutoRejectOn())
        return reject;
    if (settings.flag(Settings::AutoRejectBlackList))
        reject = blackList;
    if (!reject && settings.flag(Settings::AutoRejectBlocked))
        reject = CallerBlocked || CallerOutOfArea;
    return reject;
}

void announce(const CallerDetails &details, const QString &name)
{
    switch (details.soundMode) {
    case 0:
        // An unknown caller has no group: the thread plays nothing and the ring goes on.
        TSoundPlay::start(g_host->addressBook().GroupSound(details.group));
        break;
    case 1:
        TSoundPlay::start(details.useThisSound);
        break;
    case 2:
        g_host->SpeakText(ReplaceNameTag(details.useThisSound, name), false);
        break;
    default:
        break;
    }
}

} // namespace

void SetCallPipelineHost(CallPipelineHost *host)
{
    g_host = host;
}

CallPipelineHost *CallPipelineHostInstance()
{
    return g_host;
}

void ConnectCallSources(TCapiMonitor *capiMonitor)
{
    OnTapiRing = [] { LogCall({}, {}, {}, false, false); };
    OnTapiCallerIdentified = [](const QString &name, const QString &number, const QString &called, bool) {
        IdentifyCaller(name, number, called);
    };
    OnTapiCallEnded = [] {
        if (!g_host)
            return;
        g_host->IncomingCallWindow().closeWindow();
        g_host->CallEnded();
    };
    if (!TapiDeviceIsModem) {
        TapiDeviceIsModem = [] {
            return g_host && g_host->pipelineSettings().number(Settings::DeviceType) == Settings::kModem;
        };
    }

    if (g_host) {
        TfrmIncomingCall &window = g_host->IncomingCallWindow();
        QObject::connect(&window, &TfrmIncomingCall::closing, &window, [] {
            CallerOutOfArea = false;
            CallerBlocked = false;
        });
    }
    if (capiMonitor) {
        QObject::connect(capiMonitor, &TCapiMonitor::OnIncomingCall, capiMonitor, &capiMonitorIncomingCall);
        QObject::connect(capiMonitor, &TCapiMonitor::OnDisconnectInfo, capiMonitor,
                         &capiMonitorDisconnectInfo);
    }
}

void LogCall(const QString &name, const QString &number, const QString &calledNumber, bool discard,
             bool identified)
{
    if (!g_host)
        return;
    if (identified)
        identifiedStep(name, number, calledNumber, discard);
    else
        ringStep();
}

void IdentifyCaller(const QString &name, const QString &number, const QString &calledNumber)
{
    if (!g_host)
        return;
    const ContactMatch match = g_host->addressBook().FindContactByNumber(number);
    HandleIdentifiedCall(name, DigitsOnly(number), DigitsOnly(calledNumber), match.index, match.location);
}

void HandleIdentifiedCall(const QString &name, const QString &number, const QString &calledNumber, int index,
                          const QString &location)
{
    Q_UNUSED(location);
    if (!g_host)
        return;
    const Settings &settings = g_host->pipelineSettings();
    const NumberFormatSettings format = settings.numberFormat();

    QString callerName = name;
    QString shownNumber = FormatPhoneNumber(number, format);
    QString shownCalled = FormatPhoneNumber(calledNumber, format);
    const CallerDetails details = detailsOf(index, callerName);

    if (CallerBlocked)
        shownNumber = PlaceholderBlocked();
    if (CallerOutOfArea)
        shownNumber = PlaceholderUnidentified();
    if (shownCalled.isEmpty())
        shownCalled = PlaceholderUnidentified();
    if (callerName.isEmpty())
        callerName = PlaceholderUnknown();

    TfrmIncomingCall &window = g_host->IncomingCallWindow();
    window.setCaller(callerName, shownNumber, shownCalled);
    window.setNotes(details.notes);
    const QImage picture = LoadCallerPicture(details.picture, details.actualDimensions, details.centerPicture,
                                             settings.languageIndex());
    window.setCallerPicture(picture);
    TfrmNewCallMessage &message = g_host->NewCallMessageWindow();
    message.setLastCall(callerName, shownNumber, QDateTime::currentDateTime());

    // The user sees the call first; the call log is written after everything the user notices.
    // Decided now: a reject may end the call and with it the caller's flags.
    const bool discard = !shouldLog(settings, details.blackList);

    const bool show = shouldShow(settings, index > -1, details.blackList);
    if (show)
        window.ShowIncomingCallWindow();
    else
        message.ShowNewCallMessage();
    if (settings.flag(Settings::DesktopNotification)) {
        // A call the rules keep quiet is no urgent notification either.
        CallNotice notice{callerName,
                          shownNumber,
                          shownCalled,
                          details.notes,
                          details.picture.isEmpty() ? QImage() : picture,
                          index < 0 && !shownNumber.isEmpty() && !IsCallPlaceholder(shownNumber),
                          show};
        g_host->NotifyCall(notice);
    }

    if (shouldReject(settings, details.blackList))
        g_host->RejectCurrentCall();
    else if (settings.flag(Settings::EnableSound) && show)
        announce(details, callerName);
    LogCall(callerName, shownNumber, shownCalled, discard, true);
}

void capiMonitorIncomingCall(const QString &CallingPartyNumber, const QString &CalledPartyNumber,
                             uint16_t CipValue, const QString &CipValueString)
{
    Q_UNUSED(CipValue);
    Q_UNUSED(CipValueString);
    if (!g_host)
        return;
    CallerBlocked = false;
    CallerOutOfArea = false;
    LogCall({}, {}, {}, false, false);
    const QString called = StripOwnAreaCode(CalledPartyNumber);
    if (CallingPartyNumber.isEmpty())
        CallerBlocked = true;
    IdentifyCaller(PlaceholderUnknown(), CallingPartyNumber, called);
}

void capiMonitorDisconnectInfo(uint16_t aRejectCause, uint16_t aDisconnectReason)
{
    Q_UNUSED(aRejectCause);
    Q_UNUSED(aDisconnectReason);
    if (g_host) {
        g_host->IncomingCallWindow().closeWindow();
        g_host->CallEnded();
    }
    CallerBlocked = false;
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
