#include "core/TTMSTemplate.h"

#include "platform/db/Connection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <stdexcept>

namespace ttms {

namespace {

using db::ColumnDef;
using db::ColumnKind;

ColumnDef col(const QString& name, ColumnKind kind, int size = 0, bool key = false)
{
    ColumnDef c;
    c.name = name;
    c.kind = kind;
    c.size = size;
    c.primaryKey = key;
    return c;
}

ColumnDef text(const QString& name, int size) { return col(name, ColumnKind::Text, size); }
ColumnDef integer(const QString& name, bool key = false) { return col(name, ColumnKind::Integer, 0, key); }
ColumnDef amount(const QString& name) { return col(name, ColumnKind::Money); }

std::vector<db::TableDef> makeTables()
{
    return {
        {QStringLiteral("zone"),
         {integer(QStringLiteral("ostanCode")), text(QStringLiteral("ostan"), 50),
          integer(QStringLiteral("ShahrCode"), true), text(QStringLiteral("Shahr"), 50)}},
        {QStringLiteral("edareKol"),
         {integer(QStringLiteral("EdareKolCode"), true), text(QStringLiteral("EdareKolName"), 255),
          integer(QStringLiteral("OstanCode"))}},
        {QStringLiteral("Moshakhasat"),
         {text(QStringLiteral("companyNameField"), 255), text(QStringLiteral("oldEconomicNoField"), 20),
          text(QStringLiteral("newEconomicNoField"), 30), text(QStringLiteral("nationalCodeField"), 20),
          text(QStringLiteral("taxPayerTypeField"), 5), text(QStringLiteral("postalCodeField"), 20),
          text(QStringLiteral("telNoField"), 60), text(QStringLiteral("registrationNoField"), 20),
          text(QStringLiteral("Address"), 255), integer(QStringLiteral("ShahrCode")),
          integer(QStringLiteral("EdareKolCode")), text(QStringLiteral("UserName"), 60), integer(QStringLiteral("Band")),
          integer(QStringLiteral("SabteNam")), text(QStringLiteral("MoadyName"), 255), integer(QStringLiteral("Tabeiat")),
          text(QStringLiteral("MobileNO"), 20)}},
        {QStringLiteral("foroush"),
         {text(QStringLiteral("Code"), 38), integer(QStringLiteral("HCFaslTypeCode")),
          integer(QStringLiteral("HCYearCode"))}},
        {QStringLiteral("Foroush_Detail"),
         {text(QStringLiteral("KalaKhadamatName"), 255), integer(QStringLiteral("KalaCode")),
          integer(QStringLiteral("BargashtType")), amount(QStringLiteral("Price")),
          amount(QStringLiteral("MaliatArzeshAfzoodeh")), amount(QStringLiteral("AvarezArzeshAfzoodeh")),
          integer(QStringLiteral("HCKharidarTypeCode")), text(QStringLiteral("KharidarPostCode"), 20),
          text(QStringLiteral("KharidarPerCityCode"), 10), text(QStringLiteral("KharidarTell"), 60),
          text(QStringLiteral("KharidarAddress"), 255), text(QStringLiteral("KharidarName"), 255),
          text(QStringLiteral("KharidarLastNameSherkatName"), 255), text(QStringLiteral("KharidarEconomicNO"), 30),
          text(QStringLiteral("KharidarNationalCode"), 20), integer(QStringLiteral("HCKharidarType1Code")),
          integer(QStringLiteral("StateCode")), integer(QStringLiteral("CityCode")), integer(QStringLiteral("Sarjam")),
          amount(QStringLiteral("takhfif"))}},
    };
}

[[noreturn]] void fail(const QString& text)
{
    throw std::runtime_error(text.toStdString());
}

QStringList splitCsvLine(const QString& line)
{
    QStringList out;
    QString field;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < line.size() && line.at(i + 1) == QLatin1Char('"')) {
                    field += c;
                    ++i;
                } else {
                    quoted = false;
                }
            } else {
                field += c;
            }
        } else if (c == QLatin1Char('"')) {
            quoted = true;
        } else if (c == QLatin1Char(',')) {
            out << field;
            field.clear();
        } else {
            field += c;
        }
    }
    out << field;
    return out;
}

// Loads a CSV file into a table whose columns the header names, in the table's order.
void load(db::Connection& conn, const db::TableDef& table, const QString& csv)
{
    const std::vector<QStringList> rows = ReadCsv(csv);
    QStringList names, marks;
    for (size_t i = 0; i < table.columns.size(); ++i) {
        names << table.columns[i].name;
        marks << QStringLiteral("$%1").arg(i + 1);
    }
    if (rows.empty() || rows.front() != names)
        fail(QStringLiteral("%1: the header must be %2").arg(csv, names.join(QLatin1Char(','))));
    const QString sql =
        QStringLiteral("insert into %1 (%2) values (%3)").arg(table.name, names.join(QStringLiteral(", ")), marks.join(QStringLiteral(", ")));
    for (size_t r = 1; r < rows.size(); ++r) {
        const QStringList& row = rows[r];
        if (row.size() != names.size())
            fail(QStringLiteral("%1, line %2: %3 fields expected").arg(csv).arg(r + 1).arg(names.size()));
        db::Params params;
        for (int c = 0; c < row.size(); ++c) {
            const QString value = row[c].trimmed();
            if (table.columns[size_t(c)].kind == ColumnKind::Integer) {
                bool ok = false;
                const qint64 v = value.toLongLong(&ok);
                if (!ok)
                    fail(QStringLiteral("%1, line %2: %3 is not a number").arg(csv).arg(r + 1).arg(value));
                params.emplace_back(v);
            } else {
                params.emplace_back(value);
            }
        }
        conn.exec(sql, params);
    }
}

} // namespace

const std::vector<db::TableDef>& TemplateTables()
{
    static const std::vector<db::TableDef> tables = makeTables();
    return tables;
}

std::vector<QStringList> ReadCsv(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        fail(QStringLiteral("%1: %2").arg(path, f.errorString()));
    QString all = QString::fromUtf8(f.readAll());
    if (all.startsWith(QChar(0xFEFF)))
        all.remove(0, 1);
    std::vector<QStringList> rows;
    for (QString line : all.split(QLatin1Char('\n'))) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        rows.push_back(splitCsvLine(line));
    }
    return rows;
}

void BuildTemplate(const QString& path, const QString& zoneCsv, const QString& edareKolCsv)
{
    const QString temp = path + QStringLiteral(".tmp");
    QFile::remove(temp);
    try {
        auto conn = db::Connection::openSqlite(temp, true);
        db::inTransaction(*conn, [&] {
            for (const auto& t : TemplateTables())
                conn->exec(conn->dialect().createTable(t));
            load(*conn, TemplateTables()[0], zoneCsv);
            load(*conn, TemplateTables()[1], edareKolCsv);
        });
    } catch (...) {
        QFile::remove(temp);
        throw;
    }
    QFile::remove(path);
    if (!QFile::rename(temp, path)) {
        QFile::remove(temp);
        fail(QStringLiteral("cannot write %1").arg(path));
    }
}

} // namespace ttms
