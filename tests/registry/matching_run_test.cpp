// Match runs on a seeded database: the rows found in both directions, the panel state file,
// and what happens before anything is closed (bad flexibility, an unsaved edit of the target).
#include "matching_fixture.h"

#include "platform/ini/IniFile.h"
#include "registry/Matching.h"
#include "ui/GridHelpers.h"

#include <QFile>

#include <QCheckBox>
#include <QLineEdit>
#include <QWidget>

namespace {

class MatchRun : public RegistryDbTest {
protected:
    void seed()
    {
        const qint64 center = region(QStringLiteral("مرکز"));
        const qint64 north = region(QStringLiteral("شمال"));
        const QStringList mcols = {"MantaghehID", "Hazfshodeh", "MalekEsm", "ForSell", "ForRahn", "ForEjareh",
                                   "NovMelk",     "TedadOtagh", "F1type",   "F1",      "f1_2"};
        const auto melk = [&](qint64 mn, bool sell, bool rahn, int rooms, const char* type, const char* f1) {
            return insert("T_Melk", "MID", mcols,
                          {QString::number(mn), "0", db::Q("مالک"), b(sell), b(rahn), "0", db::Q("آپارتمان"),
                           QString::number(rooms), db::Q(QString::fromUtf8(type)), f1, "0"});
        };
        p1 = melk(center, true, false, 2, "فروش", "700");
        p2 = melk(center, true, false, 2, "فروش", "1000");
        p3 = melk(center, false, true, 2, "رهن کامل", "700");
        const QStringList ncols = {"MnId", "hazfshodeh", "Esm", "kharid", "Rahn", "Ejareh", "novmelk", "otagh",
                                   "f1type", "f1", "f1_2"};
        const auto niyaz = [&](qint64 mn, bool deleted, bool buy, bool rahn, int rooms, const char* type,
                               const char* f1) {
            return insert("T_niyaz", "NizId", ncols,
                          {QString::number(mn), b(deleted), db::Q("مشتري"), b(buy), b(rahn), "0",
                           db::Q("آپارتمان"), QString::number(rooms), db::Q(QString::fromUtf8(type)), f1, "0"});
        };
        d1 = niyaz(center, false, true, false, 2, "خريد", "750");
        d2 = niyaz(center, false, true, false, 5, "خريد", "750");
        d3 = niyaz(center, true, true, false, 2, "خريد", "750");
        d4 = niyaz(center, false, false, true, 2, "رهن کامل", "700");
        d5 = niyaz(north, false, true, false, 2, "خريد", "750");
        for (db::DataSet* ds : {Dm->QMn, Dm->Qmn2, Dm->QMelk, Dm->QNiyaz}) {
            ds->Close();
            ds->Open();
        }
    }

    // A panel as the lists carry it.
    void makePanel()
    {
        panel.setObjectName("Panel4");
        for (const char* c : {"chkRequest", "ChkType", "chkQuarter", "chkTempDel", "chkRoom", "chkLivingArea",
                              "chkArea", "chkFloor", "chkSellMatch", "chkTel", "ChkMortgage", "chkRent"})
            (new QCheckBox(&panel))->setObjectName(c);
        for (const char* e : {"edtRoomFlexability", "edtLivingArea", "EdtArea", "edtFloor", "edtSellMatch", "edtTel",
                              "edtMortgage", "edtRent"})
            (new QLineEdit(QStringLiteral("0"), &panel))->setObjectName(e);
        tick("chkRequest");
        tick("chkQuarter");
        tick("chkRoom");
        edit("edtRoomFlexability", "1");
        tick("chkSellMatch");
        edit("edtSellMatch", "200");
    }
    void tick(const char* name, bool on = true) { panel.findChild<QCheckBox*>(name)->setChecked(on); }
    void edit(const char* name, const char* text) { panel.findChild<QLineEdit*>(name)->setText(text); }

    bool run(TMatchDirection d)
    {
        TMatchTarget target;
        target.dataSet = d == TMatchDirection::PropertyToDemands ? Dm->QNiyaz : Dm->QMelk;
        target.closeList = [this] { events << "close"; };
        target.setMatchMode = [this](int m) { events << QStringLiteral("mode %1").arg(m); };
        target.showList = [this] { events << "show"; };
        db::DataSet* source = d == TMatchDirection::PropertyToDemands ? Dm->QMelk : Dm->QNiyaz;
        return RunMatch(d, *source, ReadMatchPanel(&panel),
                        [&] { SavePanelState(MatchStateFile(), MatchStateSection(d), &panel); }, "list", target);
    }

