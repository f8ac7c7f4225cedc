// The expense and cheque windows on both engines: default range and totals, colours in the
// grid, document numbers, the cheque criteria, sums kept up to date, selected-row sums,
// long amounts, the find bar's amount column and the printouts.
#include "money_fixture.h"
#include "WindowChecks.h"

#include "deals/MoneyActions.h"
#include "platform/db/Sql.h"
#include "platform/report/PreparedReport.h"
#include "platform/widgets/DBComboBox.h"
#include "platform/widgets/DBEdit.h"
#include "platform/widgets/DBNavigator.h"
#include "platform/widgets/DBRadioGroup.h"
#include "platform/widgets/MaskEdit.h"
#include "ui_TFrmCheck.h"
#include "ui_TFrmHazineh.h"
#include "ui_TFrmHazinehNew.h"
#include "ui_Tfrmlstcheck.h"
#include "platform/widgets/DBCheckBox.h"

#include <QCheckBox>
#include <QElapsedTimer>
#include <QClipboard>
#include <QTest>
#include <QComboBox>
#include <QLineEdit>
#include <QStyle>
#include <QTest>

namespace {

QString u(const char* s) { return QString::fromUtf8(s); }
const QString kExpense = QStringLiteral("هزينه");
const QString kIncome = QStringLiteral("درآمد");
const QString kIn = QStringLiteral("دريافتي");
const QString kOut = QStringLiteral("پرداختي");

using MoneyLists = MoneyTest;

// The window as the user sees it, into $DOVIN_SHOTS when set.
void shot(QWidget* w, const char* name)
{
    if (qEnvironmentVariableIsSet("DOVIN_SHOTS"))
        w->grab().save(qEnvironmentVariable("DOVIN_SHOTS") + QLatin1Char('/') + QLatin1String(name) + ".png");
}

TEST_P(MoneyLists, ExpenseListDefaultsToTheLast200DaysWithItsTotals)
{
    addExpense(QStringLiteral("1402/06/15"), QStringLiteral("قبل"), kExpense, 7);        // a day too early
    addExpense(QStringLiteral("1402/06/16"), QStringLiteral("اجاره"), kExpense, 1500000);
    addExpense(QStringLiteral("1403/01/06"), QStringLiteral("کميسيون"), kIncome, 2500000.5);
    addExpense(QStringLiteral("1402/10/01"), QStringLiteral("برق"), kExpense, 250000);
    addExpense(QStringLiteral("1403/01/07"), QStringLiteral("بعد"), kIncome, 9);          // tomorrow
    auto* ui = FrmHazineh->form();
    FrmHazineh->show();
    EXPECT_TRUE(ui->chktarikh->isChecked());
    EXPECT_TRUE(ui->edtt1->isEnabled());
    EXPECT_EQ(ui->edtt2->Text(), QStringLiteral("1403/01/06"));
    EXPECT_EQ(ui->edtt1->Text(), QStringLiteral("1402/06/16"));
    db::DataSet* q = Dm->QHazineh;
    ASSERT_EQ(q->RecordCount(), 3);
    q->First();
    EXPECT_EQ(f(q, "Hname")->AsString(), QStringLiteral("اجاره"));   // ordered by date
    q->Last();
    EXPECT_EQ(f(q, "Hname")->AsString(), QStringLiteral("کميسيون"));
    EXPECT_EQ(ui->EdtSumHazineh->text(), QStringLiteral("1,750,000"));
    EXPECT_EQ(ui->EdtSumDaramad->text(), QStringLiteral("2,500,000.5"));

    // without the date condition: every row, and the totals of the whole table
    ui->chktarikh->setChecked(false);
    EXPECT_FALSE(ui->edtt1->isEnabled());
    FrmHazineh->btnokClick();
    EXPECT_EQ(q->RecordCount(), 5);
    EXPECT_EQ(ui->EdtSumHazineh->text(), QStringLiteral("1,750,007"));
    // "from" after "to": no rows, empty totals, no message
    ui->chktarikh->setChecked(true);
    ui->edtt1->setText(QStringLiteral("1403/02/01"));
    FrmHazineh->btnokClick();
    EXPECT_EQ(q->RecordCount(), 0);
    EXPECT_EQ(ui->EdtSumHazineh->text(), QString());
    EXPECT_EQ(ui->EdtSumDaramad->text(), QString());
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST_P(MoneyLists, BothListsOpenWideEnoughForTheirColumns)
{
    addCheque(QStringLiteral("1403/01/06"), kIn, 1500000);
    const std::pair<QWidget*, widgets::DBGrid*> lists[] = {{FrmHazineh, FrmHazineh->form()->dbgrid1},
                                                            {frmlstcheck, frmlstcheck->form()->dbgrid1}};
    for (const auto& [window, grid] : lists) {
        SCOPED_TRACE(window->windowTitle().toStdString());
        window->resize(400, window->height());
        window->show();
        EXPECT_TRUE(testing_support::ShowsItsColumns(window, grid));
        window->close();
    }
    // the cheque list's state column, which carries the due colours, is among them
    const auto cols = frmlstcheck->form()->dbgrid1->columns();
    EXPECT_TRUE(std::any_of(cols.begin(), cols.end(),
                            [](const widgets::GridColumn& c) { return c.fieldName == QLatin1String("Vaziyat") && c.visible; }));
}

TEST_P(MoneyLists, KindAndDueColoursInTheGrids)
{
    addExpense(QStringLiteral("1403/01/01"), QStringLiteral("الف"), kExpense, 1);
    addExpense(QStringLiteral("1403/01/02"), QStringLiteral("ب"), kIncome, 2);
    FrmHazineh->show();
    widgets::DBGrid* g = FrmHazineh->form()->dbgrid1;
    EXPECT_EQ(cell(g, 0, QStringLiteral("nov"), Qt::ForegroundRole).value<QColor>(), QColor(255, 0, 0));
    EXPECT_EQ(cell(g, 1, QStringLiteral("nov"), Qt::ForegroundRole).value<QColor>(), QColor(0, 0, 255));
    EXPECT_FALSE(cell(g, 1, QStringLiteral("Hname"), Qt::ForegroundRole).isValid());

    // today 1403/06/29 from the injected clock (2024-09-19)
    setToday(QDate(2024, 9, 19));
    ASSERT_EQ(Tools->TodayShamsi(), QStringLiteral("1403/06/29"));
    const char* dues[] = {"1403/06/29", "1403/07/03", "1403/07/04", "1403/1/1", "1403/05/01"};
    for (const char* d : dues)
        addCheque(u(d), kIn, 10);
    addCheque(QStringLiteral("1403/05/01"), kIn, 10, false, QStringLiteral("پاس شده"));
    frmlstcheck->show();
    widgets::DBGrid* cg = frmlstcheck->form()->dbgrid1;
    ASSERT_EQ(Dm->QCheck->RecordCount(), 6);
    const QColor expected[] = {QColor(255, 0, 0), QColor(210, 205, 11), QColor(), QColor(), QColor(255, 0, 0), QColor()};
    for (int row = 0; row < 6; ++row) {
        const QVariant bg = cell(cg, row, QStringLiteral("Vaziyat"), Qt::BackgroundRole);
        EXPECT_EQ(bg.isValid() ? bg.value<QColor>() : QColor(), expected[row]) << row;
        EXPECT_FALSE(cell(cg, row, QStringLiteral("Tarikh"), Qt::BackgroundRole).isValid());
    }
    // painting the whole grid with a malformed date throws nothing
    EXPECT_FALSE(frmlstcheck->grab().isNull());
}

TEST_P(MoneyLists, DocumentNumbersProposedAndTyped)
{
    Dm->Conn->exec(QStringLiteral("update t_snums set hnum='41' where akey=1"));
    auto* e = FrmHazinehNew->form();
    db::DataSet* q = Dm->QHazineh;
    const auto post = [&](const QString& name) {
        e->HCmbHazineh->lineEdit()->selectAll();
        typeText(e->HCmbHazineh->lineEdit(), name);
        focus(e->HCmbHazineh, QEvent::FocusOut);
        e->DBNavigator1->BtnClick(widgets::NavButton::Post);
    };

    ShowNewHazineh();
    EXPECT_TRUE(FrmHazinehNew->isVisible());
    EXPECT_EQ(q->State(), db::DataSetState::Insert);
    EXPECT_EQ(f(q, "shoomareh")->AsString(), QStringLiteral("42"));
    EXPECT_EQ(f(q, "nov")->AsString(), kExpense);
    post(QStringLiteral("آب"));
    EXPECT_FALSE(FrmHazinehNew->isVisible());   // the entry ends with its post
    EXPECT_EQ(scalar(QStringLiteral("select hnum from t_snums")).toString(), QStringLiteral("42"));

    // typed and posted without leaving the box: the typed number is kept and moves the counter
    ShowNewHazineh();
    EXPECT_EQ(f(q, "shoomareh")->AsString(), QStringLiteral("43"));
    focus(e->DBEdit1, QEvent::FocusIn);
    e->DBEdit1->selectAll();
    typeText(e->DBEdit1, QStringLiteral("500"));
    post(QStringLiteral("برق"));
    EXPECT_EQ(scalar(QStringLiteral("select shoomareh from t_hazineh where Hname='برق'")).toString(), QStringLiteral("500"));
    EXPECT_EQ(scalar(QStringLiteral("select hnum from t_snums")).toString(), QStringLiteral("500"));

    // typed, left, entered again and left unchanged: still the typed number
    ShowNewHazineh();
    EXPECT_EQ(f(q, "shoomareh")->AsString(), QStringLiteral("501"));
    focus(e->DBEdit1, QEvent::FocusIn);
    e->DBEdit1->selectAll();
    typeText(e->DBEdit1, QStringLiteral("700"));
    focus(e->DBEdit1, QEvent::FocusOut);
    EXPECT_TRUE(Dm->HazinehNumberTyped);
    focus(e->DBEdit1, QEvent::FocusIn);
    focus(e->DBEdit1, QEvent::FocusOut);
    EXPECT_FALSE(Dm->HazinehNumberTyped);
    post(QStringLiteral("گاز"));
    EXPECT_EQ(scalar(QStringLiteral("select shoomareh from t_hazineh where Hname='گاز'")).toString(), QStringLiteral("700"));
    EXPECT_EQ(scalar(QStringLiteral("select hnum from t_snums")).toString(), QStringLiteral("700"));

    // the names typed joined the stored list, once each
    EXPECT_EQ(e->HCmbHazineh->count(), 3);
}

TEST_P(MoneyLists, EnterFromTheLastFieldOfAnEntryGoesOnThroughTheKindToTheFirstField)
{
    auto* e = FrmHazinehNew->form();
    ShowNewHazineh();
    e->DBEdit4->setFocus();
    // the kind's radio buttons pass Enter on; the navigator takes no focus, as designed
    QStringList path;
    for (int i = 0; i < 4 && FrmHazinehNew->focusWidget() != e->DBEdit1; ++i) {
        QTest::keyClick(FrmHazinehNew->focusWidget(), Qt::Key_Return);
        path << QString::fromLatin1(FrmHazinehNew->focusWidget()->metaObject()->className());
    }
    EXPECT_EQ(path, (QStringList{QStringLiteral("QRadioButton"), QStringLiteral("QRadioButton"),
                                 QStringLiteral("widgets::DBEdit")}));
    EXPECT_EQ(FrmHazinehNew->focusWidget(), e->DBEdit1);
    EXPECT_EQ(Dm->QHazineh->State(), db::DataSetState::Insert);
}

TEST_P(MoneyLists, AmountsStandAtTheRightOfTheirBoxes)
{
    ShowNewHazineh();
    ShowNewCheck();
    FrmHazineh->show();
    const std::pair<QLineEdit*, const char*> boxes[] = {{FrmHazinehNew->form()->DBEdit3, "expense amount"},
                                                         {FrmCheck->form()->DBEdit3, "cheque amount"},
                                                         {FrmHazineh->form()->EdtSumHazineh, "expenses total"},
                                                         {FrmHazineh->form()->EdtSumDaramad, "incomes total"}};
    for (const auto& [box, name] : boxes) {
        // a number reads left to right: its box must put it at the right explicitly
        const Qt::Alignment a = QStyle::visualAlignment(Qt::LeftToRight, box->alignment());
        EXPECT_TRUE(a & Qt::AlignRight) << name;
    }
}

TEST_P(MoneyLists, ClosingAnEntryAsksAndNoKeepsNothing)
{
    ShowNewHazineh();
    prompter.answer(2); // Cancel: the form stays with its row
    FrmHazinehNew->close();
    EXPECT_TRUE(FrmHazinehNew->isVisible());
    EXPECT_EQ(Dm->QHazineh->State(), db::DataSetState::Insert);
    prompter.answer(6); // Yes with no name: refused, the form stays
    FrmHazinehNew->close();
    EXPECT_TRUE(FrmHazinehNew->isVisible());
    EXPECT_EQ(prompter.messages(), QStringList({u("آيا تغييرات ذخيره شوند؟"), u("آيا تغييرات ذخيره شوند؟"),
                                                u("نام هزينه وارد نشده است")}));
    prompter.answer(7); // No
    FrmHazinehNew->close();
    EXPECT_FALSE(FrmHazinehNew->isVisible());
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_hazineh")).toInt(), 0);
}

TEST_P(MoneyLists, TotalsFollowADeleteAndTheEntryFormsSave)
{
    addExpense(QStringLiteral("1403/01/01"), QStringLiteral("الف"), kExpense, 100);
    addExpense(QStringLiteral("1403/01/02"), QStringLiteral("ب"), kExpense, 20);
    addCheque(QStringLiteral("1403/01/02"), kIn, 300);
    addCheque(QStringLiteral("1403/01/03"), kOut, 40);
    FrmHazineh->show();
    frmlstcheck->show();
    auto* h = FrmHazineh->form();
    auto* c = frmlstcheck->form();
    EXPECT_EQ(h->EdtSumHazineh->text(), QStringLiteral("120"));
    EXPECT_EQ(c->DBEdit2->text(), QStringLiteral("300"));

    Dm->QHazineh->First();
    FrmHazineh->btndelClick();   // Yes
    EXPECT_EQ(h->EdtSumHazineh->text(), QStringLiteral("20"));
    Dm->QCheck->First();
    frmlstcheck->btndelClick();
    EXPECT_EQ(c->DBEdit2->text(), QString());

    // a 15-digit amount typed into the entry form, saved, and in the totals at once
    ShowNewHazineh();
    auto* e = FrmHazinehNew->form();
    typeText(e->HCmbHazineh->lineEdit(), QStringLiteral("ساختمان"));
    e->DBRadioGroup1->findChildren<QAbstractButton*>().at(1)->click();
    focus(e->DBEdit3, QEvent::FocusIn);
    typeText(e->DBEdit3, QStringLiteral("123456789012345"));
    EXPECT_EQ(e->DBEdit3->text(), QStringLiteral("123,456,789,012,345"));
    e->DBNavigator1->BtnClick(widgets::NavButton::Post);
    EXPECT_EQ(scalar(QStringLiteral("select Mablagh from t_hazineh where Hname='ساختمان'")).toDouble(), 123456789012345.0);
    EXPECT_EQ(h->EdtSumDaramad->text(), QStringLiteral("123,456,789,012,345"));

    ShowNewCheck();
    auto* k = FrmCheck->form();
    f(Dm->QCheck, "Tarikh")->SetAsString(QStringLiteral("1403/01/10"));
    focus(k->DBEdit3, QEvent::FocusIn);
    typeText(k->DBEdit3, QStringLiteral("987654321098765"));
    k->DBNavigator1->BtnClick(widgets::NavButton::Post);
    EXPECT_FALSE(FrmCheck->isVisible()) << prompter.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(c->DBEdit2->text(), QStringLiteral("987,654,321,098,765"));
    // the next cheque takes over the last one's values, its number plus one
    ShowNewCheck();
    EXPECT_EQ(f(Dm->QCheck, "Vaziyat")->AsString(), QStringLiteral("پاس نشده"));
    EXPECT_EQ(f(Dm->QCheck, "Tarikh")->AsString(), QString());
    EXPECT_EQ(f(Dm->QCheck, "Tarikhv")->AsString(), QStringLiteral("1403/01/06"));
    Dm->QCheck->Cancel();
}

// Both books over more rows than a list's first page, the rest still arriving: totals of
// every row, select-all summed whole, Ctrl+End to the true last row, that row changed through
// its entry form and the totals following, every row once.
TEST_P(MoneyLists, ManyRowsStillArriving)
{
    constexpr int kRows = 1200;
    const QString numbers = QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) ")
                                .arg(kRows);
    Dm->Conn->exec(numbers + QStringLiteral("insert into t_hazineh (tarikhv, tarikh, shoomareh, Hname, nov, Mablagh, Tozihat) "
                                            "select '1403/01/01', '1403/01/01', '1', 'h' || i, %1, i, '' from n")
                                 .arg(db::Q(kExpense)));
    Dm->Conn->exec(numbers + QStringLiteral("insert into t_check (Tarikhv, Tarikh, Vaziyat, nov, bank, shoomareh, sharh, "
                                            "hesabno, mablagh, shakhs, novsanad, hazf) select '1403/01/01', '1403/01/05', "
                                            "%1, %2, '', '1', '', '', i, '', '', 0 from n")
                                 .arg(db::Q(QStringLiteral("پاس نشده")), db::Q(kIn)));
    const QString all = QStringLiteral("720,600");   // 1 + 2 + ... + 1200
    struct Case {
        const char* name;
        QWidget* list;
        db::DataSet* ds;
        widgets::DBGrid* grid;
        QLineEdit* total;
        std::function<void()> sums;
        QString summed;
        QWidget* entry;
        QLineEdit* amount;
        const char* table;
        const char* key;
    } cases[] = {
        {"expenses", FrmHazineh, Dm->QHazineh, FrmHazineh->form()->dbgrid1, FrmHazineh->form()->EdtSumHazineh,
         [] { FrmHazineh->BitBtn1Click(); }, u("مجموع هزينه ها: 720,600\r\nمجموع درآمدها: 0"), FrmHazinehNew,
         FrmHazinehNew->form()->DBEdit3, "t_hazineh", "Hkey"},
        {"cheques", frmlstcheck, Dm->QCheck, frmlstcheck->form()->dbgrid1, frmlstcheck->form()->DBEdit2,
         [] { frmlstcheck->BitBtn1Click(); }, u("مجموع اسناد پرداختي: 0\r\nمجموع اسناد دريافتي: 720,600"), FrmCheck,
         FrmCheck->form()->DBEdit3, "t_check", "CID"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.list->show();
        db::DataSet* ds = c.ds;
        EXPECT_FALSE(ds->AllRowsRead()) << "the test needs a list still being read";
        EXPECT_EQ(c.total->text(), all);
        // another workstation saves meanwhile without waiting for the rest of this list
        QElapsedTimer clock;
        clock.start();
        EXPECT_NO_THROW(conn().exec(QStringLiteral("update %1 set mablagh = mablagh where %2 = 2")
                                        .arg(QLatin1String(c.table), QLatin1String(c.key))));
        EXPECT_LT(clock.elapsed(), 1000);

        // select-all sums every row, read or not
        c.grid->setFocus();
        QTest::keyClick(c.grid, Qt::Key_A, Qt::ControlModifier);
        prompter.calls.clear();
        c.sums();
        ASSERT_EQ(prompter.calls.size(), 1);
        EXPECT_EQ(prompter.calls[0].text, c.summed);

        // Ctrl+End, Enter: the last row's entry form; its amount typed and saved
        QTest::keyClick(c.grid, Qt::Key_End, Qt::ControlModifier);
        EXPECT_EQ(ds->RecNo(), kRows);
        const qint64 last = ds->FieldByName(QString::fromLatin1(c.key))->AsLargeInt();
        QTest::keyClick(c.grid, Qt::Key_Return);
        ASSERT_TRUE(c.entry->isVisible());
        EXPECT_EQ(ds->FieldByName(QString::fromLatin1(c.key))->AsLargeInt(), last);
        focus(c.amount, QEvent::FocusIn);
        c.amount->selectAll();
        typeText(c.amount, QStringLiteral("1200000"));
        c.entry->findChild<widgets::DBNavigator*>(QStringLiteral("DBNavigator1"))->BtnClick(widgets::NavButton::Post);
        EXPECT_EQ(ds->State(), db::DataSetState::Browse) << prompter.messages().join(QLatin1Char('|')).toStdString();
        c.entry->hide();
        EXPECT_EQ(scalar(QStringLiteral("select max(mablagh) from %1").arg(QLatin1String(c.table))).toDouble(), 1200000.0);
        EXPECT_EQ(scalar(QStringLiteral("select count(*) from %1").arg(QLatin1String(c.table))).toInt(), kRows);
        EXPECT_EQ(c.total->text(), QStringLiteral("1,919,400"));   // 720,600 - 1,200 + 1,200,000
        EXPECT_EQ(ds->RecordCount(), kRows);
        c.list->hide();
    }
}

TEST_P(MoneyLists, ChequeCriteriaOnTheDatabase)
{
    addCheque(QStringLiteral("1403/01/10"), kIn, 1000);
    addCheque(QStringLiteral("1403/02/10"), kIn, 200);
    addCheque(QStringLiteral("1403/01/15"), kOut, 30);
    addCheque(QStringLiteral("1403/01/20"), kOut, 4, true);
    addCheque(QStringLiteral("1403/01/21"), kIn, 5000, true);
    frmlstcheck->show();
    auto* c = frmlstcheck->form();
    EXPECT_FALSE(c->chktarikh->isChecked());
    EXPECT_FALSE(c->edtt1->isEnabled());
    EXPECT_EQ(c->CmbSearch->currentIndex(), 2);
    EXPECT_EQ(c->CmbSearch->currentText(), QStringLiteral("شماره سند"));
    const struct {
        bool dated, received, paid, deletedOnly;
        int rows;
        const char* sd;
        const char* sp;
    } cases[] = {
        {false, true, true, false, 3, "1,200", "30"},
        {false, true, false, false, 2, "1,200", "30"},
        {false, false, true, false, 1, "1,200", "30"},
        {false, false, false, false, 0, "1,200", "30"},
        {false, true, true, true, 2, "5,000", "4"},
        {true, true, true, false, 2, "1,000", "30"},
        {true, false, false, true, 0, "5,000", "4"},
    };
    for (const auto& k : cases) {
        c->chktarikh->setChecked(k.dated);
        c->edtt1->setText(QStringLiteral("1403/01/01"));
        c->edtt2->setText(QStringLiteral("1403/01/31"));
        c->ChkbuySell->setChecked(k.received);
        c->ChkRahn->setChecked(k.paid);
        c->ChkMovaghat->setChecked(k.deletedOnly);
        frmlstcheck->btnokClick();
        EXPECT_EQ(Dm->QCheck->RecordCount(), k.rows) << k.dated << k.received << k.paid << k.deletedOnly;
        EXPECT_EQ(c->DBEdit2->text(), u(k.sd)) << k.dated << k.received << k.paid << k.deletedOnly;
        EXPECT_EQ(c->DBEdit1->text(), u(k.sp)) << k.dated << k.received << k.paid << k.deletedOnly;
    }
    // showing again resets the ticks, not the dates
    frmlstcheck->hide();
    frmlstcheck->show();
    EXPECT_FALSE(c->chktarikh->isChecked());
    EXPECT_TRUE(c->ChkbuySell->isChecked() && c->ChkRahn->isChecked());
    EXPECT_FALSE(c->ChkMovaghat->isChecked());
    EXPECT_EQ(c->edtt1->Text(), QStringLiteral("1403/01/01"));
    EXPECT_EQ(Dm->QCheck->RecordCount(), 3);
}

TEST_P(MoneyLists, SelectedRowSumsAndTheAmountSearch)
{
    addExpense(QStringLiteral("1403/01/01"), QStringLiteral("الف"), kExpense, 1000);
    addExpense(QStringLiteral("1403/01/02"), QStringLiteral("ب"), kIncome, 2500000);
    addExpense(QStringLiteral("1403/01/03"), QStringLiteral("ج"), kExpense, 7);
    addExpense(QStringLiteral("1403/01/04"), QStringLiteral("د"), kIncome, 40);
    FrmHazineh->show();
    db::DataSet* q = Dm->QHazineh;
    // the current row is highlighted too; here it is taken out of the selection
    q->SetRecNo(3);
    q->SelectRow(2, false);
    q->SelectRow(0, true);
    q->SelectRow(1, true);
    q->SelectRow(3, true);
    FrmHazineh->BitBtn1Click();
    EXPECT_EQ(q->RecNo(), 3);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, u("مجموع هزينه ها: 1,000\r\nمجموع درآمدها: 2,500,040"));
    EXPECT_EQ(prompter.calls[0].fontSize, 10);

    auto* h = FrmHazineh->form();
    h->CmbSearch->setCurrentIndex(5);
    EXPECT_EQ(h->CmbSearch->currentText(), QStringLiteral("مبلغ"));
    h->edtsearch->setText(QStringLiteral("1,000"));
    EXPECT_EQ(f(q, "Hname")->AsString(), QStringLiteral("الف"));
    EXPECT_EQ(q->Filter().toLower(), QStringLiteral("mablagh=1000"));
    h->edtsearch->setText(QStringLiteral("2500000"));
    EXPECT_EQ(h->edtsearch->text(), QStringLiteral("2,500,000"));
    EXPECT_EQ(f(q, "Hname")->AsString(), QStringLiteral("ب"));
    EXPECT_EQ(q->Filter().toLower(), QStringLiteral("mablagh=2500000"));
    // typed in Persian digits: the same number
    h->edtsearch->setText(QStringLiteral("۱۰۰۰"));
    EXPECT_EQ(h->edtsearch->text(), QStringLiteral("1,000"));
    EXPECT_EQ(q->Filter().toLower(), QStringLiteral("mablagh=1000"));
    EXPECT_EQ(f(q, "Hname")->AsString(), QStringLiteral("الف"));
    h->edtsearch->setText(QStringLiteral("2500000"));

    // Enter in the grid opens the entry form on the current row
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(h->dbgrid1, &enter);
    EXPECT_TRUE(FrmHazinehNew->isVisible());
    EXPECT_EQ(FrmHazinehNew->form()->HCmbHazineh->currentText(), QStringLiteral("ب"));
    FrmHazinehNew->hide();

    // the delete removes the current row only, whatever else is selected
    prompter.calls.clear();
    FrmHazineh->btndelClick();
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_hazineh")).toInt(), 3);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_hazineh where Hname='ب'")).toInt(), 0);
    EXPECT_EQ(prompter.calls[0].caption, QStringLiteral("هزينه ها"));

    addCheque(QStringLiteral("1403/01/10"), kIn, 1000);
    addCheque(QStringLiteral("1403/01/10"), kOut, 30);
    addCheque(QStringLiteral("1403/01/10"), u("غيره"), 5);
    frmlstcheck->show();
    for (int row = 0; row < 3; ++row)
        Dm->QCheck->SelectRow(row, true);
    prompter.calls.clear();
    frmlstcheck->BitBtn1Click();
    EXPECT_EQ(prompter.calls[0].text, u("مجموع اسناد پرداختي: 30\r\nمجموع اسناد دريافتي: 1,005"));
}

