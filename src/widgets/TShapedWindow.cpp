#include "TShapedWindow.h"

#include <QApplication>
#include <QBitmap>
#include <QMouseEvent>
#include <QPainter>
#include <QWindow>

TShapedWindow::TShapedWindow(QWidget *parent) : QWidget(parent) {}

bool TShapedWindow::onNativeWayland()
{
    return QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

QRegion TShapedWindow::shapeOf(const QImage &picture)
{
    if (picture.isNull())
        return {};
    // A set bit in the alpha mask is an opaque pixel; the threshold keeps the anti-aliased
    // rim's inner half, which keeps the outline smooth without a fringe of half-drawn pixels.
    const QImage mask = picture.createAlphaMask(Qt::ThresholdAlphaDither | Qt::ThresholdDither);
    return QRegion(QBitmap::fromImage(mask));
}

void TShapedWindow::setSkin(const QImage &skin)
{
    m_skin = skin;
    resize(skin.size());
    QWidget *top = window();
    if (onNativeWayland()) {
        // Set before the window is shown: the compositor blends the skin's transparent corners,
        // so no rim colour may fill them.
        top->setAutoFillBackground(false);
        top->setAttribute(Qt::WA_TranslucentBackground);
        update();
        return;
    }
    top->setMask(shapeOf(skin).translated(top == this ? QPoint(0, 0) : mapTo(top, QPoint(0, 0))));
    update();
}

void TShapedWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_skin);
}

void TShapedWindow::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_pressed = true;
    m_moved = false;
    m_pressGlobal = event->globalPosition().toPoint();
    m_windowAtPress = window()->pos();
    // Let the window manager move the window, as a title bar would; where it cannot (no
    // window manager, offscreen) the mouse moves below do it.
    if (m_drags && window()->windowHandle() && window()->windowHandle()->startSystemMove()) {
        m_pressed = false;
        m_moved = true;
    }
}

void TShapedWindow::mouseMoveEvent(QMouseEvent *event)
{
    if (!m_pressed || !(event->buttons() & Qt::LeftButton))
        return;
    const QPoint delta = event->globalPosition().toPoint() - m_pressGlobal;
    if (!m_moved && delta.manhattanLength() < QApplication::startDragDistance())
        return;
    m_moved = true;
    if (m_drags)
        window()->move(m_windowAtPress + delta);
}

void TShapedWindow::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    const bool click = m_pressed && !m_moved;
    m_pressed = false;
    if (click)
        emit clicked();
}
