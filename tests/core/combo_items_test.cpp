// Combo item lists in t_CmbItems and the default amenity titles of Anavin.ini.
#include "records_fixture.h"

#include "core/ComboItems.h"
#include "core/ProgramFolder.h"
#include "platform/widgets/DBComboBox.h"

#include <QComboBox>
#include <QFile>

namespace {

QStringList items(const QComboBox& c)
{
    QStringList out;
    for (int i = 0; i < c.count(); ++i)
        out << c.itemText(i);
    return out;
}

TEST(ComboItemsText, SplitsOnEveryLineBreakAndEndsEachItemWithOne)
{
    const struct {
        const char* stored;
        QStringList items;
    } cases[] = {
        {"", {}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"a\nb\n", {"a", "b"}},
        {"a\nb", {"a", "b"}},
        {"a\r\n\r\nb\r\n", {"a", "", "b"}},
        {"آپارتمان\rويلايي\r", {"آپارتمان", "ويلايي"}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ComboItemsFromText(QString::fromUtf8(c.stored)), c.items) << c.stored;
    EXPECT_EQ(ComboItemsToText({QStringLiteral("a"), QStringLiteral("b")}), QStringLiteral("a\r\nb\r\n"));
    EXPECT_EQ(ComboItemsToText({}), QString());
}

class ComboItemsTest : public RecordsTest {
protected:
    int rows(const QString& name)
    {
        return scalar(QStringLiteral("select count(*) from t_CmbItems where TStrName='%1'").arg(name)).toInt();
    }
    QString stored(const QString& name)
    {
        return scalar(QStringLiteral("select TStrData from t_CmbItems where TStrName='%1'").arg(name)).toString();
    }
};

TEST_P(ComboItemsTest, AFirstShownComboIsEmptyAndSavingMakesItsRow)
{
    QComboBox combo;
    combo.setObjectName(QStringLiteral("DBComboBox8"));
    combo.addItem(QStringLiteral("old"));
    FillComboItems(*dm, &combo);
    EXPECT_EQ(combo.count(), 0);

    combo.addItems({QStringLiteral("تخليه"), QStringLiteral("در اجاره")});
    SaveComboItems(*dm, &combo);
    EXPECT_EQ(rows(QStringLiteral("DBComboBox8")), 1);
    EXPECT_EQ(stored(QStringLiteral("DBComboBox8")), QStringLiteral("تخليه\r\nدر اجاره\r\n"));

    combo.addItem(QStringLiteral("مسکوني"));
    SaveComboItems(*dm, &combo);
    EXPECT_EQ(rows(QStringLiteral("DBComboBox8")), 1);

    QComboBox again;
    again.setObjectName(QStringLiteral("DBComboBox8"));
    FillComboItems(*dm, &again);
    EXPECT_EQ(items(again), (QStringList{"تخليه", "در اجاره", "مسکوني"}));
}

TEST_P(ComboItemsTest, NamesMatchWithoutCaseAndListsWithEitherLineBreakLoad)
{
    dm->Conn->exec(QStringLiteral("insert into t_CmbItems (TStrName, TStrData) values ('DBComboBox1', $1)"),
                   {QStringLiteral("آپارتمان\nويلايي\n")});
    dm->Conn->exec(QStringLiteral("insert into t_CmbItems (TStrName, TStrData) values ('DBComboBox2', $1)"),
                   {QStringLiteral("شوفاژ\r\nپکيج\r\n")});
    QComboBox criteria;
    criteria.setObjectName(QStringLiteral("dbcombobox1"));
    criteria.setEditable(true);
    criteria.setEditText(QStringLiteral("typed"));
    FillComboItems(*dm, &criteria);
    EXPECT_EQ(items(criteria), (QStringList{"آپارتمان", "ويلايي"}));
    EXPECT_EQ(criteria.currentText(), QStringLiteral("typed"));   // the shown text stays

    QComboBox heating;
    heating.setObjectName(QStringLiteral("DBComboBox2"));
    FillComboItems(*dm, &heating);
    EXPECT_EQ(items(heating), (QStringList{"شوفاژ", "پکيج"}));

    // saved under the other spelling: still one row, read by both
    criteria.addItem(QStringLiteral("اداري"));
    SaveComboItems(*dm, &criteria);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_CmbItems where lower(TStrName)='dbcombobox1'")).toInt(), 1);
    QComboBox form;
    form.setObjectName(QStringLiteral("DBComboBox1"));
    FillComboItems(*dm, &form);
    EXPECT_EQ(items(form), (QStringList{"آپارتمان", "ويلايي", "اداري"}));
}

TEST_P(ComboItemsTest, DeletingTheOnlyItemStoresAnEmptyListAndEmptiesTheField)
{
    dm->Conn->exec(QStringLiteral("insert into T_Melk (NovSanad, ForSell, Hazfshodeh) values ('قولنامه', 1, 0)"));
    dm->QMelk->Reopen();
    widgets::DBComboBox combo;
    combo.setObjectName(QStringLiteral("DBComboBox7"));
    combo.setDataSet(dm->QMelk);
    combo.setDataField(QStringLiteral("NovSanad"));
    combo.addItem(QStringLiteral("قولنامه"));
    SaveComboItems(*dm, &combo);

    combo.setCurrentIndex(-1);
    EXPECT_FALSE(DeleteComboItem(*dm, &combo));   // nothing selected: nothing happens
    EXPECT_EQ(combo.count(), 1);
    EXPECT_EQ(dm->QMelk->State(), db::DataSetState::Browse);

    combo.setCurrentIndex(0);
    ASSERT_TRUE(DeleteComboItem(*dm, &combo));
    EXPECT_EQ(combo.count(), 0);
    EXPECT_EQ(dm->QMelk->State(), db::DataSetState::Edit);
    EXPECT_EQ(s(dm->QMelk, "NovSanad"), QString());
    SaveComboItems(*dm, &combo);
    EXPECT_EQ(rows(QStringLiteral("DBComboBox7")), 1);
    EXPECT_EQ(stored(QStringLiteral("DBComboBox7")), QString());
}

TEST_P(ComboItemsTest, AUserWithoutTheRightCannotDeleteAnItem)
{
    dm->Conn->exec(QStringLiteral("insert into T_Melk (NovSanad, ForSell, Hazfshodeh) values ('قولنامه', 1, 0)"));
    dm->QMelk->Reopen();
    widgets::DBComboBox combo;
    combo.setObjectName(QStringLiteral("DBComboBox7"));
    combo.setDataSet(dm->QMelk);
    combo.setDataField(QStringLiteral("NovSanad"));
    combo.addItem(QStringLiteral("قولنامه"));
    combo.setCurrentIndex(0);
    UserCanChange = false;
    EXPECT_THROW(DeleteComboItem(*dm, &combo), db::DbError);
    EXPECT_EQ(combo.count(), 1);
    EXPECT_EQ(s(dm->QMelk, "NovSanad"), QStringLiteral("قولنامه"));
}

TEST_P(ComboItemsTest, DeleteRemovesTheItemTheBoxShowsAndNothingForAnotherText)
{
    dm->Conn->exec(QStringLiteral("insert into t_CmbItems (TStrName, TStrData) values ('DBComboBox1', $1)"),
                   {QStringLiteral("آپارتمان\r\nمغازه\r\nويلايي\r\n")});
    dm->Conn->exec(QStringLiteral("insert into T_Melk (NovMelk, ForSell, Hazfshodeh) values ('مغازه', 1, 0)"));
    dm->Conn->exec(QStringLiteral("insert into T_Melk (NovMelk, ForSell, Hazfshodeh) values ('انبار', 1, 0)"));
    dm->QMelk->setSQL(QStringLiteral("select * from T_Melk order by MID"));
    dm->QMelk->Open();
    widgets::DBComboBox combo;
    combo.setObjectName(QStringLiteral("DBComboBox1"));
    combo.setDataSet(dm->QMelk);
    combo.setDataField(QStringLiteral("NovMelk"));
    FillComboItems(*dm, &combo);
    combo.setEditText(s(dm->QMelk, "NovMelk"));   // the record's value, as the forms show it
    ASSERT_EQ(combo.currentText(), QStringLiteral("مغازه"));

    QString removed;
    ASSERT_TRUE(DeleteComboItem(*dm, &combo, &removed));
    EXPECT_EQ(removed, QStringLiteral("مغازه"));
    ChangeComboItem(*dm, &combo, removed, false);
    EXPECT_EQ(stored(QStringLiteral("DBComboBox1")), QStringLiteral("آپارتمان\r\nويلايي\r\n"));
    EXPECT_EQ(items(combo), (QStringList{"آپارتمان", "ويلايي"}));
    EXPECT_EQ(s(dm->QMelk, "NovMelk"), QString());
    dm->QMelk->Cancel();

    // a record whose value is no item: nothing is removed, the record is untouched
    dm->QMelk->Next();
    combo.setEditText(s(dm->QMelk, "NovMelk"));
    EXPECT_FALSE(DeleteComboItem(*dm, &combo));
    EXPECT_EQ(items(combo), (QStringList{"آپارتمان", "ويلايي"}));
    EXPECT_EQ(dm->QMelk->State(), db::DataSetState::Browse);
    EXPECT_EQ(s(dm->QMelk, "NovMelk"), QStringLiteral("انبار"));
}

TEST_P(ComboItemsTest, TwoWorkstationsChangingOneListKeepEachOthersItems)
{
    auto other = testDb().open();
    QComboBox mine;
    mine.setObjectName(QStringLiteral("HCmbHazineh"));
    FillComboItems(*dm, &mine);   // both opened the form on an empty list
    const auto otherChange = [&](const char* item, bool add) {
        // the other workstation's change, made as ours is: read and written in one transaction
        QStringList list = ComboItemsFromText(
            other->scalar(QStringLiteral("select TStrData from t_CmbItems where lower(TStrName)='hcmbhazineh'")).toString());
        if (add)
            list << QString::fromUtf8(item);
        else
            list.removeAll(QString::fromUtf8(item));
        if (other->exec(QStringLiteral("update t_CmbItems set TStrData=$1 where lower(TStrName)='hcmbhazineh'"),
                        {ComboItemsToText(list)}) == 0)
            other->exec(QStringLiteral("insert into t_CmbItems (TStrName, TStrData) values ('HCmbHazineh', $1)"),
                        {ComboItemsToText(list)});
    };
    otherChange("نام ب", true);
    EXPECT_EQ(ChangeComboItem(*dm, &mine, QStringLiteral("نام الف"), true), (QStringList{"نام ب", "نام الف"}));
    otherChange("نام ج", true);
    otherChange("نام ب", false);
    ChangeComboItem(*dm, &mine, QStringLiteral("نام ب"), false);   // gone already: nothing to do
    ChangeComboItem(*dm, &mine, QStringLiteral("نام الف"), true);   // there already: not twice
    EXPECT_EQ(stored(QStringLiteral("HCmbHazineh")), QStringLiteral("نام الف\r\nنام ج\r\n"));
    EXPECT_EQ(items(mine), (QStringList{"نام الف", "نام ج"}));

    // two rows made at once by two workstations: both lists are read, and both rewritten
    other->exec(QStringLiteral("insert into t_CmbItems (TStrName, TStrData) values ('hcmbhazineh', $1)"),
                {QStringLiteral("نام د\r\nنام ج\r\n")});
    FillComboItems(*dm, &mine);
    EXPECT_EQ(items(mine), (QStringList{"نام الف", "نام ج", "نام د"}));
    ChangeComboItem(*dm, &mine, QStringLiteral("نام ج"), false);
    EXPECT_EQ(dm->Conn->scalar(QStringLiteral("select count(*) from t_CmbItems where lower(TStrName)='hcmbhazineh' "
                                              "and TStrData<>$1"), {QStringLiteral("نام الف\r\nنام د\r\n")}).toInt(), 0);
    EXPECT_EQ(items(mine), (QStringList{"نام الف", "نام د"}));
}

DOVIN_INSTANTIATE_ENGINES(ComboItemsTest);

// ---- amenity titles ----

class FeatureCaptionsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        hadHome = qEnvironmentVariableIsSet("DOVIN_HOME");
        saved = qgetenv("DOVIN_HOME");
        qputenv("DOVIN_HOME", dir.path().toUtf8());
    }
    void TearDown() override
    {
        if (hadHome)
            qputenv("DOVIN_HOME", saved);
        else
            qunsetenv("DOVIN_HOME");
        LoadFeatureCaptions();
    }
    QTemporaryDir dir;
    QByteArray saved;
    bool hadHome = false;
};

