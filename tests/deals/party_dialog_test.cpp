#include "deals_fixture.h"
#include "WindowChecks.h"
#include "platform/widgets/DBEdit.h"
#include "ui_TFrmSanad.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "ui_TFrmAddInfo.h"

#include <QTimer>

namespace {

class PartyDialogTest : public DealsTest {
protected:
    // Runs fn while the dialog is shown modally; returns the dialog's result.
    int whileShown(TFrmAddInfo* dlg, const std::function<void()>& fn)
    {
        QTimer::singleShot(0, dlg, [dlg, fn] {
            fn();
            if (dlg->isVisible())
                dlg->reject();
        });
        return dlg->ShowFor();
    }
    void chooseCity(TFrmAddInfo* dlg, const QString& province, const QString& city)
    {
        dlg->form()->lkProvince->setKeyValue(province.toLongLong());
        dlg->lkProvinceExit();
        widgets::DBLookupComboBox* c = dlg->form()->lkCity;
        const int i = c->findData(city.toLongLong());
        ASSERT_GE(i, 0) << city.toStdString();
        c->setCurrentIndex(i);
        emit c->activated(i);
    }
};

TEST_P(PartyDialogTest, ChecksInOrder)
{
    addDeal(QStringLiteral("1403/01/05"), QStringLiteral("k"), 1000);
    Dm->QSanad->Close();
    Dm->QSanad->Open();
    const struct {
        const char *first, *last, *nat;
        int kind;
        const char* postal;
        bool city;
        const char* message;   // nullptr: accepted
    } cases[] = {
        {"", "", "", 1, "", false, "نام شخص وارد نشده"},
        {"علی", "", "", 1, "", false, "نام خانوادگي شخص وارد نشده"},
        {"علی", "رضایی", "", 1, "", false, "کد ملي صحيح نمي باشد."},
        {"علی", "رضایی", "0012345678", 1, "", false, "کد ملي صحيح نمي باشد."},
        {"علی", "رضایی", "0012345679", 2, "", false, "شناسه ملي صحيح نمي باشد."},
        {"علی", "رضایی", "0012345679", 1, "", false, "استان را انتخاب نماييد."},   // no city yet: no province either
        {"علی", "رضایی", "0012345679", 1, "1345678910", true, "کد پستي وارد شده صحيح نمي باشد."},
        {"علی", "رضایی", "0012345679", 1, "", true, nullptr},
        {"شرکت", "نمونه", "10100000006", 3, "1345678913", true, nullptr},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.nat);
        prompter.calls.clear();
        Dm->QSanad->Edit();
        setField("ownerInitialName", QString::fromUtf8(c.first));
        setField("ownerLastName", QString::fromUtf8(c.last));
        setField("ownerNatNO", QString::fromUtf8(c.nat));
        setField("ownerPersonKind", c.kind);
        setField("ownerPostalCode", QString::fromUtf8(c.postal));
        const int result = whileShown(FrmAddInfoOwner, [&] {
            if (c.city)
                chooseCity(FrmAddInfoOwner, QStringLiteral("10"), QStringLiteral("100001"));
            FrmAddInfoOwner->BitBtn1Click();
            if (FrmAddInfoOwner->isVisible())
                FrmAddInfoOwner->done(QDialog::Rejected);   // leaves the row as it is
        });
        if (c.message) {
            ASSERT_EQ(prompter.calls.size(), 1);
            EXPECT_EQ(prompter.calls[0].text, QString::fromUtf8(c.message));
            EXPECT_EQ(prompter.calls[0].kind, 0);
        } else {
            EXPECT_TRUE(prompter.calls.isEmpty());
            EXPECT_EQ(result, QDialog::Accepted);
            EXPECT_EQ(field("ownerCityId"), QStringLiteral("100001"));
            // the deal form's summary line follows the identity at once
            EXPECT_TRUE(FrmSanad->form()->DBEdit13->text().contains(QString::fromUtf8(c.nat)));
        }
        Dm->QSanad->Cancel();
    }
}

