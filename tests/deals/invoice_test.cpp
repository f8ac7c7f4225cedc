#include "deals/TfrmInvoice.h"

#include "core/AppGlobals.h"

#include "deals_fixture.h"
#include "platform/report/Renderer.h"
#include "platform/report/Report.h"
#include "platform/widgets/DBNavigator.h"
#include "ui_TFrmSanad.h"

namespace {

TEST(InvoiceAmounts, HalfCommissionDiscountVatLevyPayable)
{
    const struct {
        double h, d, v, m;
        TInvoiceAmounts want;
    } cases[] = {
        {2000000, 100000, 9, 1, {1000000, 100000, 900000, 81000, 9000, 990000}},
        {2000000, 50000, 9, 1, {1000000, 50000, 950000, 85500, 9500, 1045000}},
        {1234567, 0, 9, 3, {617283.5, 0, 617284, 55555.56, 18518.52, 691358.08}},
        {1234567, 1000, 9, 3, {617283.5, 1000, 616284, 55465.56, 18488.52, 690238.08}},
        {1001, 0, 9, 1, {500.5, 0, 500, 45, 5, 550}},
        {1003, 0, 9, 1, {501.5, 0, 502, 45.18, 5.02, 552.2}},
        {1005, 0, 9, 1, {502.5, 0, 502, 45.18, 5.02, 552.2}},   // ties to even: not 503
        {1000000, 0, 0, 0, {500000, 0, 500000, 0, 0, 500000}}, // VAT disabled stores 0 rates
        {100000, 80000, 9, 1, {50000, 80000, -30000, -2700, -300, -33000}},
        {3, 0, 9.5, 0.5, {1.5, 0, 2, 0.19, 0.01, 2.2}},
        {1, 0, 0.05, 0, {0.5, 0, 0, 0, 0, 0}},                  // 0.5 rounds to 0
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.h);
        const TInvoiceAmounts a = InvoiceAmounts(c.h, c.d, c.v, c.m);
        EXPECT_DOUBLE_EQ(a.half, c.want.half);
        EXPECT_DOUBLE_EQ(a.discount, c.want.discount);
        EXPECT_DOUBLE_EQ(a.after, c.want.after);
        EXPECT_NEAR(a.vat, c.want.vat, 1e-9);
        EXPECT_NEAR(a.levy, c.want.levy, 1e-9);
        EXPECT_NEAR(a.payable, c.want.payable, 1e-9);
    }
}

TEST(InvoiceLayout, PartyBlockKindAndAmountTexts)
{
    TInvoiceParty p;
    p.label = QStringLiteral("مالک");
    p.name = QStringLiteral("علی");
    p.nationalCode = QStringLiteral("0012345679");
    EXPECT_EQ(InvoicePersonInfo(p), QStringLiteral("نام مالک: علی\r\nکد/شناسه ملي: 0012345679   کد اقتصادي: "));
    p.address = QStringLiteral("آدرس یک");
    p.phone = QStringLiteral("021123");
    EXPECT_EQ(InvoicePersonInfo(p), QStringLiteral("نام مالک: علی\r\nکد/شناسه ملي: 0012345679   کد اقتصادي: "
                                                   "\r\nآدرس: آدرس یک\r\nتلفن: 021123"));

    const struct {
        const char* nov;
        const char* kind;
    } kinds[] = {{"k", "خريد/فروش"}, {"K", "خريد/فروش"}, {"j", "رهن/اجاره"}, {"J", "رهن/اجاره"}, {"", "---"}, {"x", "---"}};
    for (const auto& k : kinds) {
        TfrmInvoice inv;
        TInvoiceDeal deal{1234567, QString::fromLatin1(k.nov), QStringLiteral("12"), QStringLiteral("1403/01/06"),
                          QStringLiteral("بدون")};
        TInvoiceSettings s;
        s.header = QStringLiteral("بنگاه");
        s.footer = QStringLiteral("پایان");
        s.economicCode = QStringLiteral("4111");
        s.vatRate = 9;
        s.levyRate = 3;
        inv.Fill(deal, p, s);
        EXPECT_EQ(inv.text(QStringLiteral("lblMoameleh")), QString::fromUtf8(k.kind));
        EXPECT_EQ(inv.text(QStringLiteral("lblInvKind")), QStringLiteral("فاکتور فروش - نسخه مالک"));
        EXPECT_EQ(inv.text(QStringLiteral("lblNumDate")), QStringLiteral("شماره: 12   تاريخ: 1403/01/06"));
        EXPECT_EQ(inv.text(QStringLiteral("lblEconomicCode")), QStringLiteral("کد اقتصادي: 4111"));
        EXPECT_EQ(inv.text(QStringLiteral("lblHaghebongah")), QStringLiteral("617,283.5"));
        EXPECT_EQ(inv.text(QStringLiteral("lblHagheTakhfif")), QStringLiteral("617,284"));
        EXPECT_EQ(inv.text(QStringLiteral("lblMaliyat")), QStringLiteral("55,555.56"));
        EXPECT_EQ(inv.text(QStringLiteral("lblAvarez")), QStringLiteral("18,518.52"));
        EXPECT_EQ(inv.text(QStringLiteral("lblPayable")), QStringLiteral("691,358.08"));
    }
}

