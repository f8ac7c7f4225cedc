// Main-window actions (captions, shortcuts, menus, side buttons), the rights that enable
// them, the tax-report gate, and the rights gate on stored rows.
#include "ScriptedPrompter.h"
#include "records_fixture.h"
#include "startup_fixture.h"

#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "core/ProgramFolder.h"
#include "core/ProgramIni.h"
#include "core/TPrefMng.h"
#include "ui_TFrmMain.h"

#include <QDir>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>
#include <QToolButton>

using testing_support::ScriptedPrompter;

namespace {

class MainActionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder.makeDatabases();
        dm = std::make_unique<TDm>();
        Dm = dm.get();
        ASSERT_TRUE(dm->DataModuleCreate(true));
        prompter.calls.clear();
        UserCanChange = false;
        w = std::make_unique<TFrmMain>();
        previous = SetTerminateHandler([this] { ++terminated; });
    }
    void TearDown() override
    {
        SetTerminateHandler(previous);
        w.reset();
        Dm = nullptr;
    }
    QAction* action(const char* name) { return w->findChild<QAction*>(QString::fromLatin1(name)); }
    // Adds a user with the given rights (all others false) and applies them.
    void applyRights(const QStringList& rights)
    {
        QStringList cols{QStringLiteral("Esm")}, values{QStringLiteral("'u'")};
        for (const QString& r : rights) {
            cols << r;
            values << QStringLiteral("-1");
        }
        dm->UserConn->exec(QStringLiteral("delete from tunames"));
        dm->UserConn->exec(QStringLiteral("insert into tunames (%1) values (%2)").arg(cols.join(','), values.join(',')));
        dm->UQ->Close();
        dm->UQ->setSQL(QStringLiteral("select * from tunames"));
        dm->UQ->Open();
        w->ApplyUserRights(*dm->UQ);
    }

    ProgramFolderScope folder;
    ScriptedPrompter prompter;
    std::unique_ptr<TDm> dm;
    std::unique_ptr<TFrmMain> w;
    std::function<void()> previous;
    int terminated = 0;
};

const char* const kAlwaysEnabled[] = {"ActUser", "ActExit", "Action1", "mnuautopic", "Action7",
                                      "actTTMS", "ActAbout", "Action2", "Action5", "Action6"};

TEST_F(MainActionsTest, EveryActionHasItsCaptionAndShortcut)
{
    const struct {
        const char* name;
        const char* caption;
        const char* shortcut;
    } actions[] = {
        {"ActSave", "ذخيره اطلاعات", ""},
        {"ActLoad", "بازيابي اطلاعات", ""},
        {"ActUser", "تغيير کاربر", ""},
        {"ActExit", "خروج", ""},
        {"ActNewMelk", "ملک جديد", "F1"},
        {"ActLstMelk", "ليست املاک موجود", "F2"},
        {"ActNiyaz", "ملک جديد", "F3"},
        {"ActLstNiyaz", "ليست املاک درخواستي", "F4"},
        {"ActMoameleh", "معامله/فاکتور جديد", "F5"},
        {"ActLstMoameleh", "ليست معاملات/فاکتورها", "F6"},
        {"ActNewRegion", "منطقه جديد", "F7"},
        {"ActLstRegion", "ليست مناطق", "F8"},
        {"ActRep", "گزارشات ماهيانه", "F9"},
        {"ActExSanad", "صدور هزينه/درآمد", "F10"},
        {"ActLstExSanad", "ليست هزينه ها/درآمدها", "F11"},
        {"ActCheck", "چک جديد", "Shift+F1"},
        {"ActLstCheck", "دفتر چک", "Shift+F2"},
        {"ActTel", "دفتر تلفن", "Shift+F3"},
        {"ActNewGhovl", "تعريف فرم قرارداد", "Ctrl+F1"},
        {"ActopenGhovl", "باز کردن فرم قرار داد", "Ctrl+F2"},
        {"ActLstGhovl", "حذف قرار دادها", "Ctrl+F3"},
        {"ActPref", "تنظيمات برنامه", ""},
        {"Action1", "تعيين عکس زمينه", ""},
        {"mnuautopic", "تعيين عکس زمينه به طور اتوماتيک توسط برنامه", ""},
        {"Action7", "تنظيمات ماليات ارزش افزوده", ""},
        {"actTTMS", "گزارش TTMS", ""},
        {"ActAbout", "درباره/تماس با ما", ""},
        {"Action2", "سازگار کردن ساختار پايگاه داده", ""},
        {"Action5", "نمايش آموزش در نرم افزار", ""},
        {"Action6", "نمايش آموزش در مرورگر ويندوز", ""},
    };
    for (const auto& a : actions) {
        QAction* act = action(a.name);
        ASSERT_NE(act, nullptr) << a.name;
        EXPECT_EQ(act->text(), QString::fromUtf8(a.caption)) << a.name;
        EXPECT_EQ(act->shortcut(), QKeySequence(QString::fromLatin1(a.shortcut))) << a.name;
    }
}

