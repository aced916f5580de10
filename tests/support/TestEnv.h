#pragma once
// Small helpers shared by the test programs.

#include <QByteArray>
#include <QString>

namespace TestEnv {

// Reads a whole file; empty when it cannot be read.
QByteArray ReadFile(const QString &path);
bool WriteFile(const QString &path, const QByteArray &bytes);

// A device image as the trip computer delivers it: header with eleven sections of
// their fixed size + 4 at increasing addresses, and a deterministic pattern elsewhere.
QByteArray SampleImage(int size = 8128);

} // namespace TestEnv
