#pragma once

#include <QString>

// What became of a store operation. A refusal is the user's to fix (a name that is taken); a
// failure is the machine's (a file that cannot be read or written). A damaged data file was read,
// but most of its records cannot be: the list holds those that can, and the file's owner asks
// the user what to do with it (the message says so). The message is ready to be shown; the
// caller decides how.
struct StoreResult
{
    enum class Kind
    {
        Ok,
        Refused,
        Failed,
        Damaged
    };

    Kind kind = Kind::Ok;
    QString message;

    static StoreResult refused(const QString &message) { return {Kind::Refused, message}; }
    static StoreResult failed(const QString &message) { return {Kind::Failed, message}; }
    static StoreResult damaged(const QString &message) { return {Kind::Damaged, message}; }

    bool ok() const { return kind == Kind::Ok; }
    explicit operator bool() const { return ok(); }
};
