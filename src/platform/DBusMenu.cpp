#include "platform/DBusMenu.h"

#include <QAction>
#include <QActionEvent>
#include <QBuffer>
#include <QDBusMetaType>
#include <QGuiApplication>
#include <QImage>
#include <QMenu>
#include <QTimer>

namespace {

// Every property an item may have; the ones an item lost are announced as removed.
const QStringList kItemProperties{QStringLiteral("type"),        QStringLiteral("label"),
                                  QStringLiteral("enabled"),     QStringLiteral("visible"),
                                  QStringLiteral("toggle-type"), QStringLiteral("toggle-state"),
                                  QStringLiteral("icon-data")};

QVariantMap only(QVariantMap properties, const QStringList &names)
{
    if (names.isEmpty())
        return properties;
    for (auto it = properties.begin(); it != properties.end();)
        it = names.contains(it.key()) ? std::next(it) : properties.erase(it);
    return properties;
}

QVariantMap propertiesOf(const QAction *action)
{
    QVariantMap properties{{QStringLiteral("visible"), action->isVisible()}};
    if (action->isSeparator()) {
        properties.insert(QStringLiteral("type"), QStringLiteral("separator"));
        return properties;
    }
    properties.insert(QStringLiteral("label"), DBusMenu::label(action->text()));
    properties.insert(QStringLiteral("enabled"), action->isEnabled());
    if (action->isCheckable()) {
        // Told as a state, so that a screen reader can say on or off; the mark picture is not sent.
        properties.insert(QStringLiteral("toggle-type"), QStringLiteral("checkmark"));
        properties.insert(QStringLiteral("toggle-state"), action->isChecked() ? 1 : 0);
    } else if (!action->icon().isNull()) {
        QBuffer png;
        png.open(QIODevice::WriteOnly);
        action->icon().pixmap(16, 16).toImage().save(&png, "PNG");
        properties.insert(QStringLiteral("icon-data"), png.data());
    }
    return properties;
}

} // namespace

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuLayout &layout)
{
    argument.beginStructure();
    argument << layout.id << layout.properties;
    argument.beginArray(QMetaType::fromType<QDBusVariant>());
    for (const DBusMenuLayout &child : layout.children)
        argument << QDBusVariant(QVariant::fromValue(child));
    argument.endArray();
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuLayout &layout)
{
    argument.beginStructure();
    argument >> layout.id >> layout.properties;
    layout.children.clear();
    argument.beginArray();
    while (!argument.atEnd()) {
        QDBusVariant child;
        argument >> child;
        layout.children.append(qdbus_cast<DBusMenuLayout>(child.variant()));
    }
    argument.endArray();
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItem &item)
{
    argument.beginStructure();
    argument << item.id << item.properties;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItem &item)
{
    argument.beginStructure();
    argument >> item.id >> item.properties;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuItemKeys &keys)
{
    argument.beginStructure();
    argument << keys.id << keys.names;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuItemKeys &keys)
{
    argument.beginStructure();
    argument >> keys.id >> keys.names;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const DBusMenuEvent &event)
{
    argument.beginStructure();
    argument << event.id << event.eventId << event.data << event.timestamp;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, DBusMenuEvent &event)
{
    argument.beginStructure();
    argument >> event.id >> event.eventId >> event.data >> event.timestamp;
    argument.endStructure();
    return argument;
}

DBusMenu::DBusMenu(QMenu *menu, QObject *parent) : QObject(parent), m_menu(menu)
{
    qDBusRegisterMetaType<DBusMenuLayout>();
    qDBusRegisterMetaType<DBusMenuItem>();
    qDBusRegisterMetaType<QList<DBusMenuItem>>();
    qDBusRegisterMetaType<DBusMenuItemKeys>();
    qDBusRegisterMetaType<QList<DBusMenuItemKeys>>();
    qDBusRegisterMetaType<DBusMenuEvent>();
    qDBusRegisterMetaType<QList<DBusMenuEvent>>();
    menu->installEventFilter(this);
}

QString DBusMenu::textDirection() const
{
    return QGuiApplication::layoutDirection() == Qt::RightToLeft ? QStringLiteral("rtl")
                                                                 : QStringLiteral("ltr");
}

QString DBusMenu::label(const QString &text)
{
    QString out;
    for (qsizetype i = 0; i < text.size(); ++i) {
        QChar c = text.at(i);
        if (c == u'&' && i + 1 < text.size()) {
            c = text.at(++i);
            if (c != u'&')
                out += u'_';
        }
        out += c == u'_' ? QStringLiteral("__") : QString(c);
    }
    return out;
}

int DBusMenu::idOf(QAction *action)
{
    auto it = m_ids.find(action);
    if (it == m_ids.end())
        it = m_ids.insert(action, m_nextId++);
    return *it;
}

