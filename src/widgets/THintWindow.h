#pragma once

#include <QBasicTimer>
#include <QPointer>
#include <QWidget>

// The program's hint (tool tip): a small flat yellow box drawn by ourselves, so hints look
// the same on the skinned windows whatever the desktop's style. install() makes every
// widget's tool tip show through it.
class THintWindow : public QWidget
{
    Q_OBJECT

public:
    // Shows TEXT just below and right of GLOBALPOS; hides itself after a while.
    static void showHint(const QPoint &globalPos, const QString &text, QWidget *owner = nullptr);
    static void hideHint();
    // The hint being shown, or null.
    static THintWindow *current();

    // Makes the application's tool tip events show this hint window instead of the style's.
    static void install();

    QString text() const { return m_text; }
    QWidget *owner() const { return m_owner; }
    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;

private:
    THintWindow();
    void setText(const QString &text);

    QString m_text;
    QPointer<QWidget> m_owner;
    QBasicTimer m_hideTimer;
};
