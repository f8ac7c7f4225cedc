// The grid printouts of the deal list, the cheque book and the expense list as a reader sees
// them: every amount, date and word whole on the user's paper, the header captions whole.
#include "deals/DealActions.h"
#include "deals_fixture.h"
#include "money_fixture.h"
#include "support/ReportChecks.h"

#include "core/AppGlobals.h"
#include "platform/report/Fonts.h"
#include "platform/report/Renderer.h"
#include "platform/widgets/DBGrid.h"
#include "ui_TFrmRepMoameleh.h"

#include <QRegularExpression>

namespace {

using testing_support::laidOutLines;
using testing_support::reportTextFaults;

// Every cell of the printed columns shows its row's display text whole, each word on one line.
void expectCellsWhole(const report::PreparedReport& shown, widgets::DBGrid* grid, db::DataSet* ds, const QStringList& fields,
                      bool titlesWhole = true)
{
    for (const QString& name : fields) {
        const auto cells = shown.findNamed(QStringLiteral("cell_") + name);
        ASSERT_EQ(cells.size(), ds->RecordCount()) << name.toStdString();
        const int field = ds->FieldByName(name)->Index();
        for (int row = 0; row < cells.size(); ++row) {
            const QString text = ds->DisplayTextAt(row, field);
            const QStringList lines = laidOutLines(*cells[row].item);
            EXPECT_EQ(lines.join(QLatin1Char(' ')).toStdString(), text.simplified().toStdString()) << name.toStdString();
            for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
                EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const QString& l) { return l.contains(word); }))
                    << name.toStdString() << ": " << word.toStdString();
        }
    }
    // the captions: all their words, none of them broken
    for (const widgets::GridColumn& c : grid->columns()) {
        if (!titlesWhole)
            break;
        if (!c.visible || c.width <= 10)
            continue;
        const auto heads = shown.findNamed(QStringLiteral("hdr_") + c.fieldName);
        ASSERT_FALSE(heads.isEmpty()) << c.fieldName.toStdString();
        EXPECT_EQ(laidOutLines(*heads.first().item).join(QLatin1Char(' ')).toStdString(), c.title.toStdString());
    }
}

void savePages(const report::PreparedReport& shown, const QString& name)
{
    const QString dir = qEnvironmentVariable("DOVIN_SHOT_DIR");
    if (dir.isEmpty())
        return;
    for (int p = 0; p < std::min(2, shown.pageCount()); ++p)
        report::renderPageImage(shown, p, 120).save(QStringLiteral("%1/%2_page%3.png").arg(dir, name).arg(p + 1));
}

class DealListPrint : public DealsTest {
protected:
    void addDeal(const char* date, const char* nov, double h, double od, double cd, const char* owner, const char* buyer,
                 const char* remark, const char* ownerNat, const char* custNat, const char* number)
    {
        Dm->Conn->exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, Nov, Haghebongah, ownerDiscount, customerDiscount, "
                                      "EsmMalek, Kharidar, toziaht2, ownerNatNO, custNatNO, shoomareh) "
                                      "values ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11)"),
                       {QString::fromUtf8(date), QString::fromUtf8(nov), h, od, cd, QString::fromUtf8(owner),
                        QString::fromUtf8(buyer), QString::fromUtf8(remark), QString::fromUtf8(ownerNat),
                        QString::fromUtf8(custNat), QString::fromUtf8(number)});
    }
};

