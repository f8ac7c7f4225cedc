#include "deals/TTMSExport.h"

#include "deals/DealStatements.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Decimal.h"
#include "platform/db/Field.h"
#include "platform/db/Sql.h"
#include "platform/shell/TempFiles.h"
#include "ui/TTools.h"

#include <QFileInfo>
#include <QUuid>
#include <cmath>

namespace ttms {

using db::Q;

namespace {

const char* const kSeasonNames[] = {"بهار", "تابستان", "پاييز", "زمستان"};

QString fieldText(const db::DataSet& ds, const char* name)
{
    const db::Field* f = ds.FindField(QString::fromLatin1(name));
    return f ? f->AsString() : QString();
}

// A number column of the identity, written unquoted: it must hold a whole number.
QString numberText(const db::DataSet& ds, const char* name)
{
    const QString text = fieldText(ds, name).trimmed();
    bool ok = false;
    text.toLongLong(&ok);
    if (!ok)
        throw ExportError(QStringLiteral("مقدار «%1» در مشخصات مودي مالياتي عدد نمي باشد.").arg(QString::fromLatin1(name)));
    return text;
}

} // namespace

bool YearTextOk(const QString& year)
{
    return year.size() == 4 && TTools::IsDigits(year);
}

SeasonRange SeasonBounds(const QString& year, int season)
{
    static const char* const first[] = {"01", "04", "07", "10"};
    static const char* const last[] = {"03", "06", "09", "12"};
    const int i = season - 1;
    if (i < 0 || i > 3)
        return {};
    return {year + QLatin1Char('/') + QLatin1String(first[i]) + QStringLiteral("/01"),
            year + QLatin1Char('/') + QLatin1String(last[i]) + QStringLiteral("/31")};
}

QString SeasonName(int season)
{
    return season >= 1 && season <= 4 ? QString::fromUtf8(kSeasonNames[season - 1]) : QString();
}

QString DefaultFileName(const QString& year, int season)
{
    return QStringLiteral("TTMS") + year + QLatin1Char('_') + QString::number(season);
}

QString WithMdbExtension(const QString& name)
{
    return name.contains(QLatin1String(".mdb")) ? name : name + QStringLiteral(".mdb");
}

SeasonSums ReadSums(const db::DataSet& sums)
{
    const auto value = [&](const char* name) {
        const db::Field* f = sums.FindField(QString::fromLatin1(name));
        return f && !sums.IsEmpty() ? f->AsFloat() : 0.0;
    };
    return {value("sh"), value("sVAT"), value("sMunicipal")};
}

QString SeasonSumsSQL(const SeasonRange& range)
{
    DealCriteria season;
    season.from = range.start;
    season.to = range.end;
    return DealSumsSql(DealWhere(season), DealRates::Current());
}

QString AmountText(double value)
{
    return TTools::FloatToStr(db::RoundDecimal(value, 0));
}

QString NewGuidText()
{
    return QUuid::createUuid().toString(QUuid::WithBraces).toUpper();
}

QString MoshakhasatSQL(const db::DataSet& info)
{
    const QString values = QStringList{
        Q(fieldText(info, "companyName")),   Q(fieldText(info, "oldEconomicNo")), Q(fieldText(info, "newEconomicNo")),
        Q(fieldText(info, "nationalCode")),  Q(fieldText(info, "taxPayerType")),  Q(fieldText(info, "postalCode")),
        Q(fieldText(info, "telNo")),         Q(fieldText(info, "registrationNo")), Q(fieldText(info, "Address")),
        numberText(info, "ShahrCode"),       numberText(info, "EdareKolCode"),    Q(fieldText(info, "UserName")),
        numberText(info, "Band"),            numberText(info, "SabteNam"),        Q(fieldText(info, "MoadyName")),
        numberText(info, "Tabeiat"),         Q(fieldText(info, "mobileNO"))}
                               .join(QStringLiteral(", "));
    return QStringLiteral("insert into Moshakhasat (companyNameField, oldEconomicNoField, newEconomicNoField, "
                          "nationalCodeField, taxPayerTypeField, postalCodeField, telNoField, registrationNoField, "
                          "Address, ShahrCode, EdareKolCode, [UserName],[Band], SabteNam, MoadyName, Tabeiat, "
                          "MobileNO) values (")
         + values + QLatin1Char(')');
}

QString ForoushSQL(const QString& guid, int season)
{
    return QStringLiteral("insert into foroush (Code, HCFaslTypeCode, HCYearCode)  values(") + Q(guid) + QLatin1Char(',')
         + QString::number(season) + QStringLiteral(", $1)");
}

QString ForoushDetailSQL(const SeasonSums& sums)
{
    return QStringLiteral("insert into Foroush_Detail (KalaKhadamatName, KalaCode, BargashtType, Price, "
                          "MaliatArzeshAfzoodeh,AvarezArzeshAfzoodeh, HCKharidarTypeCode, KharidarPostCode, "
                          "KharidarPerCityCode, KharidarTell, KharidarAddress, KharidarName, "
                          "KharidarLastNameSherkatName, KharidarEconomicNO, KharidarNationalCode,HCKharidarType1Code, "
                          "StateCode, CityCode, Sarjam, takhfif) values (")
         + Q(QString()) + QStringLiteral(",0,0,") + Q(AmountText(sums.commission)) + QStringLiteral(", ")
         + Q(AmountText(sums.vat)) + QLatin1Char(',') + Q(AmountText(sums.municipal)) + QStringLiteral(", 0,")
         + QStringList(5, Q(QString())).join(QLatin1Char(',')) + QLatin1Char(',') + Q(QStringLiteral("سر جمع"))
         + QStringLiteral(", ") + Q(QString()) + QStringLiteral(", ") + Q(QString())
         + QStringLiteral(",0,10,1001000, 1, 0)");
}

void CopyReplacing(const QString& from, const QString& to, const QString& listFolder, const CopySteps& steps)
{
    shell::TempFile temp(to, listFolder);
    shell::CopyFileContents(from, temp.path(), steps);
    temp.replaceTarget();
}

void WriteWorkingCopy(const QString& templatePath, const QString& workPath,
                      const std::function<void(db::Connection&)>& fill, const CopySteps& steps)
{
    shell::TempFile temp(workPath, QFileInfo(workPath).absolutePath());
    try {
        shell::CopyFileContents(templatePath, temp.path(), steps);
    } catch (const shell::FileError& e) {
        throw TemplateCopyError(e.message());
    }
    {
        auto conn = db::Connection::openSqlite(temp.path());
        db::inTransaction(*conn, [&] { fill(*conn); });
    }
    temp.replaceTarget();
}

} // namespace ttms
