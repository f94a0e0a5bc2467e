#include "ui/TStatusPanels.h"

#include <QHBoxLayout>
#include <QLabel>

TStatusPanels::TStatusPanels(int panels, QWidget *parent) : QFrame(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 2, 0, 0);
    layout->setSpacing(2);
    for (int i = 0; i < panels; ++i) {
        auto *label = new QLabel(this);
        label->setObjectName(QStringLiteral("panel%1").arg(i));
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(20);
        layout->addWidget(label, 1);
        m_panels.push_back(label);
    }
}

QString TStatusPanels::text(int i) const
{
    return m_panels[std::size_t(i)]->text();
}

void TStatusPanels::setText(int i, const QString &text)
{
    m_panels[std::size_t(i)]->setText(text);
}
