// The deal list over 100,000 deals: its default search (the list with its VAT columns and the
// sums) and the grid ready to show, against stepping the same two statements with the raw
// sqlite3 API; on the server (DOVIN_TEST_PG) the sums through a dataset against bare libpq.
#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "deals/DealStatements.h"
#include "deals/TFrmRepMoameleh.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBGrid.h"
#include "ui/TTools.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QDateTime>
#include <QRandomGenerator>
#include <cstdio>
#include <libpq-fe.h>
#include <sqlite3.h>

using namespace bench;

namespace {

// 100,000, or a million with --million
int kRows = 100000;

// Deals of the last 185 days: parties with their identities, kinds, commissions and discounts.
void fill(const QString& path, const QString& today)
{
    sqlite3* db = beginFill(path);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db,
                       "insert into T_Sanad (TarikhV, saatv, Tarikhsanad, tarikhstart, tarikhend, Nov, EsmMalek, "
                       "MoshakhasatMalek, Kharidar, Moshakhasatkharidar, Haghebongah, toziaht2, shoomareh, ownerDiscount, "
                       "customerDiscount, ownerNatNO, custNatNO, paymentState, custPaymentState, ownerCityId, custCityId, "
                       "ownerInitialName, ownerLastName, custInitialName, custLastName, ownerPersonKind, custPersonKind) "
                       "values (?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?,?)",
                       -1, &st, nullptr);
    const QStringList first = {QStringLiteral("محمد"), QStringLiteral("زهرا"), QStringLiteral("علي"), QStringLiteral("مريم")};
    const QStringList last = {QStringLiteral("رضايي"), QStringLiteral("احمدي"), QStringLiteral("کريمي"), QStringLiteral("حسيني")};
    const QStringList states = {QStringLiteral("تسويه شده"), QStringLiteral("تسويه نشده"), QStringLiteral("نقدي")};
    QStringList days;
    for (int d = 0; d <= 185; ++d)
        days << TTools::SubtractDays(today, d);
    QRandomGenerator rnd(7);
    const auto text = [&](int k, const QString& s) { bindText(st, k, s); };
    for (int i = 0; i < kRows; ++i) {
        const QString date = days[int(rnd.bounded(days.size()))];
        const QString of = first[int(rnd.bounded(first.size()))], ol = last[int(rnd.bounded(last.size()))];
        const QString cf = first[int(rnd.bounded(first.size()))], cl = last[int(rnd.bounded(last.size()))];
        const double h = double(rnd.bounded(10, 5000)) * 10000;
        text(1, date);
        text(2, QStringLiteral("10:30"));
        text(3, date);
        text(4, date);
        text(5, date);
        text(6, rnd.bounded(2) ? QStringLiteral("k") : QStringLiteral("j"));
        text(7, of + QLatin1Char(' ') + ol);
        text(8, QStringLiteral("0912%1").arg(rnd.bounded(1000000, 9999999)));
        text(9, cf + QLatin1Char(' ') + cl);
        text(10, QStringLiteral("0935%1").arg(rnd.bounded(1000000, 9999999)));
        sqlite3_bind_double(st, 11, h);
        text(12, rnd.bounded(3) == 0 ? QStringLiteral("پرداخت در دو قسط") : QString());
        text(13, QString::number(i + 1));
        sqlite3_bind_double(st, 14, rnd.bounded(4) == 0 ? double(rnd.bounded(1, 50)) * 10000 : 0);
        sqlite3_bind_double(st, 15, rnd.bounded(4) == 0 ? double(rnd.bounded(1, 50)) * 10000 : 0);
        text(16, QStringLiteral("00%1").arg(rnd.bounded(10000000, 99999999)));
        text(17, QStringLiteral("00%1").arg(rnd.bounded(10000000, 99999999)));
        text(18, states[int(rnd.bounded(states.size()))]);
        text(19, states[int(rnd.bounded(states.size()))]);
        sqlite3_bind_int(st, 20, 100001);
        sqlite3_bind_int(st, 21, 230001);
        text(22, of);
        text(23, ol);
        text(24, cf);
        text(25, cl);
        sqlite3_bind_int(st, 26, 1);
        sqlite3_bind_int(st, 27, 1);
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    endFill(db);
}

// The sums of the deal list on the server, over every date and over the default dates: through
// a dataset as the list runs them, and with bare libpq, on the rows of the file database.
void serverSums(const QString& file, const QString& folder, const QStringList& wheres, const DealRates& rates)
{
    QString info;
    auto pg = freshServerSchema(QStringLiteral("bench_deals"), folder, &info);
    PGconn* raw = PQconnectdb(info.toUtf8().constData());
    {
        sqlite3* lite = nullptr;
        sqlite3_open_v2(file.toUtf8().constData(), &lite, SQLITE_OPEN_READONLY, nullptr);
        copyToServer(lite, raw, "T_Sanad",
                     "Tarikhsanad, Nov, EsmMalek, Kharidar, Haghebongah, ownerDiscount, customerDiscount, shoomareh");
        sqlite3_close(lite);
    }
    PQclear(PQexec(raw, "VACUUM ANALYZE T_Sanad"));
    db::DataSet ds(pg.get());
    const char* names[] = {"sums, default dates", "sums, every date"};
    for (int i = 0; i < wheres.size(); ++i) {
        const QString sql = DealSumsSql(wheres[i], rates);
        QString shown;
        const double ms = best(5, [&] {
            ds.Close();
            ds.setSQL(sql);
            ds.Open();
            shown = ds.FieldByName(QStringLiteral("sh"))->DisplayText();
        });
        const double bare = best(5, [&] { PQclear(PQexec(raw, sql.toUtf8().constData())); });
        // the same through a cursor, which keeps the server from a parallel plan
        const QByteArray cursor = "BEGIN READ ONLY; DECLARE c NO SCROLL CURSOR FOR " + sql.toUtf8() + "; FETCH ALL FROM c";
        const double viaCursor = best(5, [&] {
            PQclear(PQexec(raw, cursor.constData()));
            PQclear(PQexec(raw, "ROLLBACK"));
        });
        std::printf("PostgreSQL %-20s %7.1f ms  bare libpq %7.1f ms  ratio %5.2f  (through a cursor %7.1f ms; sum %s)\n",
                    names[i], ms, bare, ms / bare, viaCursor, shown.toUtf8().constData());
    }
    PQfinish(raw);
    pg.reset();
    dropServerSchema(QStringLiteral("bench_deals"));
}

} // namespace

