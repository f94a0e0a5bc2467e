#include "platform/SessionEvents.h"

#include <QDBusConnection>

bool SessionEvents::watchSleep(const QString &busAddress)
{
    QDBusConnection bus =
        busAddress.isEmpty()
            ? QDBusConnection::systemBus()
            : QDBusConnection::connectToBus(busAddress, QStringLiteral("tellwise-session-events"));
    if (!bus.isConnected())
        return false;
    return bus.connect(QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
                       QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PrepareForSleep"),
                       this, SLOT(prepareForSleep(bool)));
}
