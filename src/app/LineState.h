#pragma once

#include <QObject>
#include <QString>

// What the call line is doing. The controller decides it from the chosen device and the call
// source; the tray, its stand-in window and the main window's status strip show it.
class LineState : public QObject
{
    Q_OBJECT

public:
    enum State
    {
        Off,
        Monitoring,
        NewCall, // monitoring, with calls the user has not seen yet
        Error,
        NoDevice
    };
    Q_ENUM(State)

    using QObject::QObject;

    State state() const { return m_state; }
    void setState(State state);

    // The line is watched: monitoring, with or without new calls.
    bool connected() const { return m_state == Monitoring || m_state == NewCall; }
    // "Neaktivan", "Pratim pozive" or "Greška"; a missing device is an error to the user.
    static QString statusWord(State state);
    // "Status:  <word>!"
    QString statusText() const;

signals:
    void stateChanged(LineState::State state);

private:
    State m_state = Off;
};