TEST_F(MainActionsTest, MenusAndSideButtonsInTheirOrder)
{
    // each menu as its title and its entries: an action's name, "-" or a submenu's title
    const auto entries = [](QMenu* m) {
        QStringList out;
        for (QAction* a : m->actions())
            out << (a->isSeparator() ? QStringLiteral("-") : a->menu() ? a->menu()->title() : a->objectName());
        return out;
    };
    QStringList titles;
    QList<QStringList> menus;
    for (QAction* a : w->menuBar()->actions()) {
        titles << a->menu()->title();
        menus << entries(a->menu());
    }
    EXPECT_EQ(titles, (QStringList{"پرونده", "املاک", "گزينه ها", "دفترها", "فرم قرارداها", "تنظيمات",
                                   "ماليات ارزش افزوده", "کمک", "آموزش"}));
    ASSERT_EQ(menus.size(), 9);
    EXPECT_EQ(menus[0], (QStringList{"ActSave", "ActLoad", "-", "ActUser", "-", "ActExit"}));
    EXPECT_EQ(menus[1], (QStringList{"املاک موجود", "املاک درخواستي"}));
    EXPECT_EQ(menus[2], (QStringList{"مناطق", "هزينه/درآمد", "معامله", "-", "گزارش"}));
    EXPECT_EQ(menus[3], (QStringList{"ActCheck", "ActLstCheck", "-", "ActTel"}));
    EXPECT_EQ(menus[4], (QStringList{"ActNewGhovl", "ActopenGhovl", "ActLstGhovl"}));
    EXPECT_EQ(menus[5], (QStringList{"ActPref", "-", "عکس زمينه"}));
    EXPECT_EQ(menus[6], (QStringList{"Action7", "actTTMS"}));
    EXPECT_EQ(menus[7], (QStringList{"ActAbout", "Action2"}));
    EXPECT_EQ(menus[8], (QStringList{"Action5", "Action6"}));
    const Ui::TFrmMain& f = *w->form();
    EXPECT_EQ(entries(f.mnuMelkMoojod), (QStringList{"ActNewMelk", "ActLstMelk"}));
    EXPECT_EQ(entries(f.mnuMelkDarkhasti), (QStringList{"ActNiyaz", "ActLstNiyaz"}));
    EXPECT_EQ(entries(f.mnuRegions), (QStringList{"ActNewRegion", "ActLstRegion"}));
    EXPECT_EQ(entries(f.mnuHazineh), (QStringList{"ActExSanad", "ActLstExSanad"}));
    EXPECT_EQ(entries(f.mnuMoameleh), (QStringList{"ActMoameleh", "ActLstMoameleh"}));
    EXPECT_EQ(entries(f.mnuReport), (QStringList{"ActRep"}));
    EXPECT_EQ(entries(f.mnuBackground), (QStringList{"Action1", "mnuautopic"}));

    QStringList side;
    for (int i = 0; i < f.layPanel1->count(); ++i) {
        QWidget* widget = f.layPanel1->itemAt(i)->widget();
        if (auto* b = qobject_cast<QToolButton*>(widget))
            side << b->text();
        else if (widget)
            side << widget->objectName();
    }
    EXPECT_EQ(side, (QStringList{"منطقه جديد", "ملک جديد", "ليست املاک ", "صدور هزينه/درآمد", "چک جديد",
                                 "معامله/فاکتور جديد", "دفتر تلفن", "Image4", "خروج      "}));
}

