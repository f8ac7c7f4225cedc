// The one save question on every way out, with a name still in the focused edit box of an
// open window: the window's own close, closing the main window (the window asking first, or
// the main window asking for a window that closes without a question), the login window's
// exit, a login whose user was deleted meanwhile, and a list's refresh. Yes stores the typed name, No drops it,
// Cancel keeps everything and the program running.
#include "records_fixture.h"

#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "app/TRFrmUsers.h"
#include "forms/FormShared.h"
#include "registry/TFrmTels.h"
#include "platform/db/Sql.h"
#include "platform/widgets/DBEdit.h"
#include "ui_TRFrmUsers.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

namespace {

// A window with an edit box on the phone book's name, as the record windows have; asks
// on close when told to (record forms do, lists do not).
class EditWindow : public QWidget {
public:
    explicit EditWindow(bool asks) : asks_(asks)
    {
        setWindowTitle(QStringLiteral("دفتر تلفن"));
        edit = new widgets::DBEdit(this);
        edit->setDataSet(Dm->QTels);
        edit->setDataField(QStringLiteral("Esm"));
    }
    widgets::DBEdit* edit;

protected:
    void closeEvent(QCloseEvent* e) override
    {
        if (asks_ && !AskSavePending(Dm->QTels, windowTitle(), true))
            e->ignore();
    }

private:
    bool asks_;
};

enum class Way { WindowClose, MainClose, LoginExit, LoginUserDeleted, ListRefresh };

class SavePendingTest : public RecordsTest {
protected:
    void SetUp() override
    {
        RecordsTest::SetUp();
        if (IsSkipped())
            return;
        Dm = dm.get();
        previous = SetTerminateHandler([this] { ++terminated; });
    }
    void TearDown() override
    {
        if (!IsSkipped()) {
            SetTerminateHandler(previous);
            Dm = nullptr;
        }
        RecordsTest::TearDown();
    }
    int stored(const QString& name)
    {
        return scalar(QStringLiteral("select count(*) from t_Tels where Esm = ") + db::Q(name)).toInt();
    }

