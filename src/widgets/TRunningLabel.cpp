#include "TRunningLabel.h"

#include <QMouseEvent>
#include <QPainter>

TRunningLabel::TRunningLabel(QWidget *parent) : QWidget(parent) {}

void TRunningLabel::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    m_offset = 0;
    updateTimer();
    update();
}

void TRunningLabel::setSpeed(int milliseconds)
{
    m_speed = qMax(1, milliseconds);
    if (m_timer.isActive())
        m_timer.start(m_speed, this);
}

void TRunningLabel::setStep(int pixels)
{
    m_step = qMax(1, pixels);
}

void TRunningLabel::setTextColor(const QColor &color)
{
    m_color = color;
    update();
}

void TRunningLabel::setActive(bool on)
{
    if (on == m_active)
        return;
    m_active = on;
    if (!on)
        m_offset = 0;
    updateTimer();
    update();
}

void TRunningLabel::restart()
{
    setActive(false);
    setActive(true);
}

bool TRunningLabel::isRunning() const
{
    return m_timer.isActive();
}

QSize TRunningLabel::sizeHint() const
{
    return {textWidth(), fontMetrics().height()};
}

int TRunningLabel::textWidth() const
{
    return fontMetrics().horizontalAdvance(m_text);
}

int TRunningLabel::gap() const
{
    return qMax(24, width() / 3);
}

void TRunningLabel::updateTimer()
{
    const bool run = m_active && isVisible() && textWidth() > width();
    if (run && !m_timer.isActive())
        m_timer.start(m_speed, this);
    else if (!run) {
        m_timer.stop();
        if (textWidth() <= width())
            m_offset = 0;
    }
}

void TRunningLabel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setPen(m_color);
    painter.setFont(font());
    const QFontMetrics metrics = fontMetrics();
    const int baseline = (height() - metrics.height()) / 2 + metrics.ascent();
    painter.drawText(-m_offset, baseline, m_text);
    const int period = textWidth() + gap();
    if (m_offset > 0 && period - m_offset < width())
        painter.drawText(period - m_offset, baseline, m_text);
}

void TRunningLabel::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QWidget::timerEvent(event);
        return;
    }
    m_offset += m_step;
    if (m_offset >= textWidth() + gap())
        m_offset = 0;
    update();
}

void TRunningLabel::mousePressEvent(QMouseEvent *event)
{
    if (m_clickable && event->button() == Qt::LeftButton)
        event->accept();
    else
        QWidget::mousePressEvent(event);
}

void TRunningLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (!m_clickable) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        emit clicked();
}

void TRunningLabel::showEvent(QShowEvent *event)
{
    updateTimer();
    QWidget::showEvent(event);
}

void TRunningLabel::hideEvent(QHideEvent *event)
{
    updateTimer();
    QWidget::hideEvent(event);
}

void TRunningLabel::resizeEvent(QResizeEvent *event)
{
    updateTimer();
    QWidget::resizeEvent(event);
}

void TRunningLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange)
        updateTimer();
    QWidget::changeEvent(event);
}
