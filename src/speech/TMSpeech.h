#pragma once

#include <QObject>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <memory>
#include <stdexcept>

// The first speech generation: eSpeak NG, spoken through the desktop's sound output (the one the
// ring sounds use) or rendered into a wave file.

enum class TSpeechOutput
{
    soFile = 0,
    soGeneral = 1,
};

// An error of the engine that reaches the caller (selection and speaking); the texts are the
// engine's own, in English.
class EMSpeechException : public std::runtime_error
{
public:
    explicit EMSpeechException(const char *message) : std::runtime_error(message) {}
    QString message() const { return QString::fromUtf8(what()); }
};

// What the selected voice says about itself. Nothing in the program reads it; it is kept for
// whoever looks at the engine.
struct TMSpeechEngineInfo
{
    QString ModeName;
    QString Dialect; // the voice's language
    QString MfgName;
    QString ProductName;
    QString ModeID; // identifiers in braces
    QString EngineID;
    QString Speaker;
    QString Style;
    QString Gender; // "NEUTRAL", "FEMALE" or "MALE"
    std::int32_t Age = 0;
    std::uint32_t Features = 0;
    std::uint32_t Interfaces = 0;
    std::uint16_t PitchHigh = 0;
    std::uint16_t PitchLow = 0;
    std::uint32_t RealTimeHigh = 0;
    std::uint32_t RealTimeLow = 0;
    std::uint32_t SpeedHigh = 0;
    std::uint32_t SpeedLow = 0;
    std::int32_t Reserved1 = 100;
    std::int32_t Reserved2 = 0;
};

// The mouth shape handed with a visual event (from the phoneme being spoken).
struct TTSMouth
{
    unsigned char MouthHeight = 0;
    unsigned char MouthWidth = 0;
    unsigned char MouthUpturn = 0;
    unsigned char JawOpen = 0;
    unsigned char TeethUpperVisible = 0;
    unsigned char TeethLowerVisible = 0;
    unsigned char TonguePosn = 0;
    unsigned char LipTension = 0;
};

class TMSpeech : public QObject
{
    Q_OBJECT
public:
    // Lists the installed voices; a machine without eSpeak NG leaves the list empty and the
    // component uninitialised.
    explicit TMSpeech(QObject *owner = nullptr);
    // The components share the engine's threads; the last one to go stops and joins them,
    // cutting short what is still sounding.
    ~TMSpeech() override;

    // Voice names in eSpeak's order.
    const QStringList &engines() const { return m_engines; }
    bool initialized() const { return m_initialized; }
    bool engineSelected() const { return m_engineSelected; }

    // Makes the named voice current (the first whose name equals it, ignoring case).
    // Throws "Speech Engine not initialized" / "Specified Speech Engine not found"; any other
    // failure leaves no voice selected, silently.
    void SelectEngine(const QString &name);

    // Speaks every line of Text, joined with CR LF. Returns at once; the synthesis runs off the
    // window thread, and a text waits for the ones before it to be heard to their end.
    // Throws "Speech Engine not initialized" / "Speech Engine not selected"; every other
    // failure (an unwritable Filename among them) is absorbed, and for a spoken text reported
    // by failed(). Returns the text's number for that signal (0: the text was only recorded).
    quint64 Speak();

    // The name of the voice eSpeak prefers for a language ("hr", "en"); empty when none speaks it.
    QString voiceForLanguage(const QString &language) const;

    QString Filename;
    TSpeechOutput Output = TSpeechOutput::soGeneral;
    QStringList Text;
    QString Version;

    const TMSpeechEngineInfo &engineInfo() const { return m_info; }
    // The character offset of the word last reported while speaking.
    std::uint32_t lastWordPosition() const { return m_lastWordPosition; }

signals:
    void OnStart();
    void OnStop();
    void OnVisual(std::uint32_t hints, const TTSMouth &mouth);
    // Spoken text NUMBER could not be played: no voice, no synthesis or no sound output.
    void failed(quint64 number);

private:
    struct Engine;
    std::unique_ptr<Engine> m_engine;
    QStringList m_engines;
    bool m_initialized = false;
    bool m_engineSelected = false;
    TMSpeechEngineInfo m_info;
    std::uint32_t m_lastWordPosition = 0;
    quint64 m_spoken = 0;
};