TEST_P(MoneyLists, PrintoutsCarryTheTotals)
{
    addExpense(QStringLiteral("1403/01/01"), QStringLiteral("اجاره دفتر"), kExpense, 1500000);
    addExpense(QStringLiteral("1403/01/02"), QStringLiteral("کميسيون"), kIncome, 2500000);
    FrmHazineh->show();
    report::PreparedReport shown;
    prompter.onPreview = [&](report::PreparedReport& r) { shown = r; };
    auto* h = FrmHazineh->form();
    h->CmbSearch->setCurrentIndex(3);
    h->edtsearch->setText(QStringLiteral("کميسيون"));
    h->chkfilter->click();
    EXPECT_EQ(Dm->QHazineh->RecordCount(), 1);
    FrmHazineh->btnprintClick();
    ASSERT_EQ(prompter.previewCount, 1);
    EXPECT_TRUE(Dm->QHazineh->Filter().isEmpty());    // printing clears the search
    EXPECT_FALSE(shown.findText(QStringLiteral("ليست هزينه ها")).isEmpty());
    EXPECT_FALSE(shown.findText(QStringLiteral("مجموع هزينه ها : 1,500,000")).isEmpty());
    EXPECT_FALSE(shown.findText(QStringLiteral("مجموع درآمدها : 2,500,000")).isEmpty());
    EXPECT_FALSE(shown.findText(QStringLiteral("اجاره دفتر")).isEmpty());

    addCheque(QStringLiteral("1403/01/10"), kIn, 1000);
    frmlstcheck->show();
    prompter.calls.clear();
    frmlstcheck->btnprintClick();
    ASSERT_EQ(prompter.previewCount, 2);
    ASSERT_GE(prompter.calls.size(), 1);
    EXPECT_TRUE(prompter.calls[0].text.startsWith(u("لطفا براي خوانا شدن ظاهر گزارش چاپي")));
    EXPECT_EQ(prompter.calls[0].fontSize, 8);
    EXPECT_FALSE(shown.findText(QStringLiteral("دفتر اسناد")).isEmpty());
    EXPECT_FALSE(shown.findText(QStringLiteral("مجموع اسناد دريافتي : 1,000")).isEmpty());
}

