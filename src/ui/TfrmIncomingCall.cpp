#include "TfrmIncomingCall.h"

#include "TfrmCallerNotes.h"
#include "TfrmNewCallMessage.h"
#include "WorkArea.h"
#include "widgets/Skin.h"
#include "widgets/TBitmapButton.h"
#include "widgets/THintWindow.h"
#include "widgets/TRunningLabel.h"
#include "widgets/TShapedWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QRegularExpression>
#include <QTimerEvent>
#include <QWindow>

namespace {

constexpr int kWidth = 366;
constexpr int kHeight = 320;

QFont verdanaBold()
{
    QFont font;
    font.setFamilies({QStringLiteral("Verdana"), QStringLiteral("DejaVu Sans")});
    font.setPixelSize(12);
    font.setBold(true);
    return font;
}

} // namespace

TfrmIncomingCall::TfrmIncomingCall(TfrmNewCallMessage *message, TfrmCallerNotes *notes, QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint), m_message(message),
      m_notes(notes)
{
    setObjectName(QStringLiteral("frmIncomingCall"));
    // The skinned windows' hints are drawn by the program, not by the desktop style.
    THintWindow::install();
    setAttribute(Qt::WA_ShowWithoutActivating);
    // Never active, so the buttons' tool tips would not show without this.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFixedSize(kWidth, kHeight);
    QFont tahoma;
    tahoma.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    tahoma.setPointSize(8);
    setFont(tahoma);
    // The skin's anti-aliased rim blends into this colour where the window shape cuts it.
    QPalette rim = palette();
    rim.setColor(QPalette::Window, QColor(0x13, 0x2b, 0x47));
    setPalette(rim);
    setAutoFillBackground(true);

    imgMain = new TShapedWindow(this);
    imgMain->setObjectName(QStringLiteral("imgMain"));
    imgMain->setDragsWindow(true);
    imgMain->setSkin(skin::image(QStringLiteral("IncomingCallSkin")));

    imgCaller = new QLabel(imgMain);
    imgCaller->setObjectName(QStringLiteral("imgCaller"));
    imgCaller->setGeometry(180, 10, 160, 120);
    imgCaller->setAttribute(Qt::WA_TranslucentBackground);

    imgCaption = makeCaption("imgCaption", {9, 96, 112, 20});
    imgInfo = makeCaption("imgInfo", {27, 125, 125, 13});
    imgCallerName = makeCaption("imgCallerName", {10, 140, 65, 13});
    imgCallerPhone = makeCaption("imgCallerPhone", {10, 180, 65, 13});
    imgCalledPhone = makeCaption("imgCalledPhone", {10, 220, 65, 13});
    imgCallerNotes = makeCaption("imgCallerNotes", {10, 260, 65, 13});

    lblCallerName = makeRunningLabel("lblCallerName", {104, 152, 200, 16});
    lblCallerPhone = makeRunningLabel("lblCallerPhone", {104, 192, 200, 16});

    lblCalledPhone = new QLabel(imgMain);
    lblCalledPhone->setObjectName(QStringLiteral("lblCalledPhone"));
    lblCalledPhone->setGeometry(104, 232, 200, 16);
    lblCalledPhone->setFont(verdanaBold());
    lblCalledPhone->setStyleSheet(QStringLiteral("color: black;"));

    lblCallerNote = makeRunningLabel("lblCallerNote", {104, 277, 200, 16});
    lblCallerNote->setClickable(true);
    lblCallerNote->setCursor(Qt::PointingHandCursor);
    lblCallerNote->setToolTip(tr("Klikni ovdje za pregled cijele napomene."));
    connect(lblCallerNote, &TRunningLabel::clicked, this, &TfrmIncomingCall::lblCallerNoteClick);

    btnReject = new TBitmapButton(imgMain);
    btnReject->setObjectName(QStringLiteral("btnReject"));
    btnReject->setGeometry(330, 245, 32, 34);
    btnReject->setSkinFaces(QStringLiteral("btnReject"));
    btnReject->setToolTip(tr("Odbij poziv!"));
    connect(btnReject, &TBitmapButton::clicked, this, &TfrmIncomingCall::rejectRequested);

    btnClose = new TBitmapButton(imgMain);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setGeometry(330, 280, 32, 32);
    btnClose->setSkinFaces(QStringLiteral("btnClose"));
    btnClose->setToolTip(tr("Zatvori"));
    connect(btnClose, &TBitmapButton::clicked, this, &TfrmIncomingCall::closeWindow);

    // A badge on top of the picture, where the eye goes first.
    lblBlackList = new QLabel(tr("Na crnoj listi!"), imgMain);
    lblBlackList->setObjectName(QStringLiteral("lblBlackList"));
    lblBlackList->setGeometry(190, 16, 140, 18);
    lblBlackList->setAlignment(Qt::AlignCenter);
    lblBlackList->setFont(verdanaBold());
    lblBlackList->setStyleSheet(QStringLiteral("color: white; background: #c62828; border-radius: 9px;"));
    lblBlackList->hide();

    LoadLanguageBitmaps(1);
    setCallerPicture({});
    // The program's modal dialogs are watched, so that none of them blocks or hides this window.
    qApp->installEventFilter(this);
}

