#pragma once
// An old-format agency database (only what the upgrade touches, dates eight characters
// wide) in a temporary program folder with TTMS_empty.mdb, on both engines.

#include "ScriptedPrompter.h"
#include "TestDb.h"
#include "core/TDBUpdate.h"
#include "core/TTMSTemplate.h"
#include "platform/db/Catalog.h"

#include <QByteArray>
#include <QDir>
#include <QStringList>
#include <memory>

class UpgradeTest : public testing_support::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        hadHome = qEnvironmentVariableIsSet("DOVIN_HOME");
        savedHome = qgetenv("DOVIN_HOME");
        qputenv("DOVIN_HOME", folder().toUtf8());
        prompter = std::make_unique<testing_support::ScriptedPrompter>();
    }

    void TearDown() override
    {
        prompter.reset();
        if (hadHome)
            qputenv("DOVIN_HOME", savedHome);
        else
            qunsetenv("DOVIN_HOME");
        EngineTest::TearDown();
    }

    QString folder() { return testDb().dir(); }
    QString templatePath() { return folder() + QStringLiteral("/TTMS_empty.mdb"); }

    static QString dataFile(const char* name)
    {
        return QStringLiteral(DOVIN_SOURCE_DIR "/resources/data/") + QLatin1String(name);
    }

    void writeTemplate()
    {
        ttms::BuildTemplate(templatePath(), dataFile("zone.csv"), dataFile("edareKol.csv"));
    }

    static db::ColumnDef column(const char* name, db::ColumnKind kind, int size = 0)
    {
        db::ColumnDef c;
        c.name = QLatin1String(name);
        c.kind = kind;
        c.size = size;
        return c;
    }

    void create(const char* table, std::vector<db::ColumnDef> columns)
    {
        db::TableDef t;
        t.name = QLatin1String(table);
        t.columns = std::move(columns);
        conn().exec(conn().dialect().createTable(t));
    }

    // The base tables as an old version left them; withKinds adds the party kinds
    // without values, as a version before 9.38 had them.
    void createOldBase(bool withKinds = false, bool withCheck = true)
    {
        using K = db::ColumnKind;
        create("T_Melk", {column("MID", K::Counter), column("TarikhEraeh", K::Text, 8),
                          column("TarikhVoorod", K::Text, 8), column("MalekEsm", K::Text, 50)});
        create("T_niyaz", {column("NizId", K::Counter), column("tarikhv", K::Text, 8),
                           column("tarikheraeh", K::Text, 8), column("Esm", K::Text, 50)});
        std::vector<db::ColumnDef> sanad = {column("SId", K::Counter),        column("TarikhV", K::Text, 8),
                                            column("Tarikhsanad", K::Text, 8), column("tarikhstart", K::Text, 8),
                                            column("tarikhend", K::Text, 8),   column("Haghebongah", K::Money),
                                            column("EsmMalek", K::Text, 50)};
        if (withKinds)
            for (const char* k : {"ownerPersonKind", "ownerBuyerKind", "custPersonKind", "custBuyerKind"})
                sanad.push_back(column(k, K::Integer));
        create("T_Sanad", sanad);
        create("t_hazineh", {column("Hkey", K::Counter), column("tarikhv", K::Text, 8), column("tarikh", K::Text, 8),
                             column("nov", K::Text, 5), column("Mablagh", K::Decimal, 10)});
        if (withCheck)
            create("t_check", {column("CID", K::Counter), column("Tarikhv", K::Text, 8), column("Tarikh", K::Text, 8),
                               column("nov", K::Text, 10), column("mablagh", K::Money), column("hazf", K::Boolean)});
    }

    bool update(qint64 old) { return MakeDBUpdate(conn(), isFile(), folder())->Update(old); }

    // Every row of the tables, as text, for before-and-after comparisons.
    QStringList dump(const QStringList& tables)
    {
        QStringList out;
        for (const QString& t : tables) {
            auto cur = conn().query(QStringLiteral("select * from %1 order by 1").arg(t));
            while (cur->next()) {
                QStringList cells;
                for (int c = 0; c < cur->columnCount(); ++c) {
                    const auto v = cur->text(c);
                    cells << (cur->cellType(c) == db::CellType::Null ? QStringLiteral("<null>")
                                                                      : QString::fromUtf8(v.data(), qsizetype(v.size())));
                }
                out << t + QLatin1Char(':') + cells.join(QLatin1Char('|'));
            }
        }
        return out;
    }

    qint64 count(const QString& sql) { return conn().scalar(sql).toLongLong(); }

    // Messages of the error dialog and the plain message box.
    QStringList errors() const
    {
        QStringList out;
        for (const auto& c : prompter->calls)
            if ((c.what == QLatin1String("messageDlg") && c.kind == 0) || c.what == QLatin1String("plainMessage"))
                out << c.text;
        return out;
    }

    std::unique_ptr<testing_support::ScriptedPrompter> prompter;

private:
    bool hadHome = false;
    QByteArray savedHome;
};
