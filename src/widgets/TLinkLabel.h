#pragma once

#include <QLabel>

#include <functional>

// A label that behaves like a web link: #03609E, turning #FF6600 with a hand cursor while the
// mouse is over it. A click calls the handler; an empty label is no link.
class TLinkLabel : public QLabel
{
    Q_OBJECT

public:
    explicit TLinkLabel(const QString &text = {}, std::function<void()> onClick = {},
                        QWidget *parent = nullptr);

    void setOnClick(std::function<void()> onClick) { m_onClick = std::move(onClick); }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void setColour(const char *colour);

    std::function<void()> m_onClick;
    bool m_hot = false;
};
