#pragma once

#include "exchange/VCard.h"

#include <QString>
#include <QStringList>

// A vCard contacts root in the layout vdirsyncer and khard keep: each sub-folder is an address
// book, each .vcf file in it one contact. The exchange sees the default address book as folder 0
// and the other address books, in name order, as its sub-folders 1 to n.
//
// The default address book is the sub-folder "default" when there is one, else the first in
// name order; a root without any gets "default" when the first contact is saved. A root that
// holds .vcf files itself is one address book, folder 0, without sub-folders.
//
// Our files are written beside and renamed into place, named by a new UID; a file already there
// (another program's) is never replaced.
class Settings;

class TVCardFolders
{
public:
    // CONFIGURED when set, else $XDG_DATA_HOME/contacts.
    static QString rootPath(const QString &configured);
    // Whether there is anything to exchange with: a configured root or an existing default one.
    static bool isAvailable(const QString &configured);

    // Opens ROOT; false when it is not a readable folder.
    bool logon(const QString &root);
    void logoff();
    bool isLoggedOn() const { return !m_root.isEmpty(); }
    // Whether the root holds cards itself and is so the one address book.
    bool isOneBook() const { return m_flat; }

    // Folder 0's name, then its sub-folders'.
    QStringList folderNames() const;

    // The contacts of FOLDER, one a file in file-name order; files that hold no contact (a group
    // card, something else) are skipped.
    QList<TVCard> items(int folder) const;
    // The card files of FOLDER in file-name order, and the contact of one of them: false when the
    // file holds none (a group card, something else) or cannot be read.
    QStringList itemNames(int folder) const;
    bool readItem(int folder, const QString &fileName, TVCard &card) const;

    // Saves CONTACT as a new card in FOLDER; its file name on success.
    bool save(int folder, const AListAddress &contact, QString *fileName = nullptr, QString *error = nullptr);
    // Moves the card FILENAME of folder FROM into folder TO, never over another file.
    bool move(int from, const QString &fileName, int to, QString *error = nullptr);

    // Adds an address book NAME; false when it exists or the name is not a plain folder name.
    bool addFolder(const QString &name, QString *error = nullptr);
    // Moves sub-folder POSITION (1 to n) to the desktop's trash, where the user can restore it.
    // Refused when it is a symbolic link, or holds anything but cards and the book's own files.
    bool removeFolder(int position, QString *error = nullptr);

private:
    QString folderPath(int folder) const;
    void scan();

    QString m_root;
    QString m_default; // name of the default address book
    QStringList m_others;
    bool m_flat = false; // the root is the one address book
};

// Whether the exchange with a vCard contacts folder is offered: a root is configured, or the
// default one exists.
bool IsOutlookInstalled(const Settings &settings);