TEST(InvoiceLayout, OnePageWithEveryRowInsideThePrintableWidth)
{
    TfrmInvoice inv;
    TInvoiceParty p;
    p.label = QStringLiteral("خريدار/مستاجر");
    TInvoiceSettings s;
    s.paperOrdinal = 9;
    s.orientation = 1;
    inv.Fill(TInvoiceDeal{2000000, QStringLiteral("k"), {}, {}, {}}, p, s);
    const report::PreparedReport r = inv.Prepare();
    ASSERT_EQ(r.pageCount(), 1);
    const QSize paper = r.paperSize;
    EXPECT_GT(paper.width(), paper.height());   // landscape
    int values = 0;
    for (const report::ReportItem& it : r.pages[0].items) {
        EXPECT_GE(it.rect.left(), 0) << it.name.toStdString();
        EXPECT_LE(it.rect.right(), paper.width()) << it.name.toStdString();
        if (it.name.startsWith(QLatin1String("lbl")) && it.text.contains(QLatin1Char(',')))
            ++values;
    }
    EXPECT_EQ(values, 3);   // half, after, payable; no rates set
}

TEST(InvoiceLayout, PaymentStateAndRemarksSitOnTheirCaptionsLinesRightAfterThem)
{
    const auto kept = PrintSettings;
    PrintSettings.BodyFont = QFont(QStringLiteral("arial"), 11);
    PrintSettings.InvoiceHeaderFont = QFont(QStringLiteral("tahoma"), 12);
    PrintSettings.InvoiceFooterFont = QFont(QStringLiteral("tahoma"), 10);
    TfrmInvoice inv;
    PrintSettings = kept;
    TInvoiceParty p;
    p.label = QStringLiteral("مالک");
    p.paymentState = QStringLiteral("تسويه شده");
    TInvoiceDeal d{2000000, QStringLiteral("k"), {}, {}, {}};
    d.remark = QStringLiteral("پرداخت در دو قسط");
    inv.Fill(d, p, TInvoiceSettings{});
    const report::PreparedReport r = inv.Prepare();
    const auto item = [&](const char* name) {
        for (const report::ReportItem& it : r.pages[0].items)
            if (it.name == QLatin1String(name))
                return it;
        ADD_FAILURE() << name;
        return report::ReportItem{};
    };
    const std::pair<const char*, const char*> pairs[] = {{"QRLabel8", "lblTasviyeh"}, {"QRLabel9", "lblTozihat"}};
    for (const auto& [captionName, valueName] : pairs) {
        const report::ReportItem caption = item(captionName);
        const report::ReportItem value = item(valueName);
        EXPECT_EQ(value.rect.top(), caption.rect.top()) << valueName;
        // the value's right edge (where right-to-left text starts) a few millimetres from the caption
        EXPECT_GE(caption.rect.left() - value.rect.right(), 0) << valueName;
        EXPECT_LE(caption.rect.left() - value.rect.right(), 50) << valueName;
        // the caption's box is its text's width, not a wide column
        EXPECT_LT(caption.rect.width(), 300) << captionName;
        EXPECT_TRUE(value.alignment & Qt::AlignRight) << valueName;
    }
    if (qEnvironmentVariableIsSet("DOVIN_SHOTS"))
        report::renderPageImage(r, 0, 100).save(qEnvironmentVariable("DOVIN_SHOTS") + QStringLiteral("/invoice.png"));
}

