#pragma once

#include "widgets/TWindowSlide.h"

#include <QBasicTimer>
#include <QImage>
#include <QStringList>
#include <QWidget>

class QLabel;
class TBitmapButton;
class TRunningLabel;
class TShapedWindow;
class TfrmCallerNotes;
class TfrmNewCallMessage;

// The incoming call pop-up: the caller's picture, name, number, the number called and a
// running line of notes, with a reject and a close button. It is filled by the call pipeline
// for every call, appears in the middle of the screen, and closes by itself after the set
// time. Every close leads to the new call notice.
class TfrmIncomingCall : public QWidget
{
    Q_OBJECT

public:
    // MESSAGE is the notice shown after every close; NOTES the window of the full notes.
    // Either may be null.
    explicit TfrmIncomingCall(TfrmNewCallMessage *message = nullptr, TfrmCallerNotes *notes = nullptr,
                              QWidget *parent = nullptr);

    // DisplayCIDWindow: whether the window appears at all.
    void setShowWindow(bool on) { m_showWindow = on; }
    // AnimateCID: slide in from the top, drop and fly out when closed.
    void setAnimate(bool on) { m_animate = on; }
    // AutoCloseCID and AutoCloseCIDValue (seconds); read each time the window appears.
    void setAutoClose(bool on, int seconds);
    // The six caption bitmaps of the language (0 English, 1 Croatian).
    void LoadLanguageBitmaps(int languageIndex);

    // What the pipeline fills in for a call.
    void setCaller(const QString &name, const QString &phone, const QString &calledPhone);
    void setNotes(const QString &notes);
    void setCallerPicture(const QImage &picture);
    // Whether the line can turn the caller away: otherwise the reject button is not offered.
    void setRejectable(bool on);
    // The caller is on the black list: the window says so.
    void setBlackListed(bool on);

    // The notes of the current caller, line by line, as the notes window shows them.
    const QStringList &CallerNotesLines() const { return m_callerNotesLines; }
    // The notes line: a blank and the trimmed text of every line that is not blank.
    static QString NotesOneLine(const QStringList &lines);

    // Where the window stands when shown: the middle of the screen.
    QPoint targetPosition() const;

    // Shows the window (unless it is switched off) and starts the close timer.
    void ShowIncomingCallWindow();
    // Closes the window as its close button does. Also when it is not showing: the caller is
    // then still let go and the notice still appears.
    void closeWindow();

    bool isCloseTimerActive() const { return m_timerClose.isActive(); }
    const TWindowSlide &slide() const { return m_slide; }

signals:
    // The reject button: the controller rejects the current call and closes the window.
    void rejectRequested();
    // Sent at the start of every close: the call in progress is over for this window, so the
    // controller forgets the withheld and unavailable flags of its caller.
    void closing();
    // Sent when the window has gone (after its slide) and the notice has been asked for.
    void closed();

protected:
    void showEvent(QShowEvent *event) override;
    void closeEvent(QCloseEvent *event) override;
    void timerEvent(QTimerEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void timerCloseTimer();
    void lblCallerNoteClick();
    void finishClose();
    void showOverDialogs();
    void keepAbove(QWidget &dialog, bool on);
    void keepDialogsAbove(bool on);
    QLabel *makeCaption(const char *name, const QRect &geometry);
    TRunningLabel *makeRunningLabel(const char *name, const QRect &geometry);

    TfrmNewCallMessage *m_message;
    TfrmCallerNotes *m_notes;

    TShapedWindow *imgMain = nullptr;
    QLabel *imgCaller = nullptr;
    QLabel *imgCaption = nullptr;
    QLabel *imgInfo = nullptr;
    QLabel *imgCallerName = nullptr;
    QLabel *imgCallerPhone = nullptr;
    QLabel *imgCalledPhone = nullptr;
    QLabel *imgCallerNotes = nullptr;
    TRunningLabel *lblCallerName = nullptr;
    TRunningLabel *lblCallerPhone = nullptr;
    QLabel *lblCalledPhone = nullptr;
    TRunningLabel *lblCallerNote = nullptr;
    QLabel *lblBlackList = nullptr;
    TBitmapButton *btnReject = nullptr;
    TBitmapButton *btnClose = nullptr;

    QBasicTimer m_timerClose;
    int m_closeInterval = 30000;
    bool m_autoClose = true;
    bool m_showWindow = true;
    bool m_animate = true;
    bool m_closing = false;
    QStringList m_callerNotesLines;
    TWindowSlide m_slide;
};
