#pragma once

#include "IsdnSimulator.h"

#include <QThread>

#include <functional>
#include <memory>

// Runs a simulator in a thread of its own, so that a program in the same process can make the
// library's blocking calls (register, profile) against it.
class SimHost
{
public:
    SimHost();
    ~SimHost();

    bool start(int controllers = 1, quint16 port = 0);
    quint16 port() const { return m_port; }
    // Thread-safe queries may be made on it directly; everything else goes through run().
    IsdnSimulator *sim() const { return m_sim; }
    void run(const std::function<void(IsdnSimulator &)> &action);

    uint32_t offerCall(const SimCallOffer &offer, QString *error = nullptr);
    bool hangUp(uint32_t plci = 0, uint16_t reason = 0x3490);

private:
    QThread m_thread;
    QObject *m_anchor = nullptr; // lives in m_thread
    IsdnSimulator *m_sim = nullptr;
    quint16 m_port = 0;
};