QLabel *TfrmIncomingCall::makeCaption(const char *name, const QRect &geometry)
{
    auto *label = new QLabel(imgMain);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    return label;
}

TRunningLabel *TfrmIncomingCall::makeRunningLabel(const char *name, const QRect &geometry)
{
    auto *label = new TRunningLabel(imgMain);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setFont(verdanaBold());
    label->setSpeed(100);
    label->setStep(1);
    return label;
}

void TfrmIncomingCall::setAutoClose(bool on, int seconds)
{
    m_autoClose = on;
    m_closeInterval = qMax(1, seconds) * 1000;
}

void TfrmIncomingCall::LoadLanguageBitmaps(int languageIndex)
{
    const auto load = [languageIndex](QLabel *label, const char *name) {
        label->setPixmap(skin::languageBitmap(languageIndex, QLatin1String(name)));
    };
    load(imgCaption, "IncomingCall");
    load(imgInfo, "CallerInfo");
    load(imgCallerName, "CallerName");
    load(imgCallerPhone, "CallerPhone");
    load(imgCalledPhone, "CalledPhone");
    load(imgCallerNotes, "CallerNotes");
}

void TfrmIncomingCall::setCaller(const QString &name, const QString &phone, const QString &calledPhone)
{
    lblCallerName->setText(name);
    lblCallerPhone->setText(phone);
    lblCalledPhone->setText(calledPhone);
}

QString TfrmIncomingCall::NotesOneLine(const QStringList &lines)
{
    QString result;
    for (const QString &line : lines) {
        const QString trimmed = line.trimmed();
        if (!trimmed.isEmpty())
            result += QLatin1Char(' ') + trimmed;
    }
    return result;
}

void TfrmIncomingCall::setNotes(const QString &notes)
{
    // Notes come from a file written on Windows, with CR LF between lines.
    m_callerNotesLines =
        notes.isEmpty() ? QStringList() : notes.split(QRegularExpression(QStringLiteral("\r\n|\r|\n")));
    if (!m_callerNotesLines.isEmpty() && m_callerNotesLines.constLast().isEmpty())
        m_callerNotesLines.removeLast();
    lblCallerNote->setText(NotesOneLine(m_callerNotesLines));
    lblCallerNote->restart();
}

void TfrmIncomingCall::setCallerPicture(const QImage &picture)
{
    imgCaller->setPixmap(QPixmap::fromImage(picture));
}

void TfrmIncomingCall::setRejectable(bool on)
{
    btnReject->setVisible(on);
}

void TfrmIncomingCall::setBlackListed(bool on)
{
    lblBlackList->setVisible(on);
}

bool TfrmIncomingCall::eventFilter(QObject *watched, QEvent *event)
{
    const QEvent::Type type = event->type();
    if ((type == QEvent::Show || type == QEvent::Hide) && watched != this && watched->isWidgetType()) {
        auto *widget = static_cast<QWidget *>(watched);
        if (widget->isWindow() && widget->isModal()) {
            // A modal dialog blocks every window of the program but those it is a transient
            // parent of: tied to the dialog, the window keeps its buttons working. A dialog being
            // shown is not yet the modal window; one being hidden is no longer.
            create();
            windowHandle()->setTransientParent(type == QEvent::Show ? widget->windowHandle()
                                                                    : QGuiApplication::modalWindow());
            keepAbove(*widget, type == QEvent::Show && isVisible());
        }
    }
    return QWidget::eventFilter(watched, event);
}