    std::function<void()> previous;
    int terminated = 0;
};

TEST_P(SavePendingTest, EveryWayOutAsksOnceAndHandsOverTheFocusedText)
{
    const QString question = QStringLiteral("آيا تغييرات ذخيره شوند؟");
    const struct {
        Way way;
        bool windowAsks;
        int answer;
    } cases[] = {
        {Way::WindowClose, true, shell::ResultYes},   {Way::WindowClose, true, shell::ResultNo},
        {Way::WindowClose, true, shell::ResultCancel}, {Way::MainClose, true, shell::ResultYes},
        {Way::MainClose, true, shell::ResultNo},       {Way::MainClose, true, shell::ResultCancel},
        {Way::MainClose, false, shell::ResultYes},     {Way::MainClose, false, shell::ResultNo},
        {Way::MainClose, false, shell::ResultCancel},  {Way::LoginExit, true, shell::ResultYes},
        {Way::LoginExit, false, shell::ResultYes},     {Way::LoginExit, false, shell::ResultCancel},
        {Way::LoginUserDeleted, true, shell::ResultYes}, {Way::LoginUserDeleted, false, shell::ResultCancel},
        {Way::ListRefresh, true, shell::ResultYes},    {Way::ListRefresh, true, shell::ResultNo},
        {Way::ListRefresh, true, shell::ResultCancel},
    };
    dm->QTels->Open();
    int n = 0;
    for (const auto& c : cases) {
        const QString typed = QStringLiteral("Rezaei%1").arg(++n);
        const std::string name = "case " + std::to_string(n);
        SetTerminateHandler([this] { ++terminated; });
        terminated = 0;
        FrmMain = new TFrmMain;
        EditWindow window(c.windowAsks);
        window.show();
        dm->QTels->Append();
        QTest::keyClicks(window.edit, typed);
        ASSERT_TRUE(dm->QTels->FieldByName(QStringLiteral("Esm"))->IsNull()) << name;   // still in the box only

        QPointer<TRFrmUsers> login;
        TFrmTels list;
        QSignalSpy reopened(dm->QTels, &db::DataSet::layoutChanged);
        QString caption = c.windowAsks ? window.windowTitle() : FrmMain->windowTitle();
        prompter.calls.clear();
        if (c.way == Way::LoginUserDeleted)
            prompter.answer(shell::ResultOk);   // "کاربر مورد نظر يافت نشد"
        prompter.answer(c.answer);
        bool ended = false;
        switch (c.way) {
        case Way::WindowClose: ended = window.close(); break;
        case Way::MainClose: ended = FrmMain->close(); break;
        case Way::LoginExit:
            login = new TRFrmUsers(FrmMain);
            login->show();
            login->form()->BtnCan->click();
            ended = terminated == 1 && TerminateRequested();
            break;
        case Way::LoginUserDeleted:
            dm->UserConn->exec(QStringLiteral("insert into tunames (Esm, Passw) values ('x', '')"));
            login = new TRFrmUsers(FrmMain);
            login->show();
            dm->UserConn->exec(QStringLiteral("delete from tunames"));
            QTest::mouseClick(login->NameLabels().at(0), Qt::LeftButton);
            ended = terminated == 1 && TerminateRequested();
            break;
        case Way::ListRefresh:
            list.findChild<QPushButton*>(QStringLiteral("btnrefresh"))->click();
            ended = reopened.size() > 0;
            caption = list.windowTitle();
            break;
        }

        const QStringList asked = prompter.messages().filter(question);
        ASSERT_EQ(asked.size(), 1) << name;
        const auto call = std::find_if(prompter.calls.begin(), prompter.calls.end(),
                                       [&](const auto& p) { return p.text == question; });
        EXPECT_EQ(call->caption, caption) << name;
        EXPECT_EQ(call->buttons, 4 | 8 | 2) << name;
        EXPECT_EQ(stored(typed), c.answer == shell::ResultYes ? 1 : 0) << name;
        EXPECT_EQ(prompter.messages().contains(QStringLiteral("تغييرات با موفقيت ذخيره شدند")),
                  c.answer == shell::ResultYes && c.way != Way::ListRefresh) << name;
        EXPECT_EQ(ended, c.answer != shell::ResultCancel) << name;
        EXPECT_EQ(dm->QTels->State(), c.answer == shell::ResultCancel ? db::DataSetState::Insert : db::DataSetState::Browse)
            << name;
        if (c.answer == shell::ResultCancel) {
            EXPECT_EQ(window.edit->text(), typed) << name;
            EXPECT_FALSE(TerminateRequested()) << name;
            dm->QTels->Cancel();
        }
        delete login.data();
        delete FrmMain;
        FrmMain = nullptr;
    }
}

TEST_P(SavePendingTest, AWrongTypedValueKeepsTheProgramOpen)
{
    FrmMain = new TFrmMain;
    EditWindow window(false);
    window.show();
    dm->QMelk->Append();
    dm->QMelk->FieldByName(QStringLiteral("ForSell"))->SetAsBoolean(true);
    window.edit->setDataSet(dm->QMelk);
    window.edit->setDataField(QStringLiteral("Tabagheh"));
    QTest::keyClicks(window.edit, QStringLiteral("3.7"));
    prompter.answer(shell::ResultYes);
    EXPECT_FALSE(FrmMain->close());
    EXPECT_EQ(dm->QMelk->State(), db::DataSetState::Insert);
    EXPECT_EQ(prompter.messages().last(), QStringLiteral("«طبقه»: '3.7' عدد معتبري نيست"));
    dm->QMelk->Cancel();
    delete FrmMain;
    FrmMain = nullptr;
}

DOVIN_INSTANTIATE_ENGINES(SavePendingTest);

} // namespace
