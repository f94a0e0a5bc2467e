#pragma once

#include <QColor>
#include <QWidget>

// A panel with a flat one-pixel border and a plain or two-colour fill, for grouping controls
// on skinned and plain windows alike.
class TFlatPanel : public QWidget
{
    Q_OBJECT

public:
    explicit TFlatPanel(QWidget *parent = nullptr);

    void setColors(const QColor &border, const QColor &top, const QColor &bottom = {});
    void setCornerRadius(int radius);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_border{0x9d, 0xb4, 0xcc};
    QColor m_top{0xf6, 0xf9, 0xfc};
    QColor m_bottom{0xdc, 0xe6, 0xf2};
    int m_radius = 0;
};
