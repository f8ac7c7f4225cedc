#pragma once
// A SQLite table of properties for the data-aware control tests, with a few Persian rows.

#include "TestDb.h"
#include "ScriptedPrompter.h"

#include "platform/db/Catalog.h"
#include "platform/db/DataSet.h"

#include <memory>

namespace testing_support {

class WidgetsFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        db::TableDef t;
        t.name = QStringLiteral("T_Prop");
        t.columns = {
            {QStringLiteral("ID"), db::ColumnKind::Counter},
            {QStringLiteral("Esm"), db::ColumnKind::Text, 30, QStringLiteral("نام مالک")},
            {QStringLiteral("Price"), db::ColumnKind::Money, 0, QStringLiteral("قيمت"), {}, QStringLiteral("###,###,###,###,##0.###")},
            {QStringLiteral("Flag"), db::ColumnKind::Boolean, 0, QStringLiteral("فروش")},
            {QStringLiteral("Dt"), db::ColumnKind::Text, 10, QStringLiteral("تاريخ"), QStringLiteral("9999/99/99")},
            {QStringLiteral("Nov"), db::ColumnKind::Text, 1, QStringLiteral("نوع")},
            {QStringLiteral("RegionId"), db::ColumnKind::Integer, 0, QStringLiteral("منطقه")},
            {QStringLiteral("Note"), db::ColumnKind::Memo, 0, QStringLiteral("توضيحات")},
        };
        catalog.add(t);
        db::TableDef r;
        r.name = QStringLiteral("T_Region");
        r.columns = {{QStringLiteral("RID"), db::ColumnKind::Counter}, {QStringLiteral("Name"), db::ColumnKind::Text, 50}};
        catalog.add(r);
        conn().setCatalog(&catalog);
        for (const QString& name : catalog.tableNames())
            conn().exec(conn().dialect().createTable(*catalog.table(name)));
        ds = std::make_unique<db::DataSet>(&conn());
        ds->setSQL(QStringLiteral("select * from T_Prop order by ID"));
    }

    db::Connection& conn() { return testDb.conn(); }

    void add(const QString& esm, double price, const QString& dt = QStringLiteral("1403/01/01"), const QString& nov = QStringLiteral("k"),
             int region = 0)
    {
        conn().exec(QStringLiteral("insert into T_Prop (Esm, Price, Dt, Nov, RegionId) values ($1, $2, $3, $4, $5)"),
                    {esm, price, dt, nov, region});
    }

    // Five owners, prices out of order.
    void addFive()
    {
        add(QStringLiteral("احمد رضايي"), 1500000);
        add(QStringLiteral("بهرام کريمي"), 250.5, QStringLiteral("1403/02/10"), QStringLiteral("j"));
        add(QStringLiteral("پروين صادقي"), 98000000);
        add(QStringLiteral("جواد نيکو"), 12000, QStringLiteral("1402/12/29"), QStringLiteral("j"));
        add(QStringLiteral("ژاله مقدم"), 7500000);
    }

    QVariant stored(qint64 id, const QString& column)
    {
        return conn().scalar(QStringLiteral("select %1 from T_Prop where ID = $1").arg(column), {id});
    }

    TestDb testDb{db::Engine::SQLite};
    db::Catalog catalog;
    std::unique_ptr<db::DataSet> ds;
    ScriptedPrompter prompter;
};

} // namespace testing_support
