// The sound page: the default ring sound and the groups' own sounds. A group's sound goes to
// the groups file at once; the window's Cancel does not take it back.

#include "ui/TfrmOptions.h"

#include "platform/WaveFile.h"
#include "store/AddressBook.h"
#include "store/DataDir.h"
#include "ui/DialogSeams.h"
#include "ui/OptionsIcons.h"
#include "widgets/ShowMessageDialog.h"
#include "widgets/TRunningLabel.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>

QString TfrmOptions::chooseWaveFile(const QString &present)
{
    const QString folder = IsWaveFile(present) ? QFileInfo(present).absolutePath() : DataDir();
    const QString caption = tr("Izaberi zvučnu datoteku");
    const QString filter = QStringLiteral("Wave Sound File (*.wav)");
    if (m_openFileDialog)
        return m_openFileDialog(caption, folder, filter);
    return QFileDialog::getOpenFileName(this, caption, folder, filter);
}

// The chosen name is kept as it is: on a file system that tells case apart, a lower-cased path
// would name another file, or none.
void TfrmOptions::btnChooseSoundClick()
{
    const QString file = chooseWaveFile(lblPhoneRingSound->text());
    if (file.isEmpty())
        return;
    lblPhoneRingSound->setText(IsWaveFile(file) ? file : QString());
    btnTestSound->setEnabled(!lblPhoneRingSound->text().isEmpty());
}

void TfrmOptions::btnTestSoundClick()
{
    if (m_playSound && IsWaveFile(lblPhoneRingSound->text()))
        m_playSound(lblPhoneRingSound->text());
}

void TfrmOptions::btnTestGroupSoundClick()
{
    if (m_playSound && IsWaveFile(lblGroupSound->text()))
        m_playSound(lblGroupSound->text());
}

void TfrmOptions::fillGroupSoundTree(const QString &select)
{
    {
        const QSignalBlocker quiet(tvGroupSound);
        tvGroupSound->clear();
        const QIcon icon = OptionsIcons::group();
        for (const AGroups &g : m_book.groups()) {
            auto *item = new QTreeWidgetItem(tvGroupSound, {g.GroupName});
            item->setIcon(0, icon);
        }
        QTreeWidgetItem *current = tvGroupSound->topLevelItem(0);
        if (!select.isEmpty()) {
            const QList<QTreeWidgetItem *> found =
                tvGroupSound->findItems(select, Qt::MatchExactly | Qt::MatchCaseSensitive);
            if (!found.isEmpty())
                current = found.first();
        }
        tvGroupSound->setCurrentItem(current);
    }
    tvGroupSoundChange();
}

void TfrmOptions::tvGroupSoundChange()
{
    QTreeWidgetItem *item = tvGroupSound->currentItem();
    btnChooseGroupSound->setEnabled(item != nullptr);
    lblGroupSound->setText(item ? m_book.GroupSound(item->text(0)) : QString());
    btnDeleteGroupSound->setEnabled(!lblGroupSound->text().isEmpty());
    btnTestGroupSound->setEnabled(!lblGroupSound->text().isEmpty());
}

void TfrmOptions::btnChooseGroupSoundClick()
{
    QTreeWidgetItem *item = tvGroupSound->currentItem();
    if (!item)
        return;
    const QString group = item->text(0);
    const QString file = chooseWaveFile(m_book.GroupSound(group));
    if (file.isEmpty() || !IsWaveFile(file))
        return;
    storeGroupSound(group, file);
}

void TfrmOptions::btnDeleteGroupSoundClick()
{
    if (ShowMessageDialog(tr("Potvrda"), tr("Da li stvarno želiš obrisati zvuk grupe?"),
                          QMessageBox::Question, QMessageBox::Yes | QMessageBox::No, this) != QMessageBox::Yes)
        return;
    if (QTreeWidgetItem *item = tvGroupSound->currentItem())
        storeGroupSound(item->text(0), QString());
}

// The address book replaces the group's record and rewrites the groups file; the tree follows.
void TfrmOptions::storeGroupSound(const QString &group, const QString &sound)
{
    const StoreResult result = m_book.SetGroupSound(group, sound);
    fillGroupSoundTree(group);
    ShowStoreResult(result, this);
}
