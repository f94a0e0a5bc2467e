#pragma once

#include <QDBusArgument>
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

// The tray icon for a notification area that comes up after the program started (the panel
// starts after an autostarted program). Qt's own tray icon decides once, at start, whether there
// is a tray, so a late one is served here: the item is offered on the session bus and
// registered with the notification area's watcher. A click opens the window, a right click the
// tray menu, as on the icon Qt draws.
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

public:
    explicit StatusNotifierItem(QObject *parent = nullptr);
    ~StatusNotifierItem() override;

    // Offers the item and tells the watcher now on the bus; returns at once. False when the item
    // could not be offered on the bus.
    bool registerWithWatcher();
    void setIcon(const QIcon &icon);

    QString category() const { return QStringLiteral("Communications"); }
    QString id() const { return QStringLiteral("tellwise-monitor"); }
    QString title() const { return QStringLiteral("Tellwise Monitor"); }
    QString status() const { return QStringLiteral("Active"); }
    bool itemIsMenu() const { return false; }
    QList<TrayPixmap> iconPixmap() const { return m_pixmaps; }

public slots:
    void Activate(int x, int y);
    void SecondaryActivate(int x, int y);
    void ContextMenu(int x, int y);
    void Scroll(int, const QString &) {}

signals:
    void activated();
    void contextMenuRequested(const QPoint &position);
    Q_SCRIPTABLE void NewIcon();

private:
    QString m_service;
    QList<TrayPixmap> m_pixmaps;
    bool m_exported = false;
};

QDBusArgument &operator<<(QDBusArgument &argument, const TrayPixmap &pixmap);
const QDBusArgument &operator>>(const QDBusArgument &argument, TrayPixmap &pixmap);
