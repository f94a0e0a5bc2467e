#pragma once

#include <QImage>
#include <QPixmap>
#include <QString>

// The program's own pictures: skins, button faces and the language bitmaps, kept as vector
// drawings in the resources and rendered once at their own size.
namespace skin {

// The rendered picture named NAME (without extension); a null image when there is none.
QImage image(const QString &name);
QPixmap pixmap(const QString &name);

// "eng" for language 0, "cro" for every other index (the built-in language is Croatian).
QString languagePrefix(int languageIndex);

// A language bitmap: prefix + NAME, for example "croIncomingCall".
QPixmap languageBitmap(int languageIndex, const QString &name);

} // namespace skin
