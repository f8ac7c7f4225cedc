// Backup and restore of a database with 100,000 properties, 100,000 demands and 20,000 deals,
// against the raw engine tools in the same run: sqlite3_backup (file database), pg_dump and
// pg_restore (server database, when DOVIN_TEST_PG names one).
#include "core/Schema.h"
#include "core/TBackUp.h"
#include "core/TDBUpdate.h"
#include "platform/db/Catalog.h"
#include "platform/db/Connection.h"
#include "platform/db/PgTools.h"
#include "platform/db/Sql.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

using namespace bench;

namespace {

const int kProperties = 100000;
const int kDemands = 100000;
const int kDeals = 20000;

const char* kWords[] = {"آپارتمان", "نوساز", "شمالي", "پارکينگ", "انباري", "آسانسور", "رهن", "اجاره", "فروش",
                        "خيابان", "کوچه", "پلاک", "طبقه", "واحد", "مالک", "خريدار", "تهران", "منطقه"};

QString words(QRandomGenerator& rnd, int maxChars)
{
    QString s;
    while (s.size() < maxChars) {
        const QString w = QString::fromUtf8(kWords[rnd.bounded(int(std::size(kWords)))]);
        if (s.size() + w.size() + 1 > maxChars)
            break;
        if (!s.isEmpty())
            s += QLatin1Char(' ');
        s += w;
    }
    return s;
}

QString value(const db::ColumnDef& c, QRandomGenerator& rnd, int trueValue)
{
    using db::ColumnKind;
    switch (c.kind) {
    case ColumnKind::Boolean: return rnd.bounded(3) == 0 ? QString::number(trueValue) : QStringLiteral("0");
    case ColumnKind::Money:
    case ColumnKind::Decimal: return QString::number(1e6 * (1 + rnd.bounded(5000)), 'f', 0);
    case ColumnKind::Double: return QString::number(30 + rnd.bounded(400.0), 'f', 2);
    case ColumnKind::Byte:
    case ColumnKind::SmallInt: return QString::number(rnd.bounded(10));
    case ColumnKind::Integer: return QString::number(1 + rnd.bounded(20));
    case ColumnKind::Text:
        if (c.size == 10)
            return db::Q(QStringLiteral("14%1/%2/%3").arg(rnd.bounded(2, 4), 2, 10, QLatin1Char('0'))
                             .arg(1 + rnd.bounded(12), 2, 10, QLatin1Char('0')).arg(1 + rnd.bounded(29), 2, 10, QLatin1Char('0')));
        // most optional texts stay empty
        return rnd.bounded(3) == 0 ? db::Q(words(rnd, std::min(c.size > 0 ? c.size : 50, 24))) : QStringLiteral("''");
    case ColumnKind::Memo:
        // a deal's contract text is a page of rich text; other notes are a line or none
        if (c.name == QLatin1String("ghovLnameh"))
            return db::Q(QStringLiteral("{\\rtf1\\ansi ") + words(rnd, 1500) + QLatin1Char('}'));
        return rnd.bounded(2) == 0 ? db::Q(words(rnd, 80)) : QStringLiteral("''");
    default: return QStringLiteral("null");
    }
}

// Rows with every column filled, 500 to a statement, in one transaction.
void fill(db::Connection& conn, const QString& table, int rows, QRandomGenerator& rnd)
{
    const db::TableDef* t = SchemaCatalog().table(table);
    QStringList cols;
    std::vector<const db::ColumnDef*> defs;
    for (const db::ColumnDef& c : t->columns)
        if (c.kind != db::ColumnKind::Counter && c.kind != db::ColumnKind::Binary && conn.columnExists(table, c.name)) {
            cols << c.name;
            defs.push_back(&c);
        }
    const QString head = QStringLiteral("insert into %1 (%2) values ").arg(table, cols.join(QLatin1Char(',')));
    db::inTransaction(conn, [&] {
        for (int done = 0; done < rows;) {
            QStringList tuples;
            for (int i = 0; i < 500 && done < rows; ++i, ++done) {
                QStringList v;
                for (const db::ColumnDef* c : defs)
                    v << value(*c, rnd, conn.dialect().trueValue());
                tuples << QLatin1Char('(') + v.join(QLatin1Char(',')) + QLatin1Char(')');
            }
            conn.exec(head + tuples.join(QLatin1Char(',')));
        }
    });
}

void seed(db::Connection& conn, const QString& folder)
{
    conn.setCatalog(&SchemaCatalog());
    CreateBaseSchema(conn, TSchemaDb::Agency);
    MakeDBUpdate(conn, conn.dialect().isFile(), folder)->Update(0);
    QRandomGenerator rnd(11);
    conn.exec(QStringLiteral("insert into t_manategh (Esm) values ('منطقه يک'), ('منطقه دو'), ('منطقه سه')"));
    fill(conn, QStringLiteral("T_Melk"), kProperties, rnd);
    fill(conn, QStringLiteral("T_niyaz"), kDemands, rnd);
    fill(conn, QStringLiteral("T_Sanad"), kDeals, rnd);
}

// Yes to every question, silently; keeps the last message.
class YesPrompter : public QuietPrompter {
public:
    int messageDlg(const shell::MessageRequest& r) override { return note(r.text, r.buttons & 4 ? 6 : 1); }
    int plainMessage(const shell::PlainMessageRequest& r) override { return note(r.text, 6); }
    QString last;

private:
    int note(const QString& text, int answer)
    {
        last = text;
        return answer;
    }
};

double rawSqliteCopy(const QString& from, const QString& to)
{
    return seconds([&] {
        sqlite3 *src = nullptr, *dst = nullptr;
        sqlite3_open_v2(from.toUtf8().constData(), &src, SQLITE_OPEN_READONLY, nullptr);
        sqlite3_open_v2(to.toUtf8().constData(), &dst, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        sqlite3_backup* b = sqlite3_backup_init(dst, "main", src, "main");
        sqlite3_backup_step(b, -1);
        sqlite3_backup_finish(b);
        sqlite3_close(dst);
        sqlite3_close(src);
    });
}

void row(const char* what, double s, double raw, const char* rawName)
{
    std::printf("  %-8s %7.3f s   %-22s %7.3f s   ratio %5.2f%s\n", what, s, rawName, raw, raw > 0 ? s / raw : 0.0,
                s < 3.0 ? "" : "   (over 3 s)");
}

} // namespace

int main(int argc, char** argv)
{
    YesPrompter prompter;
    Application app(argc, argv, prompter);
    QTemporaryDir dir;
    const QString folder = dir.path() + QLatin1Char('/');
    std::printf("%d properties, %d demands, %d deals\n", kProperties, kDemands, kDeals);

    {
        const QString live = folder + QStringLiteral("mdbDovin.mdb");
        auto conn = db::Connection::openSqlite(live, true);
        seed(*conn, folder);
        std::printf("SQLite (database file %.1f MB)\n", double(QFileInfo(live).size()) / 1e6);
        TBackUpTarget t;
        t.conn = conn.get();
        t.programFolder = folder;
        TBackUpAccess b(t);
        const QString file = folder + QStringLiteral("bench.zdc");
        const double backup = seconds([&] { b.BackUp(file); });
        const bool backedUp = prompter.last == QStringLiteral("عمليات ذخيره سازي به پايان رسيد");
        const double rawBackup = rawSqliteCopy(live, folder + QStringLiteral("raw.db"));
        row("backup", backup, rawBackup, "sqlite3_backup");
        conn->exec(QStringLiteral("delete from T_niyaz"));
        const double restore = seconds([&] { b.Restore(file); });
        const bool restored = prompter.last == QStringLiteral("عمليات بازيابي به پايان رسيد")
            && conn->scalar(QStringLiteral("select count(*) from T_niyaz")).toInt() == kDemands;
        conn.reset();
        const double rawRestore = rawSqliteCopy(file, live);
        row("restore", restore, rawRestore, "sqlite3_backup");
        if (!backedUp || !restored)
            std::printf("  FAILED: %s\n", qPrintable(prompter.last));
    }

    const QString pg = qEnvironmentVariable("DOVIN_TEST_PG");
    if (pg.isEmpty()) {
        std::printf("PostgreSQL: DOVIN_TEST_PG is not set\n");
        return 0;
    }
    const QString schema = QStringLiteral("bench_backup_%1").arg(QCoreApplication::applicationPid());
    db::Connection::openPostgres(pg)->exec(QStringLiteral("create schema %1").arg(schema));
    const QString conninfo = pg + QStringLiteral(" options='-c search_path=%1'").arg(schema);
    {
        auto conn = db::Connection::openPostgres(conninfo);
        seed(*conn, folder);
        std::printf("PostgreSQL\n");
        TBackUpTarget t;
        t.conn = conn.get();
        t.programFolder = folder;
        t.serverConnInfo = conninfo;
        TBackUpSQL b(t);
        const QString file = folder + QStringLiteral("bench.zdq");
        const double backup = seconds([&] { b.BackUp(file); });
        const bool backedUp = prompter.last == QStringLiteral("پايان عمليات");
        const QString rawFile = folder + QStringLiteral("raw.dump");
        const double rawBackup = seconds([&] {
            db::pgtools::run(QStringLiteral("pg_dump"), {QStringLiteral("-Fc"), QStringLiteral("-n"), schema,
                                                         QStringLiteral("-f"), rawFile}, conninfo);
        });
        row("backup", backup, rawBackup, "pg_dump");
        conn->exec(QStringLiteral("delete from T_niyaz"));
        const double restore = seconds([&] { b.Restore(file); });
        const bool restored = prompter.last == QStringLiteral("پايان عمليات")
            && conn->scalar(QStringLiteral("select count(*) from T_niyaz")).toInt() == kDemands;
        const double rawRestore = seconds([&] {
            db::pgtools::run(QStringLiteral("pg_restore"), {QStringLiteral("--clean"), QStringLiteral("--if-exists"), QStringLiteral("-1"),
                                                            QStringLiteral("-d"), pg, rawFile}, conninfo);
        });
        row("restore", restore, rawRestore, "pg_restore --clean -1");
        if (!backedUp || !restored)
            std::printf("  FAILED: %s\n", qPrintable(prompter.last));
    }
    db::Connection::openPostgres(pg)->exec(QStringLiteral("drop schema %1 cascade").arg(schema));
    return 0;
}