TEST_F(MainActionsTest, EachRightEnablesItsActionsOnly)
{
    // before any login every gated action is off
    for (const TFrmMain::TRight& r : TFrmMain::Rights())
        for (const char* name : r.actions)
            EXPECT_FALSE(action(name)->isEnabled()) << name;

    const struct {
        const char* right;
        QStringList actions;
    } matrix[] = {
        {"Sve", {"ActSave"}},
        {"lod", {"ActLoad"}},
        {"AMoojod", {"ActNewMelk", "ActLstMelk"}},
        {"ADarkhasti", {"ActNiyaz", "ActLstNiyaz"}},
        {"Moameleh", {"ActMoameleh", "ActLstMoameleh"}},
        {"Manategh", {"ActNewRegion", "ActLstRegion"}},
        {"Reps", {"ActRep"}},
        {"Hazineh", {"ActExSanad", "ActLstExSanad"}},
        {"Dcheck", {"ActCheck", "ActLstCheck"}},
        {"Tels", {"ActTel"}},
        {"pref", {"ActPref"}},
        {"GhForms", {"ActNewGhovl", "ActopenGhovl", "ActLstGhovl"}},
        {"settarikh", {}},
        {"Dels", {}},
    };
    QStringList gated;
    for (const auto& m : matrix)
        gated << m.actions;
    for (const auto& m : matrix) {
        applyRights({QString::fromLatin1(m.right)});
        for (const QString& name : gated)
            EXPECT_EQ(action(name.toLatin1().constData())->isEnabled(), m.actions.contains(name)) << m.right << " " << name.toStdString();
        for (const char* name : kAlwaysEnabled)
            EXPECT_TRUE(action(name)->isEnabled()) << m.right << " " << name;
        EXPECT_EQ(UserCanChange, QLatin1String(m.right) == QLatin1String("Dels")) << m.right;
    }

    w->EnableAllRights();
    for (const QString& name : gated)
        EXPECT_TRUE(action(name.toLatin1().constData())->isEnabled()) << name.toStdString();
    EXPECT_TRUE(UserCanChange);
}

TEST_F(MainActionsTest, ADisabledActionOpensNothingAndItsButtonFollows)
{
    int opened = 0;
    w->SetOpener(action("ActNewMelk"), [&] { ++opened; });
    applyRights({QStringLiteral("ADarkhasti")});
    EXPECT_FALSE(w->form()->SbNewMelk->isEnabled());
    action("ActNewMelk")->trigger();
    w->form()->SbNewMelk->click();
    EXPECT_EQ(opened, 0);

    applyRights({QStringLiteral("AMoojod")});
    EXPECT_TRUE(w->form()->SbNewMelk->isEnabled());
    w->form()->SbNewMelk->click();
    action("ActNewMelk")->trigger();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(w->form()->SbNewMelk->text(), QStringLiteral("ملک جديد"));
    EXPECT_EQ(w->form()->SbLstMelk->text(), QStringLiteral("ليست املاک "));
}

TEST_F(MainActionsTest, TheTaxReportOpensOnlyWhileVatIsOn)
{
    int opened = 0;
    w->SetOpener(action("actTTMS"), [&] { ++opened; });
    ASSERT_TRUE(TPrefMng::SetVATEnabled(false));
    action("actTTMS")->trigger();
    EXPECT_EQ(opened, 0);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text,
              QStringLiteral("لطفا از طريق گزينه \"تنظيمات ماليات ارزش افزوده\" امکانات ماليات ارزش افزوده را فعال نماييد."));
    EXPECT_EQ(prompter.calls[0].kind, 1);
    EXPECT_EQ(prompter.calls[0].buttons, 1);

    ASSERT_TRUE(TPrefMng::SetVATEnabled(true));
    action("actTTMS")->trigger();
    EXPECT_EQ(opened, 1);
    EXPECT_EQ(prompter.calls.size(), 1);
}

TEST_F(MainActionsTest, HelpPreferencesAndTheWindowsOfOtherParts)
{
    QStringList pages;
    w->ShowHelp = [&](const QString& page) { pages << page; };
    action("Action5")->trigger();
    EXPECT_EQ(pages, QStringList{QStringLiteral("index")});
    action("Action6")->trigger();
    EXPECT_EQ(prompter.opened, QStringList{ProgramFolder() + QStringLiteral("help/index.htm")});

    // the preferences reload the background once their window closed
    w->EnableAllRights();
    QDir().mkpath(folder.path(QStringLiteral("bg")));
    QImage img(8, 8, QImage::Format_RGB32);
    img.fill(Qt::blue);
    ASSERT_TRUE(img.save(folder.path(QStringLiteral("bg/0.jpg"))));
    ASSERT_TRUE(img.save(folder.path(QStringLiteral("bg/1.jpg"))));
    action("ActPref")->trigger();   // no window yet: nothing happens
    EXPECT_EQ(ReadBgPath(), QStringLiteral("0"));
    int prefs = 0;
    w->SetOpener(action("ActPref"), [&] { ++prefs; });
    action("ActPref")->trigger();
    EXPECT_EQ(prefs, 1);
    EXPECT_EQ(ReadBgPath(), QStringLiteral("1"));

    for (const char* name : {"ActSave", "ActLoad", "ActLstMelk", "ActNiyaz", "ActLstNiyaz", "ActMoameleh",
                             "ActLstMoameleh", "ActNewRegion", "ActLstRegion", "ActRep", "ActExSanad", "ActLstExSanad",
                             "ActCheck", "ActLstCheck", "ActTel", "ActNewGhovl", "ActopenGhovl", "ActLstGhovl",
                             "Action7", "ActAbout"}) {
        int n = 0;
        w->SetOpener(action(name), [&] { ++n; });
        action(name)->trigger();
        EXPECT_EQ(n, 1) << name;
    }
}