TEST_P(MoneyLists, RefreshKeepsTheRowAndBringingUpKeepsTheRange)
{
    addExpense(QStringLiteral("1403/01/01"), QStringLiteral("الف"), kExpense, 10);
    addExpense(QStringLiteral("1403/01/02"), QStringLiteral("ب"), kExpense, 20);
    ShowHazinehList();
    auto* h = FrmHazineh->form();
    Dm->QHazineh->Last();
    addExpense(QStringLiteral("1403/01/03"), QStringLiteral("ج"), kIncome, 5);
    FrmHazineh->btnrefreshClick();
    EXPECT_EQ(Dm->QHazineh->RecordCount(), 3);
    EXPECT_EQ(f(Dm->QHazineh, "Hname")->AsString(), QStringLiteral("ب"));
    EXPECT_EQ(h->EdtSumDaramad->text(), QStringLiteral("5"));

    // brought to the front while visible: the range typed stays; shown anew: the last 200 days
    h->edtt1->setText(QStringLiteral("1403/01/02"));
    ShowHazinehList();
    EXPECT_EQ(h->edtt1->Text(), QStringLiteral("1403/01/02"));
    FrmHazineh->hide();
    ShowHazinehList();
    EXPECT_EQ(h->edtt1->Text(), QStringLiteral("1402/06/16"));

    // an error while walking the selected rows: the shared message, what was added stays
    Dm->QHazineh->SelectRow(0, true);
    Dm->QHazineh->SelectRow(2, true);
    int walked = 0;
    EXPECT_FALSE(FrmHazineh->frame()->ForSelectedRows([&](db::DataSet&, int) {
        if (++walked == 2)
            throw db::DbError(db::ErrorCategory::Other, QStringLiteral("x"));
    }));
    EXPECT_EQ(walked, 2);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].caption, QStringLiteral("خطا"));
    EXPECT_EQ(prompter.calls[0].text, u("خطايي در روند برنامه پيش آمد\r\nx"));
    EXPECT_EQ(prompter.calls[0].fontSize, 8);
}