    qint64 p1 = 0, p2 = 0, p3 = 0, d1 = 0, d2 = 0, d3 = 0, d4 = 0, d5 = 0;
    QWidget panel;
    QStringList events;
};

TEST_P(MatchRun, PropertyToDemandsFindsExactlyTheFittingDemands)
{
    seed();
    makePanel();
    ASSERT_TRUE(Dm->QMelk->Locate("MID", p1));
    ASSERT_TRUE(run(TMatchDirection::PropertyToDemands));
    EXPECT_EQ(events, QStringList({"close", "mode 1", "show"}));
    EXPECT_EQ(keys(Dm->QNiyaz, "NizId"), QList<qint64>({d1}));
    EXPECT_TRUE(prompter.calls.isEmpty());
    // the source stays on its row
    EXPECT_EQ(Dm->QMelk->FieldByName("MID")->AsLargeInt(), p1);

    // deleted ones too, any region
    tick("chkTempDel");
    tick("chkQuarter", false);
    ASSERT_TRUE(run(TMatchDirection::PropertyToDemands));
    EXPECT_EQ(keys(Dm->QNiyaz, "NizId"), QList<qint64>({d1, d3, d5}));

    // the panel state went to matchState.ini
    const ini::IniFile ini(MatchStateFile());
    EXPECT_TRUE(ini.readBool("frmlstmelkPanel4", "chkTempDel", false));
    EXPECT_FALSE(ini.readBool("frmlstmelkPanel4", "chkQuarter", true));
    EXPECT_EQ(ini.readString("frmlstmelkPanel4", "edtSellMatch", ""), "200");
}

TEST_P(MatchRun, DemandToPropertiesFindsExactlyTheFittingProperties)
{
    seed();
    makePanel();
    edit("edtSellMatch", "100");
    ASSERT_TRUE(Dm->QNiyaz->Locate("NizId", d1));
    ASSERT_TRUE(run(TMatchDirection::DemandToProperties));
    EXPECT_EQ(keys(Dm->QMelk, "MID"), QList<qint64>({p1}));
    EXPECT_TRUE(ini::IniFile(MatchStateFile()).readBool("frmlstniyazPanel4", "chkRequest", false));

    // a full-mortgage demand with a mortgage range finds the mortgage property only
    ASSERT_TRUE(Dm->QNiyaz->Locate("NizId", d4));
    tick("chkSellMatch", false);
    tick("ChkMortgage");
    ASSERT_TRUE(run(TMatchDirection::DemandToProperties));
    EXPECT_EQ(keys(Dm->QMelk, "MID"), QList<qint64>({p3}));
}

TEST_P(MatchRun, NothingIsClosedOrLostBeforeTheRunCanGoOn)
{
    seed();
    makePanel();
    const QString before = Dm->QNiyaz->SQL();

    // a flexibility that does not fit
    edit("edtRoomFlexability", "99999999999");
    EXPECT_FALSE(run(TMatchDirection::PropertyToDemands));
    EXPECT_TRUE(events.isEmpty());
    EXPECT_EQ(Dm->QNiyaz->SQL(), before);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_TRUE(prompter.calls[0].text.contains("تعداد اتاق"));
    EXPECT_FALSE(QFile::exists(MatchStateFile()));
    edit("edtRoomFlexability", "1");

    // an unsaved edit of a demand: Cancel stops, the edit stays
    ASSERT_TRUE(Dm->QNiyaz->Locate("NizId", d2));
    Dm->QNiyaz->Edit();
    Dm->QNiyaz->FieldByName("Esm")->SetAsString("تغيير");
    prompter.answer(shell::ResultCancel);
    EXPECT_FALSE(run(TMatchDirection::PropertyToDemands));
    EXPECT_EQ(prompter.calls.last().text, "آيا تغييرات ذخيره شوند؟");
    EXPECT_EQ(Dm->QNiyaz->State(), db::DataSetState::Edit);
    EXPECT_TRUE(events.isEmpty());

    // Yes saves it, then the run goes on
    prompter.answer(shell::ResultYes);
    EXPECT_TRUE(run(TMatchDirection::PropertyToDemands));
    EXPECT_EQ(conn().scalar(QStringLiteral("select Esm from T_niyaz where NizId=%1").arg(d2)).toString(), "تغيير");

    // an empty source list
    Dm->QMelk->Close();
    Dm->QMelk->setSQL("select * from T_Melk where MID < 0");
    Dm->QMelk->Open();
    events.clear();
    EXPECT_FALSE(run(TMatchDirection::PropertyToDemands));
    EXPECT_EQ(prompter.calls.last().text, "هيچ رديفي انتخاب نشده است");
    EXPECT_TRUE(events.isEmpty());
}

TEST_P(MatchRun, TypesWithWildcardsBackslashesAndQuotesFindTheSameRowsOnBothEngines)
{
    seed();
    makePanel();
    for (const char* c : {"chkRequest", "chkQuarter", "chkRoom", "chkSellMatch"})
        tick(c, false);
    tick("ChkType");
    const struct {
        qint64 id;
        const char* type;
    } demands[] = {{d1, "%"}, {d2, "\\"}, {d4, "O'Hara"}, {d5, "a\\b"}};
    for (const auto& d : demands)
        conn().exec(QStringLiteral("update T_niyaz set novmelk = $1 where NizId = $2"), {QString::fromUtf8(d.type), d.id});
    const struct {
        const char* type;
        QList<qint64> found;
    } cases[] = {{"\\", {d2, d5}}, {"%", {d1, d2, d4, d5}}, {"_", {d1, d2, d4, d5}}, {"o'h", {d4}}, {"%a_", {d4, d5}}};
    for (const auto& c : cases) {
        conn().exec(QStringLiteral("update T_Melk set NovMelk = $1 where MID = $2"), {QString::fromUtf8(c.type), p1});
        Dm->QMelk->Close();
        Dm->QMelk->Open();
        ASSERT_TRUE(Dm->QMelk->Locate("MID", p1));
        ASSERT_TRUE(run(TMatchDirection::PropertyToDemands)) << c.type;
        QList<qint64> found = keys(Dm->QNiyaz, "NizId");
        std::sort(found.begin(), found.end());
        EXPECT_EQ(found, c.found) << c.type;
    }
}

DOVIN_INSTANTIATE_ENGINES(MatchRun);

} // namespace
