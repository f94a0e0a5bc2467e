#include "app/TrayController.h"
#include "app/LineState.h"
#include "app/NewCallIndicators.h"
#include "platform/StatusNotifierItem.h"
#include "app/SvgIcon.h"
#include "app/TrayFallbackWindow.h"
#include "settings/Settings.h"

#include <QAction>
#include <QCoreApplication>
#include <QCursor>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusServiceWatcher>
#include <QGuiApplication>
#include <QMenu>
#include <QSystemTrayIcon>
#include <QTimer>

#include <array>

namespace {

constexpr int kTrayInterval = 1500;
constexpr int kTrayIntervalNewCalls = 750;

QIcon renderIcon(const char *name)
{
    return SvgIcon(QStringLiteral(":/app/%1.svg").arg(QLatin1String(name)), {16, 24, 32});
}

const QIcon &markIcon(bool on)
{
    static const QIcon off = renderIcon("markOff");
    static const QIcon onIcon = renderIcon("markOn");
    return on ? onIcon : off;
}

QAction *addItem(QMenu *menu, const char *name, const QString &caption, const QIcon &icon = {})
{
    QAction *item = menu->addAction(icon, caption);
    item->setObjectName(QLatin1String(name));
    return item;
}

TrayController::State stateFor(LineState::State state)
{
    switch (state) {
    case LineState::Off:
        return TrayController::State::NotActive;
    case LineState::Monitoring:
        return TrayController::State::ActiveMonitor;
    case LineState::NewCall:
        return TrayController::State::NewCall;
    case LineState::Error:
    case LineState::NoDevice:
        break;
    }
    return TrayController::State::Error;
}

} // namespace

// The tray's texts share the controller's translation context.

TrayController::TrayController(Settings &settings, const LineState &line, NewCallIndicators &newCalls,
                               QWidget *parent)
    : QObject(parent), m_settings(settings), m_line(line), m_newCalls(newCalls)
{
    setObjectName(QStringLiteral("trayController"));
    m_blinkTimer = new QTimer(this);
    m_blinkTimer->setObjectName(QStringLiteral("TrayTimer"));
    m_blinkTimer->setInterval(kTrayInterval);
    connect(m_blinkTimer, &QTimer::timeout, this, &TrayController::blink);

    createMenu(parent);

    m_icon = new QSystemTrayIcon(this);
    m_icon->setObjectName(QStringLiteral("TrayIcon"));
    m_icon->setContextMenu(m_menu);
    connect(m_icon, &QSystemTrayIcon::activated, this, [this](QSystemTrayIcon::ActivationReason reason) {
        if (reason == QSystemTrayIcon::Trigger)
            emit iconClicked();
    });

    connect(&m_line, &LineState::stateChanged, this, &TrayController::paint);
    m_fallback = new TrayFallbackWindow(*this, m_line, m_newCalls);
    // The panel may come up after the program (autostart) or restart: the tray is watched for
    // the whole session, not only at start.
    auto *trayWatch = new QDBusServiceWatcher(
        QStringLiteral("org.kde.StatusNotifierWatcher"), QDBusConnection::sessionBus(),
        QDBusServiceWatcher::WatchForRegistration | QDBusServiceWatcher::WatchForUnregistration, this);
    connect(trayWatch, &QDBusServiceWatcher::serviceRegistered, this, [this] { trayHostChanged(true); });
    connect(trayWatch, &QDBusServiceWatcher::serviceUnregistered, this, [this] { trayHostChanged(false); });

    connect(&m_settings, &Settings::valueChanged, this, &TrayController::showSwitches);
    connect(&m_settings, &Settings::monitorCallsChanged, this, &TrayController::showSwitches);

    // On X11 Qt docks its icon whenever a tray manager (the panel) takes the tray, also one that
    // comes after the start, as long as the icon is shown; its xcb plugin announces the change
    // through its native interface, a QObject whose class is private to Qt.
    const bool xcb = QGuiApplication::platformName() == QLatin1String("xcb");
    if (xcb)
        connect(reinterpret_cast<QObject *>(QGuiApplication::platformNativeInterface()),
                SIGNAL(systemTrayWindowChanged(QScreen *)), this, SLOT(xembedTrayChanged()));

    paint();
    m_icon->setVisible(xcb || available());
}