// Fifteen whole digits on both engines; a longer amount is refused with a message naming
// the field instead of a server error or a rounded number.
TEST_P(MoneyLists, AmountsHoldFifteenDigits)
{
    ShowNewHazineh();
    auto* e = FrmHazinehNew->form();
    typeText(e->HCmbHazineh->lineEdit(), QStringLiteral("زمين"));
    focus(e->DBEdit3, QEvent::FocusIn);
    typeText(e->DBEdit3, QStringLiteral("1234567890123456"));
    e->DBNavigator1->BtnClick(widgets::NavButton::Post);
    EXPECT_EQ(prompter.messages(), QStringList(u("«مبلغ»: مبلغ وارد شده بيش از حد مجاز است")));
    EXPECT_EQ(Dm->QHazineh->State(), db::DataSetState::Insert);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_hazineh")).toInt(), 0);

    e->DBEdit3->selectAll();
    typeText(e->DBEdit3, QStringLiteral("999999999999999.5"));
    e->DBNavigator1->BtnClick(widgets::NavButton::Post);
    EXPECT_FALSE(FrmHazinehNew->isVisible());
    EXPECT_EQ(scalar(QStringLiteral("select Mablagh from t_hazineh")).toDouble(), 999999999999999.5);

    ShowNewCheck();
    f(Dm->QCheck, "Tarikh")->SetAsString(QStringLiteral("1403/01/10"));
    EXPECT_THROW(f(Dm->QCheck, "mablagh")->SetAsString(QStringLiteral("-1000000000000000")), db::DbError);
    f(Dm->QCheck, "mablagh")->SetAsString(QStringLiteral("-999999999999999"));
    Dm->QCheck->Post();
    EXPECT_EQ(scalar(QStringLiteral("select mablagh from t_check")).toDouble(), -999999999999999.0);
}

