// The windows together: a property and two demands recorded on the record forms, matched in
// both directions from the lists' match panels, both listings through the preview, and the
// region windows. Screenshots go to $DOVIN_SHOTS when it is set.
#include "matching_fixture.h"
#include "WindowChecks.h"

#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/FieldLink.h"
#include "registry/TFRmMelk.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmLstNiyaz.h"
#include "registry/TFrmNewMn.h"
#include "registry/TFrmNiyaz.h"
#include "registry/TFrmTels.h"
#include "registry/TfrmlstMn.h"

#include "platform/report/PreparedReport.h"

#include <QApplication>
#include <QToolButton>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTest>

namespace {

template <class T = QWidget>
T* child(QObject* w, const char* name)
{
    T* c = w->findChild<T*>(QString::fromLatin1(name));
    EXPECT_TRUE(c) << name;
    return c;
}

void shot(QWidget* w, const char* name)
{
    if (!qEnvironmentVariableIsSet("DOVIN_SHOTS"))
        return;
    w->grab().save(qEnvironmentVariable("DOVIN_SHOTS") + QLatin1Char('/') + QLatin1String(name) + ".png");
}

class Windows : public RegistryDbTest {
protected:
    void SetUp() override
    {
        RegistryDbTest::SetUp();
        if (IsSkipped())
            return;
        center = region("مرکز");
        for (db::DataSet* ds : {Dm->QMantagheh, Dm->QMn, Dm->Qmn2}) {
            ds->Close();
            ds->Open();
        }
        FRmMelk = new TFRmMelk;
        FrmNiyaz = new TFrmNiyaz;
        FrmLstMelk = new TFrmLstMelk;
        FrmLstNiyaz = new TFrmLstNiyaz;
        ConnectPropertyListMatching();
    }
    void TearDown() override
    {
        for (QWidget* w : std::initializer_list<QWidget*>{FrmLstNiyaz, FrmLstMelk, FrmNiyaz, FRmMelk})
            delete w;
        FrmLstNiyaz = nullptr;
        FrmLstMelk = nullptr;
        FrmNiyaz = nullptr;
        FRmMelk = nullptr;
        RegistryDbTest::TearDown();
    }

    qint64 center = 0;

