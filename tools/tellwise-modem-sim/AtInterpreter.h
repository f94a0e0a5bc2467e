#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <array>
#include <optional>

// What AT commands set in the modem. Held as one value, so that a command line that fails
// part-way leaves the modem as it was.
struct ModemSettings
{
    ModemSettings();

    bool echo = true;
    bool verbose = true;
    bool quiet = false;
    int speakerLevel = 1;       // L
    int speakerMode = 1;        // M
    int resultSet = 4;          // X
    int dcdMode = 1;            // &C
    int dtrMode = 2;            // &D
    int flowControl = 3;        // &K
    int callerId = 0;           // +VCID, #CID or %CCID
    int faxClass = 0;           // +FCLASS
    int telephonyExtension = 0; // -STE
    QByteArray country = "B5";  // +GCI, a T.35 country code
    std::array<int, 100> s{};   // S registers
};

// The result codes of V.250 with their numbers.
enum class ResultCode
{
    Ok = 0,
    Connect = 1,
    Ring = 2,
    NoCarrier = 3,
    Error = 4,
    NoDialtone = 6,
    Busy = 7,
    NoAnswer = 8,
};

// What one command line asks of the modem beyond its settings.
struct AtOutcome
{
    bool error = false;
    QList<QByteArray> info; // information text, one entry per line
    bool reset = false;     // Z or &F ran
    std::optional<bool> offHook;
    bool answer = false;
};

// Runs the commands of one AT command line (V.250 syntax): basic commands one after another,
// blanks ignored, extended commands (+, #, %, -) ended by ";", S registers, "&" commands.
// A line with any unknown or invalid command answers ERROR and changes nothing.
class AtInterpreter
{
public:
    struct Identity
    {
        QByteArray info;         // ATI and ATI0
        QByteArray manufacturer; // +GMI, ATI4
        QByteArray model;        // +GMM, ATI5
        QByteArray revision;     // +GMR, ATI3
        QByteArray cidCommand;   // when set, the only caller-ID command known
    };

    explicit AtInterpreter(Identity identity);

    // The text after "AT".
    AtOutcome run(QByteArrayView body);

    const ModemSettings &settings() const { return m_settings; }
    // Makes the current settings the stored profile that Z restores.
    void storeProfile() { m_stored = m_settings; }

private:
    struct Cursor;
    bool basic(Cursor &c, ModemSettings &next, AtOutcome &out);
    bool ampersand(Cursor &c, ModemSettings &next, AtOutcome &out);
    bool sRegister(Cursor &c, ModemSettings &next, AtOutcome &out);
    bool extended(Cursor &c, ModemSettings &next, AtOutcome &out);
    QList<QByteArray> profileText(const ModemSettings &s) const;

    Identity m_identity;
    ModemSettings m_settings;
    ModemSettings m_stored;
    std::optional<ModemSettings> m_toStore;
};
