// The property list's grid printout over 100,000 properties (a million with --million): the
// time to prepare it against stepping the list's statement with the raw sqlite3 API, the
// longest the progress window waits between two looks (where a cancel is seen), the first and
// last pages drawn as the preview shows them, and the peak memory it takes per page, with the
// pages read back from the temporary file (as the program prints) and, at 100,000 rows, kept
// in memory, each measured in this run; on the server too when DOVIN_TEST_PG is set.
#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "platform/db/Catalog.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/report/PreparedReport.h"
#include "platform/report/Renderer.h"
#include "platform/shell/Progress.h"
#include "platform/widgets/DBGrid.h"
#include "registry/TFrmLstMelk.h"
#include "ui/PrintGrid.h"
#include "ui/TPFrmPrnLv.h"
#include "ui/TTools.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <cstdio>
#include <limits>
#include <malloc.h>
#include <libpq-fe.h>
#include <sqlite3.h>

using namespace bench;

namespace {

// A figure of /proc/self/status, in kilobytes.
long statusKb(const char* key)
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray prefix = QByteArray(key) + ':';
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith(prefix))
            return line.mid(prefix.size()).trimmed().split(' ').first().toLong();
    return 0;
}

// The peak resident size starts again from the present one (memory freed before given back).
void resetPeak()
{
    malloc_trim(0);
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

// The progress window of the printout: the longest it waits between two looks at the work.
class WatchingPrompter : public QuietPrompter {
public:
    class Sink : public shell::ProgressSink {
    public:
        explicit Sink(WatchingPrompter& p) : p(p) { p.look(); }
        ~Sink() override { p.look(); }
        bool update(qint64, qint64, bool, qint64) override
        {
            p.look();
            return true;
        }

    private:
        WatchingPrompter& p;
    };
    std::unique_ptr<shell::ProgressSink> beginProgress(const shell::ProgressRequest&) override
    {
        return std::make_unique<Sink>(*this);
    }
    void look()
    {
        if (clock.isValid())
            longestMs = std::max(longestMs, clock.nsecsElapsed() / 1e6);
        clock.start();
    }
    void reset()
    {
        longestMs = 0;
        clock.invalidate();
    }
    double longestMs = 0;

private:
    QElapsedTimer clock;
};

WatchingPrompter* watching = nullptr;

struct Printout {
    double prepareMs = 0;
    int pages = 0;
    long peakKb = 0;          // above the resident size before preparing
    qsizetype heldItems = 0;
    qint64 fileBytes = 0;
    double longestLookMs = 0; // the longest wait of the progress window
    double firstMs = 0;       // page 1 drawn
    double lastMs = 0;        // the last page drawn
    double drawMs = 0;        // first, middle and last page drawn
    double walkMs = 0;        // every page read back, as printing does
};

// With --pages DIR: the first, middle and last pages of each printout drawn into DIR as PNG
// files, to compare with another build's.
QString pagesFolder;
int printouts = 0;

Printout printOut(widgets::DBGrid* grid, const QVector<int>& rows, qsizetype itemsInMemory, int orientation = 0)
{
    GridPrintSettings settings;
    settings.orientation = orientation;
    settings.bodyFont = PrintSettings.BodyFont;
    settings.economicCode = QStringLiteral("123456");
    settings.today = QStringLiteral("1403/05/12");
    settings.time = QStringLiteral("14:30");
    Printout out;
    resetPeak();
    const long before = statusKb("VmRSS");
    {
        report::PreparedReport prepared;
        watching->reset();
        out.prepareMs = timed([&] {
            // one progress over the whole printout, as the program prints
            shell::Progress progress(QStringLiteral("چاپ ليست املاک موجود"), true);
            TPFrmPrnLv form(settings, grid);
            form.QuickRep1.title = QStringLiteral("ليست املاک موجود");
            form.build(QStringLiteral("کد اقتصادي: 123456\r\nليست املاک موجود"), QStringLiteral("1403/05/12-14:30"), QString(), 0, rows);
            form.QuickRep1.itemsInMemory = itemsInMemory;
            prepared = form.prepare();
        });
        out.longestLookMs = watching->longestMs;
        out.pages = prepared.pageCount();
        ++printouts;
        if (!pagesFolder.isEmpty())
            for (const int p : {0, out.pages / 2 - 1, out.pages / 2, out.pages - 1})
                report::renderPageImage(prepared, p, 150).save(
                    QStringLiteral("%1/printout%2-page%3.png").arg(pagesFolder).arg(printouts).arg(p + 1));
        out.firstMs = timed([&] { report::renderPageImage(prepared, 0, 100); });
        out.lastMs = timed([&] { report::renderPageImage(prepared, out.pages - 1, 100); });
        out.drawMs = timed([&] {
            for (const int p : {0, out.pages / 2, out.pages - 1})
                report::renderPageImage(prepared, p, 100);
        });
        out.walkMs = timed([&] {
            qsizetype items = 0;
            for (const report::ReportPage& page : prepared.pages)
                items += page.items.size();
        });
        out.heldItems = prepared.pages.heldItems();
        out.fileBytes = prepared.pages.spilledBytes();
        out.peakKb = statusKb("VmHWM") - before;
    }
    return out;
}

void printPrintout(const char* what, const Printout& p, double raw, int rows)
{
    std::printf("%-30s %8.1f ms  %6d rows  bare statement %7.1f ms  ratio %6.2f  %6d pages\n", what, p.prepareMs, rows,
                raw, p.prepareMs / raw, p.pages);
    std::printf("%-30s peak %8.1f MB  %7.2f KB a page  %9lld items held  file %7.1f MB\n", "", p.peakKb / 1024.0,
                double(p.peakKb) / std::max(1, p.pages), static_cast<long long>(p.heldItems), p.fileBytes / 1048576.0);
    std::printf("%-30s progress window looks at least every %.1f ms %s\n", "", p.longestLookMs,
                p.longestLookMs <= 100 ? "(within 100 ms)" : "(OVER 100 ms)");
    std::printf("%-30s page 1 drawn %.1f ms, the last %.1f ms; 3 pages drawn %7.1f ms  every page read back %8.1f ms\n",
                "", p.firstMs, p.lastMs, p.drawMs, p.walkMs);
}

widgets::DBGrid* listGrid() { return FrmLstMelk->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1")); }

// The property list searched and read to its end, its calculated columns (owners'
// telephones, the terms) worked out for every row first, as the list keeps them whatever
// shows them first: the rows printed.
QVector<int> readList()
{
    FrmLstMelk->btnokClick();
    db::DataSet* ds = Dm->QMelk;
    while (!ds->AllRowsRead())
        QApplication::processEvents();
    QVector<int> rows;
    for (int r = 0; r < ds->RecordCount(); ++r)
        rows.append(r);
    widgets::DBGrid* grid = listGrid();
    QElapsedTimer clock;
    clock.start();
    for (int c = 0; c < grid->columns().size(); ++c)
        if (const int field = grid->columnFieldIndex(c); field >= 0)
            for (const int r : rows)
                ds->DisplayTextAt(r, field);
    std::printf("calculated columns worked out in %.0f ms; VmRSS with the list read and them: %.1f MB\n",
                double(clock.nsecsElapsed()) / 1e6, statusKb("VmRSS") / 1024.0);
    return rows;
}

} // namespace

int main(int argc, char** argv)
{
    WatchingPrompter prompter;
    watching = &prompter;
    Application app(argc, argv, prompter);
    const int rowCount = rowsFor(100000);
    if (const int at = int(QCoreApplication::arguments().indexOf(QStringLiteral("--pages"))); at > 0)
        pagesFolder = QCoreApplication::arguments().value(at + 1);
    const ProgramFolder folder;
    Tools = new TTools(true);
    const QString path = folder.agencyFile();
    folder.createDatabases();
    fillProperties(path, rowCount);
    std::printf("T_Melk: %d rows\n", rowCount);

    LoadFeatureCaptions();
    Dm = new TDm;
    folder.connect(*Dm);
    FrmLstMelk = new TFrmLstMelk;
    FrmLstMelk->resize(1200, 700);
    const QString sql = FrmLstMelk->CriteriaSql();
    const double raw = best(3, [&] { rawSteps(path, sql); });
    bool same = true;
    {
        const QVector<int> rows = readList();
        // the fonts and text shaping warmed up first, so that both printouts start alike
        printOut(listGrid(), rows.mid(0, 3000), std::numeric_limits<qsizetype>::max());
        printOut(listGrid(), rows.mid(0, 3000), std::numeric_limits<qsizetype>::max(), 1);
        const Printout spilled = printOut(listGrid(), rows, report::PageStore::kItemsInMemory);
        printPrintout("printout, pages read back", spilled, raw, int(rows.size()));
        if (rowCount <= 100000) {
            // every page in memory: about 72 KB a page, too much for a million rows
            const Printout kept = printOut(listGrid(), rows, std::numeric_limits<qsizetype>::max());
            printPrintout("printout, every page in memory", kept, raw, int(rows.size()));
            std::printf("peak memory a page: read back %.2f KB against %.2f KB in memory, ratio %.3f\n",
                        double(spilled.peakKb) / std::max(1, spilled.pages), double(kept.peakKb) / std::max(1, kept.pages),
                        double(spilled.peakKb) / std::max(1L, kept.peakKb));
            std::printf("prepare time: read back %.1f ms against %.1f ms in memory, ratio %.2f\n", spilled.prepareMs,
                        kept.prepareMs, spilled.prepareMs / kept.prepareMs);
            same = spilled.pages == kept.pages;
        }
    }
    delete FrmLstMelk;
    FrmLstMelk = nullptr;
    delete Dm;
    Dm = nullptr;

    if (!qEnvironmentVariableIsEmpty("DOVIN_TEST_PG")) {
        // the same rows on the server: the list read from it, the printout against bare libpq
        const QString server = qEnvironmentVariable("DOVIN_TEST_PG");
        {
            auto admin = db::Connection::openPostgres(server);
            admin->exec(QStringLiteral("DROP DATABASE IF EXISTS dovin_bench_printout"));
            admin->exec(QStringLiteral("CREATE DATABASE dovin_bench_printout TEMPLATE template0 ENCODING 'UTF8'"));
        }
        const QString info = server + QStringLiteral(" dbname=dovin_bench_printout");
        auto agency = db::Connection::openPostgres(info);
        agency->setCatalog(&SchemaCatalog());
        CreateBaseSchema(*agency, TSchemaDb::Agency);
        MakeDBUpdate(*agency, false, folder.path())->Update(0);
        PGconn* bare = PQconnectdb(info.toUtf8().constData());
        {
            QStringList columns;
            for (const db::ColumnDef& c : BaseCatalog().table(QStringLiteral("T_Melk"))->columns)
                if (c.kind != db::ColumnKind::Counter)
                    columns << c.name;
            sqlite3* lite = nullptr;
            sqlite3_open_v2(path.toUtf8().constData(), &lite, SQLITE_OPEN_READONLY, nullptr);
            copyToServer(lite, bare, "T_Melk", columns.join(QStringLiteral(", ")).toUtf8().constData());
            sqlite3_close(lite);
        }
        PQclear(PQexec(bare, "VACUUM ANALYZE T_Melk"));
        Dm = new TDm;
        Dm->Connect(std::move(agency), db::Connection::openSqlite(folder.usersFile()));
        FrmLstMelk = new TFrmLstMelk;
        FrmLstMelk->resize(1200, 700);
        const QByteArray serverSql = FrmLstMelk->CriteriaSql().toUtf8();
        const double rawServer = best(3, [&] { PQclear(PQexec(bare, serverSql.constData())); });
        const QVector<int> rows = readList();
        printOut(listGrid(), rows.mid(0, 3000), std::numeric_limits<qsizetype>::max());
        const Printout spilled = printOut(listGrid(), rows, report::PageStore::kItemsInMemory);
        printPrintout("PostgreSQL printout, read back", spilled, rawServer, int(rows.size()));
        PQfinish(bare);
        delete FrmLstMelk;
        FrmLstMelk = nullptr;
        delete Dm;
        Dm = nullptr;
    }
    return same ? 0 : 1;
}
