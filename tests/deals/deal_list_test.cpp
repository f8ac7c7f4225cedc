#include "deals/DealActions.h"
#include "deals_fixture.h"
#include "WindowChecks.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataSetModel.h"
#include "platform/widgets/MaskEdit.h"
#include "ui/GridHelpers.h"
#include "ui/TTools.h"
#include "ui_TFrmRepMoameleh.h"

#include <QFile>
#include <QMenu>

namespace {

class DealListTest : public DealsTest {
protected:
    Ui::TFrmRepMoameleh* u() { return FrmRepMoameleh->form(); }

    // Deals: in the default range (1402/06/31 .. 1403/01/06) and outside it.
    void addDeals()
    {
        addDeal(QStringLiteral("1403/01/06"), QStringLiteral("k"), 2000000, 100000, 50000, QStringLiteral("الف"));
        addDeal(QStringLiteral("1402/12/01"), QStringLiteral("j"), 1000000, 0, 0, QStringLiteral("ب"));
        addDeal(QStringLiteral("1402/06/31"), QStringLiteral("j"), 300000, 0, 0, QStringLiteral("پ"));
        addDeal(QStringLiteral("1402/06/30"), QStringLiteral("k"), 500000, 0, 0, QStringLiteral("ت"));
        // a discount left null counts as 0
        Dm->Conn->exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, Nov, Haghebongah, EsmMalek) "
                                      "values ('1403/01/01', 'k', 100000, 'ث')"));
    }
    QStringList owners()
    {
        QStringList out;
        db::DataSet* ds = Dm->QSanad;
        const int f = ds->FieldByName(QStringLiteral("EsmMalek"))->Index();
        for (int r = 0; r < ds->RecordCount(); ++r)
            out << ds->ValueAt(r, f).toString();
        return out;
    }
    void rates(double vat, double levy, bool enabled)
    {
        TPrefMng::SetVATVal(vat);
        TPrefMng::SetMunicipalVal(levy);
        TPrefMng::SetVATEnabled(enabled);
    }
    int column(const char* field)
    {
        const auto cols = u()->dbgrid1->columns();
        for (int i = 0; i < cols.size(); ++i)
            if (cols[i].fieldName == QLatin1String(field))
                return i;
        return -1;
    }
};

TEST_P(DealListTest, ShowingRunsTheDefaultSearchWithVatColumnsAndSums)
{
    addDeals();
    rates(9, 1, true);
    ShowDealList();
    EXPECT_EQ(u()->edtt2->text(), QStringLiteral("1403/01/06"));
    EXPECT_EQ(u()->edtt1->text(), QStringLiteral("1402/06/31"));
    EXPECT_EQ(owners(), (QStringList{QStringLiteral("الف"), QStringLiteral("ب"), QStringLiteral("پ"), QStringLiteral("ث")}));
    EXPECT_EQ(u()->dbEdtShare->text(), QStringLiteral("3,250,000"));
    EXPECT_EQ(u()->dbEdtVAT->text(), QStringLiteral("292,500"));
    EXPECT_EQ(u()->dbEdtAvarez->text(), QStringLiteral("32,500"));
    EXPECT_EQ(u()->dbEdtKol->text(), QStringLiteral("3,575,000"));
    EXPECT_EQ(u()->edtTotalPercent->text(), QStringLiteral("10"));
    EXPECT_FALSE(u()->pnlVAT->isHidden());
    const auto cols = u()->dbgrid1->columns();
    for (const char* f : {"VAT", "Municipal", "totalVAT"}) {
        EXPECT_TRUE(cols[column(f)].visible) << f;
        EXPECT_EQ(cols[column(f)].width, cols[column("afterDiscount")].width) << f;
    }
    EXPECT_EQ(FrmRepMoameleh->Subtitle(), QStringLiteral("\r\nاز 1402/06/31 تا 1403/01/06"));
    // the kind column: blue for buy/sell, green for mortgage/rent
    widgets::DataSetModel* m = u()->dbgrid1->dataModel();
    const int kind = column("calnov");
    EXPECT_EQ(m->data(m->index(0, kind), Qt::ForegroundRole).value<QColor>(), QColor(Qt::blue));
    EXPECT_EQ(m->data(m->index(1, kind), Qt::ForegroundRole).value<QColor>(), QColor(0, 128, 0));
    EXPECT_EQ(m->data(m->index(1, kind), Qt::DisplayRole).toString(), QStringLiteral("رهن/اجاره"));

    // criteria: kinds and the date box
    const struct {
        bool date, buy, rahn;
        int rows;
        const char* share;
    } runs[] = {{true, true, false, 2, "1,950,000"}, {false, true, true, 5, "3,750,000"}, {true, false, false, 0, ""},
                {false, false, true, 2, "1,300,000"}};
    for (const auto& r : runs) {
        u()->chktarikh->setChecked(r.date);
        u()->ChkbuySell->setChecked(r.buy);
        u()->ChkRahn->setChecked(r.rahn);
        FrmRepMoameleh->btnokClick();
        EXPECT_EQ(Dm->QSanad->RecordCount(), r.rows);
        EXPECT_EQ(u()->dbEdtShare->text(), QString::fromUtf8(r.share));
        EXPECT_EQ(u()->edtt1->isEnabled(), r.date);
    }
    EXPECT_EQ(FrmRepMoameleh->Subtitle(), QString());

    // VAT off: columns and panel hidden
    rates(0, 0, false);
    FrmRepMoameleh->ApplyVATColumns(false);
    EXPECT_TRUE(u()->pnlVAT->isHidden());
    EXPECT_FALSE(u()->dbgrid1->columns()[column("VAT")].visible);
}

