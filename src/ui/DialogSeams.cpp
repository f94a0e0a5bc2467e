#include "ui/DialogSeams.h"

#include "store/StoreResult.h"
#include "widgets/ShowMessageDialog.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QQueue>

namespace {

QQueue<std::function<void(QDialog &)>> &hooks()
{
    static QQueue<std::function<void(QDialog &)>> queue;
    return queue;
}

} // namespace

bool ShowStoreResult(const StoreResult &result, QWidget *parent)
{
    if (result.kind == StoreResult::Kind::Refused)
        ShowMessageDialog(QCoreApplication::translate("DialogSeams", "Informacija"), result.message,
                          QMessageBox::Information, QMessageBox::Ok, parent);
    else if (result.kind == StoreResult::Kind::Failed)
        ShowMessageDialog(QCoreApplication::translate("DialogSeams", "Greška"), result.message,
                          QMessageBox::Critical, QMessageBox::Ok, parent);
    return result.ok();
}

QDialogButtonBox *AcceptCancelButtons(QDialog *dialog, const QString &acceptCaption, const char *acceptName,
                                      QPushButton *&accept, QPushButton *&cancel)
{
    accept = new QPushButton(acceptCaption);
    accept->setObjectName(QLatin1String(acceptName));
    cancel = new QPushButton(QCoreApplication::translate("DialogSeams", "Odustani"));
    cancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QDialogButtonBox;
    buttons->addButton(accept, QDialogButtonBox::AcceptRole);
    buttons->addButton(cancel, QDialogButtonBox::RejectRole);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

int TitleRoom(const QWidget &window)
{
    // Title bars draw in a bold face of about the program's size; the icon, three buttons and
    // the bar's margins take about as much as a dozen wide letters.
    QFont font = QApplication::font();
    font.setBold(true);
    const QFontMetrics metrics(font);
    QString title = window.windowTitle();
    const QString program = QGuiApplication::applicationDisplayName();
    if (!program.isEmpty() && !title.contains(program))
        title += QStringLiteral(" \u2014 ") + program;
    return metrics.horizontalAdvance(title) + 12 * metrics.horizontalAdvance(QLatin1Char('M'));
}

int RunModalDialog(QDialog &dialog)
{
    KeepAboveParent(dialog);
    if (hooks().isEmpty())
        return dialog.exec();
    const auto drive = hooks().dequeue();
    dialog.setResult(QDialog::Rejected);
    dialog.open();
    drive(dialog);
    if (dialog.isVisible())
        dialog.reject();
    return dialog.result();
}

namespace ModalDialogHook {

void pushNext(std::function<void(QDialog &)> drive)
{
    hooks().enqueue(std::move(drive));
}

int pending()
{
    return int(hooks().size());
}

void clear()
{
    hooks().clear();
}

} // namespace ModalDialogHook

WaitCursor::WaitCursor()
{
    QApplication::setOverrideCursor(Qt::WaitCursor);
}

WaitCursor::~WaitCursor()
{
    QApplication::restoreOverrideCursor();
}
