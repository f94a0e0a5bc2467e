#pragma once

#include <QRect>

#include <optional>

// Where the call windows go: the whole screen and its work area (the screen without panels
// and task bars) of the primary screen.
struct ScreenAreas
{
    QRect screen;
    QRect workArea;
};

ScreenAreas GetScreenAreas();
QRect GetWorkArea();

// Fixes the areas instead of asking the screen, for a desktop whose panels the system does
// not report, and for tests. std::nullopt goes back to asking the screen.
void SetScreenAreasOverride(std::optional<ScreenAreas> areas);
