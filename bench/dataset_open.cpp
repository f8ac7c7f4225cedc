// Reading "select * from T_Melk" over 100,000 realistic rows (DataSet::Open to the last row)
// against stepping the same statement with the raw engine API, in the same process, and the
// memory the dataset holds per row; then the rest of the rows read in idle time under a shown
// grid, with the longest time the event loop kept an event waiting. --million: 1,000,000 rows.
#include "platform/db/Catalog.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBGrid.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <libpq-fe.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <unistd.h>
#include <ctime>

using namespace db;

namespace {

int kRows = 100000;

const char* kAmenities[] = {"Ayfon", "Asansor", "Sona", "jakozi", "stakhr", "mobl", "loster", "pardeh", "doblex",
                            "kitchen", "darcontoroly", "shoomineh", "jaroobarghi", "anten", "noorpardazi", "shofazh",
                            "vambanki", "shomali", "jonobi", "azhayat", "package", "saloonbiliyard",
                            "saloonejtemaat", "badansazi", "ketabkhaneh", "komod", "doozdgir", "azsakhteman",
                            "parvanehsakht", "mojavez", "mostaghel", "elamharigh", "etfaeharigh", "pelehezterari",
                            "teras", "balkon", "shirvani", "radiyator", "moshtarak", "bokhary"};
const char* kTitles[] = {"آيفون تصويري", "آسانسور", "سونا", "جکوزي", "استخر", "مبله", "لوستر", "پرده", "دوبلکس",
                         "آشپزخانه اپن", "درب کنترلي", "شومينه", "جاروبرقي مرکزي", "آنتن مرکزي", "نورپردازي",
                         "شوفاژ", "وام بانکي", "شمالي", "جنوبي", "از حياط", "پکيج", "سالن بيليارد", "سالن اجتماعات",
                         "بدنسازي", "کتابخانه", "کمد ديواري", "دزدگير", "از ساختمان", "پروانه ساخت", "مجوز",
                         "مستقل", "اعلام حريق", "اطفاء حريق", "پله اضطراري", "تراس", "بالکن", "شيرواني",
                         "رادياتور", "مشترک", "بخاري"};

TableDef melkTable()
{
    TableDef t;
    t.name = QStringLiteral("T_Melk");
    auto col = [&](const char* n, ColumnKind k, int size = 0) { t.columns.push_back({QString::fromLatin1(n), k, size}); };
    col("MID", ColumnKind::Counter);
    col("MantaghehID", ColumnKind::Integer);
    col("Hazfshodeh", ColumnKind::Boolean);
    col("tarikheraeh", ColumnKind::Text, 10);
    col("TarikhVoorod", ColumnKind::Text, 10);
    col("SaatVoorod", ColumnKind::Text, 5);
    for (const char* n : {"MalekEsm"})
        col(n, ColumnKind::Text, 50);
    for (const char* n : {"MalekHomeTel", "MalekTelJob", "MalekMobile"})
        col(n, ColumnKind::Text, 30);
    for (const char* n : {"ForSell", "ForRahn", "ForEjareh"})
        col(n, ColumnKind::Boolean);
    col("NovMelk", ColumnKind::Text, 30);
    for (const char* n : {"Masahat", "Arz", "ZirBana"})
        col(n, ColumnKind::Double);
    col("Moshaat", ColumnKind::Text, 30);
    col("GhymatHarMeter", ColumnKind::Money);
    for (const char* n : {"Ab", "Bargh", "gaz", "parking", "hayat", "anbary"})
        col(n, ColumnKind::Boolean);
    col("tedadtel", ColumnKind::Byte);
    col("tahviyeh", ColumnKind::Text, 50);
    for (const char* n : {"kaf", "Nema", "Cabinet"})
        col(n, ColumnKind::Text, 30);
    col("ShoomarehTels", ColumnKind::Text, 150);
    col("Mahal", ColumnKind::Text, 30);
    col("Addr", ColumnKind::Text, 255);
    col("Vaziyat", ColumnKind::Text, 200);
    col("NovSanad", ColumnKind::Text, 30);
    col("Tabagheh", ColumnKind::Byte);
    col("TedadOtagh", ColumnKind::Byte);
    col("SayerEmkanat", ColumnKind::Text, 255);
    col("Tozihat", ColumnKind::Text, 255);
    for (const char* p : {"F1", "F2", "F3"}) {
        col(QByteArray(p).append(p[1] == '1' ? "type" : "Type").constData(), ColumnKind::Text, 11);
        col(p, ColumnKind::Money);
        col(QByteArray(p).append("Shart").constData(), ColumnKind::Text, 255);
    }
    for (const char* n : {"f1_2", "f2_2", "f3_2"})
        col(n, ColumnKind::Money);
    col("mo", ColumnKind::Text, 10);
    col("zabeteh", ColumnKind::Text, 10);
    for (const char* a : kAmenities)
        col(a, ColumnKind::Boolean);
    for (const char* a : kAmenities)
        col(QByteArray(a).append("_s").constData(), ColumnKind::Text, 50);
    return t;
}

// One row of realistic values, as text (booleans as engine values).
QStringList makeRow(const TableDef& t, QRandomGenerator& rnd, int trueValue)
{
    static const QStringList names = {QStringLiteral("محمد رضايي"), QStringLiteral("زهرا احمدي"),
                                      QStringLiteral("علي کريمي"), QStringLiteral("مريم حسيني"),
                                      QStringLiteral("حسن محمدي")};
    static const QStringList kinds = {QStringLiteral("آپارتمان"), QStringLiteral("ويلايي"), QStringLiteral("مغازه"),
                                      QStringLiteral("زمين")};
    static const QStringList deals = {QStringLiteral("فروش"), QStringLiteral("رهن کامل"),
                                      QStringLiteral("اجاره کامل"), QStringLiteral("رهن و اجاره")};
    QStringList row;
    int amenity = 0;
    for (const ColumnDef& c : t.columns) {
        if (c.kind == ColumnKind::Counter)
            continue;
        switch (c.kind) {
        case ColumnKind::Boolean: row << QString::number(rnd.bounded(2) ? trueValue : 0); break;
        case ColumnKind::Money: row << QString::number(rnd.bounded(1, 500000) * 10000); break;
        case ColumnKind::Double: row << QString::number(rnd.bounded(40, 900) + 0.5); break;
        case ColumnKind::Byte:
        case ColumnKind::Integer: row << QString::number(rnd.bounded(0, 12)); break;
        default: {
            const QString n = c.name.toLower();
            if (n.endsWith(QLatin1String("_s")))
                row << QString::fromUtf8(kTitles[amenity++ % 40]);
            else if (n.startsWith(QLatin1String("tarikh")))
                row << QStringLiteral("1403/%1/%2").arg(rnd.bounded(1, 13), 2, 10, QLatin1Char('0')).arg(rnd.bounded(1, 30), 2, 10, QLatin1Char('0'));
            else if (n == QLatin1String("saatvoorod"))
                row << QStringLiteral("10:%1").arg(rnd.bounded(60), 2, 10, QLatin1Char('0'));
            else if (n == QLatin1String("malekesm"))
                row << names[int(rnd.bounded(names.size()))];
            else if (n.contains(QLatin1String("tel")) || n.contains(QLatin1String("mobile")))
                row << QStringLiteral("0912%1").arg(rnd.bounded(1000000, 9999999));
            else if (n == QLatin1String("novmelk"))
                row << kinds[int(rnd.bounded(kinds.size()))];
            else if (n.endsWith(QLatin1String("type")))
                row << deals[int(rnd.bounded(deals.size()))];
            else if (n == QLatin1String("addr"))
                row << QStringLiteral("تهران، خيابان آزادي، کوچه %1، پلاک %2").arg(rnd.bounded(1, 40)).arg(rnd.bounded(1, 200));
            else if (c.size >= 200)
                row << (rnd.bounded(3) == 0 ? QStringLiteral("نوساز، نورگير، دسترسي به مترو") : QString());
            else
                row << (rnd.bounded(2) ? QStringLiteral("سراميک") : QString());
        }
        }
    }
    return row;
}

// CPU time of this thread: the file database does all its work here, and other
// processes on the machine do not stretch it the way they stretch wall time.
struct CpuTimer {
    timespec t0{};
    void start() { clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t0); }
    double ms() const
    {
        timespec t1{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t1);
        return double(t1.tv_sec - t0.tv_sec) * 1e3 + double(t1.tv_nsec - t0.tv_nsec) / 1e6;
    }
};

