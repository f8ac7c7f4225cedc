#include "core/ProgramIni.h"

#include "core/ProgramFolder.h"
#include "platform/ini/IniFile.h"

#include <QCoreApplication>
#include <QFileInfo>

QString ProgramIniPath()
{
    QString name;
    if (QCoreApplication::instance())
        name = QFileInfo(QCoreApplication::applicationFilePath()).completeBaseName();
    if (name.isEmpty())
        name = QStringLiteral("Dovin");
    return ProgramFolder() + name + QStringLiteral(".ini");
}

bool ReadIsAccess()
{
    const ini::IniFile ini(ProgramIniPath());
    return ini.readString(QStringLiteral("gen"), QStringLiteral("verType"), QStringLiteral("access"))
               .toLower() == QLatin1String("access");
}

double ReadVerNO()
{
    const ini::IniFile ini(ProgramIniPath());
    return ini.readFloat(QStringLiteral("gen"), QStringLiteral("verNO"), 0);
}

bool WriteVerNO(double version)
{
    ini::IniFile ini(ProgramIniPath());
    ini.writeFloat(QStringLiteral("gen"), QStringLiteral("verNO"), version);
    return ini.save();
}

QString ReadBgPath()
{
    const ini::IniFile ini(ProgramIniPath());
    return ini.readString(QStringLiteral("bg"), QStringLiteral("path"), QStringLiteral("0"));
}

bool WriteBgPath(const QString& path)
{
    ini::IniFile ini(ProgramIniPath());
    ini.writeString(QStringLiteral("bg"), QStringLiteral("path"), path);
    return ini.save();
}

QString ReadUpdateServer()
{
    const ini::IniFile ini(ProgramIniPath());
    return ini.readString(QStringLiteral("upd"), QStringLiteral("server"), QString()).trimmed();
}
