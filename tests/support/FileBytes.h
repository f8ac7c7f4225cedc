#pragma once
// A file's bytes for tests: read whole ("<missing>" when it cannot be read), or written whole.

#include <QByteArray>
#include <QFile>
#include <QString>

namespace testing_support {

inline QByteArray ReadBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

// False when the file could not be written.
inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

} // namespace testing_support
