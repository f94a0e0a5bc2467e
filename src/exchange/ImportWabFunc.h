#pragma once

#include "exchange/WabRecord.h"
#include "store/Records.h"

#include <QList>
#include <QString>
#include <QStringList>

#include <functional>

class AddressBook;

// Reading an address-book file into records and turning records into contacts: what the import
// window and tellwise-cli share.

// Fills LIST (emptied first) with the contacts of the open file, in the file's order, and closes
// the file. Folders, distribution lists, deleted entries and contacts past the most that are read
// are skipped; LEFTOUT (when given) receives the number of the last. False with ERROR when the
// file cannot be read; LIST is then empty.
bool ReadWabContacts(QList<TWABRecord> &list, QString *error, int *leftOut = nullptr);
// Opens FILENAME and reads it, as the window loads a file.
bool ReadWabFile(const QString &fileName, QList<TWABRecord> &list, QString *error, int *leftOut = nullptr);

// A file with the suffix .vcf or .vcard is read as vCards, any other as an address-book file.
bool IsVCardFile(const QString &fileName);
// Reads FILENAME as its suffix says, as the window loads a file. NOTICE (when given) receives
// what the reading left out, a sentence a line; empty when nothing.
bool ReadContactFile(const QString &fileName, QList<TWABRecord> &list, QString *error, int *leftOut = nullptr,
                     QString *notice = nullptr);
// What the window and tellwise-cli say of a file that held LEFTOUT contacts more than are read.
QString LeftOutMessage(int leftOut);
// The record the import window lists for a contact read from a vCard.
TWABRecord VCardRecord(const AListAddress &contact);

// By display name, with the locale's case-sensitive comparison.
void SortWabRecords(QList<TWABRecord> &list);
void SortContactsByName(QList<AListAddress> &list);

// The contact an import makes of RECORD: its texts, the phones in their fixed slots ("Kuća",
// "Mobitel", "Tvrtka", "Kuća (FAX)", "Posao (FAX)"; a vCard's in its eight slots), the first four
// e-mails, the comment.
AListAddress WabRecordToContact(const TWABRecord &record);

// The group an import goes into, or the first free name after it.
extern const QString kWabImportGroup;
extern const QString kVCardImportGroup;
// The group an import of FILENAME goes into.
QString ImportGroupOf(const QString &fileName);

// The contacts an import of ROWS (in that order) of LIST makes: for each row the first record
// that carries the row's display name.
QList<AListAddress> WabContactsOfRows(const QList<TWABRecord> &list, const QList<int> &rows);

// How many of CONTACTS an import into BOOK adds: those whose name neither the book nor an earlier
// one of them holds.
int ContactsAnImportAdds(const AddressBook &book, const QList<AListAddress> &contacts);
// Whether an import of ADDING new contacts into an address book of HOLDING asks first: when it
// would grow the book several times over (and by more than a few hundred).
bool ImportAsksFirst(int adding, int holding);
// The question, with both numbers; with OPTION, tellwise-cli's refusal naming the option that
// lets such an import through.
QString ImportQuestion(int adding, int holding, const QString &option = {});

// The list's tool tip for RECORD; lines are separated by a single "\r".
QString WabInfoTip(const TWABRecord &record);
// The same for a contact: name, company, then its non-empty phones, e-mails and web pages.
QString ContactInfoTip(const AListAddress &contact);
QString ContactInfoTip(const QString &name, const QString &company, const QStringList &phones,
                       const QStringList &eMails, const QStringList &webPages);

// Type-ahead: the first row from START to the end, then (when WRAP) from the top back to START,
// whose display name begins with TEXT, both in upper case; -1 when none.
int FindWabRow(const QList<TWABRecord> &list, const QString &text, int start, bool wrap);
// The same over COUNT rows whose names NAMEAT gives.
int FindNameRow(int count, const std::function<QString(int)> &nameAt, const QString &text, int start,
                bool wrap);

// The message after an import of SELECTED rows of which IMPORTED were saved into GROUP; lines
// are separated by "\n".
QString WabImportMessage(const QString &group, int selected, int imported, int fitted = 0);

// The display name, then every other field in the record's order (e-mails 1 to 4, then for a vCard
// the second home, company main and second work phones).
QStringList WabRecordFields(const TWABRecord &record);