TEST_P(DealListPrint, FifteenColumnsOnA4PortraitPrintEveryAmountAndDateWhole)
{
    struct Deal {
        const char *date, *nov;
        double commission, ownerDiscount, customerDiscount;
        const char *owner, *buyer, *remark, *ownerCode, *buyerCode, *number;
    };
    const std::vector<Deal> usual{
        {"1402/09/30", "k", 498800000, 0, 0, "احمد رضايي", "پروين صادقي", "آپارتمان دوخوابه، پرداخت در دو قسط", "0012345678",
         "1234567890", "1402"},
        {"1402/12/29", "j", 1000, 2500, 1500, "عبدالحسين‌زاده", "ب", "", "0098765432", "", "7"},
        {"1403/01/06", "k", 985000000, 1250000, 0, "شرکت ساختمان‌سازان", "مهندسين مشاور", "تمديد قرارداد 1402/556", "",
         "4433221100", "12547"},
        {"1403/01/05", "k", 250000005, 0, 0, "ژاله", "کامران", "", "", "", "3"}};
    // amounts of a hundred billion in six columns
    const std::vector<Deal> large{
        {"1403/01/06", "k", 123456789012.0, 1234567, 0, "شرکت سرمايه‌گذاري ساختمان‌سازان", "مهندسين مشاور زانيت",
         "قرارداد 1402/556 تمديد شد؛ کميسيون طبق توافق‌نامه‌ي پيوست", "", "4433221100", "125478"},
        {"1402/12/29", "j", 1000, 2500, 1500, "عبدالحسين‌زاده‌خراساني‌تبريزي", "ب", "", "0098765432", "", "7"},
        {"1403/01/05", "k", 2500000005.0, 0, 0, "ژاله", "کامران", "", "", "", "3"}};
    struct Case {
        const char* what;
        const std::vector<Deal>* deals;
        int orientation;
        bool wordsWhole;       // every word of the text columns and titles on one line too
        double smallest;       // the table's font at least this large
        double largest;        // and smaller than this
    } cases[] = {
        {"usual deals, A4 landscape", &usual, 1, true, report::kMinFontPoints, 11.01},
        // fifteen columns whose words cannot stand side by side even at the minimum print
        // in groups of columns, every word whole
        {"usual deals, A4 portrait", &usual, 0, true, report::kMinFontPoints, 11.01},
        {"very large deals, A4 portrait", &large, 0, true, report::kMinFontPoints, 11.01},
    };
    TPrefMng::SetVATVal(9);
    TPrefMng::SetMunicipalVal(1);
    TPrefMng::SetVATEnabled(true);
    PrintSettings.PaperSizeReport = 9;
    PrintSettings.BodyFont = QFont(QStringLiteral("arial"), 11);
    const QStringList wholeFields{QStringLiteral("Tarikhsanad"), QStringLiteral("shoomareh"), QStringLiteral("Haghebongah"),
                                  QStringLiteral("totalDiscount"), QStringLiteral("afterDiscount"), QStringLiteral("VAT"),
                                  QStringLiteral("Municipal"), QStringLiteral("totalVAT"), QStringLiteral("ownerNatNO"),
                                  QStringLiteral("custNatNO")};
    const QStringList textFields{QStringLiteral("EsmMalek"), QStringLiteral("Kharidar"), QStringLiteral("toziaht2"),
                                 QStringLiteral("calnov")};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Dm->Conn->exec(QStringLiteral("delete from T_Sanad"));
        PrintSettings.OrientationReport = c.orientation;
        for (const Deal& d : *c.deals)
            addDeal(d.date, d.nov, d.commission, d.ownerDiscount, d.customerDiscount, d.owner, d.buyer, d.remark,
                    d.ownerCode, d.buyerCode, d.number);
        FrmRepMoameleh->close();   // an open list is only brought forward: open it anew
        ShowDealList();
        widgets::DBGrid* grid = FrmRepMoameleh->form()->dbgrid1;
        int visible = 0;
        for (const widgets::GridColumn& col : grid->columns())
            visible += col.visible ? 1 : 0;
        ASSERT_EQ(visible, 15);

        report::PreparedReport shown;
        prompter.onPreview = [&](report::PreparedReport& r) { shown = r; };
        prompter.answer(shell::ResultYes);
        const int previews = prompter.previewCount;
        FrmRepMoameleh->btnprintClick();
        ASSERT_EQ(prompter.previewCount, previews + 1);
        EXPECT_EQ(shown.paperSize, c.orientation ? QSize(2970, 2100) : QSize(2100, 2970));
        QStringList faults = reportTextFaults(shown);
        if (!c.wordsWhole)   // only words of text columns and titles may break
            faults = faults.filter(QRegularExpression(QStringLiteral("^page \\d+, cell_(") +
                                                      wholeFields.join(QLatin1Char('|')) + QStringLiteral(")")));
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
        expectCellsWhole(shown, grid, Dm->QSanad, c.wordsWhole ? wholeFields + textFields : wholeFields, c.wordsWhole);
        const double points = shown.findNamed(QStringLiteral("cell_Haghebongah")).first().item->font.pointSizeF();
        EXPECT_GE(points, c.smallest);
        EXPECT_LT(points, c.largest);
        EXPECT_FALSE(shown.findText(QStringLiteral("-3,000")).isEmpty());
        savePages(shown, QString::fromUtf8(c.what).replace(QLatin1String(", "), QLatin1String("_")).replace(QLatin1Char(' '), QLatin1Char('_')));
    }
}