TEST_P(DealListTest, OpensWideEnoughForItsColumnsWithAndWithoutVat)
{
    addDeals();
    for (bool vat : {false, true}) {
        SCOPED_TRACE(vat);
        rates(9, 1, vat);
        FrmRepMoameleh->resize(400, FrmRepMoameleh->height());
        ShowDealList();
        EXPECT_EQ(u()->dbgrid1->isColumnHidden(column("VAT")), !vat);
        EXPECT_TRUE(testing_support::ShowsItsColumns(FrmRepMoameleh, u()->dbgrid1));
        FrmRepMoameleh->close();
    }
}

TEST_P(DealListTest, FindSumsOfSelectedRowsAndDelete)
{
    addDeals();
    rates(9, 1, true);
    ShowDealList();
    // the commission, typed with separators
    u()->CmbSearch->setCurrentIndex(4);
    ASSERT_EQ(u()->CmbSearch->currentText(), QStringLiteral("حق بنگاه خام"));
    u()->edtsearch->setText(QStringLiteral("1,000,000"));
    EXPECT_EQ(Dm->QSanad->FieldByName(QStringLiteral("EsmMalek"))->AsString(), QStringLiteral("ب"));
    u()->edtsearch->setText(QStringLiteral("1000000"));
    EXPECT_EQ(u()->edtsearch->text(), QStringLiteral("1,000,000"));
    EXPECT_EQ(Dm->QSanad->Filter().toLower(), QStringLiteral("haghebongah=1000000"));
    u()->CmbSearch->setCurrentIndex(1);
    u()->edtsearch->setText(QStringLiteral("1403/01/__"));
    EXPECT_EQ(Dm->QSanad->FieldByName(QStringLiteral("EsmMalek"))->AsString(), QStringLiteral("الف"));
    // the row a search finds is the row highlighted, and the one the sums and delete take
    const auto highlighted = [&] {
        QList<int> rows;
        for (const QModelIndex& i : u()->dbgrid1->selectionModel()->selectedRows())
            rows << i.row();
        return rows;
    };
    QTest::mouseClick(u()->dbgrid1->viewport(), Qt::LeftButton, {},
                      u()->dbgrid1->visualRect(u()->dbgrid1->model()->index(1, 2)).center());
    u()->edtsearch->setText(QStringLiteral("1403/01/__"));
    EXPECT_EQ(highlighted(), QList<int>{Dm->QSanad->CurrentRow()});
    EXPECT_EQ(Dm->QSanad->SelectedCount(), 1);
    EXPECT_TRUE(Dm->QSanad->IsSelected());
    u()->edtsearch->clear();
    EXPECT_EQ(highlighted(), QList<int>{Dm->QSanad->CurrentRow()});

    // nothing highlighted
    Dm->QSanad->SelectRow(Dm->QSanad->CurrentRow(), false);
    EXPECT_TRUE(highlighted().isEmpty());
    FrmRepMoameleh->BitBtn1Click();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("لطفا ابتدا رديف هاي مورد نظر را انتخاب نماييد."));
    Dm->QSanad->SetRecNo(2);
    Dm->QSanad->SelectRow(1, false);
    Dm->QSanad->SelectRow(0, true);
    Dm->QSanad->SelectRow(3, true);
    EXPECT_EQ(highlighted(), (QList<int>{0, 3}));
    FrmRepMoameleh->BitBtn1Click();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("حق بنگاه: 1,950,000\r\nارزش افزوده: 175,500\r\nعوارض: 19,500\r\n"
                                                         "مجموع کل: 2,145,000"));
    EXPECT_EQ(Dm->QSanad->RecNo(), 2);
    TPrefMng::SetVATEnabled(false);
    FrmRepMoameleh->BitBtn1Click();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("2,100,000"));   // the gross commissions

    // delete: the current row only, then the sums again
    prompter.answer(7);
    FrmRepMoameleh->btndelClick();
    EXPECT_EQ(Dm->QSanad->RecordCount(), 4);
    prompter.answer(6);
    FrmRepMoameleh->btndelClick();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("آيا رديف(هاي) انتخاب شده حذف شود؟"));
    EXPECT_EQ(owners(), (QStringList{QStringLiteral("الف"), QStringLiteral("پ"), QStringLiteral("ث")}));
    EXPECT_EQ(u()->dbEdtShare->text(), QStringLiteral("2,250,000"));

    int opened = 0;
    TFrmRepMoameleh::ShowDealForm = [&] { ++opened; };
    FrmRepMoameleh->btnchangeClick();
    QTest::keyClick(u()->dbgrid1, Qt::Key_Return);
    EXPECT_EQ(opened, 2);
    u()->ChkbuySell->setChecked(false);
    u()->ChkRahn->setChecked(false);
    FrmRepMoameleh->btnokClick();
    prompter.calls.clear();
    FrmRepMoameleh->btnchangeClick();
    FrmRepMoameleh->btndelClick();
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(prompter.messages(), (QStringList{QStringLiteral("هيچ رديفي انتخاب نشده است"),
                                                QStringLiteral("هيچ رديفي انتخاب نشده است")}));
}

