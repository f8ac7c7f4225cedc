#pragma once
// Small settings text files (ini files, one-line path files, invoice texts):
// written in UTF-8, read as UTF-8 or, when the bytes are not valid UTF-8, as
// Windows-1256 (files written on a Persian Windows machine).

#include <QByteArray>
#include <QString>

namespace ini {

// UTF-8 (a leading byte-order mark is dropped), else Windows-1256.
QString decodeSettingsText(const QByteArray& bytes);

enum class ReadStatus { Ok, Missing, Unreadable };

// Reads and decodes the whole file; *text is empty unless Ok.
ReadStatus readSettingsText(const QString& path, QString* text);

// Writes the text as UTF-8 through a temporary file and a rename, so the old
// file stays whole when anything fails; false with *error set on failure.
bool writeSettingsText(const QString& path, const QByteArray& utf8, QString* error = nullptr);

} // namespace ini
