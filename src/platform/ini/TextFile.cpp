#include "platform/ini/TextFile.h"

#include "platform/richtext/Windows1256.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringDecoder>

namespace ini {

QString decodeSettingsText(const QByteArray& bytes)
{
    QByteArray data = bytes;
    if (data.startsWith("\xEF\xBB\xBF"))
        data.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(data);
    if (!utf8.hasError())
        return text;
    return richtext::decodeWindows1256(data);
}

ReadStatus readSettingsText(const QString& path, QString* text)
{
    text->clear();
    QFileInfo info(path);
    if (!info.exists())
        return ReadStatus::Missing;
    QFile file(path);
    if (info.isDir() || !file.open(QIODevice::ReadOnly))
        return ReadStatus::Unreadable;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return ReadStatus::Unreadable;
    *text = decodeSettingsText(bytes);
    return ReadStatus::Ok;
}

bool writeSettingsText(const QString& path, const QByteArray& utf8, QString* error)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(utf8) != utf8.size() || !file.commit()) {
        if (error)
            *error = file.errorString();
        file.cancelWriting();
        return false;
    }
    return true;
}

} // namespace ini
