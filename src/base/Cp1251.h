#pragma once
// Single-byte Cyrillic code page 1251: the texts inside the settings image and
// the tool's own files.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

namespace Cp1251 {

// A character without a cp1251 form becomes '?'.
char FromUnicode(char32_t c);
char32_t ToUnicode(unsigned char b);

QByteArray Encode(QStringView text);
QString Decode(QByteArrayView bytes);

} // namespace Cp1251
