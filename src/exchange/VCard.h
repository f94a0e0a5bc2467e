#pragma once

#include "store/Records.h"

#include <QByteArray>
#include <QList>
#include <QString>

class QIODevice;

// Reading and writing vCards (2.1 as phones export them, 3.0 and 4.0 when reading; 3.0 when
// writing), mapped to a contact of the address book.
//
// Fields: N (last; first), NICKNAME, FN = DisplayNameAs, ADR home and work, ORG (company;
// department; office), TITLE, URL home and work, EMAIL 1 to 4, NOTE, and the eight phone slots
// as TELs whose types say what the slot's location names (mobile, home, work, fax, pager, in
// either language), else the slot's own kind: home, home 2nd, cell, company main, work, work 2nd,
// work fax, home fax. A slot read back gets its fixed location name; group, sound, picture and
// flags are not carried.

struct TVCard
{
    AListAddress Contact;
    QString Uid;
};

// What a reading found: the contacts, and what it did not take and why.
struct TVCardReading
{
    QList<TVCard> Cards;
    qsizetype Found = 0;          // cards in the file, nested ones not counted
    qsizetype Skipped = 0;        // group cards and cards with nothing of a contact in them
    qsizetype LeftOut = 0;        // cards after a limit was reached
    qsizetype NumbersLeftOut = 0; // numbers beyond the eight a contact holds
};

namespace vcard {

// A longer logical line is dropped with its property; pictures and sounds are passed over
// without being kept, whatever their size.
constexpr qsizetype kMaxLineSize = 1024 * 1024;
// Cards after this many, or after the kept text reaches the byte limit, are left out and
// counted, so that no file can take all memory.
constexpr qsizetype kMaxCards = 50000;
constexpr qsizetype kMaxKeptBytes = 64 * 1024 * 1024;

// The location name of phone slot SLOT (0 to 7), in the program's language.
QString phoneLocation(int slot);

// A name as an import takes it: a control character in it (a NUL from text written in UTF-16,
// a line break, an escape) would reach the lists, the call window and the terminal raw. A tab or
// line break becomes a space, any other control character goes; a name without one is unchanged.
QString nameWithoutControls(const QString &name);

// What a reading left out, in a sentence a line each; empty when it took everything.
QString readingNotice(const TVCardReading &reading);

} // namespace vcard

// The contacts of the stream IN, read to its end, in the file's order. UTF-8, 8-bit and UTF-16
// (by its byte-order mark) files are read. Cards that are not a person (a group card) and cards
// with no name, number or e-mail at all are skipped; a card cut off before END:VCARD keeps what
// it has. Never fails: junk gives fewer cards.
TVCardReading ReadVCards(QIODevice &in);
QList<TVCard> ReadVCards(const QByteArray &data);
// The file FILENAME read so; false with ERROR when it cannot be opened or holds no card at all.
bool ReadVCardFile(const QString &fileName, TVCardReading &reading, QString *error);

// One card, version 3.0, UTF-8, CRLF line ends, lines folded at 75 octets. UID is written when
// not empty.
QByteArray WriteVCard(const AListAddress &contact, const QString &uid = QString());
