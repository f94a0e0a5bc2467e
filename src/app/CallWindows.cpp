#include "app/CallWindows.h"

#include "app/CallMonitor.h"
#include "platform/CallNotifier.h"
#include "settings/Settings.h"
#include "ui/CallerPicture.h"
#include "store/CallPlaceholders.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmNewCallMessage.h"

#include <QDateTime>
#include <QPointer>

void ConnectCallWindows(CallMonitor &monitor, const Settings &settings, TfrmIncomingCall &window,
                        TfrmNewCallMessage &message, CallNotifier *notifier)
{
    QPointer<CallNotifier> notices(notifier);
    QObject::connect(&monitor, &CallMonitor::callPresented, &window, [&settings, &window, &message, notices](
                                                                          const PresentedCall &call) {
        window.setCaller(call.name, call.number, call.calledNumber);
        window.setNotes(call.notes);
        const QImage picture =
            call.pictureData.isEmpty()
                ? LoadCallerPicture(call.picture, call.actualDimensions, call.centerPicture, settings.languageIndex())
                : LoadCallerPicture(call.pictureData, call.actualDimensions, call.centerPicture,
                                    settings.languageIndex());
        window.setCallerPicture(picture);
        window.setRejectable(call.rejectable);
        window.setBlackListed(call.blackListed);
        message.setLastCall(call.name, call.number, QDateTime::currentDateTime());
        if (call.showWindow)
            window.ShowIncomingCallWindow();
        else
            message.ShowNewCallMessage();
        // A caller turned away at once is over before a notification could be read.
        if (notices && !call.rejected && settings.flag(Settings::DesktopNotification)) {
            // A call the rules keep quiet is no urgent notification either.
            notices->showCall(CallNotice{call.name, call.number, call.calledNumber, call.notes,
                                         call.picture.isEmpty() && call.pictureData.isEmpty() ? QImage() : picture,
                                         !call.known && !call.number.isEmpty() && !IsCallPlaceholder(call.number),
                                         call.showWindow, call.rejectable, call.blackListed});
        }
    });
    // A rejected call is over for the user at once, though the line may take a moment to hang up.
    const auto callOver = [&window, notices] {
        window.closeWindow();
        if (notices)
            notices->callEnded();
    };
    QObject::connect(&monitor, &CallMonitor::callRejected, &window, callOver);
    QObject::connect(&monitor, &CallMonitor::callEnded, &window, callOver);
}
