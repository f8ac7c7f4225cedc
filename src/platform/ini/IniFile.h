#pragma once
// An ini file as the program uses it: open, read or write a few values, save,
// close. Section and key names match without regard to case; saving keeps the
// file's other sections, keys and comments. See TextFile.h for the encoding.

#include <QString>
#include <memory>

namespace ini {

class IniFile {
public:
    // Loads the file at once; a missing file reads as empty.
    explicit IniFile(const QString& path);
    // Saves pending changes that save() has not written.
    ~IniFile();
    IniFile(const IniFile&) = delete;
    IniFile& operator=(const IniFile&) = delete;

    const QString& path() const;

    // A missing key gives the default; a key present with an empty value gives "".
    QString readString(const QString& section, const QString& key, const QString& def) const;
    // A missing key or a value that is not a whole number gives the default.
    int readInteger(const QString& section, const QString& key, int def) const;
    // Whole numbers (non-zero is true) or true/false; anything else gives the default.
    bool readBool(const QString& section, const QString& key, bool def) const;
    // Decimal point "."; a missing or unreadable value gives the default.
    double readFloat(const QString& section, const QString& key, double def) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    void writeBool(const QString& section, const QString& key, bool value);   // "1" / "0"
    void writeFloat(const QString& section, const QString& key, double value); // 15 digits

    // Writes pending changes through a temporary file and a rename. Refuses to
    // overwrite a file that exists but could not be read. False on failure.
    bool save();
    QString errorString() const;

private:
    struct Data;
    std::unique_ptr<Data> d;
};

} // namespace ini
