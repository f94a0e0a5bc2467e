#include "platform/StatusNotifierItem.h"
#include "platform/DBusMenu.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusPendingCall>
#include <QImage>
#include <QtEndian>

namespace {
const QString kPath = QStringLiteral("/StatusNotifierItem");
const QString kMenuPath = QStringLiteral("/MenuBar");
const QString kWatcher = QStringLiteral("org.kde.StatusNotifierWatcher");
} // namespace

QDBusArgument &operator<<(QDBusArgument &argument, const TrayPixmap &pixmap)
{
    argument.beginStructure();
    argument << pixmap.width << pixmap.height << pixmap.pixels;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, TrayPixmap &pixmap)
{
    argument.beginStructure();
    argument >> pixmap.width >> pixmap.height >> pixmap.pixels;
    argument.endStructure();
    return argument;
}

QDBusArgument &operator<<(QDBusArgument &argument, const TrayToolTip &toolTip)
{
    argument.beginStructure();
    argument << toolTip.iconName << toolTip.iconPixmap << toolTip.title << toolTip.description;
    argument.endStructure();
    return argument;
}

const QDBusArgument &operator>>(const QDBusArgument &argument, TrayToolTip &toolTip)
{
    argument.beginStructure();
    argument >> toolTip.iconName >> toolTip.iconPixmap >> toolTip.title >> toolTip.description;
    argument.endStructure();
    return argument;
}

StatusNotifierItem::StatusNotifierItem(QObject *parent)
    : QObject(parent),
      m_service(QStringLiteral("org.kde.StatusNotifierItem-%1-1").arg(QCoreApplication::applicationPid()))
{
    qDBusRegisterMetaType<TrayPixmap>();
    qDBusRegisterMetaType<QList<TrayPixmap>>();
    qDBusRegisterMetaType<TrayToolTip>();
}

StatusNotifierItem::~StatusNotifierItem()
{
    if (!m_exported)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(kPath);
    if (m_menu)
        bus.unregisterObject(kMenuPath);
    bus.unregisterService(m_service);
}

void StatusNotifierItem::setMenu(QMenu *menu)
{
    if (!m_menu)
        m_menu = new DBusMenu(menu, this);
}

QDBusObjectPath StatusNotifierItem::menuPath() const
{
    return QDBusObjectPath(m_menu ? kMenuPath : QStringLiteral("/NO_DBUSMENU"));
}

void StatusNotifierItem::setToolTip(const QString &text)
{
    const qsizetype end = text.indexOf(QLatin1Char('\n'));
    m_toolTip.title = text.left(end);
    m_toolTip.description = end < 0 ? QString() : text.mid(end + 1);
    emit NewToolTip();
}

bool StatusNotifierItem::registerWithWatcher()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!m_exported) {
        m_exported =
            bus.registerObject(kPath, this,
                               QDBusConnection::ExportAllSlots | QDBusConnection::ExportScriptableSignals |
                                   QDBusConnection::ExportAllProperties);
        if (!m_exported)
            return false;
        const auto all = QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllSignals |
                         QDBusConnection::ExportAllProperties;
        if ((m_menu && !bus.registerObject(kMenuPath, m_menu, all)) || !bus.registerService(m_service)) {
            bus.unregisterObject(kPath);
            bus.unregisterObject(kMenuPath);
            m_exported = false;
            return false;
        }
    }
    // Not waited for: a watcher that does not answer must not hold the window thread.
    QDBusMessage call =
        QDBusMessage::createMethodCall(kWatcher, QStringLiteral("/StatusNotifierWatcher"), kWatcher,
                                       QStringLiteral("RegisterStatusNotifierItem"));
    bus.asyncCall(call << m_service);
    return true;
}

void StatusNotifierItem::setIcon(const QIcon &icon)
{
    m_pixmaps.clear();
    for (int size : {16, 22, 24, 32, 48}) {
        const QImage image = icon.pixmap(size, size).toImage().convertToFormat(QImage::Format_ARGB32);
        TrayPixmap pixmap{image.width(), image.height(), {}};
        pixmap.pixels.resize(qsizetype(image.width()) * image.height() * 4);
        auto *out = reinterpret_cast<quint32 *>(pixmap.pixels.data());
        for (int y = 0; y < image.height(); ++y) {
            const auto *line = reinterpret_cast<const quint32 *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x)
                *out++ = qToBigEndian(line[x]);
        }
        m_pixmaps << pixmap;
    }
    emit NewIcon();
}

void StatusNotifierItem::Activate(int, int)
{
    emit activated();
}

void StatusNotifierItem::SecondaryActivate(int, int)
{
    emit activated();
}

void StatusNotifierItem::ContextMenu(int x, int y)
{
    emit contextMenuRequested(QPoint(x, y));
}