// The deletion flag read as the record form reads it: any non-zero deleted, 0 or NULL kept,
// in both lists and their sums.
TEST_P(MoneyLists, ChequeFlagsAnyNonZeroIsDeletedAndNullIsKept)
{
    addCheque(QStringLiteral("1403/01/10"), kIn, 1000);
    addCheque(QStringLiteral("1403/01/11"), kIn, 200);
    addCheque(QStringLiteral("1403/01/12"), kOut, 30);
    addCheque(QStringLiteral("1403/01/13"), kOut, 4);
    addCheque(QStringLiteral("1403/01/14"), kIn, 5);
    Dm->Conn->exec(QStringLiteral("update t_check set hazf=1 where mablagh=200"));
    Dm->Conn->exec(QStringLiteral("update t_check set hazf=-1 where mablagh=30"));
    Dm->Conn->exec(QStringLiteral("update t_check set hazf=NULL where mablagh in (4, 5)"));
    frmlstcheck->show();
    auto* c = frmlstcheck->form();
    const auto amounts = [] {
        QList<double> a;
        for (int r = 0; r < Dm->QCheck->RecordCount(); ++r)
            a << Dm->QCheck->ValueAt(r, f(Dm->QCheck, "mablagh")->Index()).toDouble();
        std::sort(a.begin(), a.end());
        return a;
    };
    EXPECT_EQ(amounts(), (QList<double>{4, 5, 1000}));
    EXPECT_EQ(c->DBEdit2->text(), QStringLiteral("1,005"));
    EXPECT_EQ(c->DBEdit1->text(), QStringLiteral("4"));
    for (int r = 0; r < Dm->QCheck->RecordCount(); ++r) {
        Dm->QCheck->SetRecNo(r + 1);
        EXPECT_FALSE(FrmCheck->form()->DBCheckBox1->isChecked()) << r;
    }

    c->ChkMovaghat->setChecked(true);
    frmlstcheck->btnokClick();
    EXPECT_EQ(amounts(), (QList<double>{30, 200}));
    EXPECT_EQ(c->DBEdit2->text(), QStringLiteral("200"));
    EXPECT_EQ(c->DBEdit1->text(), QStringLiteral("30"));
    shot(frmlstcheck, "cheques_deleted");
    for (int r = 0; r < Dm->QCheck->RecordCount(); ++r) {
        Dm->QCheck->SetRecNo(r + 1);
        EXPECT_TRUE(FrmCheck->form()->DBCheckBox1->isChecked()) << r;
    }
}

