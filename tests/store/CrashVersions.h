#pragma once

#include "store/FileRecords.h"
#include "store/Records.h"

// The two address books the crash test's child saves in turn. They differ in size so that a
// torn or mixed file can never pass for either.
inline void FillCrashVersion(TContactList &list, bool second)
{
    list.clear();
    const int count = second ? 260 : 150;
    const QString tag = second ? QStringLiteral("B") : QStringLiteral("A");
    for (int i = 0; i < count; ++i) {
        AListAddress c;
        c.DisplayNameAs = QStringLiteral("%1 kontakt %2").arg(tag).arg(i);
        c.FirstName = tag;
        c.Group = QStringLiteral("Grupa %1").arg(i % 7);
        c.PhoneLocation[0] = QStringLiteral("Mobitel");
        c.PhoneNumber[0] = QStringLiteral("+385 9%1 %2").arg(i % 10).arg(100000 + i);
        c.Notes = QStringLiteral("Bilješka %1 %2").arg(tag).arg(i).repeated(5);
        c.SoundMode = i % 3;
        list.append(std::move(c));
    }
}

inline QByteArray CrashVersionBytes(bool second)
{
    TContactList list;
    FillCrashVersion(list, second);
    QByteArray bytes;
    for (const AListAddress &c : list)
        bytes += EncodeFileRec(c);
    return bytes;
}
