#pragma once

#include <QObject>
#include <QString>

#include <memory>

class KeyboardLight;
class QTimer;

// The signs of calls the user has not seen yet: their count and its text, the main window's
// blinking calls indicator and the flashing Scroll Lock light.
class NewCallIndicators : public QObject
{
    Q_OBJECT

public:
    explicit NewCallIndicators(QObject *parent = nullptr);
    ~NewCallIndicators() override;

    int count() const { return m_count; }
    void setCount(int count) { m_count = count; }
    // "Imaš 3 nova poziva!", or "Nemaš novih poziva!" without new calls.
    QString text() const;
    static QString text(int count);

    void startScrollLockFlashing();
    // The calls indicator blinks exactly while there are new calls; without them the Scroll
    // Lock light stops too. Tells the new-calls text.
    void show();

signals:
    void textChanged(const QString &text);
    // 0 still, 1 and 2 the blink's two frames.
    void callsIndicatorChanged(int phase);

private:
    void blinkCalls();
    void flashScrollLock();

    int m_count = 0;
    int m_callsPhase = 0;
    bool m_scrollLockLit = false;
    QTimer *m_callsBlink = nullptr;
    QTimer *m_scrollLockFlash = nullptr;
    std::unique_ptr<KeyboardLight> m_keyboardLight;
};
