#include "platform/DisplaySession.h"

#include <QByteArray>

namespace displaysession {

bool isWaylandSession()
{
    return !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland";
}

bool preferXwayland()
{
    if (!isWaylandSession() || qEnvironmentVariableIsEmpty("DISPLAY") ||
        qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        return false;
    qputenv("QT_QPA_PLATFORM", "xcb");
    return true;
}

} // namespace displaysession