// Whole units of a number with that many decimals as the text the program shows: the plain
// decimal, trailing zeros dropped, grouped.
QString shownUnits(qint64 units, int scale)
{
    qint64 p = 1;
    for (int i = 0; i < scale; ++i)
        p *= 10;
    QString frac = QString::number(units % p).rightJustified(scale, QLatin1Char('0'));
    while (frac.endsWith(QLatin1Char('0')))
        frac.chop(1);
    return TTools::FormatThousands(QString::number(units / p) + (frac.isEmpty() ? QString() : QLatin1Char('.') + frac));
}

// Ten-thousandths rounded to thousandths, ties to even.
qint64 toThousandths(qint64 units)
{
    qint64 q = units / 10;
    const qint64 r = units % 10;
    if (r > 5 || (r == 5 && q % 2 != 0))
        ++q;
    return q;
}

// 300 commissions ending in .55, .15, .35 and .05: the list's sums and the sums of the selected
// rows are the exact figures, the same text on both engines.
TEST_P(DealListTest, SumsOfManyDealsAreExact)
{
    static const int endings[] = {55, 15, 35, 5};
    qint64 cents = 0;
    Dm->Conn->begin();
    for (int i = 0; i < 300; ++i) {
        const qint64 c = (1782130221 + qint64(i) * 7919) * 100 + endings[i % 4];
        cents += c;
        addDeal(QStringLiteral("1403/01/0%1").arg(1 + i % 6), QStringLiteral("k"), double(c) / 100);
    }
    Dm->Conn->commit();
    rates(9, 1, true);
    ShowDealList();
    ASSERT_EQ(Dm->QSanad->RecordCount(), 300);
    // ten-thousandths: VAT 9 %, levy 1 %, total with both
    const qint64 vat = cents * 9, levy = cents, total = cents * 110;
    EXPECT_EQ(u()->dbEdtShare->text(), shownUnits(cents, 2));
    EXPECT_EQ(u()->dbEdtVAT->text(), shownUnits(toThousandths(vat), 3));
    EXPECT_EQ(u()->dbEdtAvarez->text(), shownUnits(toThousandths(levy), 3));
    EXPECT_EQ(u()->dbEdtKol->text(), shownUnits(toThousandths(total), 3));

    for (int r = 0; r < 300; ++r)
        Dm->QSanad->SelectRow(r, true);
    FrmRepMoameleh->BitBtn1Click();
    EXPECT_EQ(prompter.calls.last().text, QStringLiteral("حق بنگاه: ") + shownUnits(cents, 2) + QStringLiteral("\r\nارزش افزوده: ")
                                              + shownUnits(vat, 4) + QStringLiteral("\r\nعوارض: ") + shownUnits(levy, 4)
                                              + QStringLiteral("\r\nمجموع کل: ") + shownUnits(total, 4));
    TPrefMng::SetVATEnabled(false);
    FrmRepMoameleh->BitBtn1Click();
    EXPECT_EQ(prompter.calls.last().text, shownUnits(cents, 2));
}

