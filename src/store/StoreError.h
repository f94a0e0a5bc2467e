#pragma once

#include <QString>

#include <stdexcept>

// An I/O failure inside a store operation or an export (a record that cannot be read or
// written, a file that cannot be replaced). It reaches the application's general error report.
class StoreError : public std::runtime_error
{
public:
    explicit StoreError(const QString &message) : std::runtime_error(message.toStdString()), m_message(message) {}
    const QString &message() const { return m_message; }

private:
    QString m_message;
};
