// The program's start-up to idle, the memory it then holds and the first screen of each list
// (property, demand, deal, expense and cheque lists, phone book, region list, the widest match),
// on a program folder of size B (100,000 properties and demands, 20,000 deals, 50,000 expenses,
// 20,000 cheques) and, with --million, of 1,000,000 of each; the empty folder's start-up in the
// same run is the base of the ratios. The file database always, the server database too when
// DOVIN_TEST_PG is set.
//
// Each folder is set up as the program sets up its own: the build's program folder copied,
// the program started once on it (schema upgrade, geography import, the server database made
// from its script), then the rows written. Every start-up runs in a process of its own: this
// program started again with --child. DOVIN_BENCH_DIR keeps the folders for the next run.
#include "app/StartUp.h"
#include "app/TFrmMain.h"
#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "platform/db/Catalog.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/report/Fonts.h"
#include "platform/widgets/DBGrid.h"
#include "deals/TFrmHazineh.h"
#include "deals/TFrmRepMoameleh.h"
#include "deals/Tfrmlstcheck.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmLstNiyaz.h"
#include "registry/TFrmTels.h"
#include "ui/TTools.h"
#include "ui/WindowLook.h"

#include "BenchSupport.h"

#include <QAbstractEventDispatcher>
#include <QCheckBox>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QMap>
#include <QProcess>
#include <QPushButton>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <QUrlQuery>
#include <cstdio>
#include <functional>
#include <libpq-fe.h>
#include <sqlite3.h>

using namespace bench;

