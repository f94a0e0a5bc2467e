#pragma once

#include <QBasicTimer>
#include <QList>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QWidget>

#include <functional>

// Sliding a window in and out of view, a whole number of pixels per frame.
namespace slide {

// A slide that slows down: the first step is the smallest s for which 1 + 2 + ... + (s - 1)
// covers the distance, and every later step is one pixel shorter. The positions after each
// step; a step past the target ends on the target. Empty when START is at or past TARGET.
QList<int> decelerate(int start, int target);

// A slide that speeds up: steps of 1, 2, 3, ... pixels toward LIMIT (up when LIMIT is below
// START) for as long as the position has not reached it; the last step may pass it.
QList<int> accelerate(int start, int limit);

} // namespace slide

// Plays a slide on a window: moves it through the frames, repainting after each move, then
// runs the finishing action. A new slide on the same player first completes the old one.
class TWindowSlide : public QObject
{
    Q_OBJECT

public:
    explicit TWindowSlide(QObject *parent = nullptr);
    ~TWindowSlide() override;

    void play(QWidget *window, const QList<QPoint> &frames, std::function<void()> done = {});
    bool isPlaying() const { return m_timer.isActive(); }
    // Jumps to the last frame and runs the finishing action now.
    void finish();

    // Pause between frames for every player. 0 plays the whole slide at once, inside play().
    static int frameInterval();
    static void setFrameInterval(int milliseconds);

    // The frames of the slide last started, for checking where a window travelled.
    QList<QPoint> lastFrames() const { return m_lastFrames; }

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    void showFrame(const QPoint &position);

    QBasicTimer m_timer;
    QPointer<QWidget> m_window;
    QList<QPoint> m_frames;
    QList<QPoint> m_lastFrames;
    qsizetype m_next = 0;
    std::function<void()> m_done;
};
