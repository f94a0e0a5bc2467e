#pragma once

#include "store/Records.h"

#include <QByteArray>
#include <QList>
#include <QString>

// Reading and writing vCards (2.1 as phones export them, 3.0 and 4.0 when reading; 3.0 when
// writing), mapped to a contact of the address book.
//
// Fields: N (last; first), NICKNAME, FN = DisplayNameAs, ADR home and work, ORG (company;
// department; office), TITLE, URL home and work, EMAIL 1 to 4, NOTE, and the eight phone slots
// as TELs whose types say the slot: home, home 2nd, cell, company main, work, work 2nd, work fax,
// home fax. A slot read back gets its fixed location name; group, sound, picture and flags are
// not carried.

struct TVCard
{
    AListAddress Contact;
    QString Uid;
};

namespace vcard {

// Larger input is refused whole; a longer logical line is dropped with its property.
constexpr qsizetype kMaxFileSize = 16 * 1024 * 1024;
constexpr qsizetype kMaxLineSize = 1024 * 1024;
// Cards after this many are left out, so that a file of tiny cards cannot take all memory.
constexpr qsizetype kMaxCards = 50000;

// The location name of phone slot SLOT (0 to 7), in the program's language.
QString phoneLocation(int slot);

// A name as an import takes it: a control character in it (a NUL from text written in UTF-16,
// a line break, an escape) would reach the lists, the call window and the terminal raw. A tab or
// line break becomes a space, any other control character goes; a name without one is unchanged.
QString nameWithoutControls(const QString &name);

} // namespace vcard

// The contacts of DATA in the file's order. Cards that are not a person (a group card) and
// cards with no name, number or e-mail at all are skipped; a card cut off before END:VCARD
// keeps what it has. Never fails: junk gives fewer cards.
QList<TVCard> ReadVCards(const QByteArray &data);

// One card, version 3.0, UTF-8, CRLF line ends, lines folded at 75 octets. UID is written when
// not empty.
QByteArray WriteVCard(const AListAddress &contact, const QString &uid = QString());
