#include "AtInterpreter.h"

#include <cctype>

namespace {

constexpr int kRegisterCount = 100;

bool isExtendedPrefix(char c)
{
    return c == '+' || c == '#' || c == '%' || c == '-' || c == '*' || c == '$';
}

bool isNameChar(char c)
{
    return std::isalnum(static_cast<unsigned char>(c)) || c == '!' || c == '.' || c == '/' || c == ':' ||
           c == '_' || c == '%' || c == '-';
}

// A number made of decimal digits only; -1 when there is none or it is not one.
int decimal(QByteArrayView text)
{
    if (text.isEmpty() || text.size() > 5)
        return -1;
    int v = 0;
    for (const char c : text) {
        if (c < '0' || c > '9')
            return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

QByteArray threeDigits(int v)
{
    return QByteArray::number(v).rightJustified(3, '0');
}

} // namespace

ModemSettings::ModemSettings()
{
    // The registers a Hayes modem starts with: escape character, CR, LF, BS, the waits.
    s[2] = 43;
    s[3] = 13;
    s[4] = 10;
    s[5] = 8;
    s[6] = 2;
    s[7] = 50;
    s[8] = 2;
    s[10] = 14;
    s[12] = 50;
}

// The command line being read: upper case, blanks outside strings already gone.
struct AtInterpreter::Cursor
{
    QByteArray text;
    qsizetype pos = 0;

    bool atEnd() const { return pos >= text.size(); }
    char peek() const { return atEnd() ? '\0' : text.at(pos); }
    QByteArray digits()
    {
        const qsizetype start = pos;
        while (!atEnd() && std::isdigit(static_cast<unsigned char>(peek())))
            ++pos;
        return text.mid(start, pos - start);
    }
};

AtInterpreter::AtInterpreter(Identity identity) : m_identity(std::move(identity)) {}

AtOutcome AtInterpreter::run(QByteArrayView body)
{
    Cursor c;
    bool inString = false;
    for (const char ch : body) {
        if (ch == '"')
            inString = !inString;
        if (!inString && ch == ' ')
            continue;
        c.text.append(inString ? ch : char(std::toupper(static_cast<unsigned char>(ch))));
    }
    ModemSettings next = m_settings;
    AtOutcome out;
    m_toStore.reset();
    bool ok = true;
    while (ok && !c.atEnd()) {
        const char ch = c.peek();
        if (ch == ';')
            ++c.pos;
        else if (isExtendedPrefix(ch))
            ok = extended(c, next, out);
        else if (ch == '&')
            ok = ampersand(c, next, out);
        else if (ch == 'S')
            ok = sRegister(c, next, out);
        else
            ok = basic(c, next, out);
    }
    if (!ok) {
        AtOutcome failed;
        failed.error = true;
        return failed;
    }
    m_settings = next;
    if (m_toStore)
        m_stored = *m_toStore;
    return out;
}

bool AtInterpreter::basic(Cursor &c, ModemSettings &next, AtOutcome &out)
{
    const char letter = c.peek();
    ++c.pos;
    const QByteArray digits = c.digits();
    const int v = digits.isEmpty() ? 0 : decimal(digits);
    auto within = [v](int high) { return v >= 0 && v <= high; };
    switch (letter) {
    case 'A':
        // Answering ends the command line; what follows is never run.
        out.answer = true;
        c.pos = c.text.size();
        return digits.isEmpty();
    case 'E':
        next.echo = v == 1;
        return within(1);
    case 'H':
        out.offHook = v == 1;
        return within(1);
    case 'I':
        if (!within(9))
            return false;
        switch (v) {
        case 0:
            out.info.append(m_identity.info);
            break;
        case 1:
            out.info.append("255");
            break;
        case 2:
            break; // ROM check passed: only the result code
        case 3:
            out.info.append(m_identity.revision);
            break;
        case 4:
            out.info.append(m_identity.manufacturer);
            break;
        case 5:
            out.info.append(m_identity.model);
            break;
        default:
            out.info.append(next.country);
            break;
        }
        return true;
    case 'L':
        next.speakerLevel = v;
        return within(3);
    case 'M':
        next.speakerMode = v;
        return within(3);
    case 'P':
    case 'T':
        return digits.isEmpty();
    case 'Q':
        next.quiet = v == 1;
        return within(1);
    case 'V':
        next.verbose = v == 1;
        return within(1);
    case 'X':
        next.resultSet = v;
        return within(4);
    case 'Z':
        next = m_stored;
        out.reset = true;
        out.offHook = false;
        return within(1);
    default:
        return false;
    }
}

bool AtInterpreter::ampersand(Cursor &c, ModemSettings &next, AtOutcome &out)
{
    ++c.pos;
    const char letter = c.peek();
    ++c.pos;
    const QByteArray digits = c.digits();
    const int v = digits.isEmpty() ? 0 : decimal(digits);
    switch (letter) {
    case 'C':
        next.dcdMode = v;
        return v >= 0 && v <= 1;
    case 'D':
        next.dtrMode = v;
        return v >= 0 && v <= 3;
    case 'K':
        next.flowControl = v;
        return v == 0 || (v >= 3 && v <= 6);
    case 'F':
        next = ModemSettings();
        out.reset = true;
        return v == 0;
    case 'W':
        m_toStore = next;
        return v >= 0 && v <= 1;
    case 'V':
        out.info += profileText(next);
        return v == 0;
    case 'S':
    case 'Y':
        return v >= 0 && v <= 1;
    default:
        return false;
    }
}

bool AtInterpreter::sRegister(Cursor &c, ModemSettings &next, AtOutcome &out)
{
    ++c.pos;
    const int reg = decimal(c.digits());
    if (reg < 0 || reg >= kRegisterCount)
        return false;
    if (c.peek() == '?') {
        ++c.pos;
        out.info.append(threeDigits(next.s[std::size_t(reg)]));
        return true;
    }
    if (c.peek() != '=')
        return false;
    ++c.pos;
    const int v = decimal(c.digits());
    if (v < 0 || v > 255)
        return false;
    next.s[std::size_t(reg)] = v;
    return true;
}

bool AtInterpreter::extended(Cursor &c, ModemSettings &next, AtOutcome &out)
{
    const qsizetype start = c.pos++;
    while (!c.atEnd() && isNameChar(c.peek()))
        ++c.pos;
    const QByteArray name = c.text.mid(start, c.pos - start);
    enum
    {
        Action,
        Read,
        Test,
        Set
    } form = Action;
    QByteArray value;
    if (c.text.mid(c.pos, 2) == "=?") {
        form = Test;
        c.pos += 2;
    } else if (c.peek() == '?') {
        form = Read;
        ++c.pos;
    } else if (c.peek() == '=') {
        form = Set;
        const qsizetype end = c.text.indexOf(';', ++c.pos);
        value = c.text.mid(c.pos, (end < 0 ? c.text.size() : end) - c.pos);
        c.pos = end < 0 ? c.text.size() : end;
    }
    // After an extended command only ";" or the end of the line may follow.
    if (!c.atEnd() && c.peek() != ';')
        return false;

    auto setting = [&](int &field, int high, const QByteArray &range) {
        const int v = decimal(value);
        switch (form) {
        case Set:
            field = v;
            return v >= 0 && v <= high;
        case Read:
            out.info.append(name + ": " + QByteArray::number(field));
            return true;
        case Test:
            out.info.append(name + ": " + range);
            return true;
        case Action:
            return false;
        }
        return false;
    };

    const bool isCallerId = name == "+VCID" || name == "#CID" || name == "%CCID";
    if (isCallerId && (m_identity.cidCommand.isEmpty() || m_identity.cidCommand.toUpper() == name))
        return setting(next.callerId, 2, "(0-2)");
    if (name == "-STE")
        return setting(next.telephonyExtension, 7, "(0-7)");
    if (name == "+FCLASS") {
        const int v = decimal(value);
        if (form == Set)
            next.faxClass = v;
        if (form == Read)
            out.info.append(QByteArray::number(next.faxClass));
        if (form == Test)
            out.info.append("0,1,8");
        return form == Set ? (v == 0 || v == 1 || v == 8) : form != Action;
    }
    if (name == "+GCI") {
        static const QList<QByteArray> countries{"B5", "3D", "FA", "04", "42"};
        if (form == Set)
            next.country = value;
        if (form == Read)
            out.info.append("+GCI: " + next.country);
        if (form == Test)
            out.info.append("+GCI: (" + countries.join(',') + ")");
        return form == Set ? countries.contains(value) : form != Action;
    }
    if (form == Action) {
        if (name == "+GMI")
            out.info.append(m_identity.manufacturer);
        else if (name == "+GMM")
            out.info.append(m_identity.model);
        else if (name == "+GMR")
            out.info.append(m_identity.revision);
        else if (name != "+VIP")
            return false;
        return true;
    }
    return false;
}

QList<QByteArray> AtInterpreter::profileText(const ModemSettings &s) const
{
    QByteArray line = "E" + QByteArray::number(int(s.echo)) + " L" + QByteArray::number(s.speakerLevel) +
                      " M" + QByteArray::number(s.speakerMode) + " Q" + QByteArray::number(int(s.quiet)) +
                      " V" + QByteArray::number(int(s.verbose)) + " X" + QByteArray::number(s.resultSet) +
                      " &C" + QByteArray::number(s.dcdMode) + " &D" + QByteArray::number(s.dtrMode) + " &K" +
                      QByteArray::number(s.flowControl);
    QByteArray registers;
    for (int r : {0, 1, 2, 3, 4, 5, 6, 7, 8, 10, 12})
        registers +=
            "S" + QByteArray::number(r).rightJustified(2, '0') + ":" + threeDigits(s.s[std::size_t(r)]) + " ";
    return {"ACTIVE PROFILE:", line, registers.trimmed()};
}
