// The agency's taxpayer identity: the checks in their order, the mobile number rule, and the
// window storing, refusing and cancelling.
#include "tax_fixture.h"

#include "deals/TfrmOwnerInfo.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/DBRadioGroup.h"
#include "ui_TfrmOwnerInfo.h"

#include <QRadioButton>
#include <functional>

namespace {

TOwnerInfoValues valid()
{
    TOwnerInfoValues v;
    v.personKind = 1;
    v.nationality = 0;
    v.band = 1;
    v.regStatus = 0;
    const auto t = [](const char* s) { return QString::fromUtf8(s); };
    v.companyName = t("بنگاه امين"), v.moadyName = t("علي امين"), v.nationalCode = t("0012345679");
    v.office = t("1"), v.officeProvince = t("10"), v.province = t("10"), v.city = t("100001");
    v.address = t("123456789012345"), v.postalCode = t("1345678913"), v.telNo = t("04133334444");
    v.mobileNO = t("09141234567"), v.userName = t("amin");
    return v;
}

TEST(OwnerInfoChecks, InTheirOrder)
{
    using V = TOwnerInfoValues;
    const QString legalId = QStringLiteral("10101234565");
    const struct {
        const char* message;  // empty: accepted
        std::function<void(V&)> change;
    } cases[] = {
        {"", [](V&) {}},
        {"نوع شخص را تعيين نماييد.", [](V& v) { v.personKind = 0; v.companyName.clear(); }},
        {"تابعيت را تعيين نماييد.", [](V& v) { v.nationality = -1; }},
        {"نام فروشگاه/شرکت را وارد نماييد.", [](V& v) { v.companyName.clear(); v.moadyName.clear(); }},
        {"نام مودي اصلي/مدير عامل را وارد نماييد.", [](V& v) { v.moadyName.clear(); }},
        {"کد ملي صحيح نمي باشد.", [](V& v) { v.nationalCode = QStringLiteral("0012345678"); }},
        {"کد ملي صحيح نمي باشد.", [](V& v) { v.nationalCode.clear(); }},
        {"شناسه ملي صحيح نمي باشد.", [](V& v) { v.personKind = 2; v.band = 0; }},
        {"بند مشموليت را تعيين نماييد.", [](V& v) { v.band = -1; }},
        {"بند مشموليت بايستي برروي شرکت باشد.", [&](V& v) { v.personKind = 2; v.nationalCode = legalId; v.band = 2; }},
        {"", [&](V& v) { v.personKind = 3; v.nationalCode = legalId; v.band = 0; }},
        {"بند مشموليت بايستي الف يا ب باشد.", [](V& v) { v.band = 0; }},
        {"", [](V& v) { v.band = 2; }},
        {"اداره کل مالياتي را تعيين نماييد.", [](V& v) { v.office.clear(); v.province.clear(); }},
        {"اداره کل مالياتي را تعيين نماييد.", [](V& v) { v.office = QStringLiteral("-1"); }},
        {"استان را تعيين نماييد.", [](V& v) { v.province.clear(); }},
        {"استان را تعيين نماييد.", [](V& v) { v.province = QStringLiteral("-1"); }},
        {"استان و شهر را تعيين نماييد.", [](V& v) { v.city.clear(); }},
        {"استان و شهر را تعيين نماييد.", [](V& v) { v.city = QStringLiteral("-1"); }},
        // the office of another province
        {"استان ها اشتباه انتخاب شده اند.\r\nاداره کل و استان بايستي يکسان باشند.",
         [](V& v) { v.officeProvince = QStringLiteral("11"); }},
        {"آدرس را وارد نماييد.\r\nآدرس را به صورت کاملتر وارد نماييد.", [](V& v) { v.address.chop(1); }},
        {"کد پستي وارد شده صحيح نمي باشد.", [](V& v) { v.postalCode = QStringLiteral("1345678910"); }},
        {"کد پستي وارد شده صحيح نمي باشد.", [](V& v) { v.postalCode.clear(); v.telNo.clear(); }},
        {"تلفن را وارد نماييد.", [](V& v) { v.telNo.clear(); }},
        {"شماره موبايل صحيح نمي باشد.", [](V& v) { v.mobileNO.chop(1); }},
        {"شماره موبايل صحيح نمي باشد.", [](V& v) { v.mobileNO += QLatin1Char('1'); }},
        {"وضعيت ثبت نام را تعيين نماييد.", [](V& v) { v.regStatus = -1; v.userName.clear(); }},
        {"نام کاربري/کد رهگيري را وارد نماييد.", [](V& v) { v.regStatus = 1; v.userName.clear(); }},
        {"", [](V& v) { v.regStatus = 2; v.userName.clear(); }},
    };
    for (const auto& c : cases) {
        V v = valid();
        c.change(v);
        EXPECT_EQ(TfrmOwnerInfo::CheckOwnerInfo(v), QString::fromUtf8(c.message)) << c.message;
    }
}

TEST(OwnerInfoChecks, MobileNumbers)
{
    const char* const cases[][2] = {
        {"9141234567", "09141234567"}, {"09141234567", "09141234567"}, {"", ""}, {"0", "0"}, {"98912", "098912"}};
    for (const auto& c : cases)
        EXPECT_EQ(TfrmOwnerInfo::MobileText(QLatin1String(c[0])), QLatin1String(c[1]));
    EXPECT_TRUE(TfrmOwnerInfo::MobileLengthOk(QStringLiteral("09141234567")));
    EXPECT_FALSE(TfrmOwnerInfo::MobileLengthOk(QStringLiteral("0914123456")));
}

class OwnerInfoWindow : public TaxTest {
protected:
    static void pick(widgets::DBRadioGroup* group, int item)
    {
        group->findChildren<QRadioButton*>().at(item)->click();
    }
    static void choose(widgets::DBLookupComboBox* box, qint64 key)
    {
        for (int i = 0; i < box->count(); ++i)
            if (box->itemData(i).toLongLong() == key) {
                box->setCurrentIndex(i);
                emit box->activated(i);
                return;
            }
        ADD_FAILURE() << "no item " << key;
    }
    int stored() { return scalar(QStringLiteral("select count(*) from yourInfo")).toInt(); }
};

TEST_P(OwnerInfoWindow, NewIdentityIsRefusedUntilCorrectThenStored)
{
    TfrmOwnerInfo w;
    w.FormShow();
    auto* f = w.form();
    db::DataSet* ds = w.qYourInfo();
    EXPECT_EQ(ds->State(), db::DataSetState::Insert);
    EXPECT_EQ(f->lkProvince->count(), 31);
    typeText(f->DBEdit1, QStringLiteral("بنگاه امين"));
    typeText(f->DBEdit6, QStringLiteral("علي امين"));
    typeText(f->DBEdit10, QStringLiteral("00x12345679"));   // digits only
    typeText(f->DBEdit4, QStringLiteral("تبريز، خيابان امام"));
    typeText(f->DBEdit5, QStringLiteral("1345678913"));
    typeText(f->DBEdit7, QStringLiteral("04133334444"));
    typeText(f->DBEdit11, QStringLiteral("9141234567"));
    typeText(f->DBEdit8, QStringLiteral("amin"));
    pick(f->radPersonKind, 0);
    pick(f->radNationality, 0);
    pick(f->radBand, 1);
    pick(f->radRegStatus, 0);
    choose(f->lkEdareKol, 2);   // the office of province 11
    choose(f->lkProvince, 10);
    w.lkProvinceExit();
    EXPECT_EQ(f->lkCity->count(), Dm->Conn->scalar(QStringLiteral("select count(*) from city where provinceId = 10")).toInt());
    choose(f->lkCity, 100001);

    w.BitBtn1Click();
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(prompter.calls[0].caption, QStringLiteral("تاييد صحت اطلاعات"));
    EXPECT_EQ(prompter.calls[0].fontSize, 12);
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("استان ها اشتباه انتخاب شده اند.\r\nاداره کل و استان بايستي يکسان باشند."));
    EXPECT_EQ(ds->State(), db::DataSetState::Insert);
    EXPECT_EQ(stored(), 0);
    EXPECT_NE(w.result(), 1);

