#pragma once

#include "widgets/TWindowSlide.h"

#include <QDateTime>
#include <QWidget>

#include <functional>

class QLabel;
class TRunningLabel;
class TShapedWindow;

// The new call notice in the bottom right corner of the work area: how many calls are new
// and who called last. A click anywhere on it closes it and asks for the call list.
class TfrmNewCallMessage : public QWidget
{
    Q_OBJECT

public:
    explicit TfrmNewCallMessage(QWidget *parent = nullptr);

    // DisplayCIDMessage: whether the notice appears at all.
    void setShowMessage(bool on) { m_showMessage = on; }
    // AnimateCID: slide in from the left along the bottom of the work area, and out again.
    void setAnimate(bool on) { m_animate = on; }
    // The caption bitmap of the language (0 English, 1 Croatian).
    void LoadLanguageBitmaps(int languageIndex);

    // lblTotalCalls: the new-calls text, or "Nemaš novih poziva!".
    void setTotalCallsText(const QString &text);
    // The last caller: name, number, and the date and time the call came.
    void setLastCall(const QString &name, const QString &phone, const QDateTime &when);
    // Date in the system's short format, three blanks, the time of day in hours and minutes.
    static QString DateTimeText(const QDateTime &when);

    // The area the notice must leave free (the tray icon's), asked each time it is placed.
    void setKeepClearOf(std::function<QRect()> area) { m_keepClearOf = std::move(area); }
    // Where the notice sits when shown: its bottom right corner on the work area's, moved above
    // (or below) the area to keep clear where it would cover it.
    QPoint targetPosition() const;

    // Shows the notice unless it is switched off or already showing.
    void ShowNewCallMessage();
    // Hides the notice (sliding it out to the left with animation).
    void closeMessage();

    // The last slide, for checking where the notice travelled.
    const TWindowSlide &slide() const { return m_slide; }

signals:
    // The user clicked the notice: the main window should open on its call list.
    void callsPageRequested();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void CoolForm1Click();
    TRunningLabel *makeLabel(const char *name, const QRect &geometry);

    TShapedWindow *CoolForm1 = nullptr;
    QLabel *imgCaption = nullptr;
    QLabel *lblTotalCalls = nullptr;
    TRunningLabel *lblName = nullptr;
    TRunningLabel *lblPhone = nullptr;
    TRunningLabel *lblDateTime = nullptr;
    TWindowSlide m_slide;
    bool m_showMessage = true;
    bool m_animate = true;
    std::function<QRect()> m_keepClearOf;
    bool m_closing = false;
};