namespace {

// ---- the child: the program's own start-up ----

long residentKb()
{
    QFile f(QStringLiteral("/proc/self/status"));
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : f.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}

// Runs the event loop until it has nothing left to do.
void untilIdle()
{
    QEventLoop loop;
    QObject::connect(QAbstractEventDispatcher::instance(), &QAbstractEventDispatcher::aboutToBlock, &loop,
                     &QEventLoop::quit);
    QTimer::singleShot(0, &loop, [] {});
    loop.exec();
}

// The list's first screen: shown and its grid painted with the rows it holds.
double firstScreen(const std::function<void()>& open, const std::function<QWidget*()>& window, int* rows)
{
    QElapsedTimer t;
    t.start();
    open();
    const double opened = double(t.nsecsElapsed()) / 1e6;
    QWidget* w = window();
    auto* grid = w ? w->findChild<widgets::DBGrid*>() : nullptr;
    if (grid)
        grid->viewport()->grab();
    const double ms = double(t.nsecsElapsed()) / 1e6;
    if (qEnvironmentVariableIsSet("DOVIN_BENCH_PHASES"))
        std::fprintf(stderr, "opened %.1f painted %.1f\n", opened, ms);
    *rows = grid && grid->dataSet() ? grid->dataSet()->FetchedCount() : -1;
    return ms;
}

int child(int argc, char** argv, bool measure)
{
    QuietPrompter prompter;
    Application app(argc, argv, prompter);
    QApplication::setApplicationName(QStringLiteral("Zanit Kolvar (Dovin)"));
    QApplication::setLayoutDirection(Qt::RightToLeft);
    InstallWindowLook(app);
    report::installFontSubstitutions();
    if (!CreateForms())
        return 1;
    FrmMain->showMaximized();
    untilIdle();
    std::printf("idle %ld\n", residentKb());
    std::fflush(stdout);
    if (!measure) {
        FreeForms();
        return 0;
    }

    const auto action = [](const char* name) { return FrmMain->findChild<QAction*>(QLatin1String(name)); };
    struct List {
        const char* name;
        QAction* action;
        std::function<QWidget*()> window;
    };
    const List lists[] = {
        {"property", action("ActLstMelk"), [] { return static_cast<QWidget*>(FrmLstMelk); }},
        {"demand", action("ActLstNiyaz"), [] { return static_cast<QWidget*>(FrmLstNiyaz); }},
        {"deal", action("ActLstMoameleh"), [] { return static_cast<QWidget*>(FrmRepMoameleh); }},
        {"expense", action("ActLstExSanad"), [] { return static_cast<QWidget*>(FrmHazineh); }},
        {"cheque", action("ActLstCheck"), [] { return static_cast<QWidget*>(frmlstcheck); }},
        {"phonebook", action("ActTel"), [] { return static_cast<QWidget*>(FrmTels); }},
    };
    for (const List& l : lists) {
        int rows = 0;
        const double ms = firstScreen([&] { l.action->trigger(); }, l.window, &rows);
        std::printf("list %s %.1f %d\n", l.name, ms, rows);
        std::fflush(stdout);
        if (QWidget* w = l.window())
            w->close();
        untilIdle();
    }

    // the region list is modal: measured from inside its own loop
    {
        QElapsedTimer t;
        double ms = 0;
        int rows = 0;
        QTimer::singleShot(0, [&] {
            QWidget* w = QApplication::activeModalWidget();
            if (auto* grid = w ? w->findChild<widgets::DBGrid*>() : nullptr) {
                grid->viewport()->grab();
                rows = grid->dataSet() ? grid->dataSet()->FetchedCount() : -1;
            }
            ms = double(t.nsecsElapsed()) / 1e6;
            if (w)
                w->close();
        });
        t.start();
        action("ActLstRegion")->trigger();
        std::printf("list regions %.1f %d\n", ms, rows);
        untilIdle();
    }

    // the widest match: one property against every demand that is not deleted
    {
        action("ActLstMelk")->trigger();
        untilIdle();
        for (QCheckBox* box : FrmLstMelk->findChild<QWidget*>(QStringLiteral("Panel4"))->findChildren<QCheckBox*>())
            box->setChecked(false);
        int rows = 0;
        const double ms = firstScreen([] { FrmLstMelk->findChild<QPushButton*>(QStringLiteral("BitBtn5"))->click(); }, [] { return static_cast<QWidget*>(FrmLstNiyaz); },
                                      &rows);
        std::printf("list match %.1f %d\n", ms, rows);
        FrmLstNiyaz->close();
        FrmLstMelk->close();
        untilIdle();
    }
    std::fflush(stdout);
    FreeForms();
    return 0;
}

// ---- the parent: folders, rows and figures ----

struct Sizes {
    int properties, demands, deals, expenses, cheques, phones;
};

struct Engine {
    bool server = false;
    QString host, port, user;   // of DOVIN_TEST_PG
};

QString pgValue(const QString& conninfo, const QString& key, const QString& fallback)
{
    for (const QString& part : conninfo.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const int eq = part.indexOf(QLatin1Char('='));
        if (eq > 0 && part.left(eq) == key)
            return part.mid(eq + 1);
    }
    return fallback;
}

// Realistic values: amounts, dates of the last ten years up to today, names, phones, titles.
class Values {
public:
    Values() : rnd_(11)
    {
        const QString today = Tools->TodayShamsi();
        for (int d = 0; d < 3650; ++d)
            dates_ << TTools::SubtractDays(today, d).toUtf8();
        for (const char* s : {"محمد رضايي", "زهرا احمدي", "علي کريمي", "مريم حسيني", "حسن محمدي", "فاطمه موسوي",
                              "رضا صادقي", "سارا جعفري", "مهدي نوري", "ليلا کاظمي"})
            names_ << QByteArray(s);
        for (int i = 0; i < FeatureCount; ++i)
            titles_ << QByteArray(Features()[i].defaultTitle);
    }
    QRandomGenerator& rnd() { return rnd_; }
    QByteArray date() { return dates_[int(rnd_.bounded(dates_.size()))]; }
    QByteArray name() { return names_[int(rnd_.bounded(names_.size()))]; }
    QByteArray phone() { return "0912" + QByteArray::number(rnd_.bounded(1000000, 9999999)); }
    QByteArray pick(std::initializer_list<const char*> options)
    {
        return QByteArray(options.begin()[rnd_.bounded(int(options.size()))]);
    }

