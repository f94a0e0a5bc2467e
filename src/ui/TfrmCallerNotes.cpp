#include "TfrmCallerNotes.h"

#include "WorkArea.h"

#include <QGroupBox>
#include <QPlainTextEdit>
#include <QPushButton>

TfrmCallerNotes::TfrmCallerNotes(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("frmCallerNotes"));
    setWindowTitle(tr("Napomena"));
    setFixedSize(311, 271);

    m_group = new QGroupBox(tr(" Napomena: "), this);
    m_group->setObjectName(QStringLiteral("gbNotes"));
    m_group->setGeometry(24, 12, 263, 211);

    memoNotes = new QPlainTextEdit(m_group);
    memoNotes->setObjectName(QStringLiteral("memoNotes"));
    memoNotes->setGeometry(7, 28, 249, 169);
    memoNotes->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    memoNotes->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    btnClose = new QPushButton(tr("Zatvori"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(118, 234, 75, 25);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
}

void TfrmCallerNotes::showNotes(const QString &caption, const QStringList &lines)
{
    setWindowTitle(caption);
    memoNotes->clear();
    memoNotes->setPlainText(lines.join(QLatin1Char('\n')));
    show();
    raise();
    activateWindow();
}

QString TfrmCallerNotes::notesText() const
{
    return memoNotes->toPlainText();
}

void TfrmCallerNotes::showEvent(QShowEvent *event)
{
    move(GetScreenAreas().screen.topLeft() + QPoint(10, 10));
    QWidget::showEvent(event);
}
