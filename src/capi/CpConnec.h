#pragma once

#include <QByteArray>
#include <QObject>

#include <cstdint>
#include <memory>
#include <vector>

// One B3 data block waiting to be sent or confirmed.
struct TB3SendItem
{
    uint16_t dataHandle = 0;
    uint16_t dataLength = 0;
    QByteArray data;
    uint16_t flags = 0;
    bool sent = false;
};

class TB3DataQueue
{
public:
    int count() const { return int(m_items.size()); }
    TB3SendItem &item(int index) { return *m_items[std::size_t(index)]; }
    int sentCount() const;
    void add(uint16_t dataHandle, const QByteArray &data, uint16_t flags = 0);
    bool removeByHandle(uint16_t dataHandle);
    void clear() { m_items.clear(); }

private:
    std::vector<std::unique_ptr<TB3SendItem>> m_items;
};

// Connection states.
enum : uint16_t
{
    kConnDisconnected = 0,
    kConnOffered = 1,
    kConnActive = 2,
    kConnB3Pending = 4,
    kConnB3Active = 8,
    kConnB3DisconnectRequested = 0x10,
    kConnB3Disconnected = 0x20,
};

class TConnection
{
public:
    uint32_t plci() const { return m_plci; }
    void setPlci(uint32_t plci)
    {
        m_plci = plci;
        controller = uint8_t(plci & 0xFF);
    }

    uint8_t controller = 0;
    uint32_t id = 0;
    QObject *tag = nullptr;
    uint16_t direction = 0;           // 2 incoming, 1 outgoing
    uint16_t disconnectInitiator = 0; // 0 none, 1 local, 2 remote
    uint16_t state = kConnDisconnected;
    uint16_t offerNumber = 0; // message number of the CONNECT_IND; the CONNECT_RESP repeats it
    uint32_t ncci = 0;
    TB3DataQueue sendQueue;
    bool sending = false;

private:
    uint32_t m_plci = 0;
};

class TConnections
{
public:
    TConnection *add();
    void remove(TConnection *connection);
    bool contains(const TConnection *connection) const;
    int count() const { return int(m_items.size()); }
    TConnection *item(int index) { return m_items[std::size_t(index)].get(); }
    TConnection *findByPlci(uint32_t plci) const;
    TConnection *findByNcci(uint32_t ncci) const;
    TConnection *findById(uint32_t id) const;
    TConnection *findByTag(const QObject *tag) const;
    uint32_t nextId() const;

private:
    std::vector<std::unique_ptr<TConnection>> m_items;
};