    // The value of a column, by its name and kind; empty for NULL.
    QByteArray value(const QString& table, const db::ColumnDef& c, int row, bool server)
    {
        const QString n = c.name.toLower();
        const QByteArray yes = server ? "1" : "-1";
        switch (c.kind) {
        case db::ColumnKind::Counter: return {};
        case db::ColumnKind::Boolean:
            if (n == QLatin1String("hazfshodeh") || n == QLatin1String("hazf"))
                return rnd_.bounded(20) == 0 ? yes : "0";
            return rnd_.bounded(2) ? yes : "0";
        case db::ColumnKind::Money:
        case db::ColumnKind::Decimal:
            if (n.contains(QLatin1String("discount")))
                return rnd_.bounded(4) == 0 ? QByteArray::number(rnd_.bounded(1, 50) * 10000) : "0";
            return QByteArray::number(qint64(rnd_.bounded(1, 500000)) * 10000);
        case db::ColumnKind::Double: return QByteArray::number(rnd_.bounded(40, 900)) + ".5";
        case db::ColumnKind::Byte:
        case db::ColumnKind::SmallInt: return QByteArray::number(rnd_.bounded(0, 12));
        case db::ColumnKind::Integer:
            if (n == QLatin1String("mantaghehid") || n == QLatin1String("mnid"))
                return QByteArray::number(rnd_.bounded(1, 61));
            if (n.contains(QLatin1String("cityid")))
                return "100001";
            return QByteArray::number(rnd_.bounded(0, 12));
        case db::ColumnKind::Binary: return {};
        default: break;
        }
        // texts
        if (n.endsWith(QLatin1String("_s")))
            return titles_[int(rnd_.bounded(titles_.size()))];
        if (n.startsWith(QLatin1String("tarikh")))
            return date();
        if (n.startsWith(QLatin1String("saat")))
            return QByteArray::number(rnd_.bounded(8, 20)) + ":" + QByteArray::number(rnd_.bounded(10, 60));
        if (n == QLatin1String("nov")) {
            if (table == QLatin1String("t_sanad"))
                return pick({"k", "j"});
            if (table == QLatin1String("t_hazineh"))
                return pick({"هزينه", "هزينه", "درآمد"});
            return pick({"دريافتي", "پرداختي"});
        }
        if (n == QLatin1String("vaziyat") && table == QLatin1String("t_check"))
            return pick({"پاس شده", "پاس نشده", "به حساب", "برگشتي"});
        if (n.contains(QLatin1String("tel")) || n.contains(QLatin1String("mobile")) || n == QLatin1String("phone")
            || n == QLatin1String("fax"))
            return phone();
        if (n.contains(QLatin1String("esm")) || n == QLatin1String("kharidar") || n == QLatin1String("shakhs")
            || n.contains(QLatin1String("name")))
            return name();
        if (n == QLatin1String("novmelk"))
            return pick({"آپارتمان", "ويلايي", "مغازه", "زمين", "دفتر کار"});
        if (n.endsWith(QLatin1String("type")))
            return pick({"فروش", "رهن کامل", "اجاره کامل", "رهن و اجاره"});
        if (n == QLatin1String("shoomareh"))
            return QByteArray::number(row + 1);
        if (n == QLatin1String("addr") || n.contains(QLatin1String("address")))
            return "تهران، خيابان آزادي، کوچه " + QByteArray::number(rnd_.bounded(1, 40)) + "، پلاک "
                 + QByteArray::number(rnd_.bounded(1, 200));
        if (n == QLatin1String("ghovlnameh"))
            return rnd_.bounded(5) == 0 ? QByteArray("{\\rtf1\\ansi\\deff0 قرارداد اجاره و فروش شماره ")
                                              + QByteArray::number(row + 1) + "}"
                                        : QByteArray();
        const int width = c.size > 0 ? c.size : 255;
        if (width >= 100)
            return rnd_.bounded(3) == 0 ? QByteArray("نوساز، نورگير، دسترسي به مترو") : QByteArray();
        QByteArray v = rnd_.bounded(2) ? QByteArray("سراميک") : QByteArray();
        while (v.size() > width)
            v.chop(1);
        return v;
    }

private:
    QRandomGenerator rnd_;
    QList<QByteArray> dates_, names_, titles_;
};

std::vector<const db::ColumnDef*> writtenColumns(const QString& table)
{
    std::vector<const db::ColumnDef*> out;
    for (const db::ColumnDef& c : SchemaCatalog().table(table)->columns)
        if (c.kind != db::ColumnKind::Counter)
            out.push_back(&c);
    return out;
}

void fillSqlite(const QString& file, const QString& table, int rows, Values& values)
{
    const auto cols = writtenColumns(table);
    QStringList names, marks;
    for (const db::ColumnDef* c : cols) {
        names << c->name;
        marks << QStringLiteral("?");
    }
    sqlite3* db = beginFill(file);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       QStringLiteral("insert into %1 (%2) values (%3)")
                           .arg(table, names.join(QLatin1Char(',')), marks.join(QLatin1Char(',')))
                           .toUtf8()
                           .constData(),
                       -1, &st, nullptr);
    const QString lower = table.toLower();
    for (int r = 0; r < rows; ++r) {
        for (size_t k = 0; k < cols.size(); ++k) {
            const db::ColumnDef* c = cols[k];
            const QByteArray v = values.value(lower, *c, r, false);
            const int at = int(k) + 1;
            if (v.isNull() && c->kind != db::ColumnKind::Text && c->kind != db::ColumnKind::Memo)
                sqlite3_bind_null(st, at);
            else if (c->kind == db::ColumnKind::Money || c->kind == db::ColumnKind::Decimal || c->kind == db::ColumnKind::Double)
                sqlite3_bind_double(st, at, v.toDouble());
            else if (c->kind == db::ColumnKind::Text || c->kind == db::ColumnKind::Memo)
                sqlite3_bind_text(st, at, v.constData(), int(v.size()), SQLITE_TRANSIENT);
            else
                sqlite3_bind_int64(st, at, v.toLongLong());
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    endFill(db);
}

void fillServer(const QString& conninfo, const QString& table, int rows, Values& values)
{
    const auto cols = writtenColumns(table);
    QStringList names;
    for (const db::ColumnDef* c : cols)
        names << c->name;
    PGconn* c = PQconnectdb(conninfo.toUtf8().constData());
    {
        PgCopy copy(c, table, names);
        const QString lower = table.toLower();
        for (int r = 0; r < rows; ++r) {
            for (const db::ColumnDef* col : cols) {
                const QByteArray v = values.value(lower, *col, r, true);
                if (v.isNull() && col->kind != db::ColumnKind::Text && col->kind != db::ColumnKind::Memo)
                    copy.addNull();
                else
                    copy.add(v);
            }
            copy.endRow();
        }
    }
    PQclear(PQexec(c, "ANALYZE"));
    PQfinish(c);
}

class Bench {
public:
    explicit Bench(const QString& self) : self_(self) {}

    // A folder set up and filled; empty when it could not be made.
    QString folder(const Engine& e, const QString& name, const Sizes* sizes)
    {
        const QString dir = root() + (e.server ? QStringLiteral("server-") : QStringLiteral("file-")) + name;
        const QString database = QStringLiteral("dovin_bench_") + name;
        if (QFile::exists(dir + QStringLiteral("/ready")))
            return dir;
        QDir(dir).removeRecursively();
        copyProgram(dir);
        if (e.server) {
            writeText(dir + QStringLiteral("/bench_startup.ini"), "[gen]\nverType=sql\n");
            writeText(dir + QStringLiteral("/srvpath.txt"),
                      QStringLiteral("Data Source=%1,%2;Initial Catalog=%3;User ID=%4;Password=;")
                          .arg(e.host, e.port, database, e.user)
                          .toUtf8());
            auto admin = db::Connection::openPostgres(
                QStringLiteral("host=%1 port=%2 user=%3 dbname=postgres").arg(e.host, e.port, e.user));
            admin->exec(QStringLiteral("DROP DATABASE IF EXISTS %1").arg(database));
        }
        // the program's first start: upgrade, geography, the server database made
        QElapsedTimer t;
        t.start();
        if (run(dir, false).isEmpty())
            return {};
        std::fprintf(stderr, "%s: set up by the program in %.1f s\n", qPrintable(dir), t.nsecsElapsed() / 1e9);
        if (sizes) {
            t.restart();
            Values values;
            const QString conninfo =
                QStringLiteral("host=%1 port=%2 user=%3 dbname=%4").arg(e.host, e.port, e.user, database);
            const std::pair<const char*, int> tables[] = {
                {"t_manategh", 60},          {"T_Melk", sizes->properties}, {"T_niyaz", sizes->demands},
                {"T_Sanad", sizes->deals},   {"t_hazineh", sizes->expenses}, {"t_check", sizes->cheques},
                {"t_Tels", sizes->phones}};
            for (const auto& [table, rows] : tables) {
                if (e.server)
                    fillServer(conninfo, QString::fromLatin1(table), rows, values);
                else
                    fillSqlite(dir + QStringLiteral("/mdbDovin.mdb"), QString::fromLatin1(table), rows, values);
            }
            std::fprintf(stderr, "%s: rows written in %.1f s\n", qPrintable(dir), t.nsecsElapsed() / 1e9);
        }
        writeText(dir + QStringLiteral("/ready"), "");
        return dir;
    }

    // One start-up in a process of its own: the milliseconds from its start to idle and what
    // it printed; empty when it failed.
    QMap<QString, QString> run(const QString& dir, bool measure, double* startupMs = nullptr)
    {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("DOVIN_HOME"), dir);
        p.setProcessEnvironment(env);
        p.setProcessChannelMode(QProcess::SeparateChannels);
        QElapsedTimer t;
        t.start();
        p.start(self_, {measure ? QStringLiteral("--child") : QStringLiteral("--setup")});
        QMap<QString, QString> out;
        QByteArray pending;
        while (p.state() != QProcess::NotRunning || p.bytesAvailable() > 0) {
            p.waitForReadyRead(100);
            pending += p.readAllStandardOutput();
            int nl;
            while ((nl = pending.indexOf('\n')) >= 0) {
                const QString line = QString::fromUtf8(pending.left(nl));
                pending.remove(0, nl + 1);
                const QStringList parts = line.split(QLatin1Char(' '));
                if (parts.value(0) == QLatin1String("idle")) {
                    if (startupMs)
                        *startupMs = double(t.nsecsElapsed()) / 1e6;
                    out.insert(QStringLiteral("idle"), parts.value(1));
                } else if (parts.value(0) == QLatin1String("list")) {
                    out.insert(QStringLiteral("list ") + parts.value(1), parts.value(2) + QLatin1Char(' ') + parts.value(3));
                }
            }
            if (p.state() == QProcess::NotRunning && p.bytesAvailable() == 0)
                break;
        }
        p.waitForFinished(-1);
        if (p.exitCode() != 0 || !out.contains(QStringLiteral("idle"))) {
            std::fprintf(stderr, "start-up in %s failed:\n%s\n", qPrintable(dir), p.readAllStandardError().constData());
            return {};
        }
        return out;
    }

private:
    QString root()
    {
        if (!qEnvironmentVariableIsEmpty("DOVIN_BENCH_DIR"))
            return qEnvironmentVariable("DOVIN_BENCH_DIR") + QLatin1Char('/');
        if (!tmp_)
            tmp_ = std::make_unique<QTemporaryDir>();
        return tmp_->path() + QLatin1Char('/');
    }
    static void writeText(const QString& file, const QByteArray& text)
    {
        QFile f(file);
        if (f.open(QIODevice::WriteOnly))
            f.write(text);
    }
    static void copyProgram(const QString& dir)
    {
        const QDir from(QStringLiteral(DOVIN_PROGRAM_DIR));
        QDirIterator it(from.path(), QDir::Files, QDirIterator::Subdirectories);
        while (it.hasNext()) {
            const QString file = it.next();
            if (QFileInfo(file).fileName() == QLatin1String("Dovin"))
                continue;
            const QString to = dir + QLatin1Char('/') + from.relativeFilePath(file);
            QDir().mkpath(QFileInfo(to).path());
            QFile::copy(file, to);
        }
    }

    QString self_;
    std::unique_ptr<QTemporaryDir> tmp_;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && (qstrcmp(argv[1], "--child") == 0 || qstrcmp(argv[1], "--setup") == 0))
        return child(argc, argv, qstrcmp(argv[1], "--child") == 0);

