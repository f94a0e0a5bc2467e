#include "app/LineState.h"

void LineState::setState(State state)
{
    if (state == m_state)
        return;
    m_state = state;
    emit stateChanged(state);
}

QString LineState::statusWord(State state)
{
    switch (state) {
    case Off:
        return tr("Neaktivan");
    case Monitoring:
    case NewCall:
        return tr("Pratim pozive");
    case Error:
    case NoDevice:
        break;
    }
    return tr("Greška");
}

QString LineState::statusText() const
{
    return tr("Status:  %1!").arg(statusWord(m_state));
}
