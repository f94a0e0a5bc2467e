#include "widgets/TLinkLabel.h"

#include <QMouseEvent>

TLinkLabel::TLinkLabel(const QString &text, std::function<void()> onClick, QWidget *parent)
    : QLabel(text, parent), m_onClick(std::move(onClick))
{
    setTextFormat(Qt::PlainText);
    setColour("#03609E");
}

void TLinkLabel::enterEvent(QEnterEvent *)
{
    if (text().isEmpty())
        return;
    m_hot = true;
    setColour("#FF6600");
    setCursor(Qt::PointingHandCursor);
}

void TLinkLabel::leaveEvent(QEvent *)
{
    m_hot = false;
    setColour("#03609E");
    unsetCursor();
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        !text().isEmpty() && m_onClick)
        m_onClick();
}

void TLinkLabel::setColour(const char *colour)
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, QColor(QLatin1String(colour)));
    setPalette(p);
}
