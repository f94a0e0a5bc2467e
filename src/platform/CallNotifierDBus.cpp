#include "platform/CallNotifier.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QVariantMap>

namespace {

const QString kService = QStringLiteral("org.freedesktop.Notifications");
const QString kPath = QStringLiteral("/org/freedesktop/Notifications");
const QString kInterface = QStringLiteral("org.freedesktop.Notifications");

const QString kReject = QStringLiteral("reject");
const QString kCalls = QStringLiteral("calls");
const QString kAdd = QStringLiteral("add-contact");

// The picture as the notification's raw image: width, height, row stride, alpha, bits per sample,
// channels, RGBA bytes.
QVariant imageData(const QImage &picture)
{
    const QImage image = picture.convertToFormat(QImage::Format_RGBA8888);
    QDBusArgument arg;
    arg.beginStructure();
    arg << image.width() << image.height() << int(image.bytesPerLine()) << true << 8 << 4
        << QByteArray(reinterpret_cast<const char *>(image.constBits()), image.sizeInBytes());
    arg.endStructure();
    return QVariant::fromValue(arg);
}

} // namespace

CallNotifier::CallNotifier(const QDBusConnection &bus, QObject *parent) : QObject(parent), m_bus(bus)
{
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("ActionInvoked"), this,
                  SLOT(onActionInvoked(uint, QString)));
    m_bus.connect(kService, kPath, kInterface, QStringLiteral("NotificationClosed"), this,
                  SLOT(onClosed(uint, uint)));
}

CallNotifier::~CallNotifier()
{
    callEnded();
}

void CallNotifier::showCall(const CallNotice &call)
{
    // A call that follows one still shown replaces it.
    callEnded();
    m_call = call;
    m_ringing = true;
    const quint64 serial = ++m_serial;

    // Desktops read the body as simple markup: the texts stay text ("< Sakriven >" is no tag).
    QStringList body{tr("Broj: %1").arg(call.number), tr("Pozvani broj: %1").arg(call.calledNumber)};
    if (call.blackListed)
        body << tr("Na crnoj listi!");
    if (!call.notes.isEmpty())
        body << call.notes;
    for (QString &line : body)
        line = line.toHtmlEscaped();
    QStringList actions{kCalls, tr("Pozivi")};
    if (call.rejectable)
        actions = QStringList{kReject, tr("Odbij")} + actions;
    if (call.addable)
        actions << kAdd << tr("Dodaj u adresar");
    QVariantMap hints{{QStringLiteral("urgency"), QVariant::fromValue(uchar(call.urgent ? 2 : 1))},
                      {QStringLiteral("desktop-entry"), QStringLiteral("tellwise-monitor")}};
    if (!call.picture.isNull())
        hints.insert(QStringLiteral("image-data"), imageData(call.picture));

    QDBusMessage notify =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    // Critical notifications stay until withdrawn; the call's end withdraws this one.
    notify << QStringLiteral("Tellwise Monitor") << uint(0) << QStringLiteral("call-start") << call.name
           << body.join(QLatin1Char('\n')) << actions << hints << int(call.urgent ? 0 : -1);
    auto *watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this, serial](QDBusPendingCallWatcher *w) { onNotified(w, serial); });
}

void CallNotifier::showNotice(const QString &summary, const QString &body)
{
    QDBusMessage notify =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("Notify"));
    const QVariantMap hints{{QStringLiteral("desktop-entry"), QStringLiteral("tellwise-monitor")}};
    notify << QStringLiteral("Tellwise Monitor") << uint(0) << QStringLiteral("tellwise-monitor") << summary
           << body.toHtmlEscaped() << QStringList() << hints << int(-1);
    // No notification service: the notice is a nicety, nothing waits for it.
    m_bus.asyncCall(notify);
}

void CallNotifier::onNotified(QDBusPendingCallWatcher *watcher, quint64 serial)
{
    watcher->deleteLater();
    const QDBusPendingReply<uint> reply = *watcher;
    // No notification service, or one that failed: the call windows carry the call alone.
    if (reply.isError())
        return;
    if (serial == m_serial && m_ringing)
        m_id = reply.value();
    else
        close(reply.value()); // the call ended before the notification came up
}

void CallNotifier::callEnded()
{
    m_ringing = false;
    if (m_id != 0)
        close(m_id);
    m_id = 0;
}

void CallNotifier::close(uint id)
{
    QDBusMessage message =
        QDBusMessage::createMethodCall(kService, kPath, kInterface, QStringLiteral("CloseNotification"));
    message << id;
    m_bus.asyncCall(message);
}

void CallNotifier::onActionInvoked(uint id, const QString &action)
{
    // Another program's notification, or an old call's.
    if (id == 0 || id != m_id)
        return;
    if (action == kReject) {
        if (m_ringing)
            emit rejectRequested();
    } else if (action == kCalls) {
        emit callsPageRequested();
    } else if (action == kAdd && m_call.addable) {
        emit addToAddressbookRequested(m_call.name, m_call.number);
    }
}

void CallNotifier::onClosed(uint id, uint reason)
{
    Q_UNUSED(reason);
    if (id != 0 && id == m_id)
        m_id = 0;
}
