#pragma once

#include <QFrame>
#include <QString>

#include <vector>

class QLabel;

// A status bar of sunken text panels.
class TStatusPanels : public QFrame
{
    Q_OBJECT

public:
    explicit TStatusPanels(int panels, QWidget *parent = nullptr);

    QLabel *panel(int i) const { return m_panels[std::size_t(i)]; }
    QString text(int i) const;
    void setText(int i, const QString &text);

private:
    std::vector<QLabel *> m_panels;
};
