#include "TBitmapButton.h"

#include "Skin.h"

#include <QPainter>

static QPixmap shifted(const QPixmap &up)
{
    QPixmap result(up.size());
    result.fill(Qt::transparent);
    QPainter painter(&result);
    painter.drawPixmap(1, 1, up);
    return result;
}

static QPixmap greyed(const QPixmap &up)
{
    QImage image = up.toImage().convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(line[x]) / 2 + 96;
            line[x] = qRgba(grey, grey, grey, qAlpha(line[x]));
        }
    }
    return QPixmap::fromImage(image);
}

TBitmapButton::TBitmapButton(QWidget *parent) : QAbstractButton(parent)
{
    setCursor(Qt::PointingHandCursor);
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_Hover);
}

void TBitmapButton::setFaces(const QPixmap &up, const QPixmap &down, const QPixmap &hot,
                             const QPixmap &disabled)
{
    m_up = up;
    m_down = down.isNull() ? shifted(up) : down;
    m_hot = hot.isNull() ? up : hot;
    m_disabled = disabled.isNull() ? greyed(up) : disabled;
    updateGeometry();
    update();
}

void TBitmapButton::setSkinFaces(const QString &name)
{
    setFaces(skin::pixmap(name), skin::pixmap(name + QStringLiteral("Down")),
             skin::pixmap(name + QStringLiteral("Hot")), skin::pixmap(name + QStringLiteral("Disabled")));
}

QPixmap TBitmapButton::face(Face which) const
{
    switch (which) {
    case Face::Up:
        return m_up;
    case Face::Down:
        return m_down;
    case Face::Hot:
        return m_hot;
    case Face::Disabled:
        return m_disabled;
    }
    return m_up;
}

TBitmapButton::Face TBitmapButton::currentFace() const
{
    if (!isEnabled())
        return Face::Disabled;
    if (isDown() || isChecked())
        return Face::Down;
    if (m_hover)
        return Face::Hot;
    return Face::Up;
}

QSize TBitmapButton::sizeHint() const
{
    return m_up.isNull() ? QSize(16, 16) : m_up.size();
}

void TBitmapButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QPixmap picture = face(currentFace());
    painter.drawPixmap((width() - picture.width()) / 2, (height() - picture.height()) / 2, picture);
}

void TBitmapButton::enterEvent(QEnterEvent *event)
{
    m_hover = true;
    update();
    QAbstractButton::enterEvent(event);
}

void TBitmapButton::leaveEvent(QEvent *event)
{
    m_hover = false;
    update();
    QAbstractButton::leaveEvent(event);
}
