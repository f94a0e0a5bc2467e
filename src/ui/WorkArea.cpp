#include "WorkArea.h"

#include <QGuiApplication>
#include <QScreen>

namespace {
std::optional<ScreenAreas> g_override;
}

ScreenAreas GetScreenAreas()
{
    if (g_override)
        return *g_override;
    const QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return {QRect(0, 0, 1024, 768), QRect(0, 0, 1024, 768)};
    return {screen->geometry(), screen->availableGeometry()};
}

QRect GetWorkArea()
{
    return GetScreenAreas().workArea;
}

void SetScreenAreasOverride(std::optional<ScreenAreas> areas)
{
    g_override = std::move(areas);
}
