#pragma once

#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QWidget>

// The skin of a borderless window: it paints its picture and gives its top-level window the
// shape of the picture's opaque pixels, so the window is exactly as wide as what is drawn. On
// native Wayland, where a mask only limits clicks, the window is translucent instead.
// With dragging on, the left mouse button moves the window by any point of its skin.
class TShapedWindow : public QWidget
{
    Q_OBJECT

public:
    explicit TShapedWindow(QWidget *parent = nullptr);

    // Sets the picture, resizes the widget to it and shapes the top-level window.
    void setSkin(const QImage &skin);
    QImage skin() const { return m_skin; }

    void setDragsWindow(bool on) { m_drags = on; }

    // Qt draws on a Wayland compositor of its own: a window can neither place nor shape itself
    // there, so skins are drawn on a translucent window and slides are skipped.
    static bool onNativeWayland();

    // The pixels that belong to the picture: those at least half opaque.
    static QRegion shapeOf(const QImage &picture);

signals:
    // A left click that did not move the window.
    void clicked();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    QImage m_skin;
    QPoint m_pressGlobal;
    QPoint m_windowAtPress;
    bool m_pressed = false;
    bool m_moved = false;
    bool m_drags = false;
};
