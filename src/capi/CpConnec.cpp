#include "CpConnec.h"

#include <algorithm>

int TB3DataQueue::sentCount() const
{
    return int(std::count_if(m_items.begin(), m_items.end(), [](const auto &i) { return i->sent; }));
}

void TB3DataQueue::add(uint16_t dataHandle, const QByteArray &data, uint16_t flags)
{
    auto item = std::make_unique<TB3SendItem>();
    item->dataHandle = dataHandle;
    item->dataLength = uint16_t(qMin<qsizetype>(data.size(), 0xFFFF));
    item->data = data;
    item->flags = flags;
    m_items.push_back(std::move(item));
}

bool TB3DataQueue::removeByHandle(uint16_t dataHandle)
{
    const auto it = std::find_if(m_items.begin(), m_items.end(),
                                 [&](const auto &i) { return i->dataHandle == dataHandle; });
    if (it == m_items.end())
        return false;
    m_items.erase(it);
    return true;
}

TConnection *TConnections::add()
{
    auto c = std::make_unique<TConnection>();
    c->id = nextId();
    m_items.push_back(std::move(c));
    return m_items.back().get();
}

void TConnections::remove(TConnection *connection)
{
    const auto it =
        std::find_if(m_items.begin(), m_items.end(), [&](const auto &c) { return c.get() == connection; });
    if (it != m_items.end())
        m_items.erase(it);
}

bool TConnections::contains(const TConnection *connection) const
{
    return connection &&
           std::any_of(m_items.begin(), m_items.end(), [&](const auto &c) { return c.get() == connection; });
}

namespace {
template <typename Pred>
TConnection *findIf(const std::vector<std::unique_ptr<TConnection>> &items, Pred pred)
{
    const auto it = std::find_if(items.begin(), items.end(), [&](const auto &c) { return pred(*c); });
    return it == items.end() ? nullptr : it->get();
}
} // namespace

TConnection *TConnections::findByPlci(uint32_t plci) const
{
    return findIf(m_items, [&](const TConnection &c) { return c.plci() == plci; });
}

TConnection *TConnections::findByNcci(uint32_t ncci) const
{
    return findIf(m_items, [&](const TConnection &c) { return c.ncci == ncci; });
}

TConnection *TConnections::findById(uint32_t id) const
{
    return findIf(m_items, [&](const TConnection &c) { return c.id == id; });
}

TConnection *TConnections::findByTag(const QObject *tag) const
{
    return findIf(m_items, [&](const TConnection &c) { return c.tag == tag; });
}

uint32_t TConnections::nextId() const
{
    uint32_t highest = 0;
    for (const auto &c : m_items)
        highest = std::max(highest, c->id);
    const uint32_t id = highest + 1;
    return id >= 0x7FFFFFFF ? 1 : id;
}
