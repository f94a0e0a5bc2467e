#pragma once

#include <QJsonObject>
#include <QObject>
#include <QString>

class IsdnSimulator;
class QLocalServer;
class QLocalSocket;

// The simulator's control socket: a local socket owned by the user (mode 0600), one JSON object
// per line in each direction. tellwise-cli's isdn-call and isdn-hangup speak it.
class SimControl : public QObject
{
    Q_OBJECT
public:
    SimControl(IsdnSimulator *sim, QObject *parent = nullptr);
    ~SimControl() override;

    bool listen(const QString &path, QString *error = nullptr);
    QString path() const { return m_path; }

    // $XDG_RUNTIME_DIR/tellwise-isdn-sim.sock (or a per-user name in the temporary folder).
    static QString defaultPath();

private:
    void serve(QLocalSocket *socket);
    void handle(QLocalSocket *socket, const QJsonObject &request);
    void waitForCall(QLocalSocket *socket, uint32_t plci, int timeoutMs);
    QStringList linesFor(uint32_t plci) const;

    IsdnSimulator *m_sim;
    QLocalServer *m_server;
    QString m_path;
};

// The client side, used by tellwise-cli and tests: sends one request and returns the answer
// (an object with "ok" false and an "error" when the simulator cannot be reached).
QJsonObject SimControlRequest(const QString &path, const QJsonObject &request, int timeoutMs);
