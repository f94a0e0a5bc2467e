#include "Skin.h"

#include <QFile>
#include <QHash>
#include <QPainter>
#include <QSvgRenderer>

static void initSkinResources()
{
    Q_INIT_RESOURCE(skins);
}

namespace skin {

QImage image(const QString &name)
{
    static QHash<QString, QImage> cache;
    static const bool initialised = (initSkinResources(), true);
    Q_UNUSED(initialised);

    auto found = cache.constFind(name);
    if (found != cache.constEnd())
        return *found;

    QImage result;
    // A face a button may or may not have is asked for too; a missing one is no error.
    const QString path = QStringLiteral(":/skins/%1.svg").arg(name);
    QSvgRenderer renderer;
    if (QFile::exists(path) && renderer.load(path)) {
        result = QImage(renderer.defaultSize(), QImage::Format_ARGB32_Premultiplied);
        result.fill(Qt::transparent);
        QPainter painter(&result);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setRenderHint(QPainter::TextAntialiasing);
        renderer.render(&painter);
    }
    cache.insert(name, result);
    return result;
}

QPixmap pixmap(const QString &name)
{
    return QPixmap::fromImage(image(name));
}

QString languagePrefix(int languageIndex)
{
    return languageIndex == 0 ? QStringLiteral("eng") : QStringLiteral("cro");
}

QPixmap languageBitmap(int languageIndex, const QString &name)
{
    return pixmap(languagePrefix(languageIndex) + name);
}

} // namespace skin