TrayController::~TrayController()
{
    delete m_fallback;
}

void TrayController::createMenu(QWidget *owner)
{
    m_menu = new QMenu(owner);
    m_menu->setObjectName(QStringLiteral("pmTrayIcon"));
    m_addressbookItem = addItem(m_menu, "miAddressbook", tr("Adresar"),
                                renderIcon("menuAddressbook"));
    m_callsItem = addItem(m_menu, "miCalls", tr("Pozivi"),
                          renderIcon("menuCalls"));
    // Disabled until a main window is there to open.
    setWindowItemsEnabled(false);
    connect(m_addressbookItem, &QAction::triggered, this, [this] { emit pageRequested(0); });
    connect(m_callsItem, &QAction::triggered, this, [this] { emit pageRequested(1); });
    m_menu->addSeparator();
    m_monitorCallsItem =
        addSwitch("miMonitorCalls", tr("Prati pozive"));
    m_soundItem = addSwitch("miEnableSound", tr("Uključi zvuk"));
    m_doNotDisturbItem = addSwitch("miDoNotDisturb", tr("Ne smetaj!"));
    m_autoRejectItem = addSwitch("miAutoHangUp", tr("Odbij!"));
    connect(m_monitorCallsItem, &QAction::triggered, this, &TrayController::monitorCallsToggled);
    connect(m_soundItem, &QAction::triggered, this, &TrayController::soundToggled);
    connect(m_doNotDisturbItem, &QAction::triggered, this, &TrayController::doNotDisturbToggled);
    connect(m_autoRejectItem, &QAction::triggered, this, &TrayController::autoRejectToggled);
    // A click checks or unchecks the item by itself; a switch the click did not change (a rule
    // question answered No) must not stay shown as changed.
    for (QAction *item : {m_monitorCallsItem, m_soundItem, m_doNotDisturbItem, m_autoRejectItem})
        connect(item, &QAction::triggered, this, &TrayController::showSwitches);
    m_menu->addSeparator();
    QAction *options = addItem(m_menu, "miOptions", tr("Opcije"),
                               renderIcon("menuOptions"));
    QAction *about = addItem(m_menu, "miAbout", tr("O programu"),
                             renderIcon("menuAbout"));
    connect(options, &QAction::triggered, this, &TrayController::optionsRequested);
    connect(about, &QAction::triggered, this, &TrayController::aboutRequested);
    m_menu->addSeparator();
    QAction *close =
        addItem(m_menu, "miClose", tr("Zatvori Tellwise Monitor"),
                renderIcon("menuClose"));
    // Not quit(): that asks every window first, and a call window busy sliding out would refuse.
    connect(close, &QAction::triggered, this, [] { QCoreApplication::exit(0); });

    showSwitches();
}

void TrayController::setWindowItemsEnabled(bool enabled)
{
    m_addressbookItem->setEnabled(enabled);
    m_callsItem->setEnabled(enabled);
}

// --- Switches: tag 1 and the checked mark meaning on -------------------------------------------

QAction *TrayController::addSwitch(const char *name, const QString &caption)
{
    QAction *item = addItem(m_menu, name, caption);
    // Checkable, so that the state is told as "checked", not only drawn.
    item->setCheckable(true);
    showSwitch(item, false);
    return item;
}

void TrayController::showSwitch(QAction *item, bool on)
{
    item->setData(on ? 1 : 0);
    item->setChecked(on);
    item->setIcon(markIcon(on));
}

// Whoever changed a switch (the tray, the options window, a load of the stored settings), the
// items show it.
void TrayController::showSwitches()
{
    showSwitch(m_monitorCallsItem, m_settings.monitorCalls());
    m_monitorCallsItem->setEnabled(m_settings.monitorCallsEnabled());
    showSwitch(m_soundItem, m_settings.flag(Settings::EnableSound));
    showSwitch(m_doNotDisturbItem, m_settings.flag(Settings::DoNotDisturb));
    showSwitch(m_autoRejectItem, m_settings.flag(Settings::AutoReject));
}

