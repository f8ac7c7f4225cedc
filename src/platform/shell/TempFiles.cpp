#include "platform/shell/TempFiles.h"

#include "platform/widgets/BidiText.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRandomGenerator>
#include <QSaveFile>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace shell {

namespace {

const QString CrLf = QStringLiteral("\r\n");
constexpr qint64 kCopyPiece = 1 << 20;

QString listPath(const QString& folder)
{
    return QDir(folder).filePath(QStringLiteral("TempFiles.lst"));
}

// A process as the list names it: its id and its start time, so that a later process
// given the same id is not taken for it.
QString processKey(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = stat.readAll();
    // the fields after the command, which is in parentheses and may hold spaces
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    if (fields.size() < 20 || fields.at(0) == "Z")
        return {};
    return QStringLiteral("%1:%2").arg(pid).arg(QString::fromLatin1(fields.at(19)));
}

bool alive(const QString& key)
{
    const qint64 pid = key.section(QLatin1Char(':'), 0, 0).toLongLong();
    return pid > 0 && processKey(pid) == key;
}

void removeWithJournal(const QString& path)
{
    QFile::remove(path);
    for (const char* suffix : {"-journal", "-wal", "-shm"})
        QFile::remove(path + QLatin1String(suffix));
}

// Changes the list under a lock; edit gets its lines and may change them. A list that
// cannot be written leaves the temporary files unlisted, nothing worse.
template <typename Edit>
void editList(const QString& folder, Edit edit)
{
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return;
    const QString path = listPath(folder);
    QLockFile lock(path + QStringLiteral(".lock"));
    if (!lock.tryLock(2000))
        return;
    QStringList lines;
    QFile in(path);
    if (in.open(QIODevice::ReadOnly))
        lines = QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    in.close();
    edit(lines);
    if (lines.isEmpty()) {
        QFile::remove(path);
        return;
    }
    QSaveFile out(path);
    if (out.open(QIODevice::WriteOnly)) {
        out.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
        out.commit();
    }
}

QString ownKey() { return processKey(::getpid()); }

// A path inside a Persian line keeps its order ("/tmp/a", never "tmp/a/").
QString pathText(const QString& path) { return widgets::LeftToRight(path); }

QString systemReason() { return QString::fromLocal8Bit(std::strerror(errno)); }

} // namespace

TempFile::TempFile(const QString& target, const QString& listFolder) : target_(target), listFolder_(listFolder)
{
    do {
        path_ = target + QStringLiteral(".~%1").arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
    } while (QFileInfo::exists(path_));
    const QString line = ownKey() + QLatin1Char('\t') + path_;
    editList(listFolder_, [&](QStringList& lines) { lines << line; });
}

TempFile::~TempFile()
{
    if (!replaced_)
        removeWithJournal(path_);
    const QString line = ownKey() + QLatin1Char('\t') + path_;
    editList(listFolder_, [&](QStringList& lines) { lines.removeAll(line); });
}

void TempFile::replaceTarget()
{
    if (std::rename(QFile::encodeName(path_).constData(), QFile::encodeName(target_).constData()) != 0)
        throw FileError(QStringLiteral("فايل «%1» جايگزين نشد").arg(pathText(target_)) + CrLf + systemReason());
    replaced_ = true;
}

void RemoveLeftovers(const QString& listFolder)
{
    editList(listFolder, [](QStringList& lines) {
        QStringList kept;
        for (const QString& line : lines) {
            const QString key = line.section(QLatin1Char('\t'), 0, 0);
            const QString path = line.section(QLatin1Char('\t'), 1);
            if (alive(key))
                kept << line;
            else if (!path.isEmpty())
                removeWithJournal(path);
        }
        lines = kept;
    });
}

void CopyFileContents(const QString& from, const QString& to, const std::function<void(qint64, qint64)>& progress)
{
    QFile in(from);
    if (!in.open(QIODevice::ReadOnly))
        throw FileError(QStringLiteral("فايل «%1» خوانده نشد").arg(pathText(from)) + CrLf + in.errorString());
    // named by its folder: the file written is often a temporary one beside the target
    const QString folder = QFileInfo(to).absolutePath();
    QFile out(to);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw FileError(QStringLiteral("فايل در پوشه «%1» ساخته نشد").arg(pathText(folder)) + CrLf + out.errorString());
    const qint64 total = in.size();
    qint64 done = 0;
    for (;;) {
        const QByteArray piece = in.read(kCopyPiece);
        if (piece.isEmpty()) {
            if (in.error() != QFileDevice::NoError)
                throw FileError(QStringLiteral("فايل «%1» خوانده نشد").arg(pathText(from)) + CrLf + in.errorString());
            break;
        }
        if (out.write(piece) != piece.size())
            throw FileError(QStringLiteral("فايل در پوشه «%1» نوشته نشد").arg(pathText(folder)) + CrLf + out.errorString());
        done += piece.size();
        if (progress)
            progress(done, total);
    }
    if (!out.flush() || (out.close(), out.error() != QFileDevice::NoError))
        throw FileError(QStringLiteral("فايل در پوشه «%1» نوشته نشد").arg(pathText(folder)) + CrLf + out.errorString());
}

} // namespace shell
