#include "TWindowSlide.h"
#include "TShapedWindow.h"

#include <QTimerEvent>

namespace slide {

QList<int> decelerate(int start, int target)
{
    QList<int> positions;
    int s = 1;
    for (int v = target; v > start; v -= s, ++s) {
    }
    int position = start;
    while (position < target && s > 0) {
        position += s;
        --s;
        positions.append(qMin(position, target));
    }
    return positions;
}

QList<int> accelerate(int start, int limit)
{
    QList<int> positions;
    const int direction = limit >= start ? 1 : -1;
    int position = start;
    for (int s = 1; direction > 0 ? position < limit : position > limit; ++s) {
        position += direction * s;
        positions.append(position);
    }
    return positions;
}

} // namespace slide

namespace {
int g_frameInterval = 10;
}

TWindowSlide::TWindowSlide(QObject *parent) : QObject(parent) {}

TWindowSlide::~TWindowSlide()
{
    m_timer.stop();
}

int TWindowSlide::frameInterval()
{
    return g_frameInterval;
}

void TWindowSlide::setFrameInterval(int milliseconds)
{
    g_frameInterval = qMax(0, milliseconds);
}

void TWindowSlide::play(QWidget *window, const QList<QPoint> &frames, std::function<void()> done)
{
    finish();
    m_window = window;
    m_frames = frames;
    m_lastFrames = frames;
    m_next = 0;
    m_done = std::move(done);
    // A Wayland window cannot move itself: the slide ends where it would have ended.
    if (g_frameInterval == 0 || frames.isEmpty() || TShapedWindow::onNativeWayland()) {
        finish();
        return;
    }
    m_timer.start(g_frameInterval, this);
}

void TWindowSlide::finish()
{
    m_timer.stop();
    if (m_next < m_frames.size())
        showFrame(m_frames.constLast());
    m_frames.clear();
    m_next = 0;
    if (auto done = std::exchange(m_done, {}))
        done();
}

void TWindowSlide::showFrame(const QPoint &position)
{
    if (!m_window)
        return;
    m_window->move(position);
    if (m_window->isVisible())
        m_window->repaint();
}

void TWindowSlide::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    if (m_next < m_frames.size())
        showFrame(m_frames.at(m_next++));
    if (m_next >= m_frames.size())
        finish();
}