int main(int argc, char** argv)
{
    QuietPrompter prompter;
    Application app(argc, argv, prompter);
    kRows = rowsFor(kRows);
    const ProgramFolder folder;
    Tools = new TTools(true, [] { return QDateTime(QDate(2024, 9, 25), QTime(10, 30)); });
    const QString path = folder.agencyFile();
    folder.createDatabases();
    fill(path, Tools->TodayShamsi());
    std::printf("T_Sanad: %d rows\n", kRows);
    TPrefMng::SetVATVal(9);
    TPrefMng::SetMunicipalVal(1);
    TPrefMng::SetVATEnabled(true);

    LoadFeatureCaptions();
    Dm = new TDm;
    folder.connect(*Dm);
    FrmRepMoameleh = new TFrmRepMoameleh;
    FrmRepMoameleh->resize(1200, 700);
    auto* grid = FrmRepMoameleh->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));

    FrmRepMoameleh->SetDefaults();
    const QString where = DealWhere(FrmRepMoameleh->Criteria());
    const DealRates rates = DealRates::Current();
    const QString listSql = DealListSql(where, rates, db::Dialect(db::Engine::SQLite)), sumsSql = DealSumsSql(where, rates);
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const double tRaw = best(3, [&] {
        stepAll(raw, listSql);
        stepAll(raw, sumsSql);
    });
    sqlite3_close(raw);

    const double tSearch = best(3, [&] { FrmRepMoameleh->btnokClick(); });
    // showing: defaults, both statements, layout, VAT columns, the grid painted
    const double tShow = best(3, [&] { reshow(FrmRepMoameleh, grid); });
    const int rows = Dm->QSanad->RecordCount();
    std::printf("%-28s %8.1f ms\n", "bare statements (sqlite3)", tRaw);
    std::printf("%-28s %8.1f ms  %6d rows  ratio %5.2f\n", "default search", tSearch, rows, tSearch / tRaw);
    std::printf("%-28s %8.1f ms  %6d rows  ratio %5.2f  %s\n", "grid ready to show", tShow, rows, tShow / tRaw,
                tShow < 1000 ? "(under 1 s)" : "(OVER 1 s)");
    std::printf("sums: %s  VAT %s  levy %s  total %s\n", Dm->QSumHagh->FieldByName(QStringLiteral("sh"))->DisplayText().toUtf8().constData(),
                Dm->QSumHagh->FieldByName(QStringLiteral("sVAT"))->DisplayText().toUtf8().constData(),
                Dm->QSumHagh->FieldByName(QStringLiteral("sMunicipal"))->DisplayText().toUtf8().constData(),
                Dm->QSumHagh->FieldByName(QStringLiteral("stotalVAT"))->DisplayText().toUtf8().constData());

    // every deal: the date range unticked
    FrmRepMoameleh->findChild<QCheckBox*>(QStringLiteral("chktarikh"))->setChecked(false);
    const QString allWhere = DealWhere(FrmRepMoameleh->Criteria());
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const double tRawAll = best(3, [&] {
        stepAll(raw, DealListSql(allWhere, rates, db::Dialect(db::Engine::SQLite)));
        stepAll(raw, DealSumsSql(allWhere, rates));
    });
    sqlite3_close(raw);
    const double tAll = best(3, [&] { FrmRepMoameleh->btnokClick(); });
    std::printf("%-28s %8.1f ms  %6d rows  ratio %5.2f  bare %8.1f ms  %s\n", "every deal", tAll,
                Dm->QSanad->RecordCount(), tAll / tRawAll, tRawAll, tAll < 1000 ? "(under 1 s)" : "(OVER 1 s)");

    if (!qEnvironmentVariableIsEmpty("DOVIN_TEST_PG"))
        serverSums(path, folder.path(), {where, allWhere}, rates);

    delete FrmRepMoameleh;
    FrmRepMoameleh = nullptr;
    delete Dm;
    Dm = nullptr;
    return tShow < 1000 && tAll < 1000 ? 0 : 1;
}
