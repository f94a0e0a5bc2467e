#pragma once

#include "app/CallPipeline.h"
#include "app/SoundPlay.h"
#include "settings/Settings.h"
#include "store/AddressBook.h"
#include "store/CallLog.h"
#include "store/FileRecords.h"
#include "ui/TfrmCallerNotes.h"
#include "ui/TfrmIncomingCall.h"
#include "ui/TfrmNewCallMessage.h"
#include "widgets/TRunningLabel.h"

#include <QFile>
#include <QLabel>
#include <QStringList>

#include "TestSupport.h"

// A controller for the pipeline tests: the real call windows and settings, and a record of
// what the pipeline asked of the tray, the reject command and the speech, and the address
// book and call log of the test's data folder.
class PipelineTestHost : public CallPipelineHost
{
public:
    PipelineTestHost() : window(&message, &notes)
    {
        window.setAnimate(false);
        window.setAutoClose(false, 30);
        message.setAnimate(false);
    }

    const Settings &pipelineSettings() const override { return settings; }
    bool IsDoNotDisturbOn() const override { return settings.flag(Settings::DoNotDisturb); }
    bool IsAutoRejectOn() const override { return settings.flag(Settings::AutoReject); }
    int newCallCount() const override { return newCalls; }
    void setNewCallCount(int count) override { newCalls = count; }
    void SetTrayStateNewCall() override { ++trayNewCall; }
    void StartScrollLockFlashing() override { ++flashStarts; }
    TfrmIncomingCall &IncomingCallWindow() override { return window; }
    TfrmNewCallMessage &NewCallMessageWindow() override { return message; }
    void RejectCurrentCall() override { ++rejects; }
    void SpeakText(const QString &text, bool) override { spoken << text; }
    AddressBook &addressBook() override { return book; }
    CallLog &callLog() override { return log; }

    // Back to a quiet controller between cases; the settings keep their defaults otherwise.
    void reset()
    {
        window.hide();
        message.hide();
        newCalls = trayNewCall = flashStarts = rejects = 0;
        spoken.clear();
    }

    QString shown(const char *label) const
    {
        if (auto *running = window.findChild<TRunningLabel *>(QLatin1String(label)))
            return running->text();
        if (auto *plain = window.findChild<QLabel *>(QLatin1String(label)))
            return plain->text();
        return QStringLiteral("<no %1>").arg(QLatin1String(label));
    }

    Settings settings;
    AddressBook book{testsupport::testDataDir()};
    CallLog log{testsupport::testDataDir()};
    TfrmNewCallMessage message;
    TfrmCallerNotes notes;
    TfrmIncomingCall window;
    int newCalls = 0;
    int trayNewCall = 0;
    int flashStarts = 0;
    int rejects = 0;
    QStringList spoken;
};

// A silent PCM wave file of the given length (mono, 8 bits, 8000 Hz), for the recording sound sink.
inline void writeSilentWave(const QString &path, int milliseconds)
{
    auto le = [](quint32 value, int size) {
        QByteArray bytes(size, '\0');
        for (int i = 0; i < size; ++i)
            bytes[i] = char(value >> (8 * i));
        return bytes;
    };
    const quint32 data = 8 * quint32(milliseconds);
    testsupport::writeFile(path, "RIFF" + le(36 + data, 4) + "WAVEfmt " + le(16, 4) + le(1, 2) + le(1, 2) +
                                     le(8000, 4) + le(8000, 4) + le(1, 2) + le(8, 2) + "data" + le(data, 4) +
                                     QByteArray(int(data), char(0x80)));
}

// The lines the recording sound sink has written: one per sound that began to play.
inline QStringList recordedSounds(const QString &logFile)
{
    QFile file(logFile);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
}