class DealInvoiceTest : public DealsTest {};

TEST_P(DealInvoiceTest, BothPartiesThroughThePreviewOnlyWhenSaved)
{
    TPrefMng::SetVATVal(9);
    TPrefMng::SetMunicipalVal(1);
    addDeal(QStringLiteral("1403/01/05"), QStringLiteral("k"), 2000000, 100000, 50000);
    Dm->QSanad->Close();
    Dm->QSanad->Open();
    Dm->QSanad->Edit();
    setField("ownerCityId", 100001);
    setField("ownerPersonAddress", QStringLiteral("خيابان اول"));
    setField("ownerPostalCode", QStringLiteral("1345678913"));
    setField("Kharidar", QStringLiteral("خريدار"));

    // while edited: the message, nothing printed
    FrmSanad->BitBtn3Click();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("تغييرات داده شده را ذخيره يا لغو کنيد\r\nسپس مجددا سعي کنيد"));
    EXPECT_EQ(prompter.previewCount, 0);
    Dm->QSanad->Post();

    QStringList pages;
    prompter.onPreview = [&](report::PreparedReport& r) { pages << reportText(r); };
    FrmSanad->BitBtn3Click();
    FrmSanad->BitBtn4Click();
    ASSERT_EQ(prompter.previewCount, 2);
    ASSERT_EQ(pages.size(), 2);
    for (const char* part : {"lblHagheTakhfif=900,000", "lblMaliyat=81,000", "lblAvarez=9,000", "lblPayable=990,000",
                             "lblHaghebongah=1,000,000", "نسخه مالک", "آدرس: استان: آذربایجان شرقی شهر: تبریز خيابان اول",
                             "کد پستي: 1345678913", "lblShopName=سربرگ فاکتور", "lblFooter=ته برگ فاکتور"})
        EXPECT_TRUE(pages[0].contains(QString::fromUtf8(part))) << part;
    for (const char* part : {"lblHagheTakhfif=950,000", "lblPayable=1,045,000", "lblHaghebongah=1,000,000",
                             "نسخه خريدار/مستاجر", "نام خريدار/مستاجر: خريدار"})
        EXPECT_TRUE(pages[1].contains(QString::fromUtf8(part))) << part;
    EXPECT_FALSE(pages[1].contains(QStringLiteral("آدرس:")));
}

TEST_P(DealInvoiceTest, CityAddress)
{
    const struct {
        const char* city;
        const char* address;
        const char* result;
    } cases[] = {
        {"100001", "کوچه", "استان: آذربایجان شرقی شهر: تبریز کوچه"},
        {"100001", "", "استان: آذربایجان شرقی شهر: تبریز"},
        {"", "کوچه", " کوچه"},
        {"0", "کوچه", " کوچه"},
        {"999999", "", ""},
        {"1 or 1=1", "", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TFrmSanad::BuildCityAddress(QString::fromUtf8(c.city), QString::fromUtf8(c.address)),
                  QString::fromUtf8(c.result))
            << c.city;
}

DOVIN_INSTANTIATE_ENGINES(DealInvoiceTest);

} // namespace