    static void type(QLineEdit* e, const QString& text)
    {
        e->setFocus();
        e->selectAll();
        e->insert(text);
    }
    // A demand typed on the demand form and saved with its navigator.
    void recordDemand(const QString& name, int rooms, const QString& amount)
    {
        QWidget* f = FrmNiyaz;
        child<widgets::DBNavigator>(f, "DBNavigator1")->button(widgets::NavButton::Insert)->click();
        type(child<QLineEdit>(f, "DBEdit1"), name);
        child<QCheckBox>(f, "DBCheckBox1")->click();
        type(child<QLineEdit>(f, "DBEdit19"), QString::number(rooms));
        Dm->QNiyaz->FieldByName("MnId")->SetAsInteger(center);
        child<QComboBox>(f, "cmbf1type")->setCurrentIndex(0);
        Dm->QNiyaz->FieldByName("f1type")->SetAsString(child<QComboBox>(f, "cmbf1type")->currentText());
        type(child<QLineEdit>(f, "edtf1"), amount);
        child<widgets::DBNavigator>(f, "DBNavigator1")->button(widgets::NavButton::Post)->click();
        ASSERT_EQ(Dm->QNiyaz->State(), db::DataSetState::Browse) << prompter.messages().join('|').toStdString();
    }
};

TEST_P(Windows, RecordMatchBothWaysAndPrint)
{
    // the property: for sale, 2 rooms, 700,000,000
    FRmMelk->show();
    QWidget* m = FRmMelk;
    child<widgets::DBNavigator>(m, "DBNavigator1")->button(widgets::NavButton::Insert)->click();
    type(child<QLineEdit>(m, "DBEdit1"), "مالک يک");
    child<QCheckBox>(m, "DBCheckBox1")->click();
    type(child<QLineEdit>(m, "DBEdit19"), "2");
    Dm->QMelk->FieldByName("MantaghehID")->SetAsInteger(center);
    Dm->QMelk->FieldByName("F1type")->SetAsString("فروش");
    type(child<QLineEdit>(m, "edtf1"), "700000000");
    shot(FRmMelk, "property_form");
    child<widgets::DBNavigator>(m, "DBNavigator1")->button(widgets::NavButton::Post)->click();
    ASSERT_EQ(Dm->QMelk->State(), db::DataSetState::Browse) << prompter.messages().join('|').toStdString();
    FRmMelk->hide();

    // two demands: one fitting, one wanting five rooms
    FrmNiyaz->show();
    recordDemand("مشتري مناسب", 2, "750000000");
    recordDemand("مشتري نامناسب", 5, "750000000");
    shot(FrmNiyaz, "demand_form");
    FrmNiyaz->hide();
    EXPECT_EQ(child<QLabel>(FrmNiyaz, "lblf1")->text(), "قيمت خريد");

    // property -> demands
    FrmLstMelk->show();
    ASSERT_EQ(Dm->QMelk->RecordCount(), 1);
    QWidget* lm = FrmLstMelk;
    child<QPushButton>(lm, "BitBtn4")->click();
    for (QCheckBox* c : child<QWidget>(lm, "Panel4")->findChildren<QCheckBox*>())
        c->setChecked(false);
    child<QCheckBox>(lm, "chkRequest")->setChecked(true);
    child<QCheckBox>(lm, "chkRoom")->setChecked(true);
    child<QLineEdit>(lm, "edtRoomFlexability")->setText("1");
    child<QCheckBox>(lm, "chkSellMatch")->setChecked(true);
    child<QLineEdit>(lm, "edtSellMatch")->setText("100,000,000");
    shot(FrmLstMelk, "property_list_match_panel");
    child<QPushButton>(lm, "BitBtn5")->click();
    ASSERT_TRUE(FrmLstNiyaz->isVisible());
    EXPECT_EQ(FrmLstNiyaz->MatchMode, 1);
    ASSERT_EQ(Dm->QNiyaz->RecordCount(), 1);
    EXPECT_EQ(Dm->QNiyaz->FieldByName("Esm")->AsString(), "مشتري مناسب");
    shot(FrmLstNiyaz, "demand_list_matched");

    // demand -> properties
    QWidget* ln = FrmLstNiyaz;
    child<QPushButton>(ln, "BitBtn4")->click();
    for (QCheckBox* c : child<QWidget>(ln, "Panel4")->findChildren<QCheckBox*>())
        c->setChecked(false);
    child<QCheckBox>(ln, "chkRequest")->setChecked(true);
    child<QCheckBox>(ln, "chkQuarter")->setChecked(true);
    child<QCheckBox>(ln, "chkSellMatch")->setChecked(true);
    child<QLineEdit>(ln, "edtSellMatch")->setText("50,000,000");
    child<QPushButton>(ln, "BitBtn5")->click();
    EXPECT_EQ(FrmLstMelk->MatchMode, 1);
    ASSERT_EQ(Dm->QMelk->RecordCount(), 1) << Dm->QMelk->SQL().toStdString() << " | "
        << conn().scalar("select MantaghehID || ' ' || F1 || ' ' || ForSell || ForRahn || ForEjareh || Hazfshodeh from T_Melk").toString().toStdString()
        << " | " << conn().scalar("select MnId || ' ' || f1 || ' ' || kharid || Rahn || Ejareh from T_niyaz").toString().toStdString();
    EXPECT_EQ(Dm->QMelk->FieldByName("MalekEsm")->AsString(), "مالک يک");
    // a tighter price finds nothing
    child<QLineEdit>(ln, "edtSellMatch")->setText("10,000,000");
    child<QPushButton>(ln, "BitBtn5")->click();
    EXPECT_EQ(Dm->QMelk->RecordCount(), 0);

    // both listings through the preview
    QStringList titles;
    prompter.onPreview = [&](report::PreparedReport& r) { titles << r.pageTexts(0).value(0); };
    prompter.answer(shell::ResultYes);
    child<QPushButton>(ln, "BitBtn1")->click();
    child<QPushButton>(ln, "BitBtn4")->click();
    child<QPushButton>(lm, "btnrefresh")->click();
    prompter.answer(shell::ResultOk);
    prompter.answer(shell::ResultYes);
    FrmLstMelk->BitBtn1Click();
    EXPECT_EQ(prompter.previewCount, 2);
    ASSERT_EQ(titles.size(), 2);
    EXPECT_TRUE(titles[0].contains("مشخصات املاک درخواستي")) << titles[0].toStdString();
    EXPECT_TRUE(titles[1].contains("مشخصات املاک موجود")) << titles[1].toStdString();

    // showing the demand list from the main window runs its own search again
    FrmLstNiyaz->close();
    FrmLstNiyaz->show();
    EXPECT_EQ(FrmLstNiyaz->MatchMode, 0);
    EXPECT_EQ(Dm->QNiyaz->RecordCount(), 2);
    shot(FrmLstNiyaz, "demand_list");
}

TEST_P(Windows, RegionWindows)
{
    TfrmlstMn list;
    list.show();
    QWidget* u = &list;
    ASSERT_EQ(child<QComboBox>(u, "CmbSearch")->count(), 2);
    EXPECT_EQ(child<QComboBox>(u, "CmbSearch")->currentText(), "نام منطقه");
    EXPECT_EQ(child<QComboBox>(u, "CmbSearch")->itemText(1), "توضيحات");
    EXPECT_EQ(Dm->QMantagheh->RecordCount(), 1);
    shot(&list, "region_list");

    // a new region typed and cancelled leaves no row
    Dm->QMantagheh->Append();
    {
        TFrmNewMn form;
        form.show();
        QWidget* fm = &form;
        type(child<QLineEdit>(fm, "DBEdit1"), "شرق");
        shot(&form, "region_form");
        child<QPushButton>(fm, "BitBtn2")->click();
    }
    EXPECT_EQ(conn().scalar("select count(*) from t_manategh").toInt(), 1);

    // a new region saved shows in the lookups at once
    Dm->QMantagheh->Append();
    {
        TFrmNewMn form;
        form.show();
        QWidget* fm = &form;
        type(child<QLineEdit>(fm, "DBEdit1"), "غرب");
        child<QPushButton>(fm, "BitBtn1")->click();
        EXPECT_FALSE(form.isVisible());
    }
    EXPECT_EQ(Dm->Qmn2->RecordCount(), 2);
    ASSERT_TRUE(Dm->QMantagheh->Locate("Esm", "غرب"));
    child<QPushButton>(u, "btndel")->click();
    EXPECT_EQ(conn().scalar("select count(*) from t_manategh").toInt(), 1);
    EXPECT_EQ(Dm->QMn->RecordCount(), 1);
}

TEST_P(Windows, EnterMovesThroughTheRegionFormToItsOkButtonWhichSaves)
{
    Dm->QMantagheh->Append();
    TFrmNewMn form;
    form.show();
    auto* name = child<QLineEdit>(&form, "DBEdit1");
    auto* notes = child<QLineEdit>(&form, "DBEdit2");
    auto* ok = child<QPushButton>(&form, "BitBtn1");
    type(name, "شمال");
    QTest::keyClick(name, Qt::Key_Return);
    EXPECT_EQ(form.focusWidget(), notes);
    type(notes, "کنار رود");
    QTest::keyClick(notes, Qt::Key_Return);
    ASSERT_EQ(form.focusWidget(), ok);
    EXPECT_EQ(conn().scalar("select count(*) from t_manategh").toInt(), 1);
    QTest::keyClick(ok, Qt::Key_Return);
    EXPECT_FALSE(form.isVisible());
    EXPECT_EQ(conn().scalar("select Tozihat from t_manategh where Esm = 'شمال'").toString(), "کنار رود");
    EXPECT_EQ(Dm->Qmn2->RecordCount(), 2);
}

TEST_P(Windows, ListWindowsOpenWideEnoughForTheirColumns)
{
    TfrmlstMn regions;
    TFrmTels tels;
    const std::pair<QWidget*, const char*> lists[] = {
        {FrmLstMelk, "properties"}, {FrmLstNiyaz, "demands"}, {&regions, "regions"}, {&tels, "phone book"}};
    for (const auto& [window, name] : lists) {
        SCOPED_TRACE(name);
        auto* grid = child<widgets::DBGrid>(window, "dbgrid1");
        window->show();
        EXPECT_TRUE(testing_support::ShowsItsColumns(window, grid));
        // narrowed by the user and opened again: wide enough again
        window->close();
        window->resize(300, window->height());
        window->show();
        EXPECT_TRUE(testing_support::ShowsItsColumns(window, grid));
        // a return from minimised keeps the width the user gave it
        window->resize(window->minimumSizeHint().width(), window->height());
        const int narrowed = window->width();
        testing_support::MinimiseAndRestore(window);
        EXPECT_EQ(window->width(), narrowed);
        window->close();
    }
}

DOVIN_INSTANTIATE_ENGINES(Windows);

} // namespace
