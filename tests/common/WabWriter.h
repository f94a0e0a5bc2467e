#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// Writes address-book files in the layout the program reads, for fixtures: the signature, six
// table descriptors (the first the index), the index, then each record's header and properties.
namespace wabwriter {

// One encoded property: tag and value.
QByteArray text8(std::uint32_t tag, const QByteArray &text);
QByteArray wide(std::uint32_t tag, const QString &text); // the tag's type becomes the wide one
QByteArray multi8(std::uint32_t tag, const QList<QByteArray> &texts);
QByteArray multiWide(std::uint32_t tag, const QStringList &texts);
QByteArray number(std::uint32_t tag, std::uint32_t value);

struct Record
{
    std::uint32_t id = 0;
    QList<QByteArray> props;
    bool live = true;
    std::uint32_t objectType = 6; // 8: a distribution list; 0: none stored
};

QByteArray file(const QList<Record> &records);
// Where record I's header starts in file(RECORDS).
int recordOffset(const QList<Record> &records, int i);

} // namespace wabwriter
