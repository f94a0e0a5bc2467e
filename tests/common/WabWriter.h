#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>

// Writes address-book files field by field in the layout of the files Windows wrote, as the
// format's public description gives it: the signature, two counts, six table descriptors (the
// first the index), the index, then per record its header, its list of property tags, and its
// data, where every property repeats its tag before its value.
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
    std::uint32_t objectType = 6; // 4: a folder; 8: a distribution list; 0: none stored
};

QByteArray file(const QList<Record> &records);

} // namespace wabwriter