QAction *DBusMenu::actionOf(int id)
{
    if (m_menu)
        for (QAction *action : m_menu->actions())
            if (idOf(action) == id)
                return action;
    return nullptr;
}

QVariantMap DBusMenu::propertiesOf(int id, const QStringList &names)
{
    if (id == 0)
        return only({{QStringLiteral("children-display"), QStringLiteral("submenu")}}, names);
    const QAction *action = actionOf(id);
    return action ? only(::propertiesOf(action), names) : QVariantMap();
}

uint DBusMenu::GetLayout(int parentId, int recursionDepth, const QStringList &propertyNames,
                         DBusMenuLayout &layout)
{
    layout = {parentId, propertiesOf(parentId, propertyNames), {}};
    if (parentId != 0 && !actionOf(parentId)) {
        if (calledFromDBus())
            sendErrorReply(QDBusError::InvalidArgs, QStringLiteral("no menu entry %1").arg(parentId));
        return m_revision;
    }
    // The menu has one level: only the menu itself has entries under it.
    if (parentId == 0 && recursionDepth != 0 && m_menu)
        for (QAction *action : m_menu->actions())
            layout.children.append({idOf(action), propertiesOf(idOf(action), propertyNames), {}});
    return m_revision;
}

QList<DBusMenuItem> DBusMenu::GetGroupProperties(const QList<int> &ids, const QStringList &propertyNames)
{
    QList<DBusMenuItem> items;
    for (int id : ids)
        if (id == 0 || actionOf(id))
            items.append({id, propertiesOf(id, propertyNames)});
    return items;
}

QDBusVariant DBusMenu::GetProperty(int id, const QString &name)
{
    const QVariant value = propertiesOf(id, {name}).value(name);
    if (!value.isValid() && calledFromDBus())
        sendErrorReply(QDBusError::InvalidArgs,
                       QStringLiteral("no property %1 on menu entry %2").arg(name).arg(id));
    return QDBusVariant(value.isValid() ? value : QVariant(QString()));
}

void DBusMenu::Event(int id, const QString &eventId, const QDBusVariant &, uint)
{
    if (eventId != QLatin1String("clicked"))
        return;
    QAction *action = actionOf(id);
    if (!action || !action->isEnabled())
        return;
    // After this answer: an item may open a window or ask a question, and the notification area
    // waits for the answer meanwhile.
    QMetaObject::invokeMethod(action, &QAction::trigger, Qt::QueuedConnection);
}

QList<int> DBusMenu::EventGroup(const QList<DBusMenuEvent> &events)
{
    QList<int> idErrors;
    for (const DBusMenuEvent &event : events) {
        if (actionOf(event.id))
            Event(event.id, event.eventId, event.data, event.timestamp);
        else
            idErrors << event.id;
    }
    return idErrors;
}

bool DBusMenu::AboutToShow(int)
{
    // The entries are always up to date: nothing to fetch first.
    return false;
}

QList<int> DBusMenu::AboutToShowGroup(const QList<int> &ids, QList<int> &idErrors)
{
    idErrors.clear();
    for (int id : ids)
        if (id != 0 && !actionOf(id))
            idErrors << id;
    return {};
}

bool DBusMenu::eventFilter(QObject *watched, QEvent *event)
{
    const auto type = event->type();
    if (watched != m_menu ||
        (type != QEvent::ActionAdded && type != QEvent::ActionRemoved && type != QEvent::ActionChanged))
        return QObject::eventFilter(watched, event);
    QAction *action = static_cast<QActionEvent *>(event)->action();
    if (type == QEvent::ActionChanged) {
        m_changed.insert(action);
    } else {
        m_layoutChanged = true;
        if (type == QEvent::ActionRemoved)
            m_ids.remove(action);
    }
    // A switch shown anew changes several things of its item at once: one announcement for all.
    if (!m_announcing) {
        m_announcing = true;
        QTimer::singleShot(0, this, &DBusMenu::announceChanges);
    }
    return QObject::eventFilter(watched, event);
}

void DBusMenu::announceChanges()
{
    m_announcing = false;
    const QSet<QAction *> changed = std::exchange(m_changed, {});
    if (std::exchange(m_layoutChanged, false)) {
        emit LayoutUpdated(++m_revision, 0);
        return;
    }
    QList<DBusMenuItem> updated;
    QList<DBusMenuItemKeys> removed;
    for (QAction *action : changed) {
        if (!m_menu || !m_menu->actions().contains(action))
            continue;
        const int id = idOf(action);
        const QVariantMap properties = ::propertiesOf(action);
        updated.append({id, properties});
        DBusMenuItemKeys gone{id, {}};
        for (const QString &name : kItemProperties)
            if (!properties.contains(name))
                gone.names << name;
        removed.append(gone);
    }
    if (!updated.isEmpty())
        emit ItemsPropertiesUpdated(updated, removed);
}
