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
