// The property list: the criteria statement and its rows on both engines, the settings file
// of the criteria panel, the save question before a search, find bar, delete and cards.
#include "registry_fixture.h"

#include "platform/widgets/DBCtrlGrid.h"
#include "platform/widgets/DBGrid.h"
#include "forms/TListFrame.h"
#include "ui_TFrmLstMelk.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

namespace {

class PropertyList : public RegistryTest {
protected:
    Ui::TFrmLstMelk* ui() { return list()->form(); }
    QList<qint64> shownIds()
    {
        QList<qint64> ids;
        db::DataSet* ds = Dm->QMelk;
        const int mid = f(ds, "MID")->Index();
        for (int r = 0; r < ds->RecordCount(); ++r)
            ids << ds->ValueAt(r, mid).toLongLong();
        std::sort(ids.begin(), ids.end());
        return ids;
    }
    void setKinds(bool sell, bool rahn, bool ejareh)
    {
        ui()->chksell->setChecked(sell);
        ui()->ChkRahn->setChecked(rahn);
        ui()->ChkEjareh->setChecked(ejareh);
    }
};

TEST_P(PropertyList, DeletedStateClauses)
{
    // the flag as the datasets read it: any non-zero deleted, 0 or NULL kept
    EXPECT_EQ(list()->CriteriaSql(), QStringLiteral("select * from t_melk where coalesce(hazfshodeh,0)=0"));
    ui()->ChkDel->setChecked(true);
    EXPECT_EQ(list()->CriteriaSql(), QStringLiteral("select * from t_melk"));
    ui()->ChkNotdel->setChecked(false);
    EXPECT_EQ(list()->CriteriaSql(), QStringLiteral("select * from t_melk where coalesce(hazfshodeh,0)<>0"));
    ui()->ChkDel->setChecked(false);
    EXPECT_EQ(list()->CriteriaSql(), QStringLiteral("select * from t_melk"));

    // flags stored as 1, -1, NULL or 0 on either engine land where the record form shows them
    const qint64 one = addProperty(QStringLiteral("يک"), true, false, false);
    const qint64 minus = addProperty(QStringLiteral("منفي"), true, false, false);
    const qint64 none = addProperty(QStringLiteral("خالي"), true, false, false);
    const qint64 zero = addProperty(QStringLiteral("صفر"), true, false, false);
    Dm->Conn->exec(QStringLiteral("update T_Melk set Hazfshodeh=1 where MID=$1"), {one});
    Dm->Conn->exec(QStringLiteral("update T_Melk set Hazfshodeh=-1 where MID=$1"), {minus});
    Dm->Conn->exec(QStringLiteral("update T_Melk set Hazfshodeh=NULL where MID=$1"), {none});
    const struct {
        bool deleted, kept;
        QList<qint64> rows;
    } ticks[] = {
        {false, true, {none, zero}},
        {true, false, {one, minus}},
        {true, true, {one, minus, none, zero}},
        {false, false, {one, minus, none, zero}},
    };
    for (const auto& t : ticks) {
        ui()->ChkDel->setChecked(t.deleted);
        ui()->ChkNotdel->setChecked(t.kept);
        list()->btnokClick();
        EXPECT_EQ(shownIds(), t.rows) << t.deleted << t.kept;
    }
}

TEST_P(PropertyList, DealKindClausesAndTheirRows)
{
    const qint64 sell = addProperty(QStringLiteral("فروشنده"), true, false, false);
    const qint64 rahn = addProperty(QStringLiteral("رهن دهنده"), false, true, false);
    const qint64 both = addProperty(QStringLiteral("رهن و اجاره"), false, true, true);
    const qint64 rent = addProperty(QStringLiteral("اجاره دهنده"), false, false, true);
    addProperty(QStringLiteral("حذف شده"), true, false, false, 0, QString(), QStringLiteral("1403/01/05"), true);
    const QString base = QStringLiteral("select * from t_melk where coalesce(hazfshodeh,0)=0");
    const struct {
        bool sell, rahn, ejareh, re;
        QString clause;
        QList<qint64> rows;
    } cases[] = {
        {true, true, true, false, QString(), {sell, rahn, both, rent}},
        {true, false, false, false, QStringLiteral(" and ( forsell<>0 )"), {sell}},
        {true, true, false, false,
         QStringLiteral(" and ( forsell<>0  or  coalesce(forrahn,0)<>0 and coalesce(forejareh,0)=0)"), {sell, rahn}},
        {false, true, false, false, QStringLiteral(" and ( coalesce(forrahn,0)<>0 and coalesce(forejareh,0)=0)"), {rahn}},
        {false, true, true, false, QStringLiteral(" and ( coalesce(forrahn,0)<>0 and coalesce(forejareh,0)<>0)"),
         {both}},
        {false, false, false, true, QStringLiteral(" and  (forrahn<>0 or forejareh<>0) "), {rahn, both, rent}},
        // no box ticked: no condition instead of an empty pair of parentheses
        {false, false, false, false, QString(), {sell, rahn, both, rent}},
    };
    for (const auto& c : cases) {
        setKinds(c.sell, c.rahn, c.ejareh);
        ui()->chkre->setChecked(c.re);
        EXPECT_EQ(list()->CriteriaSql(), base + c.clause);
        list()->btnokClick();
        EXPECT_TRUE(Dm->QMelk->Active()) << c.clause.toStdString();
        EXPECT_EQ(shownIds(), c.rows) << c.clause.toStdString();
    }
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_P(PropertyList, OneWhereWhicheverClauseComesFirstAndUserTextsAreQuoted)
{
    const qint64 a = addProperty(QStringLiteral("الف"), true, false, false, 1500000, QStringLiteral("آپارتمان"));
    addProperty(QStringLiteral("ب"), true, false, false, 900000, QStringLiteral("آپارتمان"));
    const qint64 c = addProperty(QStringLiteral("ج"), true, false, false, 2000000, QStringLiteral("it's"));
    ui()->ChkNotdel->setChecked(false);
    ui()->chkf->setChecked(true);
    ui()->edtf->setText(QStringLiteral("1,000,000"));
    ui()->edtr->setText(QStringLiteral("2,000,000"));
    ui()->chknovmelk->setChecked(true);
    ui()->dbcombobox1->setEditText(QStringLiteral("آپارتمان"));
    const QString range = QStringLiteral(" between 1000000 and 2000000");
    const QString expected = QStringLiteral("select * from t_melk where (f1") + range + QStringLiteral(" or f1_2") + range
                             + QStringLiteral(" or f2") + range + QStringLiteral(" or f2_2") + range + QStringLiteral(" or f3")
                             + range + QStringLiteral(" or f3_2") + range + QStringLiteral(") and novmelk='آپارتمان'");
    EXPECT_EQ(list()->CriteriaSql(), expected);
    list()->btnokClick();
    EXPECT_EQ(shownIds(), QList<qint64>{a});

    ui()->dbcombobox1->setEditText(QStringLiteral("it's"));
    EXPECT_TRUE(list()->CriteriaSql().endsWith(QStringLiteral("novmelk='it''s'")));
    list()->btnokClick();
    EXPECT_EQ(shownIds(), QList<qint64>{c});

    // a count that is no number is refused with a message, nothing runs
    ui()->chkotagh->setChecked(true);
    ui()->edtotagh->setText(QStringLiteral("3 or 1=1"));
    EXPECT_TRUE(list()->CriteriaSql().isEmpty());
    EXPECT_EQ(prompter.calls.size(), 1);
    ui()->edtotagh->setText(QStringLiteral("0"));
    ui()->chkzabete->setChecked(true);
    ui()->edtzabeteh->setText(QStringLiteral("x' or '1'='1"));
    EXPECT_TRUE(list()->CriteriaSql().endsWith(QStringLiteral(" and TedadOtagh=0 and zabeteh='x'' or ''1''=''1'")));
}

TEST_P(PropertyList, DatesRoomsAndRegion)
{
    const qint64 early = addProperty(QStringLiteral("الف"), true, false, false, 0, QString(), QStringLiteral("1402/12/01"));
    const qint64 late = addProperty(QStringLiteral("ب"), true, false, false, 0, QString(), QStringLiteral("1403/02/01"), false, 3);
    ui()->chktarikh->setChecked(true);
    EXPECT_TRUE(ui()->edtt1->isEnabled());
    ui()->edtt1->setText(QStringLiteral("1403/01/01"));
    ui()->edtt2->setText(QStringLiteral("1403/12/29"));
    EXPECT_EQ(list()->CriteriaSql(), QStringLiteral("select * from t_melk where coalesce(hazfshodeh,0)=0 and TarikhEraeh "
                                                    "between '1403/01/01' and '1403/12/29'"));
    list()->btnokClick();
    EXPECT_EQ(shownIds(), QList<qint64>{late});
    ui()->chktarikh->setChecked(false);
    ui()->chkotagh->setChecked(true);
    ui()->edtotagh->setText(QStringLiteral("3"));
    list()->btnokClick();
    EXPECT_EQ(shownIds(), QList<qint64>{late});
    ui()->chkotagh->setChecked(false);
    // region ticked with nothing chosen adds nothing
    ui()->chkmn->setChecked(true);
    EXPECT_EQ(list()->CriteriaSql(), QStringLiteral("select * from t_melk where coalesce(hazfshodeh,0)=0"));
    list()->btnokClick();
    EXPECT_EQ(shownIds(), (QList<qint64>{early, late}));
}

TEST_P(PropertyList, ReAndDealKindBoxesFollowEachOther)
{
    ui()->chkre->click();
    EXPECT_FALSE(ui()->chksell->isChecked() || ui()->ChkRahn->isChecked() || ui()->ChkEjareh->isChecked());
    EXPECT_TRUE(ui()->chkre->isChecked());
    ui()->ChkRahn->click();
    EXPECT_FALSE(ui()->chkre->isChecked());
    ui()->chkre->click();
    ui()->chkre->click();
    EXPECT_TRUE(ui()->chksell->isChecked() && ui()->ChkRahn->isChecked() && ui()->ChkEjareh->isChecked());
    // typing a price copies it, grouped, into the upper bound
    ui()->chkf->setChecked(true);
    ui()->edtf->clear();
    typeText(ui()->edtf, QStringLiteral("1500000"));
    EXPECT_EQ(ui()->edtf->text(), QStringLiteral("1,500,000"));
    EXPECT_EQ(ui()->edtr->text(), QStringLiteral("1,500,000"));
}

TEST_P(PropertyList, ShowingLoadsTheSettingsFileAndAMissingKeyKeepsTheDesign)
{
    addProperty(QStringLiteral("حذف شده"), true, false, false, 0, QString(), QStringLiteral("1403/01/05"), true);
    addProperty(QStringLiteral("موجود"), true, false, false);
    QFile ini(TTools::AppPath() + QStringLiteral("defSearch.ini"));
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write("[frmlstmelkPanel1]\nChkDel=1\n");
    ini.close();
    list()->show();
    EXPECT_TRUE(ui()->ChkDel->isChecked());
    EXPECT_TRUE(ui()->ChkNotdel->isChecked());   // not in the file: as designed
    EXPECT_FALSE(ui()->chkre->isChecked());
    EXPECT_FALSE(ui()->chkmo->isChecked());
    EXPECT_FALSE(ui()->Panel1->isVisible());
    EXPECT_EQ(QString(Dm->QMelk->SQL()).remove(QLatin1Char('N')), QStringLiteral("select * from t_melk order by MID"));
    EXPECT_EQ(Dm->QMelk->RecordCount(), 2);
    list()->close();

    // the shipped file holds the design state
    QFile::remove(ini.fileName());
    ASSERT_TRUE(QFile::copy(QStringLiteral(DOVIN_SOURCE_DIR "/resources/defSearch.ini"), ini.fileName()));
    ui()->chkmo->setChecked(true);
    ui()->edtmo->setText(QStringLiteral("x"));
    list()->show();
    EXPECT_FALSE(ui()->ChkDel->isChecked());
    EXPECT_FALSE(ui()->chkmo->isChecked());
    EXPECT_EQ(ui()->edtmo->text(), QString());
    EXPECT_EQ(list()->CriteriaSql(), QStringLiteral("select * from t_melk where coalesce(hazfshodeh,0)=0"));
    EXPECT_EQ(Dm->QMelk->RecordCount(), 1);

    // rows of a match run stay when the list is shown in match mode
    list()->close();
    Dm->QMelk->Close();
    Dm->QMelk->setSQL(QStringLiteral("select * from t_melk"));
    Dm->QMelk->Open();
    list()->MatchMode = 1;
    list()->show();
    EXPECT_EQ(Dm->QMelk->RecordCount(), 2);
    list()->close();
    EXPECT_EQ(list()->MatchMode, 0);
}

TEST_P(PropertyList, OpeningReadsThePropertiesOnce)
{
    addProperty(QStringLiteral("موجود"), true, false, false);
    addProperty(QStringLiteral("ديگري"), false, true, false);
    // the shared dataset opened at start has read nothing when the list's own search replaces it
    ASSERT_TRUE(Dm->QMelk->Deferred());
    QList<bool> readBeforeItsClose;
    Dm->QMelk->BeforeClose = [&](db::DataSet& ds) { readBeforeItsClose << !ds.Deferred(); };
    list()->show();
    Dm->QMelk->BeforeClose = nullptr;
    EXPECT_EQ(readBeforeItsClose, QList<bool>{false});
    EXPECT_FALSE(Dm->QMelk->Deferred());
    EXPECT_EQ(shownIds().size(), 2);
    list()->close();
}

TEST_P(PropertyList, ASearchAsksBeforeDroppingAnEditInProgress)
{
    addProperty(QStringLiteral("قديمي"), true, false, false);
    list()->btnokClick();
    Dm->QMelk->Edit();
    f(Dm->QMelk, "MalekEsm")->SetAsString(QStringLiteral("جديد"));
    prompter.answer(shell::ResultCancel);
    list()->btnokClick();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("آيا تغييرات ذخيره شوند؟"));
    EXPECT_EQ(Dm->QMelk->State(), db::DataSetState::Edit);   // nothing lost, no search
    EXPECT_TRUE(ui()->Panel1->isHidden());

    prompter.answer(shell::ResultYes);
    list()->btnrefreshClick();
    EXPECT_EQ(Dm->QMelk->State(), db::DataSetState::Browse);
    EXPECT_EQ(scalar(QStringLiteral("select MalekEsm from T_Melk")).toString(), QStringLiteral("جديد"));
}

TEST_P(PropertyList, FindBarDeleteAndCards)
{
    const qint64 a = addProperty(QStringLiteral("احمد رضايي"), true, false, false, 0, QStringLiteral("ويلايي"),
                                 QStringLiteral("1403/05/12"));
    addProperty(QStringLiteral("رضا احمدي"), true, false, false, 0, QStringLiteral("آپارتمان"), QStringLiteral("1402/05/12"));
    list()->btnokClick();
    TListFrame* frame = list()->frame();
    ui()->CmbSearch->setCurrentText(QStringLiteral("نام مالک"));
    ui()->chkjozi->setChecked(false);
    ui()->edtsearch->setText(QStringLiteral("احمد"));
    EXPECT_EQ(Dm->QMelk->Filter().toLower(), QStringLiteral("malekesm like 'احمد'"));
    ui()->chkjozi->setChecked(true);
    ui()->edtsearch->setText(QStringLiteral("احمد "));
    EXPECT_EQ(f(Dm->QMelk, "MID")->AsLargeInt(), a);
    ui()->chkfilter->click();
    EXPECT_EQ(Dm->QMelk->RecordCount(), 1);
    ui()->edtsearch->clear();
    EXPECT_EQ(Dm->QMelk->RecordCount(), 2);
    ui()->chkfilter->click();
    // a partly typed date finds the dates that begin with its complete parts
    EXPECT_EQ(frame->FilterFor(QStringLiteral("تاريخ ارائه"), QStringLiteral("1403/05/__"), true).toLower(),
              QStringLiteral("tarikheraeh like '1403/05%'"));
    EXPECT_EQ(frame->FilterFor(QStringLiteral("مساحت"), QStringLiteral("120"), true).toLower(), QStringLiteral("masahat=120"));
    EXPECT_EQ(frame->FilterFor(QStringLiteral("نه ستون"), QStringLiteral("x"), true), QString());

    // cards show the same rows
    ui()->RadioButton2->setChecked(true);
    EXPECT_TRUE(ui()->dbgrid1->isHidden());
    EXPECT_FALSE(ui()->DBCtrlGrid1->isHidden());
    auto* owner = ui()->DBCtrlGrid1->panel(0)->findChild<QLabel*>(QStringLiteral("DBText_MalekEsm"));
    ASSERT_TRUE(owner);

    // delete: No keeps the row, Yes deletes it with its documents
    Dm->QMelk->Locate(QStringLiteral("MID"), a);
    Dm->Conn->exec(QStringLiteral("insert into T_EstateDocs (melkId, docPath) values ($1, '/tmp/a.jpg')"), {a});
    prompter.answer(shell::ResultNo);
    list()->btndelClick();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_Melk")).toInt(), 2);
    prompter.answer(shell::ResultYes);
    list()->btndelClick();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("آيا رديف انتخاب شده حذف شود؟"));
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_Melk")).toInt(), 1);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_EstateDocs")).toInt(), 0);

    // an empty list answers with the message
    Dm->QMelk->Close();
    Dm->QMelk->setSQL(QStringLiteral("select * from t_melk where 1=0"));
    Dm->QMelk->Open();
    prompter.calls.clear();
    list()->btnchangeClick();
    list()->btndelClick();
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("هيچ رديفي انتخاب نشده است"));
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("هيچ رديفي انتخاب نشده است"));
}

TEST_P(PropertyList, PrintAsksThenPreviewsTheGrid)
{
    addProperty(QStringLiteral("الف"), true, false, false, 1250000);
    list()->btnokClick();
    prompter.answer(shell::ResultNo);   // not the detailed listing
    prompter.answer(shell::ResultOk);
    prompter.answer(shell::ResultYes);  // all rows
    list()->btnprintClick();
    EXPECT_EQ(prompter.previewCount, 1);
}

DOVIN_INSTANTIATE_ENGINES(PropertyList);

} // namespace
