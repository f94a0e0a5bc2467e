#pragma once

// The kind of desktop session the program runs in.
namespace displaysession {

// A Wayland session: WAYLAND_DISPLAY is set or XDG_SESSION_TYPE says "wayland".
bool isWaylandSession();

// The call windows place themselves, stay on top and take their shapes only on X, so on a
// Wayland session with Xwayland (DISPLAY set) Qt is told to use xcb, unless the user chose a
// platform with QT_QPA_PLATFORM. Call before the application object is made. True when the
// choice was made here.
bool preferXwayland();

} // namespace displaysession
