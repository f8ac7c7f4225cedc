// The property list's grid printout over 100,000 properties (a million with --million): the
// time to prepare it against stepping the list's statement with the raw sqlite3 API, and the
// peak memory it takes per page, with the pages kept in memory and with them read back from
// the temporary file (as the program prints), each measured in this run.
#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "core/TDm.h"
#include "platform/db/Catalog.h"
#include "platform/db/DataSet.h"
#include "platform/report/PreparedReport.h"
#include "platform/report/Renderer.h"
#include "platform/widgets/DBGrid.h"
#include "registry/TFrmLstMelk.h"
#include "ui/PrintGrid.h"
#include "ui/TPFrmPrnLv.h"
#include "ui/TTools.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QRandomGenerator>
#include <cstdio>
#include <limits>
#include <sqlite3.h>

using namespace bench;

namespace {

// Realistic rows: owners, phones, kinds, amounts, dates, amenities and their titles.
void fill(const QString& path, int rows)
{
    const db::TableDef& t = *BaseCatalog().table(QStringLiteral("T_Melk"));
    QStringList cols, marks;
    std::vector<const db::ColumnDef*> defs;
    for (const db::ColumnDef& c : t.columns)
        if (c.kind != db::ColumnKind::Counter) {
            cols << c.name;
            marks << QStringLiteral("?");
            defs.push_back(&c);
        }
    sqlite3* db = beginFill(path);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QStringLiteral("insert into T_Melk (%1) values (%2)")
                               .arg(cols.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                               .toUtf8();
    sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    const QStringList names = {QStringLiteral("محمد رضايي"), QStringLiteral("زهرا احمدي"), QStringLiteral("علي کريمي"),
                               QStringLiteral("مريم حسيني"), QStringLiteral("حسن محمدي")};
    const QStringList kinds = {QStringLiteral("آپارتمان"), QStringLiteral("ويلايي"), QStringLiteral("مغازه"),
                               QStringLiteral("زمين")};
    const QStringList deals = {QStringLiteral("فروش"), QStringLiteral("رهن کامل"), QStringLiteral("اجاره کامل"),
                               QStringLiteral("رهن و اجاره")};
    QRandomGenerator rnd(42);
    for (int i = 0; i < rows; ++i) {
        int k = 1;
        for (const db::ColumnDef* c : defs) {
            const QString n = c->name.toLower();
            QString text;
            switch (c->kind) {
            case db::ColumnKind::Boolean:
                sqlite3_bind_int(st, k++, n == QLatin1String("hazfshodeh") ? (rnd.bounded(10) == 0 ? -1 : 0)
                                                                           : (rnd.bounded(2) ? -1 : 0));
                continue;
            case db::ColumnKind::Money: sqlite3_bind_double(st, k++, double(rnd.bounded(1, 500000)) * 10000); continue;
            case db::ColumnKind::Double: sqlite3_bind_double(st, k++, rnd.bounded(40, 900) + 0.5); continue;
            case db::ColumnKind::Byte:
            case db::ColumnKind::Integer: sqlite3_bind_int(st, k++, int(rnd.bounded(0, 12))); continue;
            default: break;
            }
            if (n.endsWith(QLatin1String("_s")))
                text = QString::fromUtf8(Features()[int(rnd.bounded(FeatureCount))].defaultTitle);
            else if (n.startsWith(QLatin1String("tarikh")))
                text = QStringLiteral("1403/%1/%2").arg(rnd.bounded(1, 13), 2, 10, QLatin1Char('0')).arg(rnd.bounded(1, 30), 2, 10, QLatin1Char('0'));
            else if (n == QLatin1String("malekesm"))
                text = names[int(rnd.bounded(names.size()))];
            else if (n.contains(QLatin1String("tel")) || n.contains(QLatin1String("mobile")))
                text = QStringLiteral("0912%1").arg(rnd.bounded(1000000, 9999999));
            else if (n == QLatin1String("novmelk"))
                text = kinds[int(rnd.bounded(kinds.size()))];
            else if (n.endsWith(QLatin1String("type")))
                text = deals[int(rnd.bounded(deals.size()))];
            else if (n == QLatin1String("addr"))
                text = QStringLiteral("تهران، خيابان آزادي، کوچه %1").arg(rnd.bounded(1, 40));
            else if (c->size >= 200)
                text = rnd.bounded(3) == 0 ? QStringLiteral("نوساز، نورگير") : QString();
            bindText(st, k++, text);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    endFill(db);
}

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

// The peak resident size starts again from the present one.
void resetPeak()
{
    QFile f(QStringLiteral("/proc/self/clear_refs"));
    if (f.open(QIODevice::WriteOnly))
        f.write("5");
}

struct Printout {
    double prepareMs = 0;
    int pages = 0;
    long peakKb = 0;          // above the resident size before preparing
    qsizetype heldItems = 0;
    qint64 fileBytes = 0;
    double drawMs = 0;        // first, middle and last page drawn
    double walkMs = 0;        // every page read back, as printing does
};

Printout printOut(widgets::DBGrid* grid, const QVector<int>& rows, qsizetype itemsInMemory)
{
    GridPrintSettings settings;
    settings.bodyFont = PrintSettings.BodyFont;
    settings.economicCode = QStringLiteral("123456");
    settings.today = QStringLiteral("1403/05/12");
    settings.time = QStringLiteral("14:30");
    Printout out;
    resetPeak();
    const long before = statusKb("VmRSS");
    {
        report::PreparedReport prepared;
        out.prepareMs = timed([&] {
            TPFrmPrnLv form(settings, grid);
            form.QuickRep1.title = QStringLiteral("ليست املاک موجود");
            form.build(QStringLiteral("کد اقتصادي: 123456\r\nليست املاک موجود"), QStringLiteral("1403/05/12-14:30"), QString(), 0, rows);
            form.QuickRep1.itemsInMemory = itemsInMemory;
            prepared = form.prepare();
        });
        out.pages = prepared.pageCount();
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
    std::printf("%-30s 3 pages drawn %7.1f ms  every page read back %8.1f ms\n", "", p.drawMs, p.walkMs);
}

} // namespace

int main(int argc, char** argv)
{
    QuietPrompter prompter;
    Application app(argc, argv, prompter);
    const int rowCount = rowsFor(100000);
    const ProgramFolder folder;
    Tools = new TTools(true);
    const QString path = folder.agencyFile();
    folder.createDatabases();
    fill(path, rowCount);
    std::printf("T_Melk: %d rows\n", rowCount);

    LoadFeatureCaptions();
    Dm = new TDm;
    folder.connect(*Dm);
    FrmLstMelk = new TFrmLstMelk;
    auto* grid = FrmLstMelk->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));
    FrmLstMelk->resize(1200, 700);
    const QString sql = FrmLstMelk->CriteriaSql();
    const double raw = best(3, [&] { rawSteps(path, sql); });
    FrmLstMelk->btnokClick();
    db::DataSet* ds = Dm->QMelk;
    while (!ds->AllRowsRead())
        QApplication::processEvents();
    QVector<int> rows;
    for (int r = 0; r < ds->RecordCount(); ++r)
        rows.append(r);
    std::printf("VmRSS with the list read: %.1f MB\n", statusKb("VmRSS") / 1024.0);

    // the fonts and text shaping warmed up first, so that both printouts start alike
    printOut(grid, rows.mid(0, 3000), std::numeric_limits<qsizetype>::max());
    const Printout spilled = printOut(grid, rows, report::PageStore::kItemsInMemory);
    printPrintout("printout, pages read back", spilled, raw, int(rows.size()));
    const Printout kept = printOut(grid, rows, std::numeric_limits<qsizetype>::max());
    printPrintout("printout, every page in memory", kept, raw, int(rows.size()));
    std::printf("peak memory a page: read back %.2f KB against %.2f KB in memory, ratio %.3f\n",
                double(spilled.peakKb) / std::max(1, spilled.pages), double(kept.peakKb) / std::max(1, kept.pages),
                double(spilled.peakKb) / std::max(1L, kept.peakKb));
    std::printf("prepare time: read back %.1f ms against %.1f ms in memory, ratio %.2f\n", spilled.prepareMs,
                kept.prepareMs, spilled.prepareMs / kept.prepareMs);

    delete FrmLstMelk;
    FrmLstMelk = nullptr;
    delete Dm;
    Dm = nullptr;
    return spilled.pages == kept.pages ? 0 : 1;
}
