// Closing the program with "Yes" to the save question while the database server is away:
// the program stays open with the typed record and one Persian message; once the server is
// back the same close saves the record and ends. Runs on a server of the test's own, which
// it stops and starts.
#include "records_fixture.h"

#include "PgServer.h"
#include "app/TFrmMain.h"
#include "platform/db/Sql.h"

namespace {

class ServerCloseTest : public testing_support::OnOwnServer<RecordsTest> {
protected:
    void SetUp() override
    {
        OnOwnServer::SetUp();
        if (IsSkipped())
            return;
        Dm = dm.get();
        FrmMain = new TFrmMain;
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            delete FrmMain;
            FrmMain = nullptr;
            Dm = nullptr;
        }
        RecordsTest::TearDown();
    }
    // Closes the main window answering Yes, as a new action of the user.
    bool closeSaving()
    {
        db::beginAction();
        prompter.calls.clear();
        prompter.answer(shell::ResultYes);
        return FrmMain->close();
    }
    QStringList failures() const
    {
        QStringList out;
        for (const auto& c : prompter.calls)
            if (c.what == QLatin1String("plainMessage") || (c.what == QLatin1String("messageDlg") && c.kind == 0))
                out << c.text;
        return out;
    }

};


TEST_P(ServerCloseTest, YesWhileTheServerIsAwayKeepsTheProgramAndTheRecord)
{
    const QString name = QStringLiteral("زهرا قاسمي");
    dm->QTels->Open();
    dm->QTels->Append();
    dm->QTels->FieldByName(QStringLiteral("Esm"))->SetAsString(name);

    server->stop();
    EXPECT_FALSE(closeSaving());
    const QStringList shown = failures();
    ASSERT_EQ(shown.size(), 1) << prompter.messages().join(QStringLiteral(" | ")).toStdString();
    EXPECT_TRUE(shown[0].startsWith(db::connectionLostText() + QLatin1Char('\n'))) << shown[0].toStdString();
    EXPECT_FALSE(shown[0].contains(QLatin1String("t_tels"), Qt::CaseInsensitive));
    EXPECT_EQ(dm->QTels->State(), db::DataSetState::Insert);
    EXPECT_EQ(dm->QTels->FieldByName(QStringLiteral("Esm"))->AsString(), name);

    server->start();
    EXPECT_TRUE(closeSaving());
    EXPECT_TRUE(failures().isEmpty()) << prompter.messages().join(QStringLiteral(" | ")).toStdString();
    EXPECT_EQ(dm->Conn->scalar(QStringLiteral("select count(*) from t_Tels where Esm = ") + db::Q(name)).toInt(), 1);
}

INSTANTIATE_TEST_SUITE_P(Server, ServerCloseTest, ::testing::Values(db::Engine::PostgreSQL), testing_support::engineName);

} // namespace
