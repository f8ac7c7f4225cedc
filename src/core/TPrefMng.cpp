#include "core/TPrefMng.h"

#include "core/ProgramFolder.h"
#include "platform/ini/IniFile.h"
#include "platform/ini/TextFile.h"

#include <QRegularExpression>
#include <QStringList>

namespace {

const QString kGen = QStringLiteral("gen");

// The file's lines joined by CR LF; *ok is false when the file cannot be read.
QString readInvoiceText(const QString& fileName, bool* ok)
{
    QString text;
    *ok = ini::readSettingsText(ProgramFolder() + fileName, &text) == ini::ReadStatus::Ok;
    if (!*ok)
        return {};
    QStringList lines = text.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();  // the last line's terminator starts no line of its own
    return lines.join(QStringLiteral("\r\n"));
}

bool saveInvoiceText(const QString& fileName, const QString& text)
{
    QString out;
    if (!text.isEmpty()) {
        const QStringList lines = text.split(QRegularExpression(QStringLiteral("\\r\\n|\\r|\\n")));
        for (const QString& line : lines)
            out += line + QStringLiteral("\r\n");
    }
    return ini::writeSettingsText(ProgramFolder() + fileName, out.toUtf8());
}

} // namespace

QString TPrefMng::ConfigFilePath()
{
    return ProgramFolder() + QStringLiteral("configFile.ini");
}

bool TPrefMng::ReadBoolSetting(const QString& key, bool def)
{
    return ini::IniFile(ConfigFilePath()).readBool(kGen, key, def);
}

double TPrefMng::ReadFloatSetting(const QString& key, double def)
{
    return ini::IniFile(ConfigFilePath()).readFloat(kGen, key, def);
}

QString TPrefMng::ReadStringSetting(const QString& key, const QString& def)
{
    return ini::IniFile(ConfigFilePath()).readString(kGen, key, def);
}

bool TPrefMng::WriteBoolSetting(const QString& key, bool value)
{
    ini::IniFile ini(ConfigFilePath());
    ini.writeBool(kGen, key, value);
    return ini.save();
}

bool TPrefMng::WriteFloatSetting(const QString& key, double value)
{
    ini::IniFile ini(ConfigFilePath());
    ini.writeFloat(kGen, key, value);
    return ini.save();
}

bool TPrefMng::WriteStringSetting(const QString& key, const QString& value)
{
    ini::IniFile ini(ConfigFilePath());
    ini.writeString(kGen, key, value);
    return ini.save();
}

bool TPrefMng::GetAutoShowHlp() { return ReadBoolSetting(QStringLiteral("AutoShowHlp"), true); }
bool TPrefMng::SetAutoShowHlp(bool value) { return WriteBoolSetting(QStringLiteral("AutoShowHlp"), value); }
double TPrefMng::GetVATVal() { return ReadFloatSetting(QStringLiteral("CVATVal"), 0); }
bool TPrefMng::SetVATVal(double value) { return WriteFloatSetting(QStringLiteral("CVATVal"), value); }
double TPrefMng::GetMunicipalVal() { return ReadFloatSetting(QStringLiteral("CMunicipalVal"), 0); }
bool TPrefMng::SetMunicipalVal(double value) { return WriteFloatSetting(QStringLiteral("CMunicipalVal"), value); }
bool TPrefMng::GetVATEnabled() { return ReadBoolSetting(QStringLiteral("CVATEnabled"), false); }
bool TPrefMng::SetVATEnabled(bool value) { return WriteBoolSetting(QStringLiteral("CVATEnabled"), value); }

QString TPrefMng::GetReportTitle()
{
    return ReadStringSetting(QStringLiteral("CReportTitle"), QStringLiteral("عنوان گزارش"));
}

bool TPrefMng::SetReportTitle(const QString& value) { return WriteStringSetting(QStringLiteral("CReportTitle"), value); }
QString TPrefMng::GetEconomicCode() { return ReadStringSetting(QStringLiteral("CEconomicCode"), QString()); }
bool TPrefMng::SetEconomicCode(const QString& value) { return WriteStringSetting(QStringLiteral("CEconomicCode"), value); }
QString TPrefMng::GetTTMSDlgPath() { return ReadStringSetting(QStringLiteral("CTTMSDlgPath"), QStringLiteral("c:\\")); }
bool TPrefMng::SetTTMSDlgPath(const QString& value) { return WriteStringSetting(QStringLiteral("CTTMSDlgPath"), value); }
QString TPrefMng::GetProvinceId() { return ReadStringSetting(QStringLiteral("CProvinceId"), QStringLiteral("0")); }

bool TPrefMng::SetProvinceId(const QString& value)
{
    const QString id = value.isEmpty() ? QStringLiteral("0") : value;
    if (id == QLatin1String("0"))
        return true;
    return WriteStringSetting(QStringLiteral("CProvinceId"), id);
}

double TPrefMng::GetTotalTaxRate()
{
    return GetVATVal() + GetMunicipalVal();
}

QString TPrefMng::GetInvoiceHeader()
{
    bool ok = false;
    const QString text = readInvoiceText(QStringLiteral("CInvoiceHeader"), &ok);
    if (!ok)
        return QStringLiteral("سربرگ فاکتور");
    return text.isEmpty() ? QStringLiteral("سر برگ فاکتور") : text;
}

QString TPrefMng::GetInvoiceFooter()
{
    bool ok = false;
    const QString text = readInvoiceText(QStringLiteral("CInvoiceFooter"), &ok);
    return ok && !text.isEmpty() ? text : QStringLiteral("ته برگ فاکتور");
}

bool TPrefMng::SaveInvoiceHeader(const QString& text) { return saveInvoiceText(QStringLiteral("CInvoiceHeader"), text); }
bool TPrefMng::SaveInvoiceFooter(const QString& text) { return saveInvoiceText(QStringLiteral("CInvoiceFooter"), text); }
