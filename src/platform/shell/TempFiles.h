#pragma once
// Files written whole: a temporary file beside the target, renamed over it once complete.
// Every temporary file is listed, with the process that made it, in a list kept in a
// folder of the program's; those of a process that has ended (a program killed in the
// middle of a backup) are removed by RemoveLeftovers, at the next start or the next backup.

#include <QString>
#include <functional>
#include <stdexcept>

namespace shell {

// A failed file operation: a Persian text, then the system's own reason on a line of its own.
class FileError : public std::runtime_error {
public:
    explicit FileError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

class TempFile {
public:
    // A free name beside target, listed in listFolder.
    TempFile(const QString& target, const QString& listFolder);
    // Removes the file (and a database journal beside it) unless it replaced its target.
    ~TempFile();
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;

    const QString& path() const { return path_; }
    // Renames the file over its target, which is replaced whole. Throws FileError.
    void replaceTarget();

private:
    QString target_;
    QString listFolder_;
    QString path_;
    bool replaced_ = false;
};

// Removes the temporary files listed in listFolder by processes that have ended.
void RemoveLeftovers(const QString& listFolder);

// Copies from to to (made or emptied first), in pieces: progress is told the bytes done of
// how many and may throw to stop the copy. Throws FileError.
void CopyFileContents(const QString& from, const QString& to,
                      const std::function<void(qint64 done, qint64 total)>& progress = {});

} // namespace shell
