#include "platform/SessionEvents.h"

// Built without D-Bus: the sleep announcement cannot be heard.
bool SessionEvents::watchSleep(const QString &)
{
    return false;
}
