#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

// The Scroll Lock light of the keyboard. On X11 the light is the XKB "Scroll Lock" indicator,
// switched with a Scroll Lock key press as a real keyboard would; where there is no X keyboard
// every call does nothing and the light reads as off.
class KeyboardLight
{
public:
    // display: the X display to use; empty means $DISPLAY.
    explicit KeyboardLight(const QByteArray &display = {});
    ~KeyboardLight();

    KeyboardLight(const KeyboardLight &) = delete;
    KeyboardLight &operator=(const KeyboardLight &) = delete;

    // True only on X11 proper: Qt runs on xcb and the session is not a Wayland one. Under
    // Xwayland the light is Xwayland's own, which no keyboard shows, and the key presses would
    // go to whichever X program has the focus.
    static bool drivenOn(const QString &qtPlatform);

    // True when there is a keyboard whose light can be read and set.
    bool isAvailable() const;

    bool isScrollLockOn() const;

    // Brings the light to the given state; nothing happens when it is there already.
    void setScrollLock(bool on);

    struct Backend;

private:
    std::unique_ptr<Backend> m_backend;
};
