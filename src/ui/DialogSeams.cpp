#include "ui/DialogSeams.h"

#include "platform/SoundPlayer.h"

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QPushButton>
#include <QQueue>
#include <QThread>

namespace {

QQueue<std::function<void(QDialog &)>> &hooks()
{
    static QQueue<std::function<void(QDialog &)>> queue;
    return queue;
}

} // namespace

QMessageBox::StandardButton FallbackMessageDialog(QWidget *parent, int languageIndex, const QString &caption,
                                                  const QString &text, QMessageBox::Icon kind,
                                                  QMessageBox::StandardButtons buttons)
{
    QMessageBox box(kind, caption, text, buttons, parent);
    box.setTextFormat(Qt::PlainText);
    if (languageIndex == 1) {
        const std::pair<QMessageBox::StandardButton, const char *> croatian[] = {
            {QMessageBox::Yes, "&Da"},
            {QMessageBox::No, "&Ne"},
            {QMessageBox::Ok, "U redu"},
            {QMessageBox::Cancel, "Odustani"}};
        for (const auto &[which, label] : croatian) {
            if (QAbstractButton *b = box.button(which))
                b->setText(QString::fromUtf8(label));
        }
    }
    return QMessageBox::StandardButton(box.exec());
}

void PlayWaveOnThread(const QString &fileName)
{
    if (!fileName.endsWith(QLatin1String(".wav"), Qt::CaseSensitive) || !QFileInfo(fileName).isFile())
        return;
    // The player blocks until its sound ends; a newer sound cuts the older one short.
    QThread *thread = QThread::create([fileName] { SoundPlayer::play(fileName); });
    QObject::connect(thread, &QThread::finished, thread, &QObject::deleteLater);
    thread->start();
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

int RunModalDialog(QDialog &dialog)
{
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
