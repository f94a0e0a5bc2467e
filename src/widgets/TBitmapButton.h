#pragma once

#include <QAbstractButton>
#include <QPixmap>

// A push button drawn entirely from pictures: one each for up, down (pressed), mouse-over
// and disabled. A missing down picture is the up picture moved one pixel down and right; a
// missing disabled picture is the up picture in grey; a missing mouse-over picture is the up
// picture.
class TBitmapButton : public QAbstractButton
{
    Q_OBJECT

public:
    enum class Face
    {
        Up,
        Down,
        Hot,
        Disabled
    };

    explicit TBitmapButton(QWidget *parent = nullptr);

    void setFaces(const QPixmap &up, const QPixmap &down = {}, const QPixmap &hot = {},
                  const QPixmap &disabled = {});
    // Faces from the skin: NAME, NAME + "Down", NAME + "Hot", NAME + "Disabled".
    void setSkinFaces(const QString &name);

    QPixmap face(Face which) const;
    // The face the button shows in its present state.
    Face currentFace() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QPixmap m_up;
    QPixmap m_down;
    QPixmap m_hot;
    QPixmap m_disabled;
    bool m_hover = false;
};
