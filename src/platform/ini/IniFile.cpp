#include "platform/ini/IniFile.h"

#include "platform/ini/TextFile.h"

#include <QLocale>
#include <SimpleIni.h>

namespace ini {

struct IniFile::Data {
    QString path;
    CSimpleIniA ini{true /*UTF-8*/, false /*one value per key*/, false /*no multi-line*/};
    QByteArray trailingComments;  // SimpleIni keeps only comments that precede an entry
    bool unreadable = false;
    bool dirty = false;
    QString error;
};

namespace {

const char* get(const CSimpleIniA& ini, const QString& section, const QString& key)
{
    return ini.GetValue(section.toUtf8().constData(), key.toUtf8().constData(), nullptr);
}

// Comment lines after the last entry of the file, as written.
QByteArray trailingComments(const QByteArray& utf8)
{
    const QList<QByteArray> lines = utf8.split('\n');
    int first = lines.size();
    bool comment = false;
    while (first > 0) {
        const QByteArray line = lines.at(first - 1).trimmed();
        if (!line.isEmpty() && !line.startsWith(';') && !line.startsWith('#'))
            break;
        comment = comment || !line.isEmpty();
        --first;
    }
    if (!comment)
        return {};
    QByteArray tail;
    for (int i = first; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        if (!line.isEmpty())
            tail += line + '\n';
    }
    return tail;
}

QString formatFloat(double value)
{
    return QString::number(value, 'g', 15);
}

} // namespace

IniFile::IniFile(const QString& path)
    : d(std::make_unique<Data>())
{
    d->path = path;
    d->ini.SetSpaces(false);  // key=value, as Windows writes it
    QString text;
    switch (readSettingsText(path, &text)) {
    case ReadStatus::Ok: {
        const QByteArray utf8 = text.toUtf8();
        if (d->ini.LoadData(utf8.constData(), size_t(utf8.size())) < 0)
            d->unreadable = true;
        d->trailingComments = trailingComments(utf8);
        break;
    }
    case ReadStatus::Missing:
        break;
    case ReadStatus::Unreadable:
        d->unreadable = true;
        break;
    }
}

IniFile::~IniFile()
{
    if (d->dirty)
        save();
}

const QString& IniFile::path() const
{
    return d->path;
}

QString IniFile::readString(const QString& section, const QString& key, const QString& def) const
{
    const char* v = get(d->ini, section, key);
    return v ? QString::fromUtf8(v) : def;
}

int IniFile::readInteger(const QString& section, const QString& key, int def) const
{
    const char* v = get(d->ini, section, key);
    if (!v)
        return def;
    bool ok = false;
    const int n = QString::fromUtf8(v).trimmed().toInt(&ok, 10);
    return ok ? n : def;
}

bool IniFile::readBool(const QString& section, const QString& key, bool def) const
{
    const char* v = get(d->ini, section, key);
    if (!v)
        return def;
    const QString s = QString::fromUtf8(v).trimmed();
    bool ok = false;
    const int n = s.toInt(&ok, 10);
    if (ok)
        return n != 0;
    if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return true;
    if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
        return false;
    return def;
}

double IniFile::readFloat(const QString& section, const QString& key, double def) const
{
    const char* v = get(d->ini, section, key);
    if (!v)
        return def;
    bool ok = false;
    const double x = QLocale::c().toDouble(QString::fromUtf8(v).trimmed(), &ok);
    return ok ? x : def;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    // Line breaks would end the value and start a line of their own.
    QString v = value;
    v.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace(QLatin1Char('\n'), QLatin1Char(' '))
        .replace(QLatin1Char('\r'), QLatin1Char(' '));
    d->ini.SetValue(section.toUtf8().constData(), key.toUtf8().constData(), v.toUtf8().constData());
    d->dirty = true;
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

void IniFile::writeFloat(const QString& section, const QString& key, double value)
{
    writeString(section, key, formatFloat(value));
}

bool IniFile::save()
{
    if (d->unreadable) {
        d->error = QStringLiteral("cannot read %1; not overwriting it").arg(d->path);
        return false;
    }
    std::string out;
    if (d->ini.Save(out, false) < 0) {
        d->error = QStringLiteral("cannot format %1").arg(d->path);
        return false;
    }
    QByteArray bytes = QByteArray::fromStdString(out);
    if (!d->trailingComments.isEmpty())
        bytes += '\n' + d->trailingComments;
    if (!writeSettingsText(d->path, bytes, &d->error))
        return false;
    d->dirty = false;
    d->error.clear();
    return true;
}

QString IniFile::errorString() const
{
    return d->error;
}

} // namespace ini