// The printed pages taken as groups of columns: each group a run of pages with the same
// column titles, the first group holding the rightmost columns.
struct ColumnGroup {
    QStringList heads;     // hdr_ item names, right to left
    QList<int> pages;
};

QList<ColumnGroup> columnGroups(const report::PreparedReport& shown)
{
    QList<ColumnGroup> groups;
    for (int p = 0; p < shown.pageCount(); ++p) {
        QList<const report::ReportItem*> heads;
        for (const report::ReportItem& item : shown.pages[p].items)
            if (item.name.startsWith(QLatin1String("hdr_")))
                heads.append(&item);
        std::sort(heads.begin(), heads.end(), [](auto a, auto b) { return a->rect.left() > b->rect.left(); });
        QStringList names;
        for (const report::ReportItem* h : heads)
            names << h->name;
        if (groups.isEmpty() || groups.last().heads != names)
            groups.append({names, {}});
        groups.last().pages.append(p);
    }
    return groups;
}

TEST_P(DealListPrint, ColumnsTooManyForThePaperContinueOnFurtherPagesWithEveryWordWhole)
{
    // long names on more deals than the list reads at first
    const char* owners[] = {"فاطمه محمدي", "نرگس", "عبدالحسين‌زاده‌خراساني‌تبريزي", "شرکت سرمايه‌گذاري ساختمان‌سازان",
                            "محمدحسين نيک‌سرشت", "ژاله"};
    const char* buyers[] = {"مهندسين مشاور زانيت", "نرگس", "فاطمه محمدي", "کامران", "غلامرضا اميرحسيني"};
    const char* remarks[] = {"قرارداد 1402/556 تمديد شد؛ کميسيون طبق توافق‌نامه‌ي پيوست", "", "آپارتمان دوخوابه",
                             "پرداخت در دو قسط"};
    const int count = 1100;
    Dm->Conn->exec(QStringLiteral("BEGIN"));
    for (int i = 0; i < count; ++i)
        addDeal(i % 2 ? "1402/12/29" : "1403/01/05", i % 3 ? "k" : "j", 123456789.0 * (i % 997 + 1), i % 5 * 1000.0, 0,
                owners[i % 6], buyers[i % 5], remarks[i % 4], i % 4 ? "0012345678" : "", "4433221100",
                QByteArray::number(10000 + i).constData());
    Dm->Conn->exec(QStringLiteral("COMMIT"));
    TPrefMng::SetVATVal(9);
    TPrefMng::SetMunicipalVal(1);
    TPrefMng::SetVATEnabled(true);
    PrintSettings.PaperSizeReport = 9;
    PrintSettings.BodyFont = QFont(QStringLiteral("arial"), 11);
    const QStringList fields{QStringLiteral("calnov"), QStringLiteral("shoomareh"), QStringLiteral("Tarikhsanad"),
                             QStringLiteral("EsmMalek"), QStringLiteral("Kharidar"), QStringLiteral("Haghebongah"),
                             QStringLiteral("totalDiscount"), QStringLiteral("afterDiscount"), QStringLiteral("toziaht2"),
                             QStringLiteral("VAT"), QStringLiteral("Municipal"), QStringLiteral("totalVAT"),
                             QStringLiteral("ownerNatNO"), QStringLiteral("custNatNO")};

    for (int orientation : {0, 1}) {
        SCOPED_TRACE(orientation ? "A4 landscape" : "A4 portrait");
        PrintSettings.OrientationReport = orientation;
        FrmRepMoameleh->close();
        ShowDealList();
        widgets::DBGrid* grid = FrmRepMoameleh->form()->dbgrid1;
        // printed at once, while the rest of the rows still arrive
        report::PreparedReport shown;
        prompter.onPreview = [&](report::PreparedReport& r) { shown = r; };
        prompter.answer(shell::ResultYes);
        FrmRepMoameleh->btnprintClick();
        // the paper stays the user's
        ASSERT_EQ(shown.paperSize, orientation ? QSize(2970, 2100) : QSize(2100, 2970));
        EXPECT_EQ(shown.orientation, orientation);

        // no word, number, date or title broken or cut, in any column of any group
        const QStringList faults = reportTextFaults(shown);
        EXPECT_TRUE(faults.isEmpty()) << faults.mid(0, 20).join(QLatin1Char('\n')).toStdString();
        expectCellsWhole(shown, grid, Dm->QSanad, fields);
        for (const report::PreparedReport::Hit& hit : shown.findNamed(QStringLiteral("cell_Row")))
            EXPECT_EQ(laidOutLines(*hit.item).size(), 1);
        EXPECT_GE(shown.findNamed(QStringLiteral("cell_EsmMalek")).first().item->font.pointSizeF(), report::kMinFontPoints);

        // every column once over the groups, the row number in each, the first group rightmost
        const QList<ColumnGroup> groups = columnGroups(shown);
        ASSERT_EQ(groups.size(), orientation ? 1 : 2);
        QStringList seen;
        for (const ColumnGroup& g : groups) {
            ASSERT_FALSE(g.heads.isEmpty());
            EXPECT_EQ(g.heads.first(), QStringLiteral("hdr_Row"));
            EXPECT_EQ(g.heads.count(QStringLiteral("hdr_Row")), 1);
            seen += g.heads.mid(1);
            EXPECT_EQ(g.pages.size(), groups.first().pages.size());
        }
        EXPECT_EQ(groups.first().heads.mid(1, 3),
                  (QStringList{QStringLiteral("hdr_calnov"), QStringLiteral("hdr_shoomareh"), QStringLiteral("hdr_Tarikhsanad")}));
        QStringList expected;
        for (const QString& f : fields)
            expected << QStringLiteral("hdr_") + f;
        EXPECT_EQ(seen, expected);
        // down, then over: each group's pages hold the same rows, and its own footer with the total
        QStringList firstRows;
        for (const ColumnGroup& g : groups) {
            QStringList rows;
            for (int page : g.pages) {
                QStringList onPage;
                for (const report::ReportItem& item : shown.pages[page].items)
                    if (item.name == QLatin1String("cell_Row"))
                        onPage << item.text;
                EXPECT_FALSE(onPage.isEmpty() && page != g.pages.last());
                rows << onPage.join(QLatin1Char(','));
            }
            if (firstRows.isEmpty())
                firstRows = rows;
            EXPECT_EQ(rows, firstRows);
            const auto totals = shown.findNamed(QStringLiteral("QLblTasMoneys"));
            EXPECT_TRUE(std::any_of(totals.begin(), totals.end(), [&](const auto& h) { return h.page == g.pages.last(); }));
            const auto titles = shown.findNamed(QStringLiteral("QTltFirstLine"));
            EXPECT_TRUE(std::any_of(titles.begin(), titles.end(), [&](const auto& h) { return h.page == g.pages.first(); }));
        }
        EXPECT_EQ(shown.findNamed(QStringLiteral("cell_Row")).size(), count * groups.size());
        EXPECT_EQ(shown.findNamed(QStringLiteral("cell_EsmMalek")).size(), count);
        // nothing beyond the paper
        for (const report::ReportPage& page : shown.pages)
            for (const report::ReportItem& item : page.items)
                EXPECT_TRUE(QRect(QPoint(0, 0), shown.paperSize).contains(item.rect)) << item.name.toStdString();

        const QString dir = qEnvironmentVariable("DOVIN_SHOT_DIR");
        if (!dir.isEmpty())
            for (int g = 0; g < groups.size(); ++g)
                report::renderPageImage(shown, groups[g].pages.first(), 120)
                    .save(QStringLiteral("%1/deal_list_%2_group%3.png")
                              .arg(dir, orientation ? QStringLiteral("landscape") : QStringLiteral("portrait"))
                              .arg(g + 1));
    }
}

