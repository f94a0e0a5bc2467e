#pragma once

#include "AtInterpreter.h"

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
        QByteArray cidCommand;  // accept only this caller-ID command ("+VCID", "#CID", "%CCID")
        QByteArray profile;     // commands of the stored profile, run at start and by Z ("E1 V0")
        int resetPauseMs = 0;   // the first command, and every reset, is answered this much later
        bool utf8Names = false; // caller names in UTF-8 instead of Windows-1250
    };

    struct Call
    {
        QByteArray number;
        QString name;
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

    // Opens the pseudo-terminal; false with the reason when it or the stored profile fails.
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
    void runLine(const QByteArray &line);
    void finishPause();
    void answerEnds();
    void send(const QByteArray &bytes);
    QByteArray infoText(const QList<QByteArray> &lines) const;
    QByteArray resultText(ResultCode code) const;
    void respond(ResultCode code);
    void setOffHook(bool offHook);
    QByteArray nameBytes() const;
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
    AtInterpreter m_at;
    QByteArray m_lastLine; // for A/
    bool m_firstCommand = true;
    QList<QByteArray> m_waitingLines; // arrived while the modem was still resetting
    QByteArray m_pausedAnswer;
    QTimer m_pauseTimer;
    QTimer m_answerTimer; // ATA waits for a carrier that never comes
    bool m_offHook = false;
    bool m_muted = false;

    Call m_call;
    bool m_calling = false;
    bool m_cidSent = false;
    int m_ringsDone = 0;
    QTimer m_ringTimer;
    QTimer m_cidTimer;
};
