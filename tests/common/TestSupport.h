#pragma once

#include <QByteArray>
#include <QString>

#include "TestPaths.h"

// Small helpers shared by the test executables.
namespace testsupport {

QByteArray readFile(const QString &path);
void writeFile(const QString &path, const QByteArray &bytes);

// A program built by this tree (tellwise-cli, the simulators, the monitor).
QString toolPath(const QString &name);

// The data folder the test environment gives every test (TELLWISE_DATA_DIR), with a trailing slash.
QString testDataDir();

} // namespace testsupport
