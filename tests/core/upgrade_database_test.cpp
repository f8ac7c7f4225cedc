#include "upgrade_fixture.h"

#include "core/ProgramIni.h"
#include "core/UpgradeSchema.h"

namespace {

const char* Updated = "پايگاه داده بروز شد.\r\n\r\n*لطفا مجددا وارد نرم افزار شويد*";

class UpgradeDatabaseTest : public UpgradeTest {
protected:
    QStringList allTables()
    {
        return {QStringLiteral("T_Melk"),   QStringLiteral("T_niyaz"),     QStringLiteral("T_Sanad"),
                QStringLiteral("t_hazineh"), QStringLiteral("t_check"),    QStringLiteral("province"),
                QStringLiteral("city"),      QStringLiteral("mainOffices"), QStringLiteral("yourInfo"),
                QStringLiteral("T_EstateDocs"), QStringLiteral("V_Sood")};
    }
    bool finalMessageShown() const
    {
        for (const auto& c : prompter->calls)
            if (c.what == QLatin1String("messageDlg") && c.text == QString::fromUtf8(Updated) && c.kind == 1
                && c.fontSize == 8)
                return true;
        return false;
    }
};

TEST_P(UpgradeDatabaseTest, OldDatabaseComesOutComplete)
{
    createOldBase();
    writeTemplate();
    conn().exec(QStringLiteral("insert into T_Melk (TarikhEraeh, TarikhVoorod) values ('99/12/30', '99/12/30')"));
    conn().exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, TarikhV, tarikhstart, tarikhend, Haghebongah) "
                               "values ('02/01/15', '02/01/15', '02/01/15', '03/01/14', 1500)"));
    conn().exec(QStringLiteral("insert into t_hazineh (tarikhv, tarikh, nov, Mablagh) values ('02/01/20', '02/01/20', "
                               "N'هزينه', 400)"));

    ASSERT_TRUE(RunSchemaUpgrade(conn(), isFile()));
    EXPECT_TRUE(errors().isEmpty()) << errors().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(VersionKey(ReadVerNO()), SchemaVersionKey);
    // The server flavour asks for a new login; the file flavour ends quietly.
    EXPECT_EQ(finalMessageShown(), !isFile());

    for (const auto& t : upgrade_schema::NewTables())
        EXPECT_TRUE(conn().tableExists(t.def.name)) << t.def.name.toStdString();
    for (const auto& c : upgrade_schema::SanadColumns())
        EXPECT_TRUE(conn().columnExists(QStringLiteral("T_Sanad"), c.def.name)) << c.def.name.toStdString();
    EXPECT_EQ(count(QStringLiteral("select count(*) from T_Sanad where ownerDiscount = 0 and customerDiscount = 0")), 1);
    EXPECT_EQ(conn().scalar(QStringLiteral("select sum(m) from V_Sood where t = '1402/01'")).toDouble(), 1100.0);

    // Every table the datasets read opens, a document row follows its property.
    for (const QString& t : allTables())
        EXPECT_NO_THROW(conn().query(QStringLiteral("select * from %1").arg(t))) << t.toStdString();
    conn().exec(QStringLiteral("insert into T_EstateDocs (melkId, docPath) values (1, '/a/b.jpg')"));
    conn().exec(QStringLiteral("delete from T_Melk"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from T_EstateDocs")), 0);

    // The menu command on the up-to-date database: no error, nothing changed.
    const QStringList before = dump(allTables());
    prompter->calls.clear();
    ASSERT_TRUE(RunSchemaUpgrade(conn(), isFile()));
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(dump(allTables()), before);
    EXPECT_EQ(finalMessageShown(), !isFile());
}

TEST_P(UpgradeDatabaseTest, MissingBaseTableIsReportedAndTheVersionStays)
{
    createOldBase(false, false); // no t_check
    writeTemplate();
    EXPECT_FALSE(RunSchemaUpgrade(conn(), isFile()));
    ASSERT_EQ(errors().size(), 2); // T_Check's two date columns
    EXPECT_TRUE(errors()[0].startsWith(QStringLiteral("update 4 y_1400:T_Check\r\n")));
    EXPECT_FALSE(finalMessageShown());
    EXPECT_EQ(ReadVerNO(), 0.0);
    // The rest is in place; once the table is there the next start completes.
    EXPECT_TRUE(conn().viewExists(QStringLiteral("V_Sood")));
    EXPECT_EQ(count(QStringLiteral("select count(*) from province")), 31);

    using K = db::ColumnKind;
    create("t_check", {column("CID", K::Counter), column("Tarikhv", K::Text, 8), column("Tarikh", K::Text, 8),
                       column("nov", K::Text, 10), column("mablagh", K::Money), column("hazf", K::Boolean)});
    prompter->calls.clear();
    EXPECT_TRUE(UpgradeSchemaIfOld(conn(), isFile()));
    EXPECT_TRUE(errors().isEmpty());
    EXPECT_EQ(VersionKey(ReadVerNO()), SchemaVersionKey);
}

TEST_P(UpgradeDatabaseTest, FailedStatementIsReportedNotIgnored)
{
    createOldBase();
    writeTemplate();
    // A table in the way of the view.
    conn().exec(QStringLiteral("create table V_Sood (m integer)"));
    EXPECT_FALSE(RunSchemaUpgrade(conn(), isFile()));
    ASSERT_EQ(errors().size(), 1);
    EXPECT_TRUE(errors()[0].startsWith(QStringLiteral("خطايي در روند برنامه پيش آمد.\r\n")));
    EXPECT_EQ(ReadVerNO(), 0.0);
    EXPECT_FALSE(finalMessageShown());
}

TEST_P(UpgradeDatabaseTest, ProfitViewSignsAndMonths)
{
    createOldBase();
    writeTemplate();
    conn().exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, Haghebongah) values ('02/03/05', 1000)"));
    ASSERT_TRUE(update(0));

    conn().exec(QStringLiteral("insert into t_hazineh (tarikh, nov, Mablagh) values ('1402/03/10', N'هزينه', 100.5)"));
    conn().exec(QStringLiteral("insert into t_hazineh (tarikh, nov, Mablagh) values ('1402/04/01', N'درآمد', 250)"));
    conn().exec(QStringLiteral("insert into t_hazineh (tarikh, nov, Mablagh) values ('1402/04/02', 'other', 7)"));
    conn().exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, Haghebongah, ownerDiscount) "
                               "values ('1402/04/30', 2000, 150)"));
    conn().exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, Haghebongah, customerDiscount, ownerDiscount) "
                               "values ('1402/05/01', 300, 20, 30)"));

    auto cur = conn().query(QStringLiteral("select t, m from V_Sood order by t, m"));
    const struct {
        const char* t;
        double m;
    } expected[] = {{"1402/03", -100.5}, {"1402/03", 1000}, {"1402/04", 250}, {"1402/04", 1850}, {"1402/05", 250}};
    for (const auto& e : expected) {
        ASSERT_TRUE(cur->next());
        EXPECT_EQ(std::string(cur->text(0)), e.t);
        EXPECT_DOUBLE_EQ(cur->toDouble(1), e.m) << e.t;
    }
    EXPECT_FALSE(cur->next());
}

DOVIN_INSTANTIATE_ENGINES(UpgradeDatabaseTest);

} // namespace
