#include "SimHost.h"

SimHost::SimHost()
{
    m_thread.setObjectName(QStringLiteral("isdn-sim"));
}

SimHost::~SimHost()
{
    if (m_anchor)
        QMetaObject::invokeMethod(
            m_anchor,
            [this] {
                delete m_sim;
                delete m_anchor;
            },
            Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

bool SimHost::start(int controllers, quint16 port)
{
    m_thread.start();
    m_anchor = new QObject;
    m_anchor->moveToThread(&m_thread);
    bool ok = false;
    QMetaObject::invokeMethod(
        m_anchor,
        [&] {
            m_sim = new IsdnSimulator(controllers);
            ok = m_sim->listen(port);
            m_port = m_sim->port();
        },
        Qt::BlockingQueuedConnection);
    return ok;
}

void SimHost::run(const std::function<void(IsdnSimulator &)> &action)
{
    QMetaObject::invokeMethod(
        m_sim, [&] { action(*m_sim); }, Qt::BlockingQueuedConnection);
}

uint32_t SimHost::offerCall(const SimCallOffer &offer, QString *error)
{
    uint32_t plci = 0;
    run([&](IsdnSimulator &s) { plci = s.offerCall(offer, error); });
    return plci;
}

bool SimHost::hangUp(uint32_t plci, uint16_t reason)
{
    bool ok = false;
    run([&](IsdnSimulator &s) { ok = s.hangUp(plci, reason); });
    return ok;
}
