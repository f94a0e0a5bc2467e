// The main window's call list and its commands.

#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/CallPlaceholders.h"
#include "store/DataDir.h"
#include "store/Exports.h"
#include "store/Records.h"
#include "ui/MainLists.h"
#include "ui/TCallRowsModel.h"
#include "ui/TStatusPanels.h"
#include "ui/TfrmMain.h"
#include "widgets/ShowMessageDialog.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDate>
#include <QFileDialog>
#include <QHash>
#include <QLocale>
#include <QMenu>
#include <QRegularExpression>
#include <QToolButton>
#include <QTreeView>

void TfrmMain::RefreshCallList()
{
    // A call logged or another program's change moves the rows under the user: the calls chosen
    // stay chosen, and the list stays where it was scrolled (at the top it shows the new call).
    const KeepListPlace place(lvCalls, *m_callRows);
    int fresh = 0;
    for (const ACalls &call : m_log.calls())
        if (call.IsNew)
            ++fresh;
    m_callRows->refresh();
    // Names, numbers and placeholders keep their full width; the date column takes the rest.
    for (int column = 0; column < 3; ++column)
        lvCalls->resizeColumnToContents(column);
    place.restore();
    const int total = m_callRows->rowCount();
    stbCalls->setText(0, tr(" Novih poziva:  %1").arg(fresh));
    stbCalls->setText(1, tr(" Starih poziva:  %1").arg(total - fresh));
    stbCalls->setText(2, tr(" Ukupno poziva:  %1").arg(total));
    callSelectionChanged();
}

int TfrmMain::callRowCount() const
{
    return m_callRows->rowCount();
}

QString TfrmMain::callRowText(int row, int column) const
{
    return m_callRows->data(m_callRows->index(row, column), Qt::DisplayRole).toString();
}

int TfrmMain::callRowImage(int row) const
{
    return m_callRows->data(m_callRows->index(row, 0), Qt::UserRole).toInt();
}

void TfrmMain::selectCallRow(int row, bool add)
{
    if (row < 0 || row >= m_callRows->rowCount())
        return;
    const QModelIndex index = m_callRows->index(row, 0);
    lvCalls->selectionModel()->setCurrentIndex(
        index, QItemSelectionModel::Rows |
                   (add ? QItemSelectionModel::Select : QItemSelectionModel::ClearAndSelect));
    lvCalls->scrollTo(index);
}

QList<int> TfrmMain::selectedCallRows() const
{
    return SelectedRowsOf(lvCalls);
}

void TfrmMain::callSelectionChanged()
{
    const QList<int> rows = selectedCallRows();
    const bool one = rows.size() == 1 && rows.first() < m_log.calls().size();
    const bool addable = one && !IsCallPlaceholder(m_log.calls()[rows.first()].CallerNumber);
    tbAddToAddressbook->setEnabled(addable);
    tbDeleteCalls->setEnabled(!rows.isEmpty());
    const QString deleteText = rows.size() >= 2 ? tr("Izbriši pozive") : tr("Izbriši poziv");
    tbDeleteCalls->setToolTip(deleteText);
    m_menus.miDeleteCall->setText(deleteText);
    m_menus.miDeleteCall->setEnabled(!rows.isEmpty());
    m_menus.miAddToAddressbook->setEnabled(addable);
    m_menus.miAddToAddressbook->setVisible(rows.size() < 2);
    m_menus.miSelectAllCalls->setEnabled(m_callRows->rowCount() > 0);
}

void TfrmMain::callsContextMenu(const QPoint &pos)
{
    callSelectionChanged();
    m_menus.calls->popup(lvCalls->viewport()->mapToGlobal(pos));
}

void TfrmMain::tbAddToAddressbookClick()
{
    const QList<int> rows = selectedCallRows();
    if (rows.size() != 1 || rows.first() >= m_log.calls().size())
        return;
    const int row = rows.first();
    const QString number = m_log.calls()[row].CallerNumber;
    if (IsCallPlaceholder(number))
        return;
    // A stand-in for an unknown caller is no name to offer.
    const QString caller = m_callRows->callerText(row);
    m_pendingName = IsCallPlaceholder(caller) ? QString() : caller;
    m_pendingNumber = number;
    m_pendingCard = m_callerCard ? m_callerCard(m_pendingName, number) : std::nullopt;
    tbNewContactClick();
    // The caller's row shows the new contact's name; the call stays selected.
    RefreshCallList();
    m_pendingName.clear();
    m_pendingNumber.clear();
    m_pendingCard.reset();
}

