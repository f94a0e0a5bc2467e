#include "THintWindow.h"

#include <QApplication>
#include <QHelpEvent>
#include <QPainter>
#include <QScreen>
#include <QTimerEvent>

namespace {

constexpr int kMargin = 4;
constexpr int kShowMs = 6000;

QPointer<THintWindow> g_hint;

// Catches tool tip events of every widget and answers them with the hint window.
class HintFilter : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!watched->isWidgetType())
            return false;
        if (event->type() == QEvent::Leave || event->type() == QEvent::MouseButtonPress) {
            if (g_hint && g_hint->owner() == watched)
                THintWindow::hideHint();
            return false;
        }
        if (event->type() != QEvent::ToolTip)
            return false;
        auto *widget = static_cast<QWidget *>(watched);
        const QString text = widget->toolTip();
        if (text.isEmpty()) {
            THintWindow::hideHint();
            return false;
        }
        THintWindow::showHint(static_cast<QHelpEvent *>(event)->globalPos(), text, widget);
        return true;
    }
};

} // namespace

THintWindow::THintWindow() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_DeleteOnClose);
    QFont hintFont = font();
    hintFont.setPointSize(8);
    setFont(hintFont);
}

void THintWindow::showHint(const QPoint &globalPos, const QString &text, QWidget *owner)
{
    if (!g_hint)
        g_hint = new THintWindow;
    g_hint->setText(text);
    g_hint->m_owner = owner;
    g_hint->resize(g_hint->sizeHint());
    QPoint pos = globalPos + QPoint(2, 18);
    // Keep the whole hint on the screen the pointer is on.
    const QScreen *screen = owner ? owner->screen() : QGuiApplication::screenAt(globalPos);
    if (screen) {
        const QRect area = screen->availableGeometry();
        pos.setX(qBound(area.left(), pos.x(), area.right() - g_hint->width() + 1));
        if (pos.y() + g_hint->height() > area.bottom() + 1)
            pos.setY(globalPos.y() - g_hint->height() - 4);
    }
    g_hint->move(pos);
    g_hint->show();
    g_hint->raise();
    g_hint->m_hideTimer.start(kShowMs, g_hint);
}

void THintWindow::hideHint()
{
    if (g_hint)
        g_hint->close();
}

THintWindow *THintWindow::current()
{
    return g_hint && g_hint->isVisible() ? g_hint.data() : nullptr;
}

void THintWindow::install()
{
    static HintFilter *filter = nullptr;
    if (!filter && qApp) {
        filter = new HintFilter(qApp);
        qApp->installEventFilter(filter);
    }
}

void THintWindow::setText(const QString &text)
{
    m_text = text;
    update();
}

QSize THintWindow::sizeHint() const
{
    const QRect bounds = fontMetrics().boundingRect(QRect(0, 0, 320, 2000), Qt::TextWordWrap, m_text);
    return bounds.size() + QSize(2 * kMargin + 2, 2 * kMargin);
}

void THintWindow::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(0xff, 0xfb, 0xd6));
    painter.setPen(QColor(0x76, 0x6a, 0x2e));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.setPen(Qt::black);
    painter.drawText(rect().adjusted(kMargin + 1, kMargin, -kMargin, -kMargin), Qt::TextWordWrap, m_text);
}

void THintWindow::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_hideTimer.timerId())
        close();
    else
        QWidget::timerEvent(event);
}

void THintWindow::mousePressEvent(QMouseEvent *)
{
    close();
}
