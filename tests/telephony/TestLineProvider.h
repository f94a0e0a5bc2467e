#pragma once

#include "telephony/LineProvider.h"

#include <QHash>
#include <QStringList>
#include <QTimer>

// An in-process line device for what no modem can show: old API versions, non-ASCII names,
// oversized structures, arbitrary changed-item masks, a line that vanishes.
class TestLineDevice : public telephony::LineDevice
{
    Q_OBJECT
public:
    QByteArray name;
    QByteArray info = "Test provider";
    DWORD format = STRINGFORMAT_ASCII;
    DWORD media = LINEMEDIAMODE_DATAMODEM | LINEMEDIAMODE_INTERACTIVEVOICE;
    DWORD highVersion = 0x00020000;
    DWORD cidCaps = LINECALLPARTYID_NAME | LINECALLPARTYID_ADDRESS;
    QByteArray extra;
    bool openSucceeds = true;

    int starts = 0;
    int stops = 0;
    QStringList requests; // "answer 1", "drop 2"
    QHash<int, telephony::CallData> calls;

    explicit TestLineDevice(QByteArray lineName) : name(std::move(lineName)) {}

    QByteArray lineName() const override { return name; }
    QByteArray providerInfo() const override { return info; }
    DWORD stringFormat() const override { return format; }
    DWORD mediaModes() const override { return media; }
    DWORD highestApiVersion() const override { return highVersion; }
    DWORD callerIdCaps() const override { return cidCaps; }
    QByteArray devSpecific() const override { return extra; }
    bool startMonitoring() override
    {
        ++starts;
        return openSucceeds;
    }
    void stopMonitoring() override { ++stops; }
    void answerCall(int callId, Done done) override { request("answer", callId, done); }
    void dropCall(int callId, Done done) override { request("drop", callId, done); }
    telephony::CallData callData(int callId) const override { return calls.value(callId); }

    void offer(int callId) { emit callStateChanged(callId, LINECALLSTATE_OFFERING, LINEOFFERINGMODE_ACTIVE); }
    void identify(int callId, const telephony::CallData &data, DWORD mask = LINECALLINFOSTATE_CALLERID)
    {
        calls[callId] = data;
        emit callInfoChanged(callId, mask);
    }
    void end(int callId)
    {
        emit callStateChanged(callId, LINECALLSTATE_DISCONNECTED, LINEDISCONNECTMODE_NORMAL);
        emit callStateChanged(callId, LINECALLSTATE_IDLE, 0);
    }
    void lose() { emit deviceLost(); }

private:
    void request(const char *what, int callId, Done done)
    {
        requests.append(QStringLiteral("%1 %2").arg(QLatin1String(what)).arg(callId));
        QTimer::singleShot(0, this, [done] { done(0); });
    }
};

class TestLineProvider : public telephony::LineProvider
{
public:
    QList<QSharedPointer<TestLineDevice>> list;

    QList<QSharedPointer<telephony::LineDevice>> devices() override
    {
        QList<QSharedPointer<telephony::LineDevice>> result;
        for (const auto &d : list)
            result.append(d);
        return result;
    }
};
