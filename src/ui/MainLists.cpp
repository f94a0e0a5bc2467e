#include "ui/MainLists.h"

#include "widgets/Skin.h"

#include <QHash>

QPixmap MainListImage(int index)
{
    static QHash<int, QPixmap> cache;
    auto it = cache.find(index);
    if (it == cache.end())
        it = cache.insert(index, skin::pixmap(QStringLiteral("mainImage%1").arg(index)));
    return *it;
}
