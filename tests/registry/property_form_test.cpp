// The property form: a new row and its defaults, relabelling of the condition rows, the save
// question on closing, shared combo lists, amounts grouped as typed, titles as defaults and
// the transfer to the phone book.
#include "registry_fixture.h"

#include "core/ComboItems.h"
#include "platform/widgets/DBCheckBox.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBNavigator.h"
#include "registry/RegistryActions.h"
#include "ui_TFRmMelk.h"
#include "ui_TFrmLstMelk.h"
#include "ui_TFrmTelsNEw.h"
#include "registry/TFrmTelsNEw.h"

#include <QLabel>
#include <QTimer>

namespace {

class PropertyForm : public RegistryTest {
protected:
    Ui::TFRmMelk* ui() { return FRmMelk->form(); }
    db::DataSet* melk() { return Dm->QMelk; }
    void chooseType(QComboBox* combo, int index)
    {
        combo->setCurrentIndex(index);
        emit combo->activated(index);
    }
};

TEST_P(PropertyForm, ANewRowStartsWithDisabledConditionsAndNoSecondNavigator)
{
    ShowNewProperty();
    ASSERT_EQ(melk()->State(), db::DataSetState::Insert);
    EXPECT_TRUE(ui()->DBNavigator2->isHidden());
    EXPECT_TRUE(ui()->btnDocs->isEnabled()); // posts the row first
    EXPECT_EQ(ui()->DBEdit6->text(), QStringLiteral("1403/01/06"));
    EXPECT_TRUE(ui()->DBEdit6->isReadOnly());
    for (QLabel* l : {ui()->lblf1, ui()->lblf1_2, ui()->lblf2, ui()->lblf3_2})
        EXPECT_EQ(l->text(), QStringLiteral("-------"));
    for (QWidget* w : {static_cast<QWidget*>(ui()->edtf1), static_cast<QWidget*>(ui()->edtf2_2),
                       static_cast<QWidget*>(ui()->edtsh3)})
        EXPECT_FALSE(w->isEnabled());
    // the amenity titles of a new row are the defaults
    EXPECT_EQ(ui()->DBEdit24->text(), QStringLiteral("آيفون تصويري"));
    melk()->Cancel();
    EXPECT_FALSE(ui()->DBNavigator2->isHidden());
}

TEST_P(PropertyForm, RelabellingAndTheSecondAmount)
{
    ShowNewProperty();
    chooseType(ui()->cmbf1type, 3);   // رهن و اجاره
    EXPECT_EQ(ui()->lblf1->text(), QStringLiteral("قيمت رهن"));
    EXPECT_EQ(ui()->lblf1_2->text(), QStringLiteral("قيمت اجاره"));
    EXPECT_TRUE(ui()->edtf1_2->isEnabled());
    ui()->edtf1_2->setFocus();
    typeText(ui()->edtf1_2, QStringLiteral("2500000"));
    EXPECT_EQ(ui()->edtf1_2->text(), QStringLiteral("2,500,000"));
    ui()->edtf1_2->UpdateRecord();
    EXPECT_DOUBLE_EQ(f(melk(), "f1_2")->AsFloat(), 2500000);
    ui()->edtf1->setFocus();
    typeText(ui()->edtf1, QStringLiteral("1250000"));
    EXPECT_EQ(ui()->edtf1->text(), QStringLiteral("1,250,000"));
    ui()->edtf1->UpdateRecord();
    EXPECT_DOUBLE_EQ(f(melk(), "F1")->AsFloat(), 1250000);

    const struct {
        int index;
        const char* first;
    } singles[] = {{0, "قيمت فروش"}, {1, "قيمت رهن"}, {2, "قيمت اجاره"}};
    for (const auto& s : singles) {
        f(melk(), "f1_2")->SetAsFloat(7);
        chooseType(ui()->cmbf1type, s.index);
        EXPECT_EQ(ui()->lblf1->text(), QString::fromUtf8(s.first));
        EXPECT_EQ(ui()->lblf1_2->text(), QStringLiteral("-------"));
        EXPECT_FALSE(ui()->edtf1_2->isEnabled());
        EXPECT_DOUBLE_EQ(f(melk(), "f1_2")->AsFloat(), 0);
        EXPECT_DOUBLE_EQ(f(melk(), "F1")->AsFloat(), 1250000);   // never changed
    }
    // Esc empties the type, disables the row and keeps the amounts
    f(melk(), "f1_2")->SetAsFloat(5);
    key(ui()->cmbf1type, Qt::Key_Escape);
    EXPECT_EQ(f(melk(), "F1type")->AsString(), QString());
    EXPECT_FALSE(ui()->edtf1->isEnabled());
    EXPECT_DOUBLE_EQ(f(melk(), "f1_2")->AsFloat(), 5);
    EXPECT_DOUBLE_EQ(f(melk(), "F1")->AsFloat(), 1250000);

    // in browse state only labels and enabled states follow
    f(melk(), "F1type")->SetAsString(QStringLiteral("فروش"));
    f(melk(), "ForSell")->SetAsBoolean(true);
    melk()->Post();
    const qint64 id = f(melk(), "MID")->AsLargeInt();
    Dm->Conn->exec(QStringLiteral("update T_Melk set f1_2 = 9 where MID = $1"), {id});
    melk()->Reopen();
    FRmMelk->RelabelDealConditions();
    EXPECT_EQ(melk()->State(), db::DataSetState::Browse);
    EXPECT_EQ(ui()->lblf1->text(), QStringLiteral("قيمت فروش"));
    EXPECT_DOUBLE_EQ(f(melk(), "f1_2")->AsFloat(), 9);
}

TEST_P(PropertyForm, TheSaveQuestionOnClosing)
{
    // browse: no question
    FRmMelk->show();
    FRmMelk->close();
    EXPECT_TRUE(prompter.calls.isEmpty());

    // right after the new-property action, Yes without a deal kind: the message, the form stays
    ShowNewProperty();
    prompter.answer(shell::ResultYes);
    prompter.answer(shell::ResultOk);
    EXPECT_FALSE(FRmMelk->close());
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("آيا تغييرات ذخيره شوند؟"));
    EXPECT_EQ(prompter.calls[0].caption, QStringLiteral("مشخصات ملک"));
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("لطفا فروشي ، رهني يا اجاره اي بودن مورد را مشخص کنيد"));
    EXPECT_TRUE(FRmMelk->isVisible());
    EXPECT_EQ(melk()->State(), db::DataSetState::Insert);

    // Cancel keeps it open, No discards the row
    prompter.answer(shell::ResultCancel);
    EXPECT_FALSE(FRmMelk->close());
    prompter.answer(shell::ResultNo);
    EXPECT_TRUE(FRmMelk->close());
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from T_Melk")).toInt(), 0);

    // typed values, a deal kind, Yes: stored and confirmed
    ShowNewProperty();
    ui()->DBEdit1->setFocus();
    typeText(ui()->DBEdit1, QStringLiteral("مريم کاظمي"));
    ui()->DBCheckBox2->click();
    prompter.calls.clear();
    prompter.answer(shell::ResultYes);
    EXPECT_TRUE(FRmMelk->close());
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("تغييرات با موفقيت ذخيره شدند"));
    EXPECT_EQ(scalar(QStringLiteral("select MalekEsm from T_Melk")).toString(), QStringLiteral("مريم کاظمي"));
    EXPECT_TRUE(ui()->btnDocs->isEnabled());
}