long peakRssMb()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss / 1024;
}

double rawSqlite(const QString& path, long* cells)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY | SQLITE_OPEN_NOMUTEX, nullptr);
    CpuTimer t;
    t.start();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, "select * from T_Melk", -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    long touched = 0;
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < n; ++c) {
            switch (sqlite3_column_type(st, c)) {
            case SQLITE_INTEGER: touched += sqlite3_column_int64(st, c) != 0; break;
            case SQLITE_FLOAT: touched += sqlite3_column_double(st, c) != 0; break;
            case SQLITE_TEXT: touched += sqlite3_column_bytes(st, c) + (sqlite3_column_text(st, c) != nullptr); break;
            default: break;
            }
        }
    }
    sqlite3_finalize(st);
    const double ms = t.ms();
    sqlite3_close(db);
    *cells = touched;
    return ms;
}

double rawPg(const QString& conninfo)
{
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    QElapsedTimer t;
    t.start();
    PGresult* r = PQexec(c, "select * from T_Melk");
    long touched = 0;
    const int rows = PQntuples(r), cols = PQnfields(r);
    for (int i = 0; i < rows; ++i)
        for (int j = 0; j < cols; ++j)
            touched += PQgetisnull(r, i, j) ? 0 : PQgetlength(r, i, j) + (*PQgetvalue(r, i, j) != 0);
    PQclear(r);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    PQfinish(c);
    return touched > 0 ? ms : -1;
}

