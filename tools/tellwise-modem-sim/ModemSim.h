#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QTimer>

class QSocketNotifier;

// A caller-ID modem on a pseudo-terminal: answers AT commands like a Hayes modem and plays
// incoming calls (RING and caller records) on request.
class ModemSim : public QObject
{
    Q_OBJECT
public:
    struct Options
    {
        int ringPeriodMs = 5000; // one ring every period, as a telephone line rings
        int rings = 6;           // rings before the caller gives up
        QByteArray info = "Tellwise Modem Emulator 1.0";
        QByteArray cidCommand; // accept only this caller-ID command ("+VCID", "#CID", "%CCID")
    };

    struct Call
    {
        QByteArray number;
        QByteArray name;
        enum Kind
        {
            Normal,
            Private,
            OutOfArea
        } kind = Normal;
        bool cidFirst = false;
        bool compact = false; // "NMBR=..." instead of "NMBR = ..."
        int rings = 0;        // 0: the default
    };

    explicit ModemSim(const Options &options, QObject *parent = nullptr);
    ~ModemSim() override;

    bool open(QString *error);
    QString ptyPath() const { return m_ptyPath; }

    // Runs one control command (from standard input or the control socket) and says how it went:
    // "OK" or "ERROR: reason".
    QString execute(const QString &commandLine);

signals:
    // A command line the program on the other side sent to the modem.
    void commandReceived(const QByteArray &command);
    void note(const QString &text);

private:
    void readMaster();
    void handleCommand(const QByteArray &line);
    QByteArray runAt(const QByteArray &body);
    void send(const QByteArray &bytes);
    void respond(const QByteArray &result);
    void startCall(const Call &call);
    void ringOnce();
    void sendCallerId();
    void callerHangsUp();

    Options m_options;
    int m_master = -1;
    int m_slave = -1;
    QString m_ptyPath;
    QSocketNotifier *m_notifier = nullptr;
    QByteArray m_input;
    bool m_echo = true;
    bool m_callerIdOn = false;
    bool m_offHook = false;
    bool m_muted = false;

    Call m_call;
    bool m_calling = false;
    bool m_cidSent = false;
    int m_ringsDone = 0;
    QTimer m_ringTimer;
    QTimer m_cidTimer;
};