DOVIN_INSTANTIATE_ENGINES(DealListPrint);

class MoneyPrint : public MoneyTest {};

TEST_P(MoneyPrint, ChequeBookAndExpenseListPrintWholeOnBothOrientations)
{
    const QString in = QStringLiteral("دريافتي"), out = QStringLiteral("پرداختي");
    addCheque(QStringLiteral("1403/01/10"), in, 498800000);
    addCheque(QStringLiteral("1402/11/30"), out, 1234567890123.0);
    addCheque(QStringLiteral("1403/02/01"), in, 25850000.5, false, QStringLiteral("پاس شده"));
    Dm->Conn->exec(QStringLiteral("update t_check set bank = 'بانک ملت شعبه مرکزي', shakhs = 'عبدالحسين‌زاده‌خراساني', "
                                  "hesabno = '0101-123456-789', sharh = 'بابت قرارداد اجاره واحد تجاري طبقه همکف', "
                                  "novsanad = 'چک'"));
    addExpense(QStringLiteral("1403/01/01"), QStringLiteral("اجاره دفتر"), QStringLiteral("هزينه"), 125000000);
    addExpense(QStringLiteral("1403/01/02"), QStringLiteral("کميسيون"), QStringLiteral("درآمد"), 9876543210.125);
    PrintSettings.PaperSizeReport = 9;
    PrintSettings.BodyFont = QFont(QStringLiteral("arial"), 11);

    report::PreparedReport shown;
    prompter.onPreview = [&](report::PreparedReport& r) { shown = r; };
    auto* cheques = frmlstcheck->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));
    auto* expenses = FrmHazineh->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));
    frmlstcheck->show();
    FrmHazineh->show();
    for (int orientation : {0, 1}) {
        SCOPED_TRACE(orientation);
        PrintSettings.OrientationReport = orientation;
        prompter.answer(shell::ResultOk);    // the hint about hiding columns
        prompter.answer(shell::ResultYes);
        frmlstcheck->btnprintClick();
        EXPECT_EQ(shown.orientation, orientation);
        QStringList faults = reportTextFaults(shown);
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
        expectCellsWhole(shown, cheques, Dm->QCheck,
                         {QStringLiteral("mablagh"), QStringLiteral("Tarikh"), QStringLiteral("Tarikhv"), QStringLiteral("hesabno"),
                          QStringLiteral("shakhs"), QStringLiteral("bank"), QStringLiteral("sharh")});
        savePages(shown, orientation ? QStringLiteral("cheque_book_landscape") : QStringLiteral("cheque_book_portrait"));

        prompter.answer(shell::ResultYes);
        FrmHazineh->btnprintClick();
        faults = reportTextFaults(shown);
        EXPECT_TRUE(faults.isEmpty()) << faults.join(QLatin1Char('\n')).toStdString();
        expectCellsWhole(shown, expenses, Dm->QHazineh,
                         {QStringLiteral("Mablagh"), QStringLiteral("tarikh"), QStringLiteral("Hname")});
        savePages(shown, orientation ? QStringLiteral("expense_list_landscape") : QStringLiteral("expense_list_portrait"));
    }
    EXPECT_EQ(prompter.previewCount, 4);
}

DOVIN_INSTANTIATE_ENGINES(MoneyPrint);

} // namespace
