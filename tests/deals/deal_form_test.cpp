#include "deals/DealActions.h"
#include "deals_fixture.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBNavigator.h"
#include "ui_TFrmSanad.h"

#include <QStyle>

namespace {

using widgets::NavButton;

TEST(DealTotals, DiscountsCommissionAndRate)
{
    const struct {
        const char *od, *cd, *h;
        double rate;
        double d, a, v, total;
    } cases[] = {
        {"100,000", "50,000", "2,000,000", 10, 150000, 1850000, 185000, 2035000},
        {"", "", "1,000,000", 9, 0, 1000000, 90000, 1090000},
        {"-", "+", "", 9, 0, 0, 0, 0},
        {"600", "600", "1,000", 10, 1200, -200, -20, -220},   // discounts above the commission
        {"0", "0", "1001", 9.5, 0, 1001, 95.095, 1096.095},    // no rounding
        {"abc", "1", "10", 0, 1, 9, 0, 9},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.h);
        const TFrmSanad::Totals t = TFrmSanad::ComputeTotals(QString::fromUtf8(c.od), QString::fromUtf8(c.cd),
                                                             QString::fromUtf8(c.h), c.rate);
        EXPECT_DOUBLE_EQ(t.discount, c.d);
        EXPECT_DOUBLE_EQ(t.after, c.a);
        EXPECT_NEAR(t.vat, c.v, 1e-9);
        EXPECT_NEAR(t.total, c.total, 1e-9);
    }
}

class DealFormTest : public DealsTest {
protected:
    Ui::TFrmSanad* f() { return FrmSanad->form(); }
    void type(QLineEdit* e, const QString& text)
    {
        e->setFocus();
        e->selectAll();
        QTest::keyClicks(e, text);
    }
};

TEST_P(DealFormTest, TotalsFollowTheTypingAndTheVatSetting)
{
    TPrefMng::SetVATVal(9);
    TPrefMng::SetMunicipalVal(1);
    TPrefMng::SetVATEnabled(true);
    ShowNewDeal();
    ASSERT_EQ(Dm->QSanad->State(), db::DataSetState::Insert);
    type(f()->DBEdit12, QStringLiteral("2000000"));
    EXPECT_EQ(f()->DBEdit12->text(), QStringLiteral("2,000,000"));
    EXPECT_EQ(f()->edtTotalAmount->text(), QStringLiteral("2,200,000"));
    type(f()->DBEdit11, QStringLiteral("100000"));
    type(f()->DBEdit10, QStringLiteral("50000"));
    EXPECT_EQ(f()->edtTotalDiscount->text(), QStringLiteral("150,000"));
    EXPECT_EQ(f()->edtafterDiscount->text(), QStringLiteral("1,850,000"));
    EXPECT_EQ(f()->edtTotalVAT->text(), QStringLiteral("185,000"));
    EXPECT_EQ(f()->edtTotalAmount->text(), QStringLiteral("2,035,000"));
    EXPECT_EQ(f()->edtTotalPercent->text(), QStringLiteral("10"));
    EXPECT_FALSE(f()->edtTotalVAT->isHidden());

    TPrefMng::SetVATEnabled(false);
    TPrefMng::SetVATVal(0);
    TPrefMng::SetMunicipalVal(0);
    FrmSanad->ApplyVATVisibility(TPrefMng::GetVATEnabled());
    for (QWidget* w : std::initializer_list<QWidget*>{f()->lblTotalVAT, f()->edtTotalVAT, f()->lblTotalAmount,
                                                      f()->edtTotalAmount, f()->edtTotalPercent, f()->lblTotalPercent})
        EXPECT_TRUE(w->isHidden()) << w->objectName().toStdString();
    EXPECT_FALSE(f()->edtafterDiscount->isHidden());
    EXPECT_EQ(f()->edtTotalVAT->text(), QStringLiteral("0"));
    EXPECT_EQ(f()->edtafterDiscount->text(), QStringLiteral("1,850,000"));
}

