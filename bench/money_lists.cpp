// The expense list over 100,000 expenses and incomes and the cheque book over 100,000
// cheques: each default search with its sums, the grid painted with its colours, and the
// printout, against stepping the same statements with the raw sqlite3 API.
#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "deals/TFrmCheck.h"
#include "deals/TFrmHazineh.h"
#include "deals/TFrmHazinehNew.h"
#include "deals/Tfrmlstcheck.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/report/PreparedReport.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBGrid.h"
#include "ui/TTools.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>
#include <sqlite3.h>

using namespace bench;

namespace {

// 100,000, or a million with --million
int kRows = 100000;

QString randomDate(QRandomGenerator& rnd)
{
    return QStringLiteral("%1/%2/%3")
        .arg(rnd.bounded(1401, 1404))
        .arg(rnd.bounded(1, 13), 2, 10, QLatin1Char('0'))
        .arg(rnd.bounded(1, 30), 2, 10, QLatin1Char('0'));
}

void fill(const QString& path)
{
    sqlite3* db = beginFill(path);
    QRandomGenerator rnd(7);
    const QStringList names = {QStringLiteral("اجاره دفتر"), QStringLiteral("قبض برق"), QStringLiteral("حقوق منشي"),
                               QStringLiteral("کميسيون"), QStringLiteral("آگهي روزنامه"), QStringLiteral("پذيرايي")};
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into t_hazineh (tarikhv, tarikh, shoomareh, Hname, nov, Mablagh, Tozihat) "
                       "values (?, ?, ?, ?, ?, ?, ?)",
                       -1, &st, nullptr);
    for (int i = 0; i < kRows; ++i) {
        const QString d = randomDate(rnd);
        bindText(st, 1, d);
        bindText(st, 2, d);
        bindText(st, 3, QString::number(i + 1));
        bindText(st, 4, names[int(rnd.bounded(names.size()))]);
        bindText(st, 5, rnd.bounded(3) ? QStringLiteral("هزينه") : QStringLiteral("درآمد"));
        sqlite3_bind_double(st, 6, double(rnd.bounded(1, 100000)) * 1000);
        bindText(st, 7, rnd.bounded(4) == 0 ? QStringLiteral("پرداخت نقدي") : QString());
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    const QStringList states = {QStringLiteral("پاس شده"), QStringLiteral("پاس نشده"), QStringLiteral("برگشتي")};
    const QStringList banks = {QStringLiteral("ملي"), QStringLiteral("ملت"), QStringLiteral("صادرات"), QStringLiteral("تجارت")};
    sqlite3_prepare_v2(db,
                       "insert into t_check (Tarikhv, Tarikh, Vaziyat, nov, bank, shoomareh, sharh, hesabno, mablagh, "
                       "shakhs, novsanad, hazf) values (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)",
                       -1, &st, nullptr);
    for (int i = 0; i < kRows; ++i) {
        bindText(st, 1, randomDate(rnd));
        bindText(st, 2, randomDate(rnd));
        bindText(st, 3, states[int(rnd.bounded(states.size()))]);
        bindText(st, 4, rnd.bounded(2) ? QStringLiteral("دريافتي") : QStringLiteral("پرداختي"));
        bindText(st, 5, banks[int(rnd.bounded(banks.size()))]);
        bindText(st, 6, QString::number(rnd.bounded(100000, 999999)));
        bindText(st, 7, QStringLiteral("بابت قرارداد %1").arg(rnd.bounded(1, 500)));
        bindText(st, 8, QStringLiteral("0101-%1").arg(rnd.bounded(100000, 999999)));
        sqlite3_bind_double(st, 9, double(rnd.bounded(1, 500000)) * 10000);
        bindText(st, 10, QStringLiteral("محمد رضايي"));
        bindText(st, 11, QStringLiteral("چک"));
        sqlite3_bind_int(st, 12, rnd.bounded(10) == 0 ? -1 : 0);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    endFill(db);
}

// The list statement and its two sums, stepped raw (what the default search runs).
void rawBook(const QString& path, db::DataSet* list, db::DataSet* s1, db::DataSet* s2)
{
    rawSteps(path, list->SQL());
    rawSteps(path, s1->SQL());
    rawSteps(path, s2->SQL());
}

// Answers every question with its first button (all rows print) and counts the pages previewed.
// Long work reports to it: the longest wait between two reports (the window paints at each)
// and, when cancelAfterMs is set, a cancel that far into the work.
class CountingPrompter : public QuietPrompter {
public:
    int pages = 0;
    int previews = 0;
    qint64 cancelAfterMs = -1;
    qint64 longestGapMs = 0;
    QElapsedTimer sinceCancel;
    QString work;

    int messageDlg(const shell::MessageRequest&) override { return shell::ResultYes; }
    int plainMessage(const shell::PlainMessageRequest&) override { return shell::ResultOk; }
    bool preview(report::PreparedReport& r, const QString&) override
    {
        pages = r.pageCount();
        ++previews;
        return false;
    }
    std::unique_ptr<shell::ProgressSink> beginProgress(const shell::ProgressRequest& r) override
    {
        work = r.title;
        longestGapMs = 0;
        return std::make_unique<Sink>(*this);
    }

private:
    class Sink : public shell::ProgressSink {
    public:
        explicit Sink(CountingPrompter& p) : p_(p) {}
        bool update(qint64, qint64, bool cancellable, qint64 elapsedMs) override
        {
            p_.longestGapMs = std::max(p_.longestGapMs, elapsedMs - last_);
            last_ = elapsedMs;
            if (!cancellable || p_.cancelAfterMs < 0 || elapsedMs < p_.cancelAfterMs)
                return true;
            if (!p_.sinceCancel.isValid())
                p_.sinceCancel.start();
            return false;
        }

    private:
        CountingPrompter& p_;
        qint64 last_ = 0;
    };
};

bool printFigure(const char* what, double ms, double raw, int rows, bool limited = true)
{
    std::printf("%-36s %8.1f ms  %6d rows  bare statements %7.1f ms  ratio %6.2f  %s\n", what, ms, rows, raw, ms / raw,
                !limited ? "" : ms < 1000 ? "(under 1 s)" : "(OVER 1 s)");
    return !limited || ms < 1000;
}

// The first rows of a statement stepped raw, every cell touched.
void rawFirst(const QString& path, const QString& sql, int rows)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    long touched = 0;
    for (int r = 0; r < rows && sqlite3_step(st) == SQLITE_ROW; ++r)
        for (int c = 0; c < n; ++c)
            touched += sqlite3_column_bytes(st, c);
    sqlite3_finalize(st);
    sqlite3_close(db);
    if (touched < 0)
        std::printf("?\n");
}

// The expense book as a list reads it on the file database: its first screen in the book's
// order, the rest in idle time in the key's order (the file let go of between two reads), and
// the pause in which the rows take the book's order; against the bare statement's first rows,
// the whole statement and its keys alone.
bool bookReading(db::Connection& conn, const QString& path)
{
    const QString sql = QStringLiteral("select * from t_hazineh order by tarikh, Hkey");
    const QString keys = QStringLiteral("select Hkey from t_hazineh order by tarikh, Hkey");
    double first = 1e18, rest = 1e18, pause = 1e18, whole = 1e18;
    int rows = 0;
    for (int i = 0; i < 3; ++i) {
        db::DataSet d(&conn);
        d.setSQL(sql);
        first = std::min(first, timed([&] { d.Open(); }));
        QElapsedTimer clock;
        clock.start();
        double longest = 0;
        while (!d.AllRowsRead()) {
            longest = std::max(longest, timed([] { QCoreApplication::processEvents(); }));
        }
        rest = std::min(rest, double(clock.nsecsElapsed()) / 1e6);
        pause = std::min(pause, longest);
        rows = d.RecordCount();
        db::DataSet all(&conn);
        all.setSQL(sql);
        whole = std::min(whole, timed([&] {
            all.Open();
            all.FetchAll();
        }));
    }
    const double rawFirstRows = best(3, [&] { rawFirst(path, sql, 256); });
    const double rawAll = best(3, [&] { rawSteps(path, sql); });
    const double rawKeys = best(3, [&] { rawSteps(path, keys); });
    // the rows in the key's order, as the rest reads them
    const double rawByKey = best(3, [&] { rawSteps(path, QStringLiteral("select * from t_hazineh order by Hkey")); });
    bool ok = printFigure("expense book: first screen", first, rawFirstRows, rows);
    printFigure("expense book: rest in idle time", rest, rawAll, rows, false);
    printFigure("  against the rows in key order", rest, rawByKey, rows, false);
    printFigure("expense book: open and read at once", whole, rawAll, rows, false);
    ok &= printFigure("expense book: longest pause (order)", pause, rawKeys, rows);
    return ok;
}

} // namespace

