#include "platform/KeyboardLight.h"

// Built without X11: there is no keyboard light to drive.
struct KeyboardLight::Backend
{
};

KeyboardLight::KeyboardLight(const QByteArray &) : m_backend(std::make_unique<Backend>()) {}

KeyboardLight::~KeyboardLight() = default;

bool KeyboardLight::isAvailable() const
{
    return false;
}

bool KeyboardLight::isScrollLockOn() const
{
    return false;
}

void KeyboardLight::setScrollLock(bool) {}