void TfrmMain::AddCallerToAddressbook(const QString &name, const QString &number)
{
    if (number.isEmpty() || IsCallPlaceholder(number) || QApplication::activeModalWidget())
        return;
    m_pendingName = IsCallPlaceholder(name) ? QString() : name;
    m_pendingNumber = number;
    m_pendingCard = m_callerCard ? m_callerCard(m_pendingName, number) : std::nullopt;
    tbNewContactClick();
    RefreshCallList();
    m_pendingName.clear();
    m_pendingNumber.clear();
    m_pendingCard.reset();
}

void TfrmMain::tbDeleteCallsClick()
{
    QList<int> rows = selectedCallRows();
    if (rows.isEmpty())
        return;
    // A call logged while the question is open moves every row down: the calls are found again
    // by their contents, so that the ones the user chose go and no others.
    QList<ACalls> chosen;
    for (int row : rows)
        if (row < m_log.calls().size())
            chosen << m_log.calls()[row];
    QStringList named;
    for (int row : rows)
        named << callText(row);
    const QString text =
        rows.size() == 1
            ? tr("Poziv:  %1\n\nDa li stvarno želiš obrisati izabrani poziv?").arg(named.first())
            : tr("Poziva za brisanje:  %1\n\n%2\n\nDa li stvarno želiš obrisati izabrane pozive?")
                  .arg(QString::number(rows.size()), firstLines(named));
    if (confirmDelete() && ShowMessageDialog(tr("Potvrda"), text, QMessageBox::Question,
                                             QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
        return;
    MarkAllCallsSeen();
    ShowStoreResult(m_log.DeleteCalls(chosen), this);
}

QString TfrmMain::callText(int row) const
{
    const QString caller = callRowText(row, 0);
    const QString number = callRowText(row, 1);
    const QString when = callRowText(row, 3);
    // A caller without a name shows as its number's placeholder: it is not said twice.
    return caller == number ? QStringLiteral("%1, %2").arg(caller, when)
                            : QStringLiteral("%1 (%2), %3").arg(caller, number, when);
}

void TfrmMain::MarkAllCallsSeen()
{
    m_callRows->keepShownNames();
    // While the program runs, only a call list on the screen is seen: calls that came after the
    // window was closed or minimised stay new until it shows again. When the program ends, the
    // calls page being the last page shown is enough.
    if (!m_callsPageShown || (!m_programEnding && (!isVisible() || isMinimized())))
        return;
    if (m_callsSeen)
        m_callsSeen(m_programEnding);
    const StoreResult result = m_log.MarkAllSeen();
    if (!m_programEnding)
        ShowStoreResult(result, this);
}

QString TfrmMain::SaveCallsProposedName(const QDate &today)
{
    const QLocale locale = QLocale::system();
    QString format = locale.dateFormat(QLocale::ShortFormat);
    format.remove(QLatin1Char('.'));
    format.replace(QLatin1String("yyyy"), QLatin1String("yy"));
    // Separators that cannot stand in a file name (or would make it a path) go as well.
    format.remove(QRegularExpression(QStringLiteral("[\\s/\\\\:]")));
    return QStringLiteral("Calls_") + locale.toString(today, format);
}

void TfrmMain::tbSaveCallsClick()
{
    const QString title = tr("Snimanje poziva");
    const QString filter = QStringLiteral("HTML Files (*.htm)");
    const QString name = SaveCallsProposedName(QDate::currentDate());
    QString chosen;
    if (m_saveFileDialog)
        chosen = m_saveFileDialog(title, DataDir(), name, filter);
    else
        chosen = QFileDialog::getSaveFileName(this, title, DataDir() + name, filter);
    if (chosen.isEmpty())
        return;
    const QString fileName = WithExportExtension(chosen, QStringLiteral(".htm"));
    m_callRows->keepShownNames();
    ShowStoreResult(ExportCallsHtml(m_log.calls(), fileName), this);
}
