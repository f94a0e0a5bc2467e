#pragma once

#include <QByteArray>
#include <QString>

// Windows-1250, the code page of the data files and the exports, through our own table.
// Bytes 0x81, 0x83, 0x88, 0x90 and 0x98 have no character in the code page; they decode to the
// control characters of the same value so that such bytes survive a load and a save unchanged.

// Bytes to text, every byte one character.
QString DecodeCp1250(const char *bytes, qsizetype length);
inline QString DecodeCp1250(const QByteArray &bytes)
{
    return DecodeCp1250(bytes.constData(), bytes.size());
}

// True when the bytes decode to exactly this text.
bool EqualsCp1250(const QString &text, const char *bytes, qsizetype length);

// Text to bytes; a character the code page cannot hold becomes "?". A character outside the
// Basic Multilingual Plane (a surrogate pair) becomes one "?".
QByteArray EncodeCp1250(const QString &text);

// Writes the first maxChars characters of text into out as code-page bytes (one byte each, the
// same rules as EncodeCp1250) and returns how many bytes were written. The record writers
// write straight into a record.
qsizetype EncodeCp1250Into(const QString &text, char *out, qsizetype maxChars);

// True when the first maxChars characters of text are all ones the code page holds.
bool FitsCp1250(const QString &text, qsizetype maxChars);

// TEXT as a data-file field of CAPACITY characters holds it. Letters the code page has stay as
// they are; other scripts become Latin letters (Cyrillic as Croatian writes it, the rest through
// ICU's transliteration), what is still left over becomes its plain ASCII form or, with no Latin
// form at all (an emoji), is dropped; then the text is cut to the field. Names are compared in
// this form, since two that differ only where the file cannot follow are one key there.
QString StoredText(const QString &text, int capacity);
