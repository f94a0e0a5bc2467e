#include "app/NewCallIndicators.h"
#include "platform/KeyboardLight.h"

#include <QGuiApplication>
#include <QTimer>

namespace {

constexpr int kBlinkInterval = 750;

} // namespace

NewCallIndicators::NewCallIndicators(QObject *parent) : QObject(parent)
{
    setObjectName(QStringLiteral("newCallIndicators"));
    m_callsBlink = new QTimer(this);
    m_callsBlink->setObjectName(QStringLiteral("timerCalls"));
    m_callsBlink->setInterval(kBlinkInterval);
    connect(m_callsBlink, &QTimer::timeout, this, &NewCallIndicators::blinkCalls);
    m_scrollLockFlash = new QTimer(this);
    m_scrollLockFlash->setObjectName(QStringLiteral("timerScrlFlash"));
    m_scrollLockFlash->setInterval(kBlinkInterval);
    connect(m_scrollLockFlash, &QTimer::timeout, this, &NewCallIndicators::flashScrollLock);
}

NewCallIndicators::~NewCallIndicators() = default;

// The texts are translated with the tray's, whose tool tip shows them too.

QString NewCallIndicators::text() const
{
    return m_count > 0 ? text(m_count) : tr("Nemaš novih poziva!");
}

QString NewCallIndicators::text(int count)
{
    // Croatian counts: 1, 21, 31, 101 … "novi poziv"; 2–4, 22–24 … "nova poziva"; every other
    // count, 11–14 among them, "novih poziva".
    const int last = count % 10;
    const int lastTwo = count % 100;
    // The count goes along so that a language whose singular is only for one (English) can pick
    // its plural for 21, 31 and the like.
    if (last == 1 && lastTwo != 11)
        return tr("Imaš %1 novi poziv!", nullptr, count).arg(count);
    if (last >= 2 && last <= 4 && (lastTwo < 12 || lastTwo > 14))
        return tr("Imaš %1 nova poziva!").arg(count);
    return tr("Imaš %1 novih poziva!").arg(count);
}

void NewCallIndicators::startScrollLockFlashing()
{
    if (!m_scrollLockFlash->isActive())
        m_scrollLockFlash->start();
}

void NewCallIndicators::show()
{
    if (m_count > 0) {
        if (!m_callsBlink->isActive())
            m_callsBlink->start();
    } else {
        m_callsBlink->stop();
        m_callsPhase = 0;
        emit callsIndicatorChanged(m_callsPhase);
        m_scrollLockFlash->stop();
        // The light must not stay lit where the flashing stopped.
        if (m_scrollLockLit) {
            m_scrollLockLit = false;
            if (m_keyboardLight)
                m_keyboardLight->setScrollLock(false);
        }
    }
    emit textChanged(text());
}

void NewCallIndicators::blinkCalls()
{
    m_callsPhase = m_callsPhase == 1 ? 2 : 1;
    emit callsIndicatorChanged(m_callsPhase);
}

void NewCallIndicators::flashScrollLock()
{
    // Opened on first use: without an X keyboard every call does nothing, and off X11 proper
    // the light is left alone.
    if (!KeyboardLight::drivenOn(QGuiApplication::platformName()))
        return;
    if (!m_keyboardLight)
        m_keyboardLight = std::make_unique<KeyboardLight>();
    m_scrollLockLit = !m_scrollLockLit;
    m_keyboardLight->setScrollLock(m_scrollLockLit);
}
