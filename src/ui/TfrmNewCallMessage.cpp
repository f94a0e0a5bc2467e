#include "TfrmNewCallMessage.h"

#include "WorkArea.h"
#include "widgets/Skin.h"
#include "widgets/TRunningLabel.h"
#include "widgets/TShapedWindow.h"

#include <QCloseEvent>
#include <QLabel>
#include <QLocale>
#include <QRegularExpression>

namespace {

constexpr int kWidth = 180;
constexpr int kHeight = 140;

QFont tahoma(int pointSize, bool bold = false)
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans")});
    font.setPointSize(pointSize);
    font.setBold(bold);
    return font;
}

} // namespace

TfrmNewCallMessage::TfrmNewCallMessage(QWidget *parent)
    : QWidget(parent, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("frmNewCallMessage"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFixedSize(kWidth, kHeight);
    setFont(tahoma(8));
    QPalette rim = palette();
    rim.setColor(QPalette::Window, QColor(0x1c, 0x3c, 0x63));
    setPalette(rim);
    setAutoFillBackground(true);

    CoolForm1 = new TShapedWindow(this);
    CoolForm1->setObjectName(QStringLiteral("CoolForm1"));
    CoolForm1->setCursor(Qt::PointingHandCursor);
    CoolForm1->setSkin(skin::image(QStringLiteral("NewCallMessageSkin")));
    connect(CoolForm1, &TShapedWindow::clicked, this, &TfrmNewCallMessage::CoolForm1Click);

    imgCaption = new QLabel(CoolForm1);
    imgCaption->setObjectName(QStringLiteral("imgCaption"));
    imgCaption->setGeometry(28, 5, 110, 15);
    imgCaption->setCursor(Qt::ArrowCursor);

    lblTotalCalls = new QLabel(tr("Nemaš novih poziva!"), CoolForm1);
    lblTotalCalls->setObjectName(QStringLiteral("lblTotalCalls"));
    lblTotalCalls->setGeometry(16, 32, 147, 13);
    lblTotalCalls->setAlignment(Qt::AlignCenter);
    lblTotalCalls->setFont(tahoma(8, true));
    lblTotalCalls->setStyleSheet(QStringLiteral("color: black;"));

    lblName = makeLabel("lblName", {24, 66, 132, 17});
    QFont nameFont = tahoma(8, true);
    lblName->setFont(nameFont);
    lblPhone = makeLabel("lblPhone", {24, 82, 132, 17});
    lblDateTime = makeLabel("lblDateTime", {24, 98, 132, 17});
    lblDateTime->setTextColor(QColor(0x2f, 0x4f, 0x73));

    LoadLanguageBitmaps(1);
    move(targetPosition());
}

TRunningLabel *TfrmNewCallMessage::makeLabel(const char *name, const QRect &geometry)
{
    auto *label = new TRunningLabel(CoolForm1);
    label->setObjectName(QLatin1String(name));
    label->setGeometry(geometry);
    label->setCursor(Qt::PointingHandCursor);
    label->setClickable(true);
    connect(label, &TRunningLabel::clicked, this, &TfrmNewCallMessage::CoolForm1Click);
    return label;
}

void TfrmNewCallMessage::LoadLanguageBitmaps(int languageIndex)
{
    imgCaption->setPixmap(skin::languageBitmap(languageIndex, QStringLiteral("CallMessage")));
}

void TfrmNewCallMessage::setTotalCallsText(const QString &text)
{
    lblTotalCalls->setText(text);
}

void TfrmNewCallMessage::setLastCall(const QString &name, const QString &phone, const QDateTime &when)
{
    lblName->setText(name);
    lblPhone->setText(phone);
    lblDateTime->setText(DateTimeText(when));
}

QString TfrmNewCallMessage::DateTimeText(const QDateTime &when)
{
    const QLocale locale = QLocale::system();
    // The notice shows hours and minutes, whatever the locale's short time carries.
    QString timeFormat = locale.timeFormat(QLocale::ShortFormat);
    timeFormat.remove(QRegularExpression(QStringLiteral("[^Hhm]*s+")));
    return locale.toString(when.date(), QLocale::ShortFormat) + QStringLiteral("   ") +
           locale.toString(when.time(), timeFormat.trimmed());
}

QPoint TfrmNewCallMessage::targetPosition() const
{
    const QRect work = GetWorkArea();
    QRect place(work.left() + work.width() - width(), work.top() + work.height() - height(), width(),
                height());
    // With no panel reserving space the work area is the whole screen, and the tray icon sits
    // where the notice would go.
    const QRect clear = m_keepClearOf ? m_keepClearOf() : QRect();
    if (clear.isValid() && place.intersects(clear)) {
        if (clear.center().y() >= work.center().y())
            place.moveBottom(clear.top() - 1);
        else
            place.moveTop(clear.bottom() + 1);
    }
    return place.topLeft();
}

void TfrmNewCallMessage::ShowNewCallMessage()
{
    if (!m_showMessage)
        return;
    // A notice on its way out is let go first, so the new one is not lost when it vanishes.
    if (m_closing)
        m_slide.finish();
    if (isVisible())
        return;
    const QPoint target = targetPosition();
    if (!m_animate) {
        move(target);
        show();
        raise();
        return;
    }
    const int start = GetScreenAreas().screen.left() - width();
    move(start, target.y());
    QList<QPoint> frames;
    for (int x : slide::decelerate(start, target.x()))
        frames.append({x, target.y()});
    show();
    raise();
    m_slide.play(this, frames);
}

void TfrmNewCallMessage::closeMessage()
{
    if (!isVisible() || m_closing)
        return;
    if (!m_animate) {
        m_slide.finish();
        hide();
        return;
    }
    m_slide.finish();
    m_closing = true;
    QList<QPoint> frames;
    for (int x : slide::accelerate(this->x(), GetScreenAreas().screen.left() - width()))
        frames.append({x, y()});
    m_slide.play(this, frames, [this] {
        hide();
        m_closing = false;
    });
}

void TfrmNewCallMessage::CoolForm1Click()
{
    closeMessage();
    emit callsPageRequested();
}

void TfrmNewCallMessage::closeEvent(QCloseEvent *event)
{
    // Closing from outside (the window manager) goes the same way as a click.
    event->ignore();
    closeMessage();
}