TEST_P(PartyDialogTest, CancelAndCloseBoxRestoreTheShowingsValues)
{
    addDeal(QStringLiteral("1403/01/05"), QStringLiteral("k"), 1000);
    Dm->Conn->exec(QStringLiteral("update T_Sanad set custInitialName = 'اول', custCityId = 230001, custPersonKind = 2"));
    Dm->QSanad->Close();
    Dm->QSanad->Open();
    for (int how = 0; how < 3; ++how) {
        SCOPED_TRACE(how);
        whileShown(FrmAddInfoCust, [&] {
            Ui::TFrmAddInfo* u = FrmAddInfoCust->form();
            EXPECT_EQ(TFrmAddInfo::KeyText(u->lkProvince), QStringLiteral("23"));
            EXPECT_EQ(TFrmAddInfo::KeyText(u->lkCity), QStringLiteral("230001"));
            Dm->QSanad->Edit();
            setField("custInitialName", QStringLiteral("دوم"));
            setField("custLastName", QStringLiteral("x"));
            setField("custPersonKind", 1);
            setField("custCityId", 100001);
            setField("custPostalCode", QStringLiteral("1"));
            if (how == 0)
                FrmAddInfoCust->BitBtn2Click();
            else if (how == 1)
                FrmAddInfoCust->close();
            else
                QTest::keyClick(FrmAddInfoCust, Qt::Key_Escape);
        });
        EXPECT_EQ(field("custInitialName"), QStringLiteral("اول"));
        EXPECT_EQ(field("custLastName"), QString());
        EXPECT_EQ(field("custPersonKind"), QStringLiteral("2"));
        EXPECT_EQ(field("custCityId"), QStringLiteral("230001"));
        EXPECT_EQ(field("custPostalCode"), QString());
        Dm->QSanad->Cancel();
    }
}

TEST_P(PartyDialogTest, ARestoreFromMinimisedKeepsTheSnapshotOfTheShowing)
{
    addDeal(QStringLiteral("1403/01/05"), QStringLiteral("k"), 1000);
    Dm->Conn->exec(QStringLiteral("update T_Sanad set ownerInitialName = 'اول'"));
    Dm->QSanad->Close();
    Dm->QSanad->Open();
    whileShown(FrmAddInfoOwner, [&] {
        Dm->QSanad->Edit();
        setField("ownerInitialName", QStringLiteral("دوم"));
        testing_support::MinimiseAndRestore(FrmAddInfoOwner);
        EXPECT_TRUE(FrmAddInfoOwner->isVisible());
        EXPECT_EQ(field("ownerInitialName"), QStringLiteral("دوم"));
        FrmAddInfoOwner->BitBtn2Click();
    });
    // "انصراف" still undoes what was typed since the dialog opened
    EXPECT_EQ(field("ownerInitialName"), QStringLiteral("اول"));
    Dm->QSanad->Cancel();
}

TEST_P(PartyDialogTest, EnterInTheLastFieldReachesTheOkButtonWhichEnterPresses)
{
    addDeal(QStringLiteral("1403/01/05"), QStringLiteral("k"), 1000);
    Dm->QSanad->Close();
    Dm->QSanad->Open();
    const int result = whileShown(FrmAddInfoOwner, [&] {
        Ui::TFrmAddInfo* u = FrmAddInfoOwner->form();
        u->DBEdit8->setFocus();
        QTest::keyClick(u->DBEdit8, Qt::Key_Return);
        ASSERT_EQ(FrmAddInfoOwner->focusWidget(), u->BitBtn1);
        // nothing typed: "تاييد" checks and stays open with its message
        QTest::keyClick(u->BitBtn1, Qt::Key_Return);
        ASSERT_EQ(prompter.calls.size(), 1);
        EXPECT_EQ(prompter.calls[0].text, QStringLiteral("نام شخص وارد نشده"));
    });
    EXPECT_EQ(result, QDialog::Rejected);
}