int main(int argc, char** argv)
{
    CountingPrompter prompter;
    Application app(argc, argv, prompter);
    kRows = rowsFor(kRows);
    const ProgramFolder folder;
    // today 1403/01/06
    Tools = new TTools(true, [] { return QDateTime(QDate(2024, 3, 25), QTime(10, 30)); });
    UserCanChange = true;
    const QString path = folder.agencyFile();
    folder.createDatabases();
    fill(path);
    std::printf("t_hazineh: %d rows, t_check: %d rows\n", kRows, kRows);

    Dm = new TDm;
    folder.connect(*Dm);
    FrmHazinehNew = new TFrmHazinehNew;
    FrmHazineh = new TFrmHazineh;
    FrmCheck = new TFrmCheck;
    frmlstcheck = new Tfrmlstcheck;
    bool ok = bookReading(*Dm->Conn, path);
    if (QCoreApplication::arguments().contains(QStringLiteral("--book")))
        return ok ? 0 : 1;

    // expenses: showing runs the default search (the last 200 days), the totals, the layout,
    // and the grid paints its coloured kind column
    FrmHazineh->resize(1100, 650);
    auto* hgrid = FrmHazineh->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));
    const double tHShow = best(3, [&] { reshow(FrmHazineh, hgrid); });
    const double rawH = best(3, [&] { rawBook(path, Dm->QHazineh, Dm->QSH, Dm->QSD); });
    ok &= printFigure("expenses: default search, shown", tHShow, rawH, Dm->QHazineh->RecordCount());
    const double tHSearch = best(3, [&] { FrmHazineh->btnokClick(); });
    ok &= printFigure("expenses: default search alone", tHSearch, rawH, Dm->QHazineh->RecordCount());
    FrmHazineh->findChild<QCheckBox*>(QStringLiteral("chktarikh"))->setChecked(false);
    const double tHAll = best(3, [&] {
        FrmHazineh->btnokClick();
        hgrid->viewport()->grab();
    });
    const double rawHAll = best(3, [&] { rawBook(path, Dm->QHazineh, Dm->QSH, Dm->QSD); });
    ok &= printFigure("expenses: every row, painted", tHAll, rawHAll, Dm->QHazineh->RecordCount());
    const double tHPrint = timed([&] { FrmHazineh->btnprintClick(); });
    printFigure("expenses: printout of every row", tHPrint, rawHAll, Dm->QHazineh->RecordCount(), false);
    std::printf("%-36s %8d pages, progress \"%s\" reported at least every %lld ms\n", "", prompter.pages,
                prompter.work.toUtf8().constData(), static_cast<long long>(prompter.longestGapMs));
    // the user cancels a second into it: no preview opens, and the cancel is answered at once
    prompter.cancelAfterMs = 1000;
    const int previews = prompter.previews;
    const double tHCancelled = timed([&] { FrmHazineh->btnprintClick(); });
    const double tHAnswer = double(prompter.sinceCancel.nsecsElapsed()) / 1e6;
    std::printf("%-36s %8.1f ms  cancel answered in %.1f ms  %s\n", "expenses: printout cancelled at 1 s", tHCancelled,
                tHAnswer, prompter.previews == previews ? "no preview" : "A PREVIEW OPENED");
    ok &= prompter.previews == previews && prompter.sinceCancel.isValid();
    prompter.cancelAfterMs = -1;

    // cheques: the default search lists every document not deleted; the state column is
    // coloured by due date
    frmlstcheck->resize(1100, 650);
    auto* cgrid = frmlstcheck->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));
    const double tCShow = best(3, [&] { reshow(frmlstcheck, cgrid); });
    const double rawC = best(3, [&] { rawBook(path, Dm->QCheck, Dm->Qsumcd, Dm->QsumcP); });
    ok &= printFigure("cheques: default search, shown", tCShow, rawC, Dm->QCheck->RecordCount());
    const double tCSearch = best(3, [&] { frmlstcheck->btnokClick(); });
    ok &= printFigure("cheques: default search alone", tCSearch, rawC, Dm->QCheck->RecordCount());
    const double tCPrint = timed([&] { frmlstcheck->btnprintClick(); });
    printFigure("cheques: printout of every row", tCPrint, rawC, Dm->QCheck->RecordCount(), false);
    std::printf("%-36s %8d pages, progress \"%s\" reported at least every %lld ms\n", "", prompter.pages,
                prompter.work.toUtf8().constData(), static_cast<long long>(prompter.longestGapMs));

    // the file database's sum adds the decimals its doubles stand for; the engine's own adds
    // the doubles (amounts with decimals, so that no value takes the whole-number shortcut)
    const QString decimals = QStringLiteral("select sum(mablagh + 0.35), sum(mablagh * 1.09) from t_hazineh");
    const double tExact = best(3, [&] { Dm->Conn->scalar(decimals); });
    const double rawExact = best(3, [&] { rawSteps(path, decimals); });
    ok &= printFigure("exact sums of 2 x 100,000 decimals", tExact, rawExact, kRows);
    // values of no short decimal (a seventh of each amount) take their 15 significant digits
    const QString sevenths = QStringLiteral("select sum(mablagh / 7.0) from t_hazineh");
    const double tLong = best(3, [&] { Dm->Conn->scalar(sevenths); });
    const double rawLong = best(3, [&] { rawSteps(path, sevenths); });
    ok &= printFigure("exact sum of 100,000 long values", tLong, rawLong, kRows);

    delete frmlstcheck;
    delete FrmCheck;
    delete FrmHazineh;
    delete FrmHazinehNew;
    delete Dm;
    Dm = nullptr;
    return ok ? 0 : 1;
}
