#pragma once

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QIcon>
#include <QList>
#include <QObject>
#include <QPoint>

// One picture of the icon as a notification area reads it: ARGB32 pixels, big-endian.
struct TrayPixmap
{
    int width = 0;
    int height = 0;
    QByteArray pixels;
};
Q_DECLARE_METATYPE(TrayPixmap)
Q_DECLARE_METATYPE(QList<TrayPixmap>)

// The tool tip as a notification area reads it: icon name, icon pictures, title, text.
struct TrayToolTip
{
    QString iconName;
    QList<TrayPixmap> iconPixmap;
    QString title;
    QString description;
};
Q_DECLARE_METATYPE(TrayToolTip)

class DBusMenu;
class QMenu;

// The tray icon for a notification area that comes up after the program started (the panel
// starts after an autostarted program). Qt's own tray icon decides once, at start, whether there
// is a tray, so a late one is served here: the item is offered on the session bus and
// registered with the notification area's watcher. A click opens the window; the tray menu is
// offered for the notification area to draw, and shown by a right click where it does not.
class StatusNotifierItem : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QList<TrayPixmap> IconPixmap READ iconPixmap)
    Q_PROPERTY(TrayToolTip ToolTip READ toolTip)
    Q_PROPERTY(QDBusObjectPath Menu READ menuPath)

public:
    explicit StatusNotifierItem(QObject *parent = nullptr);
    ~StatusNotifierItem() override;

    // Offers the item and tells the watcher now on the bus; returns at once. False when the item
    // could not be offered on the bus.
    bool registerWithWatcher();
    void setIcon(const QIcon &icon);
    // The tray icon's tool tip: its first line is the title, the rest the text.
    void setToolTip(const QString &text);
    // Offered with the item; set before it is registered.
    void setMenu(QMenu *menu);

    QString category() const { return QStringLiteral("Communications"); }
    QString id() const { return QStringLiteral("tellwise-monitor"); }
    QString title() const { return QStringLiteral("Tellwise Monitor"); }
    QString status() const { return QStringLiteral("Active"); }
    bool itemIsMenu() const { return false; }
    QList<TrayPixmap> iconPixmap() const { return m_pixmaps; }
    TrayToolTip toolTip() const { return m_toolTip; }
    QDBusObjectPath menuPath() const;

public slots:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int, const QString &) {}

signals:
    void activated();
    void contextMenuRequested(const QPoint &position);
    Q_SCRIPTABLE void NewIcon();
    Q_SCRIPTABLE void NewToolTip();

private:
    QString m_service;
    QList<TrayPixmap> m_pixmaps;
    TrayToolTip m_toolTip;
    DBusMenu *m_menu = nullptr;
    bool m_exported = false;
};

QDBusArgument &operator<<(QDBusArgument &argument, const TrayPixmap &pixmap);
const QDBusArgument &operator>>(const QDBusArgument &argument, TrayPixmap &pixmap);
QDBusArgument &operator<<(QDBusArgument &argument, const TrayToolTip &toolTip);
const QDBusArgument &operator>>(const QDBusArgument &argument, TrayToolTip &toolTip);