void TfrmIncomingCall::keepAbove(QWidget &dialog, bool on)
{
    // While the window shows, a dialog the user opened stays on top as well, so that the window
    // hides none: a click on it brings it above the window.
    if (QWindow *shown = dialog.windowHandle())
        shown->setFlags(on ? dialog.windowFlags() | Qt::WindowStaysOnTopHint : dialog.windowFlags());
}

void TfrmIncomingCall::keepDialogsAbove(bool on)
{
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (widget != this && widget->isModal() && widget->isVisible())
            keepAbove(*widget, on);
    }
}

QPoint TfrmIncomingCall::targetPosition() const
{
    const QRect screen = GetScreenAreas().screen;
    return {screen.left() + screen.width() / 2 - width() / 2,
            screen.top() + screen.height() / 2 - height() / 2};
}

void TfrmIncomingCall::ShowIncomingCallWindow()
{
    if (!m_showWindow)
        return;
    // A window still flying out finishes its close first; then it comes in anew.
    if (m_closing)
        m_slide.finish();
    const QPoint target = targetPosition();
    if (!m_animate) {
        m_slide.finish();
        move(target);
        showOverDialogs();
        return;
    }
    const int start = GetScreenAreas().screen.top() - height();
    move(target.x(), start);
    QList<QPoint> frames;
    for (int y : slide::decelerate(start, target.y()))
        frames.append({target.x(), y});
    showOverDialogs();
    m_slide.play(this, frames);
}

void TfrmIncomingCall::showOverDialogs()
{
    // The tie to an open dialog is the program's own: shown with it, the window manager would
    // keep the window above that dialog for good, and a click on the dialog could not raise it.
    QWindow *dialog = windowHandle() ? windowHandle()->transientParent() : nullptr;
    if (dialog)
        windowHandle()->setTransientParent(nullptr);
    // The dialogs first, so that the window comes up above them.
    keepDialogsAbove(true);
    show();
    raise();
    if (dialog)
        windowHandle()->setTransientParent(dialog);
}

void TfrmIncomingCall::showEvent(QShowEvent *event)
{
    m_timerClose.stop();
    if (m_autoClose)
        m_timerClose.start(m_closeInterval, this);
    QWidget::showEvent(event);
}

void TfrmIncomingCall::timerEvent(QTimerEvent *event)
{
    if (event->timerId() == m_timerClose.timerId())
        timerCloseTimer();
    else
        QWidget::timerEvent(event);
}

void TfrmIncomingCall::timerCloseTimer()
{
    m_timerClose.stop();
    closeWindow();
}

void TfrmIncomingCall::closeWindow()
{
    emit closing();
    // A timer left running would later close the window of another call, or let go of a
    // caller who is still on the line; every close stops it.
    m_timerClose.stop();
    if (m_closing)
        return;
    if (!m_animate || !isVisible()) {
        m_slide.finish();
        finishClose();
        return;
    }
    m_slide.finish();
    m_closing = true;
    const QRect screen = GetScreenAreas().screen;
    QList<QPoint> frames;
    int top = y();
    for (int v : slide::accelerate(top, screen.top() + screen.height() - height())) {
        frames.append({x(), v});
        top = v;
    }
    for (int v : slide::accelerate(top, screen.top() - height()))
        frames.append({x(), v});
    m_slide.play(this, frames, [this] { finishClose(); });
}

void TfrmIncomingCall::finishClose()
{
    m_closing = false;
    hide();
    keepDialogsAbove(false);
    m_timerClose.stop();
    if (m_message)
        m_message->ShowNewCallMessage();
    emit closed();
}

void TfrmIncomingCall::closeEvent(QCloseEvent *event)
{
    // The window manager's close goes the way of the close button.
    event->ignore();
    closeWindow();
}

void TfrmIncomingCall::lblCallerNoteClick()
{
    if (m_notes)
        m_notes->showNotes(lblCallerName->text(), m_callerNotesLines);
}
