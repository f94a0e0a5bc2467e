#pragma once

#include <QBasicTimer>
#include <QColor>
#include <QWidget>

// A one-line label whose text runs from right to left when it is wider than the label, so a
// long name or a long note can be read in a small window. A text that fits stands still.
// Every `speed` milliseconds the text moves `step` pixels; after the whole text has passed,
// it comes round again after a short gap.
class TRunningLabel : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString text READ text WRITE setText)

public:
    explicit TRunningLabel(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    int speed() const { return m_speed; }
    void setSpeed(int milliseconds);
    int step() const { return m_step; }
    void setStep(int pixels);

    void setTextColor(const QColor &color);

    // Switching it off stops the text at the start; switching it on lets it run again.
    bool isActive() const { return m_active; }
    void setActive(bool on);
    // Puts the text back at its start and lets it run.
    void restart();

    // True when the text is wider than the label and therefore runs.
    bool isRunning() const;
    // How far the text has moved to the left, in pixels.
    int offset() const { return m_offset; }

    // A clickable label keeps the mouse to itself and emits clicked(); otherwise presses go on
    // to the window below (a skin that drags its window, say).
    void setClickable(bool on) { m_clickable = on; }

    QSize sizeHint() const override;

signals:
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    int textWidth() const;
    int gap() const;
    void updateTimer();

    QString m_text;
    QColor m_color = Qt::black;
    QBasicTimer m_timer;
    int m_speed = 100;
    int m_step = 1;
    int m_offset = 0;
    bool m_active = true;
    bool m_clickable = false;
};
