#pragma once

#include <QMessageBox>
#include <QString>

#include <functional>
#include <memory>

// The program's one message box, over PARENT, the window it belongs to (without one, the
// dialog or window the user is working in). Texts are plain text (a caller's name must never
// turn into markup); "\n" breaks a line. Returns the button the user chose.
QMessageBox::StandardButton ShowMessageDialog(const QString &caption, const QString &text,
                                              QMessageBox::Icon kind, QMessageBox::StandardButtons buttons,
                                              QWidget *parent = nullptr);

// A dialog about to open over a window that stays on top of others stays on top as well, or it
// would open behind the window it belongs to.
void KeepAboveParent(QWidget &dialog);

// The dialog ShowMessageDialog shows, built but not shown: Tahoma, the text measured and wrapped
// at half the screen width, Croatian button captions for languageIndex 1, and "Yes to all" and
// "No" trading places when both are present.
std::unique_ptr<QMessageBox> CreateMessageDialog(const QString &caption, const QString &text,
                                                 QMessageBox::Icon kind, QMessageBox::StandardButtons buttons,
                                                 int languageIndex, QWidget *parent = nullptr);

// Where the dialogs take their language from (0 English, 1 Croatian); the controller points it
// at the settings. Croatian until then, as the built-in texts are.
void SetMessageDialogLanguage(std::function<int()> languageIndex);
// The language the next dialog's buttons speak.
int MessageDialogLanguage();

// Test hook: the next dialogs are not shown but answered with these answers, in the order given.
// Each dialog answered so is recorded.
namespace MessageDialogHook {

struct Record
{
    QString caption;
    QString text;
    QMessageBox::Icon kind = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
};

void setNextAnswer(QMessageBox::StandardButton answer);
// The recorded dialogs, oldest first; taking them empties the record.
QList<Record> takeAnswered();
// Answers still waiting for a dialog.
int pendingAnswers();
void clear();

} // namespace MessageDialogHook
