#include "widgets/ShowMessageDialog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QLabel>
#include <QLayout>
#include <QList>
#include <QScreen>
#include <QShowEvent>

#include <utility>

namespace {

std::function<int()> g_language;
QList<QMessageBox::StandardButton> g_nextAnswers;
QList<MessageDialogHook::Record> g_answered;

// QMessageBox orders its buttons by role; "Yes to all" is placed where "No" would stand, so
// that the safe answer is the one under the mouse of someone clicking through in a hurry.
class TMessageDialog : public QMessageBox
{
public:
    using QMessageBox::QMessageBox;

protected:
    void showEvent(QShowEvent *event) override
    {
        QMessageBox::showEvent(event);
        QAbstractButton *yesToAll = button(QMessageBox::YesToAll);
        QAbstractButton *no = button(QMessageBox::No);
        if (!yesToAll || !no || m_swapped)
            return;
        if (QLayout *own = layout())
            own->activate();
        const QRect first = yesToAll->geometry();
        yesToAll->setGeometry(first.translated(no->x() - first.x(), 0));
        no->move(first.x(), no->y());
        m_swapped = true;
    }

private:
    bool m_swapped = false;
};

int currentLanguage()
{
    return g_language ? g_language() : 1;
}

QWidget *dialogParent()
{
    if (QWidget *modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

} // namespace

std::unique_ptr<QMessageBox> CreateMessageDialog(const QString &caption, const QString &text,
                                                 QMessageBox::Icon kind, QMessageBox::StandardButtons buttons,
                                                 int languageIndex, QWidget *parent)
{
    auto box = std::make_unique<TMessageDialog>(kind, caption, text, buttons, parent);
    KeepAboveParent(*box);
    box->setTextFormat(Qt::PlainText);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(QApplication::font().pointSize());
    box->setFont(font);

    // Lines are kept whole up to half the screen's width before they wrap.
    const QScreen *screen = parent ? parent->screen() : QApplication::primaryScreen();
    const int wrapWidth = screen ? screen->geometry().width() / 2 : 640;
    const QRect needed =
        QFontMetrics(font).boundingRect(QRect(0, 0, wrapWidth, 0), Qt::TextWordWrap | Qt::AlignLeft, text);
    for (QLabel *label : box->findChildren<QLabel *>(QStringLiteral("qt_msgbox_label"))) {
        label->setWordWrap(true);
        label->setMinimumSize(needed.size());
    }

    if (languageIndex == 1) {
        const std::pair<QMessageBox::StandardButton, const char *> croatian[] = {
            {QMessageBox::Yes, "&Da"},   {QMessageBox::YesToAll, "Da, &sve!"}, {QMessageBox::No, "&Ne"},
            {QMessageBox::Ok, "U redu"}, {QMessageBox::Cancel, "Odustani"},
        };
        for (const auto &[which, text] : croatian) {
            if (QAbstractButton *b = box->button(which))
                b->setText(QString::fromUtf8(text));
        }
    }
    return box;
}

QMessageBox::StandardButton ShowMessageDialog(const QString &caption, const QString &text,
                                              QMessageBox::Icon kind, QMessageBox::StandardButtons buttons,
                                              QWidget *parent)
{
    if (!g_nextAnswers.isEmpty()) {
        g_answered.append({caption, text, kind, buttons});
        return g_nextAnswers.takeFirst();
    }
    std::unique_ptr<QMessageBox> box = CreateMessageDialog(caption, text, kind, buttons, currentLanguage(),
                                                           parent ? parent : dialogParent());
    return QMessageBox::StandardButton(box->exec());
}

void KeepAboveParent(QWidget &dialog)
{
    const QWidget *parent = dialog.parentWidget();
    // Changing the flags of a window on the screen would hide it.
    if (parent && !dialog.isVisible() && parent->window()->windowFlags().testFlag(Qt::WindowStaysOnTopHint))
        dialog.setWindowFlag(Qt::WindowStaysOnTopHint);
}

void SetMessageDialogLanguage(std::function<int()> languageIndex)
{
    g_language = std::move(languageIndex);
}

int MessageDialogLanguage()
{
    return currentLanguage();
}

namespace MessageDialogHook {

void setNextAnswer(QMessageBox::StandardButton answer)
{
    g_nextAnswers.append(answer);
}

QList<Record> takeAnswered()
{
    return std::exchange(g_answered, {});
}

int pendingAnswers()
{
    return int(g_nextAnswers.size());
}

void clear()
{
    g_nextAnswers.clear();
    g_answered.clear();
}

} // namespace MessageDialogHook