TEST_F(MainActionsTest, UnreadableUsersEndTheProgramWithoutRights)
{
    dm->UserConn->exec(QStringLiteral("drop table tunames"));
    int logins = 0;
    w->ShowLogin = [&] { ++logins; };
    w->FormShow();
    EXPECT_EQ(terminated, 1);
    EXPECT_EQ(logins, 0);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].what, QStringLiteral("plainMessage"));
    EXPECT_FALSE(action("ActNewMelk")->isEnabled());
    EXPECT_FALSE(UserCanChange);
    EXPECT_FALSE(w->tmrInternetUpdate->isActive());
}

// ---- the rights gate on stored rows ----

class RightsGateTest : public RecordsTest {};

TEST_P(RightsGateTest, WithoutTheRightRowsCanBeAddedButNotChangedOrDeleted)
{
    UserCanChange = false;
    const QString refused = QStringLiteral("امکان حذف يا تغيير دادن اطلاعات براي کاربر فعلي وجود ندارد");
    const struct {
        db::DataSet* ds;
        const char* field;
        const char* flag;   // a deal kind the post needs, or nullptr
    } sets[] = {
        {dm->QMelk, "MalekEsm", "ForSell"}, {dm->QNiyaz, "Esm", "kharid"},   {dm->QSanad, "EsmMalek", nullptr},
        {dm->QGhovL, "esm", nullptr},       {dm->QMantagheh, "Esm", nullptr}, {dm->QHazineh, "Hname", nullptr},
        {dm->QCheck, "shakhs", nullptr},    {dm->QTels, "Esm", nullptr},
    };
    dm->QTels->Open();
    dm->QNiyaz->Close();
    dm->QNiyaz->setSQL(QStringLiteral("select * from T_niyaz"));
    dm->QNiyaz->Open();
    for (const auto& s : sets) {
        const std::string name = s.ds->objectName().toStdString();
        s.ds->Append();
        f(s.ds, s.field)->SetAsString(QStringLiteral("الف"));
        if (s.flag)
            f(s.ds, s.flag)->SetAsBoolean(true);
        if (s.ds == dm->QCheck)
            f(s.ds, "Tarikh")->SetAsString(QStringLiteral("1403/01/01"));
        ASSERT_NO_THROW(dm->PostInTransaction(*s.ds)) << name;
        try {
            s.ds->Edit();
            ADD_FAILURE() << name << " edited";
        } catch (const db::DbError& e) {
            EXPECT_EQ(e.message(), refused) << name;
        }
        EXPECT_EQ(s.ds->State(), db::DataSetState::Browse) << name;
        EXPECT_THROW(s.ds->Delete(), db::DbError) << name;
        EXPECT_EQ(s.ds->RecordCount(), 1) << name;
    }
    EXPECT_TRUE(prompter.calls.isEmpty());

    // the documents of a property are not gated; their delete asks first
    dm->Conn->exec(QStringLiteral("insert into T_EstateDocs (melkId, docPath) values (1, 'a.pdf')"));
    dm->QDocs->Open();
    prompter.answer(shell::ResultNo);
    EXPECT_THROW(dm->QDocs->Delete(), db::Abort);
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("آيا رديف انتخاب شده حذف شود؟"));
    EXPECT_EQ(prompter.calls.last().buttons, 4 | 8);
    prompter.answer(shell::ResultYes);
    dm->QDocs->Delete();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_EstateDocs")).toInt(), 0);

    UserCanChange = true;
    dm->QTels->Edit();
    EXPECT_EQ(dm->QTels->State(), db::DataSetState::Edit);
    dm->QTels->Cancel();
}

DOVIN_INSTANTIATE_ENGINES(RightsGateTest);

} // namespace
