// The property windows on a database server that restarts or goes away under them: the list
// opens with one Persian message while the server is away and refreshes once it is back; a
// save that failed keeps the form open with the typed values and succeeds when pressed
// again. Runs on a server of the test's own, which it stops and starts.
#include "registry_fixture.h"

#include "PgServer.h"
#include "registry/RegistryActions.h"
#include "ui_TFRmMelk.h"

#include <QApplication>
#include <QSet>

namespace {

class ServerLoss : public testing_support::OnOwnServer<RegistryTest> {
protected:
    void SetUp() override
    {
        OnOwnServer::SetUp();
        db::beginAction();
    }

    Ui::TFRmMelk* ui() { return FRmMelk->form(); }
    // A new property typed into the form, not saved yet.
    void typeNewProperty(const QString& owner)
    {
        ShowNewProperty();
        ui()->DBEdit1->setFocus();
        typeText(ui()->DBEdit1, owner);
        ui()->DBCheckBox2->click();
    }
    // Closes the property form answering Yes to the save question, in a new action.
    bool closeSaving()
    {
        db::beginAction();
        prompter.calls.clear();
        prompter.answer(shell::ResultYes);
        return FRmMelk->close();
    }

    // The messages that report a failure (not the questions and confirmations).
    QList<testing_support::PromptCall> failures() const
    {
        QList<testing_support::PromptCall> out;
        for (const auto& c : prompter.calls)
            if (c.what == QLatin1String("plainMessage") || (c.what == QLatin1String("messageDlg") && c.kind == 0))
                out << c;
        return out;
    }
    // One Persian message: the server is away, its own text below, nothing of the SQL.
    void expectOneServerMessage()
    {
        const auto shown = failures();
        ASSERT_EQ(shown.size(), 1) << prompter.messages().join(QStringLiteral(" | ")).toStdString();
        const QStringList lines = shown[0].text.split(QLatin1Char('\n'));
        ASSERT_EQ(lines.size(), 2) << shown[0].text.toStdString();
        EXPECT_EQ(lines[0], db::connectionLostText());
        EXPECT_FALSE(lines[1].isEmpty());
        for (const char* sql : {"select", "insert", "t_melk", "where", "begin"})
            EXPECT_FALSE(shown[0].text.contains(QLatin1String(sql), Qt::CaseInsensitive)) << sql;
    }

};


} // namespace

TEST_P(ServerLoss, TheListWhileTheServerIsAwayAndAfter)
{
    addProperty(QStringLiteral("پيش از قطع"), true, false, false);
    prompter.progressTitles.clear();   // the set-up's own long work (the lookup indexes)
    server->stop();
    db::beginAction();
    list()->show();   // the search, then the combo lists: every statement finds the server away
    expectOneServerMessage();
    EXPECT_EQ(prompter.progressTitles.size(), 1);
    list()->close();

    server->start();
    db::beginAction();
    prompter.calls.clear();
    list()->show();
    EXPECT_TRUE(failures().isEmpty()) << prompter.messages().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(Dm->QMelk->RecordCount(), 1);

    // a restart under the open list: the refresh reaches the new server at once
    addProperty(QStringLiteral("پس از قطع"), true, false, false);
    server->stop();
    server->start();
    db::beginAction();
    list()->btnrefreshClick();
    EXPECT_TRUE(failures().isEmpty());
    EXPECT_EQ(Dm->QMelk->RecordCount(), 2);
}

TEST_P(ServerLoss, AFailedSaveKeepsTheFormAndSucceedsWhenTheServerIsBack)
{
    typeNewProperty(QStringLiteral("مريم کاظمي"));
    server->stop();
    EXPECT_FALSE(closeSaving());
    expectOneServerMessage();
    EXPECT_TRUE(FRmMelk->isVisible());
    EXPECT_EQ(Dm->QMelk->State(), db::DataSetState::Insert);
    EXPECT_EQ(f(Dm->QMelk, "MalekEsm")->AsString(), QStringLiteral("مريم کاظمي"));
    EXPECT_EQ(ui()->DBEdit1->text(), QStringLiteral("مريم کاظمي"));

    server->start();
    EXPECT_TRUE(closeSaving());
    EXPECT_TRUE(failures().isEmpty()) << prompter.messages().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(prompter.messages().last(), QStringLiteral("تغييرات با موفقيت ذخيره شدند"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_Melk")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select MalekEsm from T_Melk")).toString(), QStringLiteral("مريم کاظمي"));
}

TEST_P(ServerLoss, ARestartWhileEditingIsNotNoticedBySaving)
{
    typeNewProperty(QStringLiteral("علي مرادي"));
    server->stop();
    server->start();
    EXPECT_TRUE(closeSaving());
    EXPECT_TRUE(failures().isEmpty()) << prompter.messages().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(Dm->Conn->scalar(QStringLiteral("select count(*) from T_Melk where MalekEsm = $1"), {QStringLiteral("علي مرادي")})
                  .toInt(),
              1);
}

// The server restarts while the property list's rest is being read and a property of it is
// being typed: no message, the form keeps what was typed and saves it, and the list ends
// whole, every property once.
TEST_P(ServerLoss, ARestartDuringTheListsBackgroundReadKeepsWhatIsTyped)
{
    constexpr int kRows = 30000;   // more than the first page and the batch read with it
    const QString yes = QString::number(Dm->Conn->dialect().trueValue());
    Dm->Conn->exec(QStringLiteral("insert into T_Melk (MalekEsm, ForSell, ForRahn, ForEjareh, F1, f1_2, f2, f2_2, f3, "
                                  "f3_2, Hazfshodeh, TedadOtagh, MantaghehID) select 'm' || i, %1, 0, 0, i, 0, 0, 0, "
                                  "0, 0, 0, 2, 0 from generate_series(1, %2) i")
                       .arg(yes)
                       .arg(kRows));
    list()->show();
    list()->btnokClick();
    db::DataSet* ds = Dm->QMelk;
    ASSERT_FALSE(ds->AllRowsRead());
    const qint64 first = f(ds, "MID")->AsLargeInt();
    list()->btnchangeClick();
    ASSERT_TRUE(FRmMelk->isVisible());
    ui()->DBEdit23->setFocus();
    typeText(ui()->DBEdit23, QStringLiteral("کليد زير فرش"));
    prompter.calls.clear();
    server->stop();
    server->start();
    for (int i = 0; i < 50000 && !ds->AllRowsRead() && failures().isEmpty(); ++i)
        QApplication::processEvents();
    EXPECT_TRUE(failures().isEmpty()) << prompter.messages().join(QStringLiteral(" | ")).toStdString();
    ASSERT_TRUE(ds->AllRowsRead());
    EXPECT_TRUE(FRmMelk->isVisible());
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_EQ(ui()->DBEdit23->text(), QStringLiteral("کليد زير فرش"));
    const int mid = f(ds, "MID")->Index();
    QSet<qint64> seen;
    for (int row = 0; row < ds->RecordCount(); ++row)
        seen.insert(ds->ValueAt(row, mid).toLongLong());
    EXPECT_EQ(ds->RecordCount(), kRows);
    EXPECT_EQ(seen.size(), kRows);
    EXPECT_TRUE(closeSaving());
    EXPECT_TRUE(failures().isEmpty()) << prompter.messages().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(Dm->Conn->scalar(QStringLiteral("select MID from T_Melk where Tozihat = $1"), {QStringLiteral("کليد زير فرش")})
                  .toLongLong(),
              first);
}

INSTANTIATE_TEST_SUITE_P(Server, ServerLoss, ::testing::Values(db::Engine::PostgreSQL), testing_support::engineName);