TEST_P(DealListTest, ReadingTheDealsAgainAsksAboutAnEditedDeal)
{
    addDeals();
    ShowDealList();
    const auto editDeal = [&] {
        Dm->QSanad->First();
        Dm->QSanad->Edit();
        setField("EsmMalek", QStringLiteral("تغيير"));
    };
    const std::function<void()> actions[] = {
        [] { FrmRepMoameleh->btnokClick(); },
        [] { FrmRepMoameleh->btnrefreshClick(); },
        // F6 on the open list only brings it forward and reads nothing; closing it asks
        [this] {
            const qsizetype asked = prompter.calls.size();
            ShowDealList();
            EXPECT_EQ(prompter.calls.size(), asked);
            EXPECT_EQ(Dm->QSanad->State(), db::DataSetState::Edit);
            FrmRepMoameleh->close();
            if (!FrmRepMoameleh->isVisible())
                ShowDealList();
        },
    };
    for (const auto& action : actions) {
        // Cancel: the deal stays in edit and the list is not read again
        editDeal();
        prompter.calls.clear();
        prompter.answer(2);
        action();
        ASSERT_FALSE(prompter.calls.isEmpty());
        EXPECT_EQ(prompter.calls[0].text, QStringLiteral("آيا تغييرات ذخيره شوند؟"));
        EXPECT_EQ(Dm->QSanad->State(), db::DataSetState::Edit);
        // No: the change is dropped, the list runs
        prompter.answer(7);
        action();
        EXPECT_EQ(Dm->QSanad->State(), db::DataSetState::Browse);
        EXPECT_EQ(owners().first(), QStringLiteral("الف"));
    }
    // Yes saves
    editDeal();
    prompter.answer(6);
    FrmRepMoameleh->btnrefreshClick();
    EXPECT_EQ(owners().first(), QStringLiteral("تغيير"));
}

TEST_P(DealListTest, APostedDealRefreshesTheVisibleList)
{
    ShowDealList();
    EXPECT_EQ(Dm->QSanad->RecordCount(), 0);
    ShowNewDeal();
    setField("Haghebongah", 1000);
    Dm->QSanad->Post();
    EXPECT_EQ(Dm->QSanad->RecordCount(), 1);
    EXPECT_EQ(u()->dbEdtShare->text(), QStringLiteral("1,000"));
    EXPECT_EQ(field("Haghebongah"), QStringLiteral("1000"));
}

TEST_P(DealListTest, LayoutResetClosesTheProgramWithoutSavingTheLayout)
{
    ShowDealList();
    const QString file = AppFolder() + QStringLiteral("GSanad");
    FrmRepMoameleh->close();
    ASSERT_TRUE(QFile::exists(file));
    ShowDealList();
    int closes = 0;
    TFrmRepMoameleh::CloseProgram = [&] {
        ++closes;
        FrmRepMoameleh->close();
        return true;
    };
    prompter.answer(7);
    FrmRepMoameleh->N2Click();
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(QFile::exists(file));
    prompter.answer(6);
    FrmRepMoameleh->gridMenu()->findChild<QAction*>(QStringLiteral("N2"))->trigger();
    EXPECT_EQ(closes, 1);
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(prompter.messages().last(), QStringLiteral("لطفا مجددا وارد نرم افزار شويد."));
}

TEST_P(DealListTest, PrintWithVatAsksForTheRowsAndPrintsTheSums)
{
    addDeals();
    rates(9, 1, true);
    ShowDealList();
    QString printed;
    prompter.onPreview = [&](report::PreparedReport& r) { printed = reportText(r); };
    prompter.answer(2);
    FrmRepMoameleh->btnprintClick();
    EXPECT_EQ(prompter.previewCount, 0);
    prompter.answer(6);
    FrmRepMoameleh->btnprintClick();
    ASSERT_EQ(prompter.previewCount, 1);
    for (const char* part : {"مجموع حق بنگاه: 3,250,000", "ارزش افزوده: 292,500", "عوارض: 32,500",
                             "* ارزش افزوده: 9 درصد   عوارض: 1 درصد   مجموع: 10 درصد *", "از 1402/06/31 تا 1403/01/06"})
        EXPECT_TRUE(printed.contains(QString::fromUtf8(part))) << part;
}

DOVIN_INSTANTIATE_ENGINES(DealListTest);

} // namespace