// 300 amounts ending in .1, .2, .3 and .7: every total shows the exact sum, the same text on
// both engines (the list's total, the sums of the selected rows, the printout).
TEST_P(MoneyLists, TotalsOfManyAmountsAreExact)
{
    static const int tenths[] = {1, 2, 3, 7};
    qint64 expense = 0, income = 0;
    Dm->Conn->begin();
    for (int i = 0; i < 300; ++i) {
        const qint64 t = (2263101 + qint64(i) * 1237) * 10 + tenths[i % 4];
        expense += t;
        addExpense(QStringLiteral("1403/01/0%1").arg(1 + i % 5), QStringLiteral("هزينه %1").arg(i), kExpense, double(t) / 10);
    }
    for (int i = 1; i <= 3; ++i) {
        income += i;
        addExpense(QStringLiteral("1403/01/06"), QStringLiteral("درآمد %1").arg(i), kIncome, double(i) / 10);
    }
    Dm->Conn->commit();
    const auto text = [](qint64 t) {
        const QString plain = QString::number(t / 10) + (t % 10 ? QLatin1Char('.') + QString::number(t % 10) : QString());
        return TTools::FormatThousands(plain);
    };
    FrmHazineh->show();
    auto* h = FrmHazineh->form();
    ASSERT_EQ(Dm->QHazineh->RecordCount(), 303);
    EXPECT_EQ(h->EdtSumHazineh->text(), text(expense));
    EXPECT_EQ(h->EdtSumDaramad->text(), text(income));
    shot(FrmHazineh, "expense_totals");

    for (int r = 0; r < 303; ++r)
        Dm->QHazineh->SelectRow(r, true);
    FrmHazineh->BitBtn1Click();
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text,
              u("مجموع هزينه ها: ") + text(expense) + u("\r\nمجموع درآمدها: ") + text(income));

    report::PreparedReport shown;
    prompter.onPreview = [&](report::PreparedReport& r) { shown = r; };
    FrmHazineh->btnprintClick();
    EXPECT_FALSE(shown.findText(u("مجموع هزينه ها : ") + text(expense)).isEmpty());
}

