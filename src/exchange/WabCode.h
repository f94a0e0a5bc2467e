#pragma once

#include "exchange/WabDefs.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <cstdint>

// The reader of the address-book file. Layout (all numbers 32-bit little-endian):
//   0x00  signature, 16 bytes (the one of today's files, or the older one Windows 95 and the
//         first Outlook Express wrote)
//   0x10  two counts
//   0x18  six table descriptors {type, entry size, offset, count}; the index table (type 0xFA0)
//         holds {record id, record offset} pairs, an offset of 0 being a free slot
//   record: header {live flag (0: deleted), 1, record id, property count, 0x20, 2 words, data
//         length}; then the property tags, one word each; then the data, in which every
//         property repeats its tag and, for a single value, gives its byte length and bytes, and
//         for a multi-valued one the value count, the byte length of all values, and per value
//         its byte length and bytes. A record ends after header, tags and data. Strings are 8-bit
//         (Windows-1250 here) or UTF-16LE, ended by a NUL within their length.
// Every offset, length and count is checked against the file; a file that lies about them is
// refused as a whole with the reason, so that no half-read address book is ever offered.
namespace wab {

constexpr std::uint32_t kIndexTableType = 0xFA0;
constexpr int kRecordHeaderSize = 32;
// Far above any real address book; a bound on what a hostile file can make us hold in memory.
constexpr qsizetype kMaxFileSize = 16 * 1024 * 1024;
// A file of tiny records holds hundreds of thousands; no address book that people keep does.
constexpr int kMaxContacts = 50000;
extern const unsigned char kSignature[16];
extern const unsigned char kOldSignature[16];

struct WabFileRecord
{
    std::uint32_t id = 0;
    // In the record's order; of a record that is not a contact only its object type.
    QList<SPropValue> props;
};

struct WabParse
{
    QList<WabFileRecord> records; // live records, in index order
    int contactsLeftOut = 0;      // contacts past kMaxContacts, not kept
    QString error;                // empty when the file was read
    bool ok() const { return error.isEmpty(); }
};

WabParse ParseWabFile(const QByteArray &bytes);

} // namespace wab