// Resident memory of the process now, in kB.
long residentKb()
{
    long pages = 0, resident = 0;
    if (FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

double openDataSet(Connection& conn, int* rows, bool cpu)
{
    DataSet ds(&conn);
    ds.setSQL(QStringLiteral("select * from T_Melk"));
    QElapsedTimer t;
    CpuTimer c;
    t.start();
    c.start();
    ds.Open();
    ds.Last();   // every row read
    const double ms = cpu ? c.ms() : double(t.nsecsElapsed()) / 1e6;
    *rows = ds.RecordCount();
    return ms;
}

// Memory held by a dataset with every row read, per row (bytes).
double heldPerRow(Connection& conn)
{
    const long before = residentKb();
    DataSet ds(&conn);
    ds.setSQL(QStringLiteral("select * from T_Melk"));
    ds.Open();
    ds.Last();
    const long after = residentKb();
    return double(after - before) * 1024.0 / ds.RecordCount();
}

// The rest of a list read in idle time, from the open to the last row: wall and thread CPU
// time, and the longest wait of a timer that asks every millisecond (what a key press or a
// click would wait), with or without a shown grid over the dataset.
struct Background {
    double wallMs = 0;
    double cpuMs = 0;
    double longestGapMs = 0;
    int rows = 0;
};

Background readInIdleTime(Connection& conn, bool withGrid)
{
    DataSet ds(&conn);
    ds.setSQL(QStringLiteral("select * from T_Melk"));
    std::unique_ptr<widgets::DBGrid> grid;
    if (withGrid) {
        grid = std::make_unique<widgets::DBGrid>();
        grid->resize(1200, 700);
        grid->setDataSet(&ds);
        grid->show();
        QApplication::processEvents();
    }
    Background b;
    QEventLoop loop;
    QTimer tick;
    tick.setTimerType(Qt::PreciseTimer);
    tick.setInterval(1);
    QElapsedTimer wall, gap;
    CpuTimer cpu;
    QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
        b.longestGapMs = std::max(b.longestGapMs, double(gap.nsecsElapsed()) / 1e6);
        gap.start();
        if (ds.AllRowsRead())
            loop.quit();
    });
    wall.start();
    cpu.start();
    ds.Open();
    gap.start();
    tick.start();
    loop.exec();
    b.wallMs = double(wall.nsecsElapsed()) / 1e6;
    b.cpuMs = cpu.ms();
    b.rows = ds.RecordCount();
    return b;
}

void printBackground(const char* engine, const char* what, const Background& b, double bare, bool cpu)
{
    const double ms = cpu ? b.cpuMs : b.wallMs;
    std::printf("%s: the rest read in idle time %s: %.1f ms (%s; wall %.1f ms), %d rows, bare statement %.1f ms, "
                "ratio %.2f (bar 1.25), longest event-loop gap %.1f ms (bar 100)\n",
                engine, what, ms, cpu ? "thread CPU" : "wall", b.wallMs, b.rows, bare, ms / bare, b.longestGapMs);
}

template <typename F>
double best(int times, F f)
{
    double b = 1e18;
    for (int i = 0; i < times; ++i)
        b = std::min(b, f());
    return b;
}

