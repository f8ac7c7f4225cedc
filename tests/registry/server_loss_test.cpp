// The property windows on a database server that restarts or goes away under them: the list
// opens with one Persian message while the server is away and refreshes once it is back; a
// save that failed keeps the form open with the typed values and succeeds when pressed
// again. Runs on a server of the test's own, which it stops and starts.
#include "registry_fixture.h"

#include "PgServer.h"
#include "registry/RegistryActions.h"
#include "ui_TFRmMelk.h"

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

INSTANTIATE_TEST_SUITE_P(Server, ServerLoss, ::testing::Values(db::Engine::PostgreSQL), testing_support::engineName);
