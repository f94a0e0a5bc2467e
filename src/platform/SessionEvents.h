#pragma once

#include <QObject>
#include <QString>

class QSocketNotifier;

// The desktop session telling the program to end: a termination signal (SIGTERM, SIGHUP) sent
// by the session manager or the system at log-off or shutdown, and the system going to sleep
// (logind's PrepareForSleep). Both arrive as Qt signals on the thread that owns this object.
// Only one SessionEvents may exist at a time; it takes over the two signals while it lives.
class SessionEvents : public QObject
{
    Q_OBJECT

public:
    explicit SessionEvents(QObject *parent = nullptr);
    ~SessionEvents() override;

    // Listens for logind's sleep announcement on the system bus, or on the bus at busAddress
    // when one is given. False when there is no such bus or D-Bus support is not built in.
    bool watchSleep(const QString &busAddress = {});

signals:
    // The session or the system is ending the program.
    void sessionEnding(int signalNumber);
    // The system is about to suspend or hibernate.
    void suspending();

private slots:
    void readSignal();
    void prepareForSleep(bool start);

private:
    QSocketNotifier *m_notifier = nullptr;
};