TEST_P(PartyDialogTest, ProvinceLinkageAndTheRememberedProvince)
{
    Dm->QSanad->Open();
    Dm->QSanad->Insert();
    // an empty key is not a choice; a province left clears the city
    whileShown(FrmAddInfoOwner, [&] {
        Ui::TFrmAddInfo* u = FrmAddInfoOwner->form();
        EXPECT_EQ(TFrmAddInfo::KeyText(u->lkProvince), QString());
        EXPECT_EQ(TFrmAddInfo::KeyText(u->lkCity), QString());
        chooseCity(FrmAddInfoOwner, QStringLiteral("23"), QStringLiteral("230001"));
        for (int i = 0; i < u->lkCity->count(); ++i)
            EXPECT_TRUE(u->lkCity->itemData(i).toString().startsWith(QLatin1String("23")));
        FrmAddInfoOwner->lkProvinceExit();
        EXPECT_EQ(TFrmAddInfo::KeyText(u->lkCity), QString());
        chooseCity(FrmAddInfoOwner, QStringLiteral("23"), QStringLiteral("230001"));
        setField("ownerInitialName", QStringLiteral("a"));
        setField("ownerLastName", QStringLiteral("b"));
        setField("ownerNatNO", QStringLiteral("0012345679"));
        FrmAddInfoOwner->BitBtn1Click();
    });
    EXPECT_EQ(TPrefMng::GetProvinceId(), QStringLiteral("23"));
    Dm->QSanad->Cancel();

    // the next new deal opens on that province, with no city chosen
    Dm->QSanad->Insert();
    whileShown(FrmAddInfoCust, [&] {
        EXPECT_EQ(TFrmAddInfo::KeyText(FrmAddInfoCust->form()->lkProvince), QStringLiteral("23"));
        EXPECT_EQ(TFrmAddInfo::KeyText(FrmAddInfoCust->form()->lkCity), QString());
        EXPECT_GT(FrmAddInfoCust->form()->lkCity->count(), 0);
    });
    Dm->QSanad->Cancel();
    // a stored deal does not change the remembered province
    addDeal(QStringLiteral("1403/01/05"), QStringLiteral("k"), 1000);
    Dm->QSanad->Close();
    Dm->QSanad->Open();
    whileShown(FrmAddInfoOwner, [&] { chooseCity(FrmAddInfoOwner, QStringLiteral("10"), QStringLiteral("100001")); });
    EXPECT_EQ(TPrefMng::GetProvinceId(), QStringLiteral("23"));
}

TEST_P(PartyDialogTest, KindListsAndCaptions)
{
    Ui::TFrmAddInfo* o = FrmAddInfoOwner->form();
    Ui::TFrmAddInfo* c = FrmAddInfoCust->form();
    EXPECT_EQ(FrmAddInfoOwner->windowTitle(), QStringLiteral("* مشخصات تکميلي مالک *"));
    EXPECT_EQ(FrmAddInfoCust->windowTitle(), QStringLiteral("* مشخصات تکميلي خريدار/مستاجر *"));
    EXPECT_EQ(c->Label1->text(), QStringLiteral("نام خريدار/مستاجر"));
    ASSERT_EQ(o->DBLookupComboBox1->count(), 3);
    EXPECT_EQ(o->DBLookupComboBox1->itemText(2), QStringLiteral("حقوقي دولتي وزارت خانه ها و سازمان ها"));
    ASSERT_EQ(o->DBLookupComboBox2->count(), 3);
    EXPECT_EQ(o->DBLookupComboBox2->itemText(1), QStringLiteral("عادي"));
    EXPECT_EQ(o->DBLookupComboBox2->itemData(1).toInt(), 2);
}

DOVIN_INSTANTIATE_ENGINES(PartyDialogTest);

} // namespace