    choose(f->lkEdareKol, 1);
    prompter.calls.clear();
    w.BitBtn1Click();
    ASSERT_EQ(prompter.calls.size(), 2) << prompter.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(prompter.calls[1].text, QStringLiteral("اطلاعات با موفقيت ثبت شدند."));
    EXPECT_EQ(w.result(), 1);
    EXPECT_EQ(stored(), 1);
    EXPECT_EQ(rows(*Dm->Conn, QStringLiteral("select nationalCode, mobileNO, taxPayerType, Tabeiat, Band, SabteNam, "
                                             "EdareKolCode, ShahrCode, companyName from yourInfo")),
              QStringLiteral("0012345679|09141234567|1|0|1|0|1|100001|بنگاه امين"));
}

TEST_P(OwnerInfoWindow, StoredIdentityIsEditedAndLeavingTheProvinceClearsTheCity)
{
    addOwnerInfo();
    TfrmOwnerInfo w;
    w.FormShow();
    db::DataSet* ds = w.qYourInfo();
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    EXPECT_EQ(w.form()->lkProvince->KeyValue().toLongLong(), 10);
    EXPECT_EQ(w.form()->lkCity->KeyValue().toLongLong(), 100001);
    EXPECT_EQ(w.form()->lkEdareKol->currentText(), Dm->Conn->scalar(QStringLiteral("select EdareKolName from mainOffices "
                                                                                   "where EdareKolCode = 1")).toString());
    EXPECT_EQ(TfrmOwnerInfo::CheckOwnerInfo(w.CurrentValues()), QString());
    w.lkProvinceExit();
    EXPECT_EQ(TfrmOwnerInfo::CheckOwnerInfo(w.CurrentValues()), QStringLiteral("استان و شهر را تعيين نماييد."));
    typeText(w.form()->DBEdit1, QStringLiteral(" تغيير"));
    w.done(2);
    EXPECT_EQ(ds->State(), db::DataSetState::Browse);
    EXPECT_EQ(scalar(QStringLiteral("select companyName from yourInfo")).toString(), QStringLiteral("بنگاه امين"));
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_P(OwnerInfoWindow, CancelDiscardsANewRow)
{
    TfrmOwnerInfo w;
    w.FormShow();
    typeText(w.form()->DBEdit1, QStringLiteral("بنگاه"));
    w.done(2);
    EXPECT_EQ(w.qYourInfo()->State(), db::DataSetState::Browse);
    EXPECT_EQ(stored(), 0);
}

DOVIN_INSTANTIATE_ENGINES(OwnerInfoWindow);

} // namespace
