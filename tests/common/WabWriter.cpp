#include "WabWriter.h"

#include <QtEndian>

namespace wabwriter {

namespace {

constexpr int kIndexStart = 0x18 + 6 * 16;

void put(QByteArray &out, std::uint32_t value)
{
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

QByteArray sized(const QByteArray &bytes)
{
    QByteArray out;
    put(out, std::uint32_t(bytes.size()));
    return out + bytes;
}

QByteArray utf16(const QString &text)
{
    QByteArray out;
    for (QChar c : text + QChar(0)) {
        out.append(char(c.unicode() & 0xFF));
        out.append(char(c.unicode() >> 8));
    }
    return out;
}

QByteArray multi(std::uint32_t tag, const QList<QByteArray> &values)
{
    QByteArray all;
    for (const QByteArray &v : values)
        all += sized(v);
    QByteArray out;
    put(out, tag);
    put(out, std::uint32_t(values.size()));
    return out + sized(all);
}

QByteArray body(const Record &r)
{
    QList<QByteArray> props = r.props;
    if (r.objectType)
        props.prepend(number(0x0FFE0003, r.objectType));
    QByteArray tags, data;
    for (const QByteArray &p : props) {
        tags += p.left(4);
        data += p;
    }
    QByteArray out;
    for (std::uint32_t word : {std::uint32_t(r.live), 1u, r.id, std::uint32_t(props.size()), 0x20u, 0u, 0u,
                               std::uint32_t(data.size())})
        put(out, word);
    return out + tags + data;
}

} // namespace

QByteArray text8(std::uint32_t tag, const QByteArray &text)
{
    QByteArray out;
    put(out, tag);
    return out + sized(text + '\0');
}

QByteArray wide(std::uint32_t tag, const QString &text)
{
    QByteArray out;
    put(out, (tag & 0xFFFF0000u) | 0x001F);
    return out + sized(utf16(text));
}

QByteArray multi8(std::uint32_t tag, const QList<QByteArray> &texts)
{
    QList<QByteArray> values;
    for (const QByteArray &t : texts)
        values << t + '\0';
    return multi(tag, values);
}

QByteArray multiWide(std::uint32_t tag, const QStringList &texts)
{
    QList<QByteArray> values;
    for (const QString &t : texts)
        values << utf16(t);
    return multi((tag & 0xFFFF0000u) | 0x101F, values);
}

QByteArray number(std::uint32_t tag, std::uint32_t value)
{
    QByteArray out;
    put(out, tag);
    put(out, 4);
    put(out, value);
    return out;
}

QByteArray file(const QList<Record> &records)
{
    QByteArray out = QByteArray::fromHex("9ccbcb8d1375d211915800c04f7956a4");
    put(out, 0);
    put(out, 0);
    for (int d = 0; d < 6; ++d) {
        put(out, d == 0 ? 0xFA0 : 0x84D0);
        put(out, d == 0 ? 8 : 68);
        put(out, d == 0 ? kIndexStart : 0);
        put(out, d == 0 ? std::uint32_t(records.size()) : 0);
    }
    QByteArray bodies;
    for (const Record &r : records) {
        put(out, r.id);
        put(out, std::uint32_t(kIndexStart + records.size() * 8 + bodies.size()));
        bodies += body(r);
    }
    return out + bodies;
}

} // namespace wabwriter