// --- The icon ----------------------------------------------------------------------------------

QIcon TrayController::icon(State state)
{
    static const std::array<QIcon, 5> icons = [] {
        std::array<QIcon, 5> all;
        const char *names[] = {"trayNotActive", "trayActive", "trayActiveMonitor", "trayNewCall",
                               "trayError"};
        for (std::size_t i = 0; i < all.size(); ++i)
            all[i] = SvgIcon(QStringLiteral(":/app/%1.svg").arg(QLatin1String(names[i])),
                             {16, 22, 24, 32, 48, 64});
        return all;
    }();
    return icons[std::size_t(state)];
}

bool TrayController::available()
{
    return QSystemTrayIcon::isSystemTrayAvailable();
}

QRect TrayController::iconGeometry() const
{
    return m_icon->geometry();
}

void TrayController::paint()
{
    show(stateFor(m_line.state()));
}

void TrayController::show(State state)
{
    QString tip = QStringLiteral("Tellwise Monitor  (%1)").arg(LineState::statusWord(m_line.state()));
    m_state = state;
    m_icon->setIcon(icon(state));
    if (m_newCalls.count() > 0)
        tip += QLatin1Char('\n') + m_newCalls.text();
    m_newCalls.show();

    if (tip != m_toolTip) {
        m_toolTip = tip;
        m_icon->setToolTip(tip);
        if (m_lateTray)
            m_lateTray->setToolTip(tip);
    }
    emit stateChanged(state);
}

void TrayController::setBlinking(bool on)
{
    if (on)
        m_blinkTimer->start();
    else
        m_blinkTimer->stop();
}

void TrayController::blink()
{
    m_blinkFrame = !m_blinkFrame;
    if (m_blinkFrame) {
        show(State::Active);
        return;
    }
    emit blinkedBack();
    if (m_line.state() == LineState::Monitoring)
        m_blinkTimer->setInterval(kTrayInterval);
    else if (m_line.state() == LineState::NewCall)
        m_blinkTimer->setInterval(kTrayIntervalNewCalls);
    // Back from the blink frame even when the line's state stayed.
    paint();
}

// --- Where the tray is --------------------------------------------------------------------------

void TrayController::started()
{
    m_started = true;
    m_trayFromStart = available();
    if (!m_trayFromStart) {
        // Qt saw no tray, yet a watcher may be there already (Qt decides on its own terms).
        QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
        trayHostChanged(bus && bus->isServiceRegistered(QStringLiteral("org.kde.StatusNotifierWatcher")));
    }
}

void TrayController::trayHostChanged(bool present)
{
    if (!m_started || m_trayFromStart)
        return;
    if (!present) {
        m_lateTrayRegistered = false;
        if (!available())
            m_fallback->show();
        return;
    }
    if (!m_lateTray) {
        m_lateTray = new StatusNotifierItem(this);
        connect(m_lateTray, &StatusNotifierItem::activated, this, &TrayController::iconClicked);
        connect(m_lateTray, &StatusNotifierItem::contextMenuRequested, this,
                [this](const QPoint &position) { m_menu->popup(position); });
        m_lateTray->setMenu(m_menu);
        m_lateTray->setToolTip(m_toolTip);
        connect(this, &TrayController::stateChanged, m_lateTray,
                [this](State state) { m_lateTray->setIcon(icon(state)); });
        m_lateTray->setIcon(icon(m_state));
    }
    // A watcher that restarted forgets its items: each new one is told again.
    // Not offered (the bus refused): the window stays, the only way in.
    if (m_lateTray->registerWithWatcher()) {
        m_lateTrayRegistered = true;
        m_fallback->hide();
    }
}

void TrayController::xembedTrayChanged()
{
    // Before the start has decided, the start shows what is needed.
    if (!m_started)
        return;
    if (available())
        m_fallback->hide();
    else if (!m_lateTrayRegistered)
        m_fallback->show();
}
