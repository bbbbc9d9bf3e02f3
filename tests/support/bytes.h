#pragma once
// Byte literals for tests: hex("00 4A 00 07") -> the bytes; characters that
// are not hex digits are skipped.

#include <QByteArray>

inline QByteArray hex(const char* text)
{
    return QByteArray::fromHex(QByteArray(text));
}