// A name wider than its column, pasted: refused by the field with its message, never cut,
// and kept in the box for correction. Dates and amounts typed or pasted in Persian digits.
TEST_P(MoneyLists, PastedNamesAreNotCutAndPersianDigitsCount)
{
    ShowNewCheck();
    auto* k = FrmCheck->form();
    QLineEdit* name = k->CCmbShakhs->lineEdit();
    const QString sixty(60, QChar(0x0645));
    QApplication::clipboard()->setText(sixty);
    focus(k->CCmbShakhs, QEvent::FocusIn);
    name->selectAll();
    name->paste();
    EXPECT_EQ(name->text(), sixty);
    focus(k->CCmbShakhs, QEvent::FocusOut);
    EXPECT_EQ(prompter.messages(), QStringList(u("«نام شخص» بيش از 50 حرف است")));
    EXPECT_EQ(name->text(), sixty);
    EXPECT_EQ(f(Dm->QCheck, "shakhs")->AsString(), QString());
    shot(FrmCheck, "cheque_long_name");

    focus(k->DBEdit2, QEvent::FocusIn);
    k->DBEdit2->selectAll();
    QTest::keyClick(k->DBEdit2, Qt::Key_Delete);
    k->DBEdit2->setCursorPosition(0);
    typeText(k->DBEdit2, u("۱۴۰۳۰۱۲۰"));
    EXPECT_EQ(k->DBEdit2->Text(), QStringLiteral("1403/01/20"));
    focus(k->DBEdit2, QEvent::FocusOut);
    focus(k->DBEdit3, QEvent::FocusIn);
    typeText(k->DBEdit3, u("۱۲۵٠٠٠"));
    EXPECT_EQ(k->DBEdit3->text(), QStringLiteral("125,000"));
    focus(k->DBEdit3, QEvent::FocusOut);

    // saving tries the name again: refused, the entry stays open with its text
    k->DBNavigator1->BtnClick(widgets::NavButton::Post);
    EXPECT_TRUE(FrmCheck->isVisible());
    EXPECT_EQ(prompter.messages().size(), 2);
    EXPECT_EQ(prompter.messages().last(), u("«نام شخص» بيش از 50 حرف است"));
    EXPECT_EQ(name->text(), sixty);
    EXPECT_EQ(scalar(QStringLiteral("select count(*) from t_check")).toInt(), 0);

    // corrected: stored with the date and the amount
    name->selectAll();
    typeText(name, QStringLiteral("رضا"));
    focus(k->CCmbShakhs, QEvent::FocusOut);
    k->DBNavigator1->BtnClick(widgets::NavButton::Post);
    EXPECT_FALSE(FrmCheck->isVisible()) << prompter.messages().join(QLatin1Char('|')).toStdString();
    EXPECT_EQ(scalar(QStringLiteral("select shakhs from t_check")).toString(), QStringLiteral("رضا"));
    EXPECT_EQ(scalar(QStringLiteral("select tarikh from t_check")).toString(), QStringLiteral("1403/01/20"));
    EXPECT_EQ(scalar(QStringLiteral("select mablagh from t_check")).toDouble(), 125000.0);
    EXPECT_EQ(prompter.messages().size(), 2);

    // the list's date boxes take a pasted Persian date
    frmlstcheck->show();
    QApplication::clipboard()->setText(u("۱۴۰۳/۰۱/۰۱"));
    auto* c = frmlstcheck->form();
    c->edtt1->setEnabled(true);
    c->edtt1->selectAll();
    c->edtt1->paste();
    EXPECT_EQ(c->edtt1->Text(), QStringLiteral("1403/01/01"));
}

DOVIN_INSTANTIATE_ENGINES(MoneyLists);

} // namespace
