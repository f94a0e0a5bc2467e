#pragma once

#include <QDBusConnection>
#include <QImage>
#include <QObject>
#include <QString>

class QDBusPendingCallWatcher;

// What a desktop notification of a call shows.
struct CallNotice
{
    QString name;
    QString number;
    QString calledNumber;
    QString notes;
    QImage picture;
    // A caller who is not in the address book and whose number is known: "Dodaj u adresar".
    bool addable = false;
    // The call window is shown: the notification is critical while the call rings.
    bool urgent = true;
    // The line can turn the caller away: "Odbij".
    bool rejectable = true;
    bool blackListed = false;
};

// Every call as a desktop notification through org.freedesktop.Notifications, beside the call
// windows. Every call goes out asynchronously: without a notification service nothing happens,
// nothing is reported and nothing waits. The notification is withdrawn when the call ends.
class CallNotifier : public QObject
{
    Q_OBJECT

public:
    explicit CallNotifier(const QDBusConnection &bus, QObject *parent = nullptr);
    ~CallNotifier() override;

    void showCall(const CallNotice &call);
    // A passing notice of the program's own, with no actions, that the desktop closes itself.
    void showNotice(const QString &summary, const QString &body);
    void callEnded();

    // The notification of the ringing call, or 0 while none is known.
    uint currentId() const { return m_id; }

signals:
    void rejectRequested();
    void callsPageRequested();
    void addToAddressbookRequested(const QString &name, const QString &number);

private slots:
    void onActionInvoked(uint id, const QString &action);
    void onClosed(uint id, uint reason);

private:
    void onNotified(QDBusPendingCallWatcher *watcher, quint64 serial);
    void close(uint id);

    QDBusConnection m_bus;
    // Counts the calls, so that a late answer to an older call's Notify withdraws it.
    quint64 m_serial = 0;
    bool m_ringing = false;
    uint m_id = 0;
    CallNotice m_call;
};
