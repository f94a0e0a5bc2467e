#include "store/CallPlaceholders.h"

#include <QCoreApplication>

namespace {

struct CallPlaceholder
{
    const char *croatian;
    const char *english;
};

constexpr CallPlaceholder kUnknown{QT_TRANSLATE_NOOP("CallPlaceholders", "< Nepoznat >"), "< Unknown >"};
constexpr CallPlaceholder kBlocked{QT_TRANSLATE_NOOP("CallPlaceholders", "< Sakriven >"), "< Withheld >"};
constexpr CallPlaceholder kUnidentified{QT_TRANSLATE_NOOP("CallPlaceholders", "< Neidentificiran >"),
                                        "< Unidentified >"};
constexpr const CallPlaceholder *kAll[] = {&kUnknown, &kBlocked, &kUnidentified};

QString translated(const CallPlaceholder &p)
{
    return QCoreApplication::translate("CallPlaceholders", p.croatian);
}

const CallPlaceholder *find(const QString &text)
{
    for (const CallPlaceholder *p : kAll)
        if (text == QString::fromUtf8(p->croatian) || text == QLatin1String(p->english))
            return p;
    return nullptr;
}

} // namespace

QString PlaceholderUnknown()
{
    return translated(kUnknown);
}

QString PlaceholderBlocked()
{
    return translated(kBlocked);
}

QString PlaceholderUnidentified()
{
    return translated(kUnidentified);
}

bool IsCallPlaceholder(const QString &text)
{
    return find(text) != nullptr;
}

QString ShownCallText(const QString &stored)
{
    const CallPlaceholder *p = find(stored);
    return p ? translated(*p) : stored;
}
