// The deal list over 100,000 deals: its default search (the list with its VAT columns and the
// sums) and the grid ready to show, against stepping the same two statements with the raw
// sqlite3 API.
#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "deals/DealStatements.h"
#include "deals/TFrmRepMoameleh.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBGrid.h"
#include "ui/TTools.h"

#include <QApplication>
#include <QDateTime>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

namespace {

const int kRows = 100000;

// Deals of the last 185 days: parties with their identities, kinds, commissions and discounts.
void fill(const QString& path, const QString& today)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
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
    const auto text = [&](int k, const QString& s) {
        const QByteArray b = s.toUtf8();
        sqlite3_bind_text(st, k, b.constData(), int(b.size()), SQLITE_TRANSIENT);
    };
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
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void rawSteps(sqlite3* db, const QString& sql)
{
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    long touched = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < n; ++c)
            if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                touched += sqlite3_column_bytes(st, c);
            else
                touched += sqlite3_column_double(st, c) != 0;
    sqlite3_finalize(st);
    if (touched < 0)
        std::printf("?\n");
}

class QuietPrompter : public shell::Prompter {
public:
    int messageDlg(const shell::MessageRequest& r) override { return say(r.text); }
    std::optional<QString> inputBox(const shell::InputRequest&) override { return std::nullopt; }
    int plainMessage(const shell::PlainMessageRequest& r) override { return say(r.text); }
    QString openFile(const shell::FileRequest&) override { return {}; }
    QString saveFile(const shell::FileRequest&) override { return {}; }
    QString chooseDirectory(const shell::FileRequest&) override { return {}; }
    std::optional<QFont> chooseFont(const QFont&) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    bool printSetup(QPrinter&) override { return false; }
    bool preview(report::PreparedReport&, const QString&) override { return false; }
    bool shellOpen(const QString&) override { return false; }

private:
    static int say(const QString& text)
    {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        return shell::ResultOk;
    }
};

template <typename F>
double best(int times, F f)
{
    double b = 1e18;
    for (int i = 0; i < times; ++i) {
        QElapsedTimer t;
        t.start();
        f();
        b = std::min(b, double(t.nsecsElapsed()) / 1e6);
    }
    return b;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QuietPrompter prompter;
    shell::setPrompter(&prompter);
    QTemporaryDir dir;
    qputenv("DOVIN_HOME", dir.path().toUtf8());
    Tools = new TTools(true, [] { return QDateTime(QDate(2024, 9, 25), QTime(10, 30)); });
    IsAccess = true;
    TRUEPREFIX = QStringLiteral("-");
    const QString path = dir.filePath(QStringLiteral("mdbDovin.mdb"));
    {
        auto conn = db::Connection::openSqlite(path, true);
        conn->setCatalog(&SchemaCatalog());
        CreateBaseSchema(*conn, TSchemaDb::Agency);
        MakeDBUpdate(*conn, true, dir.path() + QLatin1Char('/'))->Update(0);
        auto users = db::Connection::openSqlite(dir.filePath(QStringLiteral("dbusers.mdb")), true);
        CreateBaseSchema(*users, TSchemaDb::Users);
    }
    fill(path, Tools->TodayShamsi());
    std::printf("T_Sanad: %d rows\n", kRows);
    TPrefMng::SetVATVal(9);
    TPrefMng::SetMunicipalVal(1);
    TPrefMng::SetVATEnabled(true);

    LoadFeatureCaptions();
    Dm = new TDm;
    Dm->Connect(db::Connection::openSqlite(path), db::Connection::openSqlite(dir.filePath(QStringLiteral("dbusers.mdb"))));
    FrmRepMoameleh = new TFrmRepMoameleh;
    FrmRepMoameleh->resize(1200, 700);
    auto* grid = FrmRepMoameleh->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));

    FrmRepMoameleh->SetDefaults();
    const QString where = DealWhere(FrmRepMoameleh->Criteria());
    const DealRates rates = DealRates::Current();
    const QString listSql = DealListSql(where, rates), sumsSql = DealSumsSql(where, rates);
    sqlite3* raw = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &raw, SQLITE_OPEN_READONLY, nullptr);
    const double tRaw = best(3, [&] {
        rawSteps(raw, listSql);
        rawSteps(raw, sumsSql);
    });
    sqlite3_close(raw);

    const double tSearch = best(3, [&] { FrmRepMoameleh->btnokClick(); });
    // showing: defaults, both statements, layout, VAT columns, the grid painted
    const double tShow = best(3, [&] {
        FrmRepMoameleh->hide();
        FrmRepMoameleh->show();
        grid->viewport()->grab();
        QApplication::processEvents();
    });
    const int rows = Dm->QSanad->RecordCount();
    std::printf("%-28s %8.1f ms\n", "bare statements (sqlite3)", tRaw);
    std::printf("%-28s %8.1f ms  %6d rows  ratio %5.2f\n", "default search", tSearch, rows, tSearch / tRaw);
    std::printf("%-28s %8.1f ms  %6d rows  ratio %5.2f  %s\n", "grid ready to show", tShow, rows, tShow / tRaw,
                tShow < 1000 ? "(under 1 s)" : "(OVER 1 s)");
    std::printf("sums: %s  VAT %s  levy %s  total %s\n", Dm->QSumHagh->FieldByName(QStringLiteral("sh"))->DisplayText().toUtf8().constData(),
                Dm->QSumHagh->FieldByName(QStringLiteral("sVAT"))->DisplayText().toUtf8().constData(),
                Dm->QSumHagh->FieldByName(QStringLiteral("sMunicipal"))->DisplayText().toUtf8().constData(),
                Dm->QSumHagh->FieldByName(QStringLiteral("stotalVAT"))->DisplayText().toUtf8().constData());

    delete FrmRepMoameleh;
    FrmRepMoameleh = nullptr;
    delete Dm;
    Dm = nullptr;
    return tShow < 1000 ? 0 : 1;
}