    QCoreApplication app(argc, argv);
    Tools = new TTools(true);
    LoadFeatureCaptions();
    const bool million = QCoreApplication::arguments().contains(QStringLiteral("--million"));
    Bench bench(QCoreApplication::applicationFilePath());

    std::vector<Engine> engines(1);
    if (!qEnvironmentVariableIsEmpty("DOVIN_TEST_PG")) {
        const QString info = qEnvironmentVariable("DOVIN_TEST_PG");
        Engine e;
        e.server = true;
        e.host = pgValue(info, QStringLiteral("host"), QStringLiteral("127.0.0.1"));
        e.port = pgValue(info, QStringLiteral("port"), QStringLiteral("5432"));
        e.user = pgValue(info, QStringLiteral("user"), QStringLiteral("postgres"));
        engines.push_back(e);
    }
    const Sizes sizeB{100000, 100000, 20000, 50000, 20000, 10000};
    const Sizes sizeM{1000000, 1000000, 1000000, 1000000, 1000000, 1000000};
    const QStringList lists = {QStringLiteral("property"),  QStringLiteral("demand"),  QStringLiteral("deal"),
                               QStringLiteral("expense"),   QStringLiteral("cheque"),  QStringLiteral("phonebook"),
                               QStringLiteral("regions"),   QStringLiteral("match")};
    bool met = true;
    for (const Engine& e : engines) {
        struct Case {
            QString name;
            const Sizes* sizes;
            double listBar;   // ms
        };
        std::vector<Case> cases = {{QStringLiteral("empty"), nullptr, 300}, {QStringLiteral("B"), &sizeB, 300}};
        if (million)
            cases.push_back({QStringLiteral("million"), &sizeM, 1000});
        std::printf("\n%s\n", e.server ? "PostgreSQL" : "SQLite");
        std::printf("%-8s %10s %7s %8s", "folder", "start-up", "ratio", "idle MB");
        for (const QString& l : lists)
            std::printf(" %9s", qPrintable(l));
        std::printf("\n");
        double emptyMs = 0;
        for (const Case& c : cases) {
            const QString dir = bench.folder(e, c.name, c.sizes);
            if (dir.isEmpty())
                return 2;
            double best = 1e18;
            long rss = 0;
            QMap<QString, double> listBest;
            QMap<QString, QString> rowsOf;
            for (int i = 0; i < 3; ++i) {
                double ms = 0;
                const auto out = bench.run(dir, true, &ms);
                if (out.isEmpty())
                    return 2;
                best = std::min(best, ms);
                rss = std::max(rss, out.value(QStringLiteral("idle")).toLong());
                for (const QString& l : lists) {
                    const QString v = out.value(QStringLiteral("list ") + l);
                    const double lms = v.section(QLatin1Char(' '), 0, 0).toDouble();
                    if (!listBest.contains(l) || lms < listBest[l])
                        listBest[l] = lms;
                    rowsOf[l] = v.section(QLatin1Char(' '), 1, 1);
                }
            }
            if (c.name == QLatin1String("empty"))
                emptyMs = best;
            const double ratio = best / emptyMs;
            std::printf("%-8s %7.0f ms %7.2f %8.1f", qPrintable(c.name), best, ratio, rss / 1024.0);
            for (const QString& l : lists) {
                std::printf(" %6.0f ms", listBest[l]);
                if (c.sizes)
                    met = met && listBest[l] <= c.listBar;
            }
            std::printf("\n");
            if (c.sizes == &sizeB)
                met = met && ratio <= 1.5 && rss / 1024.0 < 120;
            if (c.sizes == &sizeM)
                met = met && best < 1000;
        }
    }
    std::printf("\nbars: start-up at B at most 1.5x the empty one and under 1 s at a million, idle memory at B under "
                "120 MB, each list's first screen within 0.3 s at B and 1 s at a million: %s\n",
                met ? "met" : "NOT MET");
    return met ? 0 : 1;
}