TEST_P(PropertyForm, ComboListsAreSharedAndNamesIgnoreCase)
{
    ShowNewProperty();
    ui()->DBComboBox1->setFocus();
    typeText(ui()->DBComboBox1->lineEdit(), QStringLiteral("ويلايي"));
    FRmMelk->ComboExit(ui()->DBComboBox1);
    EXPECT_EQ(scalar(QStringLiteral("select TStrData from t_CmbItems where TStrName='DBComboBox1'")).toString(),
              QStringLiteral("ويلايي\r\n"));
    // already there, in other letter case too: nothing added
    ui()->DBComboBox6->setEditText(QStringLiteral("Center"));
    FRmMelk->ComboExit(ui()->DBComboBox6);
    ui()->DBComboBox6->setEditText(QStringLiteral("CENTER"));
    FRmMelk->ComboExit(ui()->DBComboBox6);
    EXPECT_EQ(ui()->DBComboBox6->count(), 1);
    // the list's criteria combos offer the same lists
    list()->show();
    EXPECT_EQ(list()->form()->dbcombobox1->findText(QStringLiteral("ويلايي")), 0);
    EXPECT_EQ(list()->form()->DBComboBox6->count(), 1);
    // delete button: the item goes, the field is emptied, the list is stored
    ui()->DBComboBox1->setCurrentIndex(0);
    ui()->BitBtn2->click();
    EXPECT_EQ(ui()->DBComboBox1->count(), 0);
    EXPECT_EQ(f(melk(), "NovMelk")->AsString(), QString());
    EXPECT_EQ(scalar(QStringLiteral("select TStrData from t_CmbItems where TStrName='DBComboBox1'")).toString(), QString());
    melk()->Cancel();
}

TEST_P(PropertyForm, TitlesSavedAsDefaultsReachTheNextProperty)
{
    ShowNewProperty();
    ui()->DBCheckBox1->click();
    f(melk(), "pardeh_S")->SetAsString(QStringLiteral("پرده کرکره"));
    FRmMelk->SaveTitlesAsDefault();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].what, QStringLiteral("plainMessage"));
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("عناوين با موفقيت ذخيره شدند"));
    melk()->Post();
    melk()->Insert();
    EXPECT_EQ(f(melk(), "pardeh_S")->AsString(), QStringLiteral("پرده کرکره"));
    melk()->Cancel();
    LoadFeatureCaptions();
    EXPECT_EQ(FeatureCaption(2), QStringLiteral("پرده کرکره"));
}

TEST_P(PropertyForm, OwnerPhonesGoToThePhoneBook)
{
    tels();
    ShowNewProperty();
    f(melk(), "MalekEsm")->SetAsString(QStringLiteral("علي"));
    f(melk(), "MalekMobile")->SetAsString(QStringLiteral("09120000000"));
    // post the entry as soon as it shows
    QTimer::singleShot(0, [] {
        auto* entry = qobject_cast<TFrmTelsNEw*>(QApplication::activeModalWidget());
        ASSERT_TRUE(entry);
        entry->form()->DBNavigator1->BtnClick(widgets::NavButton::Post);
    });
    FRmMelk->BitBtn10Click();
    EXPECT_EQ(scalar(QStringLiteral("select Phone from t_Tels where Esm='علي'")).toString(), QStringLiteral("-"));
    EXPECT_EQ(scalar(QStringLiteral("select Mobile from t_Tels where Esm='علي'")).toString(), QStringLiteral("09120000000"));
    EXPECT_EQ(Dm->QTels->State(), db::DataSetState::Browse);
    melk()->Cancel();
}

DOVIN_INSTANTIATE_ENGINES(PropertyForm);

} // namespace
