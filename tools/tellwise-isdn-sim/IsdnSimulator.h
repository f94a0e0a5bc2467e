#pragma once

#include <QElapsedTimer>
#include <QHash>
#include <QList>
#include <QMap>
#include <QObject>
#include <QSet>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <mutex>

class QTcpServer;
class QTcpSocket;

// Type-of-number octets (numbering plan ISDN/E.164).
namespace ton {
enum : uint8_t
{
    Unknown = 0x01,
    International = 0x11,
    National = 0x21,
    Subscriber = 0x41
};
}

struct SimCallOffer
{
    QString calling;
    QString called;
    uint8_t typeOfNumber = ton::National;
    uint8_t presentation = 0x80; // allowed; 0xA0 when the number is withheld
    uint16_t cip = 1;
    uint8_t controller = 1;
};

// What the program sent, one record per message, for tests and the log.
struct SimObservation
{
    uint16_t applId = 0;
    uint16_t command = 0;
    uint32_t identifier = 0; // controller, PLCI or NCCI
    uint32_t value = 0;      // reject, info mask, facility selector, ...
    uint32_t value2 = 0;     // CIP mask of a LISTEN_REQ
    qint64 elapsedMs = -1;   // since the call was offered, for call messages
};

// A CAPI-over-TCP server on 127.0.0.1 speaking the framing of libcapi20's "fritzbox" driver:
// every message is preceded by 0x80 and a 16-bit length. It simulates N controllers with two B
// channels each and plays the network side of incoming calls. Lives in one thread; the query
// functions marked thread-safe may be called from any.
class IsdnSimulator : public QObject
{
    Q_OBJECT
public:
    explicit IsdnSimulator(int controllers = 1, QObject *parent = nullptr);
    ~IsdnSimulator() override;

    bool listen(quint16 port = 0);
    quint16 port() const;
    void setControllers(int n);
    int controllers() const { return m_controllers; }

    // Offers a call to every application listening for its CIP value on its controller; returns
    // the PLCI, or 0 with a reason in error.
    uint32_t offerCall(const SimCallOffer &offer, QString *error = nullptr);
    // The caller hangs up (0: the latest call).
    bool hangUp(uint32_t plci = 0, uint16_t reason = 0x3490);
    // Sends a supplementary services FACILITY_IND to every application.
    int sendFacilityIndication(uint8_t controller, uint16_t function);
    // Sends B channel data to the application that accepted the call.
    bool sendB3Data(uint32_t plci, const QByteArray &data);
    // The next confirmation of this request carries info instead of success.
    void failNext(uint16_t requestCommand, uint16_t info);
    // A muted simulator reads everything and answers nothing.
    void setMuted(bool muted);

    // Thread-safe.
    QStringList logLines() const;
    QList<SimObservation> observations() const;
    uint32_t latestCall() const;
    bool callFinished(uint32_t plci) const;
    int registeredApplications() const;

    static QByteArray profileFor(int controllers, int controller);
    static constexpr uint32_t kSupportedServices = 0x1D; // hold, ECT, 3PTY, call forwarding

signals:
    void logged(const QString &line);

private:
    struct Connection
    {
        QTcpSocket *socket = nullptr;
        QByteArray buffer;
        uint16_t applId = 0;
    };
    struct Listen
    {
        uint32_t infoMask = 0;
        uint32_t cipMask = 0;
    };
    struct Call
    {
        uint32_t plci = 0;
        SimCallOffer offer;
        QList<uint16_t> offered; // applications still holding the call
        uint16_t owner = 0;      // the application that accepted it
        bool b3Active = false;
        bool finished = false;
        QElapsedTimer clock;
        uint32_t ncci() const { return plci | 0x10000; }
    };

    void acceptConnection();
    void readFrom(Connection *c);
    void dropConnection(Connection *c);
    void handleAdmin(Connection *c, const QByteArray &message);
    void handleMessage(Connection *c, const QByteArray &message);
    void handleCallMessage(uint16_t applId, uint16_t command, uint16_t number, const QByteArray &message);
    // DATA travels behind the message (B channel data).
    void send(uint16_t applId, const QByteArray &message, const QByteArray &data = {});
    bool answersIndication(uint16_t applId, uint16_t response, uint16_t number);
    void confirm(uint16_t applId, uint16_t request, uint16_t number, uint32_t identifier, uint16_t info);
    uint16_t takeFailure(uint16_t request);
    void disconnectIndication(Call &call, uint16_t applId, uint16_t reason);
    void releaseFromCall(Call &call, uint16_t applId);
    Call *callByPlci(uint32_t plci);
    uint16_t allocateApplId();
    uint16_t nextNumber() { return uint16_t(++m_messageNumber & 0x7FFF); }
    void log(const QString &line);
    void observe(const SimObservation &o);

    QTcpServer *m_server;
    int m_controllers;
    bool m_muted = false;
    QList<Connection *> m_connections;
    QHash<uint16_t, Connection *> m_apps;
    QHash<uint16_t, QMap<uint8_t, Listen>> m_listens;
    QList<Call> m_calls;
    QHash<uint16_t, uint16_t> m_failures;
    // Per application, the indications awaiting their response: response command << 16 | number.
    QHash<uint16_t, QSet<uint32_t>> m_unanswered;
    QSet<uint16_t> m_usedApplIds;
    uint8_t m_nextCallIndex = 0;
    uint16_t m_messageNumber = 0;
    uint16_t m_dataHandle = 0;

    mutable std::mutex m_mutex; // guards the members below
    QStringList m_log;
    QList<SimObservation> m_observations;
    uint32_t m_latestCall = 0;
    QList<uint32_t> m_finishedCalls;
    int m_registered = 0;
};