void fillSqlite(const QString& path, const TableDef& t)
{
    auto conn = Connection::openSqlite(path, true);
    conn->exec(conn->dialect().createTable(t));
    QStringList cols, marks;
    for (const ColumnDef& c : t.columns)
        if (c.kind != ColumnKind::Counter) {
            cols << c.name;
            marks << QStringLiteral("?");
        }
    conn.reset();
    sqlite3* db = bench::beginFill(path);
    sqlite3_stmt* st = nullptr;
    const QByteArray sql = QStringLiteral("insert into T_Melk (%1) values (%2)").arg(cols.join(QLatin1Char(',')), marks.join(QLatin1Char(','))).toUtf8();
    sqlite3_prepare_v2(db, sql.constData(), -1, &st, nullptr);
    QRandomGenerator rnd(42);
    std::vector<ColumnKind> kinds;
    for (const ColumnDef& c : t.columns)
        if (c.kind != ColumnKind::Counter)
            kinds.push_back(c.kind);
    for (int i = 0; i < kRows; ++i) {
        const QStringList row = makeRow(t, rnd, -1);
        for (int c = 0; c < row.size(); ++c) {
            const ColumnKind k = kinds[size_t(c)];
            if (k == ColumnKind::Text || k == ColumnKind::Memo) {
                bench::bindText(st, c + 1, row[c]);
            } else if (k == ColumnKind::Double || k == ColumnKind::Money) {
                sqlite3_bind_double(st, c + 1, row[c].toDouble());
            } else {
                sqlite3_bind_int64(st, c + 1, row[c].toLongLong());
            }
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    bench::endFill(db);
}

void fillPg(Connection& conn, const QString& conninfo, const TableDef& t)
{
    conn.exec(conn.dialect().createTable(t));
    QStringList cols;
    for (const ColumnDef& c : t.columns)
        if (c.kind != ColumnKind::Counter)
            cols << c.name;
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    PGresult* r = PQexec(c, QStringLiteral("COPY T_Melk (%1) FROM STDIN").arg(cols.join(QLatin1Char(','))).toUtf8().constData());
    PQclear(r);
    QRandomGenerator rnd(42);
    for (int i = 0; i < kRows; ++i) {
        const QByteArray line = makeRow(t, rnd, 1).join(QLatin1Char('\t')).append(QLatin1Char('\n')).toUtf8();
        PQputCopyData(c, line.constData(), int(line.size()));
    }
    PQputCopyEnd(c, nullptr);
    PQclear(PQgetResult(c));
    PQfinish(c);
}

} // namespace

int main(int argc, char** argv)
{
    bench::QuietPrompter prompter;
    bench::Application app(argc, argv, prompter);
    kRows = bench::rowsFor(kRows);
    const TableDef table = melkTable();
    Catalog catalog;
    catalog.add(table);
    std::printf("T_Melk: %d columns, %d rows\n", int(table.columns.size()), kRows);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("bench.mdb"));
    fillSqlite(path, table);
    long cells = 0;
    const double raw = best(5, [&] { return rawSqlite(path, &cells); });
    auto conn = Connection::openSqlite(path);
    conn->setCatalog(&catalog);
    // first, while the process holds no memory of an earlier dataset
    const double perRow = heldPerRow(*conn);
    int rows = 0;
    const double ours = best(5, [&] { return openDataSet(*conn, &rows, true); });
    std::printf("SQLite (thread CPU time, best of 5): raw sqlite3 stepping %.1f ms, DataSet::Open to the last row %.1f ms "
                "(%d rows), ratio %.2f (bar 1.25)\n",
                raw, ours, rows, ours / raw);
    std::printf("memory held per row: %.0f bytes (bar 800)\n", perRow);
    printBackground("SQLite", "alone", readInIdleTime(*conn, false), raw, true);
    printBackground("SQLite", "under a shown grid", readInIdleTime(*conn, true), raw, true);
    conn.reset();
    std::printf("peak memory of the process after the SQLite runs: %ld MB (bar 300 MB)\n", peakRssMb());

    if (!qEnvironmentVariableIsEmpty("DOVIN_TEST_PG")) {
        const QString base = qEnvironmentVariable("DOVIN_TEST_PG");
        auto admin = Connection::openPostgres(base);
        admin->exec(QStringLiteral("DROP SCHEMA IF EXISTS bench_open CASCADE"));
        admin->exec(QStringLiteral("CREATE SCHEMA bench_open"));
        const QString info = base + QStringLiteral(" options='-c search_path=bench_open'");
        auto pg = Connection::openPostgres(info);
        pg->setCatalog(&catalog);
        fillPg(*pg, info, table);
        const double rawP = best(3, [&] { return rawPg(info); });
        const double oursP = best(3, [&] { return openDataSet(*pg, &rows, false); });
        std::printf("PostgreSQL (wall time, best of 3): raw libpq %.1f ms, DataSet::Open to the last row %.1f ms (%d rows), "
                    "ratio %.2f (bar 1.25)\n",
                    rawP, oursP, rows, oursP / rawP);
        std::printf("memory held per row: %.0f bytes (bar 800)\n", heldPerRow(*pg));
        printBackground("PostgreSQL", "alone", readInIdleTime(*pg, false), rawP, false);
        printBackground("PostgreSQL", "under a shown grid", readInIdleTime(*pg, true), rawP, false);
        pg.reset();
        admin->exec(QStringLiteral("DROP SCHEMA bench_open CASCADE"));
    }
    std::printf("peak memory of the process at the end: %ld MB (raw libpq holds a whole result)\n", peakRssMb());
    return 0;
}
