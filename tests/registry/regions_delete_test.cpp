// Regions: delete with and without use, the lookups reopened after a save and a delete.
#include "matching_fixture.h"

#include "registry/Regions.h"

namespace {

class Regions : public RegistryDbTest {
protected:
    void reload()
    {
        for (db::DataSet* ds : {Dm->QMantagheh, Dm->QMn, Dm->Qmn2, Dm->QMelk, Dm->QNiyaz}) {
            ds->Close();
            ds->Open();
        }
    }
    qint64 count(const char* table) { return conn().scalar(QStringLiteral("select count(*) from %1").arg(table)).toLongLong(); }
};

TEST_P(Regions, DeleteAsksOnceForAnUnusedRegionAndWarnsForAUsedOne)
{
    const qint64 free = region("آزاد");
    const qint64 demanded = region("درخواستي");
    const qint64 offered = region("موجود");
    insert("T_niyaz", "NizId", {"MnId", "Esm"}, {QString::number(demanded), db::Q("مشتري")});
    insert("T_Melk", "MID", {"MantaghehID", "MalekEsm"}, {QString::number(offered), db::Q("مالک")});
    reload();

    // unused: the first question only
    ASSERT_TRUE(Dm->QMantagheh->Locate("MnID", free));
    EXPECT_TRUE(DeleteCurrentRegion("ليست مناطق"));
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, "آيا رديف انتخاب شده حذف شود؟");
    EXPECT_EQ(prompter.calls[0].caption, "ليست مناطق");
    EXPECT_EQ(count("t_manategh"), 2);

    // used only by a demand: warned; No keeps it
    prompter.calls.clear();
    ASSERT_TRUE(Dm->QMantagheh->Locate("MnID", demanded));
    prompter.answer(shell::ResultYes);
    prompter.answer(shell::ResultNo);
    EXPECT_FALSE(DeleteCurrentRegion("ليست مناطق"));
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text, "اطلاعاتي از اين منطقه در برنامه موجود مي باشد\nآيا ادامه مي دهيد؟");
    EXPECT_EQ(prompter.calls[1].caption, "");
    EXPECT_EQ(count("t_manategh"), 2);

    // used by a property: No at the first question stops before the check
    prompter.calls.clear();
    ASSERT_TRUE(Dm->QMantagheh->Locate("MnID", offered));
    prompter.answer(shell::ResultNo);
    EXPECT_FALSE(DeleteCurrentRegion("ليست مناطق"));
    EXPECT_EQ(prompter.calls.size(), 1);

    // Yes twice: it goes, the property keeps the number and shows no name any more
    EXPECT_EQ(Dm->QMelk->FieldByName("lkmn")->AsString(), "موجود");
    prompter.calls.clear();
    EXPECT_TRUE(DeleteCurrentRegion("ليست مناطق"));
    EXPECT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(count("t_manategh"), 1);
    EXPECT_EQ(conn().scalar("select MantaghehID from T_Melk").toLongLong(), offered);
    EXPECT_EQ(Dm->QMelk->FieldByName("lkmn")->AsString(), "");
    EXPECT_EQ(Dm->QMn->RecordCount(), 1);
    EXPECT_EQ(Dm->Qmn2->RecordCount(), 1);
}

TEST_P(Regions, EmptyListDeletesNothingSilently)
{
    reload();
    EXPECT_FALSE(DeleteCurrentRegion("ليست مناطق"));
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_P(Regions, SavingReopensTheLookups)
{
    const qint64 id = region("قديم");
    insert("T_niyaz", "NizId", {"MnId", "Esm"}, {QString::number(id), db::Q("مشتري")});
    reload();
    ASSERT_TRUE(Dm->QMantagheh->Locate("MnID", id));
    Dm->QMantagheh->Edit();
    Dm->QMantagheh->FieldByName("Esm")->SetAsString("جديد");
    EXPECT_TRUE(SaveCurrentRegion("تعريف / تغيير مناطق"));
    EXPECT_EQ(Dm->QNiyaz->FieldByName("lkmn")->AsString(), "جديد");

    Dm->QMantagheh->Append();
    Dm->QMantagheh->FieldByName("Esm")->SetAsString("تازه");
    EXPECT_TRUE(SaveCurrentRegion("تعريف / تغيير مناطق"));
    EXPECT_EQ(Dm->QMn->RecordCount(), 2);
    EXPECT_EQ(Dm->Qmn2->RecordCount(), 2);

    // a refused post leaves the row in insert state and the lookups as they were
    Dm->QMantagheh->BeforePost = [](db::DataSet&) { throw db::Abort(); };
    Dm->QMantagheh->Append();
    Dm->QMantagheh->FieldByName("Esm")->SetAsString("رد");
    EXPECT_FALSE(SaveCurrentRegion("تعريف / تغيير مناطق"));
    EXPECT_EQ(Dm->QMantagheh->State(), db::DataSetState::Insert);
    EXPECT_EQ(Dm->QMn->RecordCount(), 2);
}

DOVIN_INSTANTIATE_ENGINES(Regions);

} // namespace
