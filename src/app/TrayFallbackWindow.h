#pragma once

#include <QWidget>

class QLabel;
class QToolButton;
class LineState;
class NewCallIndicators;
class TrayController;

// Stands in for the tray icon on a desktop without a notification area, so that the program
// stays reachable: the same icon, the line's status, the new-calls text, and the tray menu on a
// button.
// Closing it ends the program, as it says; a program nobody can reach must not keep running.
class TrayFallbackWindow : public QWidget
{
    Q_OBJECT

public:
    TrayFallbackWindow(TrayController &tray, const LineState &line, NewCallIndicators &newCalls);

    QString statusText() const;
    QString callsText() const;

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showState(int state);

    QLabel *m_icon = nullptr;
    QLabel *m_status = nullptr;
    QLabel *m_calls = nullptr;
    QToolButton *m_menuButton = nullptr;
};
