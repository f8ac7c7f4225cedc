// VAT settings: the rate checks, the terms dialog, storing and disabling, and the deal list
// closed after a save.
#include "tax_fixture.h"

#include "deals/TfrmVAT.h"
#include "deals/TfrmVATContract.h"
#include "ui_TfrmVAT.h"
#include "ui_TfrmVATContract.h"

#include <QApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTimer>

namespace {

TEST(VATRates, EachRateAndTheirSumBetweenOneAndNinety)
{
    const QString refused = QStringLiteral("اعداد وارد شده صحيح نمي باشند\r\nلطفا تمامي اطلاعات را با دقت وارد نماييد");
    const struct {
        const char *vat, *levy;
        bool ok;
    } cases[] = {{"9", "81", true},   {"9", "82", false},  {"0.5", "1", false}, {"1.5", "1", true},
                 {"1", "1", true},    {"1", "0", false},   {"0", "9", false},   {"89", "1", true},
                 {"89.5", "1", false}, {"45", "45", true}, {"-9", "10", false}, {"abc", "5", false},
                 {"9", "", false},    {"88.5", "1.5", true}};
    for (const auto& c : cases)
        EXPECT_EQ(TfrmVAT::RatesProblem(QLatin1String(c.vat), QLatin1String(c.levy)), c.ok ? QString() : refused)
            << c.vat << " + " << c.levy;
}

class VATSettings : public ::testing::Test {
protected:
    void SetUp() override
    {
        hadHome = qEnvironmentVariableIsSet("DOVIN_HOME");
        savedHome = qgetenv("DOVIN_HOME");
        qputenv("DOVIN_HOME", home.path().toUtf8());
    }
    void TearDown() override
    {
        if (hadHome)
            qputenv("DOVIN_HOME", savedHome);
        else
            qunsetenv("DOVIN_HOME");
    }
    static void store(double vat, double levy, bool on)
    {
        TPrefMng::SetVATVal(vat);
        TPrefMng::SetMunicipalVal(levy);
        TPrefMng::SetVATEnabled(on);
    }
    // Ticks the box of a shown window and answers the terms dialog with the given button.
    static void tick(TfrmVAT& w, bool accept)
    {
        QTimer::singleShot(0, [accept] {
            auto* terms = qobject_cast<TfrmVATContract*>(QApplication::activeModalWidget());
            ASSERT_NE(terms, nullptr);
            (accept ? terms->form()->BitBtn1 : terms->form()->BitBtn2)->click();
        });
        w.form()->chkActivation->setChecked(true);
    }
    QTemporaryDir home;
    QByteArray savedHome;
    bool hadHome = false;
    testing_support::ScriptedPrompter prompter;
};

TEST_F(VATSettings, OpensOnTheStoredSettingsAndShowsTheTotal)
{
    store(9, 1, true);
    TfrmVAT w;
    auto* f = w.form();
    EXPECT_EQ(f->edtVAT->text(), QStringLiteral("9"));
    EXPECT_EQ(f->edtMUT->text(), QStringLiteral("1"));
    EXPECT_EQ(f->edtTotalVAT->text(), QStringLiteral("10"));
    EXPECT_TRUE(f->chkActivation->isChecked());
    EXPECT_FALSE(f->pnlVATConfig->isHidden());
    f->edtVAT->setText(QStringLiteral("1.5"));
    EXPECT_EQ(f->edtTotalVAT->text(), QStringLiteral("2.5"));
    f->edtMUT->clear();
    EXPECT_EQ(f->edtTotalVAT->text(), QStringLiteral("1.5"));
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_F(VATSettings, EnablingNeedsTheTermsAndStoresTheRates)
{
    TfrmVAT w;
    auto* f = w.form();
    EXPECT_TRUE(f->pnlVATConfig->isHidden());
    w.show();
    tick(w, false);
    EXPECT_FALSE(f->chkActivation->isChecked());
    EXPECT_TRUE(f->pnlVATConfig->isHidden());
    tick(w, true);
    EXPECT_TRUE(f->chkActivation->isChecked());
    EXPECT_FALSE(f->pnlVATConfig->isHidden());

    // refusals keep the window open with what was typed
    const struct {
        const char *vat, *levy, *message;
    } refusals[] = {{"", "1", "لطفا تمامي اطلاعات را با دقت وارد نماييد"},
                    {"0.5", "1", "اعداد وارد شده صحيح نمي باشند\r\nلطفا تمامي اطلاعات را با دقت وارد نماييد"},
                    {"9", "82", "اعداد وارد شده صحيح نمي باشند\r\nلطفا تمامي اطلاعات را با دقت وارد نماييد"}};
    for (const auto& r : refusals) {
        f->edtVAT->setText(QString::fromLatin1(r.vat));
        f->edtMUT->setText(QString::fromLatin1(r.levy));
        prompter.calls.clear();
        w.BitBtn1Click();
        ASSERT_EQ(prompter.calls.size(), 1);
        EXPECT_EQ(prompter.calls[0].text, QString::fromUtf8(r.message));
        EXPECT_TRUE(w.isVisible());
        EXPECT_FALSE(TPrefMng::GetVATEnabled());
    }
    // the confirmation answered No: nothing stored, the window stays
    f->edtVAT->setText(QStringLiteral("1.5"));
    f->edtMUT->setText(QStringLiteral("1"));
    const int top = w.y();
    prompter.answer(shell::ResultNo);
    w.BitBtn1Click();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("درستي اطلاعات وارد شده را تاييد مي نماييد؟"));
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(TPrefMng::GetVATEnabled());
    EXPECT_EQ(TPrefMng::GetVATVal(), 0);
    EXPECT_EQ(w.y(), top - 150);
    // Yes stores the rates as typed and closes
    w.BitBtn1Click();
    EXPECT_EQ(w.y(), top - 150);
    EXPECT_FALSE(w.isVisible());
    EXPECT_EQ(w.result(), QDialog::Accepted);
    EXPECT_EQ(TPrefMng::GetVATVal(), 1.5);
    EXPECT_EQ(TPrefMng::GetMunicipalVal(), 1);
    EXPECT_TRUE(TPrefMng::GetVATEnabled());
}

TEST_F(VATSettings, DisablingStoresZeroRatesWithoutTheTerms)
{
    store(9, 1, true);
    TfrmVAT w;
    w.show();
    w.form()->chkActivation->setChecked(false);   // no terms dialog: nothing would answer it
    EXPECT_TRUE(w.form()->pnlVATConfig->isHidden());
    prompter.answer(shell::ResultNo);
    w.BitBtn1Click();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("ماليات بر ارزش افزوده غير فعال خواهد شد.\r\nآيا ادامه مي دهيد؟"));
    EXPECT_TRUE(TPrefMng::GetVATEnabled());
    EXPECT_EQ(TPrefMng::GetVATVal(), 9);
    w.BitBtn1Click();
    EXPECT_FALSE(TPrefMng::GetVATEnabled());
    EXPECT_EQ(TPrefMng::GetVATVal(), 0);
    EXPECT_EQ(TPrefMng::GetMunicipalVal(), 0);
    EXPECT_FALSE(w.isVisible());
}

TEST_F(VATSettings, SavingClosesAVisibleDealList)
{
    QWidget list, other;
    list.setObjectName(QStringLiteral("TFrmRepMoameleh"));
    other.setObjectName(QStringLiteral("TFrmHazineh"));
    list.show();
    other.show();
    store(9, 1, true);
    TfrmVAT w;
    w.show();
    prompter.answer(shell::ResultNo);
    w.BitBtn1Click();
    EXPECT_TRUE(list.isVisible());
    w.BitBtn1Click();
    EXPECT_FALSE(list.isVisible());
    EXPECT_TRUE(other.isVisible());
}

} // namespace

namespace {

TEST(VATTerms, EveryTermShowsWhole)
{
    TfrmVATContract terms;
    terms.show();
    QApplication::processEvents();
    for (QLabel* l : terms.findChildren<QLabel*>()) {
        if (!l->wordWrap())
            continue;
        // the height the wrapped text needs at the width it was given
        EXPECT_GE(l->height(), l->heightForWidth(l->width())) << l->objectName().toStdString();
        EXPECT_TRUE(terms.rect().contains(QRect(l->mapTo(&terms, QPoint(0, 0)), l->size())))
            << l->objectName().toStdString();
    }
}

} // namespace
