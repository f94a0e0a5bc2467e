#include "TFlatPanel.h"

#include <QLinearGradient>
#include <QPainter>

TFlatPanel::TFlatPanel(QWidget *parent) : QWidget(parent) {}

void TFlatPanel::setColors(const QColor &border, const QColor &top, const QColor &bottom)
{
    m_border = border;
    m_top = top;
    m_bottom = bottom.isValid() ? bottom : top;
    update();
}

void TFlatPanel::setCornerRadius(int radius)
{
    m_radius = qMax(0, radius);
    update();
}

void TFlatPanel::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing, m_radius > 0);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0, m_top);
    fill.setColorAt(1, m_bottom);
    painter.setBrush(fill);
    painter.setPen(m_border);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.drawRoundedRect(frame, m_radius, m_radius);
}
