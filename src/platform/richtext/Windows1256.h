#pragma once
// The Windows-1256 (Arabic) code page: RTF "\'hh" escapes of charset 178 and old
// settings files written in the Windows ANSI code page of a Persian machine.

#include <QByteArray>
#include <QString>

namespace richtext {

// Unicode character of a Windows-1256 byte (every byte is defined).
char16_t windows1256ToUnicode(unsigned char byte);

// The Windows-1256 byte of a character; false when the code page has no such character.
bool unicodeToWindows1256(char16_t ch, unsigned char* byte);

QString decodeWindows1256(const QByteArray& bytes);

// Characters the code page lacks become '?'; *complete tells whether none was lost.
QByteArray encodeWindows1256(const QString& text, bool* complete = nullptr);

} // namespace richtext
