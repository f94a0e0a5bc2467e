#pragma once

#include "exchange/VCard.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QStringDecoder>

#include <optional>
#include <utility>

namespace vcard {

// Turns a file's bytes, fed in pieces, into logical lines for USE: UTF-16 becomes UTF-8; CR LF,
// LF, CR and CR CR LF each end a line; folded lines are joined, as are 2.1's quoted-printable
// soft breaks and its base64 lines written without indent. Pictures, sounds and keys are passed
// over without being kept (pictures are kept when KEEPPICTURES is set); a line longer than the
// limit is dropped with its property.
template <typename Use> class LineReader
{
public:
    explicit LineReader(Use use, bool keepPictures = false) : m_use(std::move(use)), m_keepPictures(keepPictures)
    {
    }

    void feed(QByteArrayView bytes)
    {
        if (m_first) {
            m_first = false;
            bytes = withoutByteOrderMark(bytes);
        }
        if (m_utf16)
            split(QString(m_utf16->decode(bytes)).toUtf8());
        else
            split(bytes);
    }

    void finish()
    {
        if (!m_physical.isEmpty())
            physicalLine();
        flush();
    }

private:
    enum class State
    {
        Idle,
        Keeping,
        PassingOver,
        Dropping
    };

    QByteArrayView withoutByteOrderMark(QByteArrayView bytes)
    {
        if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
            m_utf16.emplace(bytes[0] == '\xFF' ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
            return bytes.sliced(2);
        }
        if (bytes.startsWith("\xEF\xBB\xBF"))
            return bytes.sliced(3);
        // UTF-16 without a mark: "BEGIN" with a NUL beside each letter.
        if (bytes.size() >= 2 && (bytes[0] == 0) != (bytes[1] == 0))
            m_utf16.emplace(bytes[1] == 0 ? QStringDecoder::Utf16LE : QStringDecoder::Utf16BE);
        return bytes;
    }

    void split(QByteArrayView bytes)
    {
        qsizetype i = 0;
        while (i < bytes.size()) {
            if (m_afterCr) {
                m_afterCr = bytes[i] == '\r';
                if (bytes[i] == '\r' || bytes[i] == '\n') {
                    ++i;
                    continue;
                }
            }
            qsizetype end = i;
            while (end < bytes.size() && bytes[end] != '\n' && bytes[end] != '\r')
                ++end;
            if (m_physical.size() + (end - i) > kMaxLineSize)
                m_physicalTooLong = true;
            else
                m_physical += bytes.sliced(i, end - i);
            if (end == bytes.size())
                return;
            m_afterCr = bytes[end] == '\r';
            physicalLine();
            i = end + 1;
        }
    }

    bool isPassedOver(const QByteArray &line) const
    {
        qsizetype end = 0;
        while (end < line.size() && line[end] != ':' && line[end] != ';')
            ++end;
        QByteArray name = line.left(end).trimmed().toUpper();
        name = name.mid(name.lastIndexOf('.') + 1);
        return (name == "PHOTO" && !m_keepPictures) || name == "LOGO" || name == "SOUND" || name == "KEY";
    }

    void physicalLine()
    {
        const QByteArray line = std::exchange(m_physical, QByteArray());
        const bool tooLong = std::exchange(m_physicalTooLong, false);
        const bool folded = !line.isEmpty() && (line[0] == ' ' || line[0] == '\t');
        const bool softBreak = std::exchange(m_softBreak, false);
        // A base64 line holds no colon; a property line always does.
        const bool base64Line = m_base64 && !line.isEmpty() && !line.contains(':');
        if (m_state != State::Idle && (softBreak || folded || base64Line)) {
            m_softBreak = m_quotedPrintable && line.endsWith('=');
            if (m_state != State::Keeping)
                return;
            if (softBreak)
                m_current.chop(1);
            // After a soft break a leading blank is text; in a folded line it is the fold.
            m_current += folded && !softBreak ? QByteArrayView(line).sliced(1) : QByteArrayView(line);
            if (tooLong || m_current.size() > kMaxLineSize) {
                m_current.clear();
                m_state = State::Dropping;
            }
            return;
        }
        flush();
        if (line.trimmed().isEmpty())
            return;
        const qsizetype colon = line.indexOf(':');
        const QByteArray head = (colon < 0 ? line : line.left(colon)).toUpper();
        m_quotedPrintable = head.contains("QUOTED-PRINTABLE");
        m_base64 = head.contains("BASE64");
        m_softBreak = m_quotedPrintable && line.endsWith('=');
        if (isPassedOver(line))
            m_state = State::PassingOver;
        else if (tooLong)
            m_state = State::Dropping;
        else {
            m_state = State::Keeping;
            m_current = line;
        }
    }

    void flush()
    {
        if (m_state == State::Keeping)
            m_use(m_current);
        m_current.clear();
        m_state = State::Idle;
    }

    Use m_use;
    bool m_keepPictures = false;
    bool m_first = true;
    std::optional<QStringDecoder> m_utf16;
    bool m_afterCr = false;
    QByteArray m_physical;
    bool m_physicalTooLong = false;
    State m_state = State::Idle;
    QByteArray m_current;
    bool m_quotedPrintable = false;
    bool m_base64 = false;
    bool m_softBreak = false;
};

} // namespace vcard
