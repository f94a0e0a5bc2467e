#pragma once

class QDialogButtonBox;
class QPushButton;

#include <QString>

#include <functional>

class QDialog;
class QWidget;
struct StoreResult;

// What the editors cannot do themselves (file dialogs, sound and speech output) reaches them
// through these small functions, so the controller can connect its own parts and tests can answer
// without a user. Message boxes all go through ShowMessageDialog and its test hook.

// An open dialog: caption, starting folder, filter; the chosen file or empty on cancel.
using OpenFileFn =
    std::function<QString(const QString &caption, const QString &folder, const QString &filter)>;
using PlaySoundFn = std::function<void(const QString &fileName)>;
using SpeakTextFn = std::function<void(const QString &text)>;

// The button row of the editors' dialogs: an accept button (ACCEPTCAPTION, object name
// ACCEPTNAME) and "Odustani" ("btnCancel"), made here and returned through ACCEPT and CANCEL, in
// a button box that accepts or rejects DIALOG. The caller sets ACCEPT as default once the box
// sits in the dialog's layout.
QDialogButtonBox *AcceptCancelButtons(QDialog *dialog, const QString &acceptCaption, const char *acceptName,
                                      QPushButton *&accept, QPushButton *&cancel);

// Shows what became of a change of the address book or the call log in the program's message
// box over PARENT: a refusal as "Informacija", a failure as "Greška". True when the change was
// made.
bool ShowStoreResult(const StoreResult &result, QWidget *parent = nullptr);

// The hourglass while a window works, back to the previous cursor however the work ends.
class WaitCursor
{
public:
    WaitCursor();
    ~WaitCursor();
    WaitCursor(const WaitCursor &) = delete;
    WaitCursor &operator=(const WaitCursor &) = delete;
};

// The width WINDOW needs for its title to show whole in a window manager's title bar: the
// title with the program's name that Qt adds, the window icon and three buttons.
int TitleRoom(const QWidget &window);

// Shows DIALOG modally and returns its result (QDialog::Accepted or Rejected).
int RunModalDialog(QDialog &dialog);

// Test hook: the next modal dialogs are opened without blocking and handed, in order, to these
// functions, which drive them as a user would; a dialog still open afterwards is cancelled.
namespace ModalDialogHook {

void pushNext(std::function<void(QDialog &)> drive);
int pending();
void clear();

} // namespace ModalDialogHook
