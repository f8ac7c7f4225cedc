#include "platform/shell/Prompter.h"

#include "platform/shell/Progress.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>
#include <stdexcept>

namespace shell {

namespace {
Prompter* current = nullptr;
}

Prompter& prompter()
{
    if (!current)
        throw std::logic_error("no prompter installed");
    return *current;
}

bool hasPrompter() { return current != nullptr; }

std::unique_ptr<ProgressSink> Prompter::beginProgress(const ProgressRequest&)
{
    return nullptr;
}

namespace {

// A folder of this machine that exists, as an absolute path; empty otherwise.
QString existingFolder(const QString& folder)
{
    if (folder.isEmpty() || folder.contains(QLatin1Char('\\')) || !QDir::isAbsolutePath(folder))
        return {};
    const QFileInfo info(folder);
    return info.isDir() ? QDir::cleanPath(info.absoluteFilePath()) : QString();
}

QString standardFolder(QStandardPaths::StandardLocation location)
{
    const QString found = existingFolder(QStandardPaths::writableLocation(location));
    return found.isEmpty() || found == QDir::rootPath() ? QString() : found;
}

} // namespace

QString DocumentsFolder()
{
    const QString documents = standardFolder(QStandardPaths::DocumentsLocation);
    return documents.isEmpty() ? QDir::homePath() : documents;
}

QString PicturesFolder()
{
    const QString pictures = standardFolder(QStandardPaths::PicturesLocation);
    return pictures.isEmpty() ? DocumentsFolder() : pictures;
}

QString StartFolder(const FileRequest& request)
{
    const QString folder = existingFolder(request.directory);
    if (!folder.isEmpty())
        return folder;
    return request.pictures ? PicturesFolder() : DocumentsFolder();
}

QString StartPath(const FileRequest& request)
{
    if (request.fileName.isEmpty())
        return StartFolder(request);
    QString name = request.fileName;
    if (QDir::isAbsolutePath(name)) {
        if (!existingFolder(QFileInfo(name).absolutePath()).isEmpty())
            return name;
        name = QFileInfo(name).fileName();
    }
    // a name of another system ("c:\\x") keeps its last part
    name = name.section(QLatin1Char('\\'), -1);
    return QDir(StartFolder(request)).filePath(name);
}

Prompter* setPrompter(Prompter* p)
{
    Prompter* old = current;
    current = p;
    return old;
}

} // namespace shell