TEST_P(DealFormTest, AmountsStandAtTheRightOfTheirBoxes)
{
    ShowNewDeal();
    const std::pair<QLineEdit*, const char*> boxes[] = {
        {f()->DBEdit11, "commission"}, {f()->edtTotalDiscount, "discounts"}, {f()->edtafterDiscount, "after discounts"},
        {f()->edtTotalVAT, "VAT"}, {f()->edtTotalAmount, "total"}};
    for (const auto& [box, name] : boxes) {
        // a number reads left to right: its box must put it at the right explicitly
        const Qt::Alignment a = QStyle::visualAlignment(Qt::LeftToRight, box->alignment());
        EXPECT_TRUE(a & Qt::AlignRight) << name;
    }
}

TEST_P(DealFormTest, TypedNumberIsDecidedAtPost)
{
    ShowNewDeal();
    const QString drawn = field("shoomareh");
    EXPECT_EQ(drawn, QStringLiteral("1"));
    EXPECT_TRUE(f()->DBNavigator2->isHidden());

    // typed and posted without leaving the box: the typed number stands and sets the counter
    type(f()->DBEdit7, QStringLiteral("40"));
    f()->DBNavigator1->BtnClick(NavButton::Post);
    EXPECT_EQ(Dm->QSanad->State(), db::DataSetState::Browse);
    EXPECT_EQ(field("shoomareh"), QStringLiteral("40"));
    EXPECT_EQ(counter(), QStringLiteral("40"));
    EXPECT_FALSE(f()->DBNavigator2->isHidden());

    // typed, then the proposed number typed back: the counter is claimed as usual
    ShowNewDeal();
    EXPECT_EQ(field("shoomareh"), QStringLiteral("41"));
    type(f()->DBEdit7, QStringLiteral("77"));
    f()->DBEdit1->setFocus();
    type(f()->DBEdit7, QStringLiteral("41"));
    f()->DBNavigator1->BtnClick(NavButton::Post);
    EXPECT_EQ(counter(), QStringLiteral("41"));
    EXPECT_EQ(f()->DBEdit7->property("tag").toInt(), 0);

    // nothing typed: claimed
    ShowNewDeal();
    f()->DBNavigator1->BtnClick(NavButton::Post);
    EXPECT_EQ(counter(), QStringLiteral("42"));
    EXPECT_EQ(Dm->Conn->scalar(QStringLiteral("select count(*) from T_Sanad")).toInt(), 3);
}

TEST_P(DealFormTest, CloseAsksOnlyWhileEditingAndContractWaitsForSave)
{
    FrmSanad->show();
    FrmSanad->close();
    EXPECT_TRUE(prompter.calls.isEmpty());

    const struct {
        int answer;
        bool open;
        int rows;
        int messages;
    } answers[] = {{2, true, 0, 1}, {7, false, 0, 1}, {6, false, 1, 2}};
    for (const auto& a : answers) {
        prompter.calls.clear();
        ShowNewDeal();
        type(f()->DBEdit1, QStringLiteral("Ali"));
        if (a.answer == 2) {
            FrmSanad->btnprintClick();
            ASSERT_EQ(prompter.calls.size(), 1);
            EXPECT_EQ(prompter.calls[0].kind, 1);
            prompter.calls.clear();
        }
        prompter.answer(a.answer);
        FrmSanad->close();
        EXPECT_EQ(FrmSanad->isVisible(), a.open) << a.answer;
        EXPECT_EQ(Dm->Conn->scalar(QStringLiteral("select count(*) from T_Sanad")).toInt(), a.rows) << a.answer;
        ASSERT_EQ(prompter.calls.size(), a.messages);
        EXPECT_EQ(prompter.calls[0].text, QStringLiteral("آيا تغييرات ذخيره شوند؟"));
        EXPECT_EQ(prompter.calls[0].caption, QStringLiteral("انجام معامله"));
        if (a.open) {
            EXPECT_EQ(Dm->QSanad->State(), db::DataSetState::Insert);
            Dm->QSanad->Cancel();
        }
    }
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("تغييرات با موفقيت ذخيره شدند"));
    EXPECT_EQ(Dm->Conn->scalar(QStringLiteral("select EsmMalek from T_Sanad")).toString(), QStringLiteral("Ali"));
}

DOVIN_INSTANTIATE_ENGINES(DealFormTest);

} // namespace
