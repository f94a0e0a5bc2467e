#include "app/TrayFallbackWindow.h"

#include "app/LineState.h"
#include "app/NewCallIndicators.h"
#include "app/TrayController.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QToolButton>
#include <QVBoxLayout>

TrayFallbackWindow::TrayFallbackWindow(TrayController &tray, const LineState &line,
                                       NewCallIndicators &newCalls)
    : QWidget(nullptr,
              Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::WindowMinimizeButtonHint)
{
    setObjectName(QStringLiteral("frmTrayFallback"));
    setWindowTitle(QStringLiteral("Tellwise Monitor"));
    setAttribute(Qt::WA_QuitOnClose, false);

    m_icon = new QLabel;
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("lblStatus"));
    m_calls = new QLabel;
    m_calls->setObjectName(QStringLiteral("lblNewCalls"));
    auto *note = new QLabel(tr("Radna površina nema područje obavijesti, pa je program dostupan\n"
                               "kroz ovaj prozor. Zatvaranje prozora zatvara program."));
    note->setObjectName(QStringLiteral("lblNoTray"));
    note->setEnabled(false);

    m_menuButton = new QToolButton;
    m_menuButton->setObjectName(QStringLiteral("btnMenu"));
    m_menuButton->setText(tr("Izbornik"));
    m_menuButton->setMenu(tray.menu());
    m_menuButton->setPopupMode(QToolButton::InstantPopup);

    auto *texts = new QVBoxLayout;
    texts->addWidget(m_status);
    texts->addWidget(m_calls);
    auto *top = new QHBoxLayout;
    top->addWidget(m_icon);
    top->addLayout(texts, 1);
    top->addWidget(m_menuButton, 0, Qt::AlignTop);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(note);

    // The tray's picture, blink frames included; the line's state in words.
    connect(&tray, &TrayController::stateChanged, this,
            [this](TrayController::State state) { showState(int(state)); });
    connect(&line, &LineState::stateChanged, m_status,
            [this, &line] { m_status->setText(line.statusText()); });
    connect(&newCalls, &NewCallIndicators::textChanged, m_calls, &QLabel::setText);
    showState(int(tray.state()));
    m_status->setText(line.statusText());
}

QString TrayFallbackWindow::statusText() const
{
    return m_status->text();
}

QString TrayFallbackWindow::callsText() const
{
    return m_calls->text();
}

void TrayFallbackWindow::showState(int state)
{
    const auto trayState = TrayController::State(state);
    m_icon->setPixmap(TrayController::icon(trayState).pixmap(32, 32));
    setWindowIcon(TrayController::icon(trayState));
}

void TrayFallbackWindow::closeEvent(QCloseEvent *event)
{
    event->accept();
    // Not quit(): that asks every window first, and a call window busy sliding out would refuse.
    QCoreApplication::exit(0);
}
