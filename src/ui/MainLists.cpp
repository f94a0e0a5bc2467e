#include "ui/MainLists.h"

#include "widgets/Skin.h"

#include <QCoreApplication>
#include <QHash>

namespace {

struct CallPlaceholder
{
    const char *croatian;
    const char *english;
};

constexpr CallPlaceholder kCallPlaceholders[] = {
    {QT_TRANSLATE_NOOP("CallPipeline", "< Nepoznat >"), "< Unknown >"},
    {QT_TRANSLATE_NOOP("CallPipeline", "< Sakriven >"), "< Withheld >"},
    {QT_TRANSLATE_NOOP("CallPipeline", "< Neidentificiran >"), "< Unidentified >"},
};

const CallPlaceholder *findCallPlaceholder(const QString &text)
{
    for (const CallPlaceholder &p : kCallPlaceholders)
        if (text == QString::fromUtf8(p.croatian) || text == QLatin1String(p.english))
            return &p;
    return nullptr;
}

} // namespace

bool IsCallPlaceholder(const QString &text)
{
    return findCallPlaceholder(text) != nullptr;
}

QString ShownCallText(const QString &stored)
{
    const CallPlaceholder *p = findCallPlaceholder(stored);
    return p ? QCoreApplication::translate("CallPipeline", p->croatian) : stored;
}

QPixmap MainListImage(int index)
{
    static QHash<int, QPixmap> cache;
    auto it = cache.find(index);
    if (it == cache.end())
        it = cache.insert(index, skin::pixmap(QStringLiteral("mainImage%1").arg(index)));
    return *it;
}