TEST_F(FeatureCaptionsTest, OneKeyInTheFileAndTheDefaultsForTheOtherThirtyNine)
{
    QFile file(FeatureCaptionsPath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Ans]\r\nc_sona=X\r\n");
    file.close();
    LoadFeatureCaptions();
    ASSERT_EQ(FeatureCaptions().size(), FeatureCount);
    for (int i = 0; i < FeatureCount; ++i) {
        const TFeature& feature = Features()[i];
        const QString expected = QLatin1String(feature.key) == QLatin1String("C_Sona")
                                   ? QStringLiteral("X")
                                   : QString::fromUtf8(feature.defaultTitle);
        EXPECT_EQ(FeatureCaption(i), expected) << feature.key;
    }
    EXPECT_EQ(FeatureCaption(0), QStringLiteral("درب از حياط"));
    EXPECT_EQ(FeatureCaption(39), QStringLiteral("مشترک"));
    EXPECT_STREQ(Features()[2].titleColumn, "pardeh_S");
}

TEST_F(FeatureCaptionsTest, SavedTitlesAreTheDefaultsAfterARestartToo)
{
    LoadFeatureCaptions();   // no file: the built-in titles
    EXPECT_EQ(FeatureCaption(2), QStringLiteral("پرده"));
    QStringList titles = FeatureCaptions();
    titles[2] = QStringLiteral("Y");
    ASSERT_TRUE(SaveFeatureCaptions(titles));
    EXPECT_EQ(FeatureCaption(2), QStringLiteral("Y"));
    SaveFeatureCaptions(QStringList{QStringLiteral("too few")});
    EXPECT_EQ(FeatureCaption(2), QStringLiteral("Y"));

    LoadFeatureCaptions();   // as at the next start
    EXPECT_EQ(FeatureCaption(2), QStringLiteral("Y"));
    EXPECT_EQ(FeatureCaption(3), QStringLiteral("لوستر"));
}

} // namespace
