#include "platform/KeyboardLight.h"

#include "platform/DisplaySession.h"

// After the Qt headers: Xlib defines macros (Bool, Status, None) that clash with them.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>

namespace {

// Xlib's own handler ends the process on any protocol error; a keyboard whose light cannot be
// set is no reason to stop monitoring calls.
int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

class IgnoreXErrors
{
public:
    IgnoreXErrors() : m_previous(XSetErrorHandler(ignoreXError)) {}
    ~IgnoreXErrors() { XSetErrorHandler(m_previous); }

private:
    XErrorHandler m_previous;
};

} // namespace

struct KeyboardLight::Backend
{
    Display *display = nullptr;
    Atom indicator = 0;
    KeyCode scrollKey = 0;
    bool canSendKeys = false;
};

bool KeyboardLight::drivenOn(const QString &qtPlatform)
{
    return qtPlatform == QLatin1String("xcb") && !displaysession::isWaylandSession();
}

KeyboardLight::KeyboardLight(const QByteArray &display) : m_backend(std::make_unique<Backend>())
{
    int event = 0, error = 0, major = XkbMajorVersion, minor = XkbMinorVersion, reason = 0;
    Display *dpy = XkbOpenDisplay(display.isEmpty() ? nullptr : display.constData(), &event, &error, &major,
                                  &minor, &reason);
    if (!dpy)
        return; // no X server, or one without XKB: no light to drive
    m_backend->display = dpy;
    m_backend->indicator = XInternAtom(dpy, "Scroll Lock", False);
    m_backend->scrollKey = XKeysymToKeycode(dpy, XK_Scroll_Lock);
    int testEvent = 0, testError = 0, testMajor = 0, testMinor = 0;
    m_backend->canSendKeys =
        m_backend->scrollKey != 0 && XTestQueryExtension(dpy, &testEvent, &testError, &testMajor, &testMinor);
}

KeyboardLight::~KeyboardLight()
{
    if (m_backend->display)
        XCloseDisplay(m_backend->display);
}

bool KeyboardLight::isAvailable() const
{
    if (!m_backend->display)
        return false;
    int index = 0;
    return XkbGetNamedIndicator(m_backend->display, m_backend->indicator, &index, nullptr, nullptr,
                                nullptr) &&
           index >= 0;
}

bool KeyboardLight::isScrollLockOn() const
{
    if (!m_backend->display)
        return false;
    Bool state = False;
    if (!XkbGetNamedIndicator(m_backend->display, m_backend->indicator, nullptr, &state, nullptr, nullptr))
        return false;
    return state;
}

void KeyboardLight::setScrollLock(bool on)
{
    Display *dpy = m_backend->display;
    if (!dpy || isScrollLockOn() == on)
        return;
    const IgnoreXErrors guard;
    // A key press and release, as if the user had pressed Scroll Lock: where the key locks a
    // modifier (the usual set-up on other systems) this switches the light and the lock state
    // together, and applications see the state they expect.
    if (m_backend->canSendKeys) {
        XTestFakeKeyEvent(dpy, m_backend->scrollKey, True, CurrentTime);
        XTestFakeKeyEvent(dpy, m_backend->scrollKey, False, CurrentTime);
        XSync(dpy, False);
    }
    // Many X keymaps leave Scroll Lock unbound, so the key alone leaves the light as it was;
    // then the indicator is set directly.
    if (isScrollLockOn() != on) {
        XkbSetNamedIndicator(dpy, m_backend->indicator, True, on ? True : False, False, nullptr);
        XSync(dpy, False);
    }
}
