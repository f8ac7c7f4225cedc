// The seasonal tax export of a season with 25,000 deals, through the window's view and export
// steps (sums, template copy, the three inserts, the copy under the chosen name), against the
// same statements and copies done with the raw sqlite3 API in the same process.
#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "deals/TTMSExport.h"
#include "deals/TfrmTTMS2.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "ui/TTools.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLineEdit>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <cstdio>
#include <filesystem>
#include <sqlite3.h>

using namespace bench;

namespace {

const int kDeals = 25000;

void seed(db::Connection& conn)
{
    QRandomGenerator rnd(11);
    db::inTransaction(conn, [&] {
        // the season (1402, summer) and as many deals again around it
        for (int i = 0; i < 2 * kDeals; ++i) {
            const bool inSeason = i % 2 == 0;
            const int month = inSeason ? 4 + int(rnd.bounded(3)) : (rnd.bounded(2) ? 1 + int(rnd.bounded(3)) : 7 + int(rnd.bounded(6)));
            const double commission = 1e5 * (1 + rnd.bounded(500)) + rnd.bounded(1000);
            conn.exec(QStringLiteral("insert into T_Sanad (tarikhsanad, nov, shoomareh, haghebongah, ownerDiscount, "
                                     "customerDiscount, EsmMalek, Kharidar) values ($1, $2, $3, $4, $5, $6, $7, $8)"),
                      {QStringLiteral("1402/%1/%2").arg(month, 2, 10, QLatin1Char('0')).arg(1 + rnd.bounded(30), 2, 10, QLatin1Char('0')),
                       QString(rnd.bounded(2) ? QStringLiteral("k") : QStringLiteral("j")), QString::number(i + 1), commission,
                       double(rnd.bounded(3) * 10000), double(rnd.bounded(2) * 5000), QStringLiteral("مالک %1").arg(i),
                       QStringLiteral("خريدار %1").arg(i)});
        }
        conn.exec(QStringLiteral("insert into yourInfo (companyName, oldEconomicNo, newEconomicNo, nationalCode, "
                                 "taxPayerType, postalCode, telNo, registrationNo, address, ShahrCode, EdareKolCode, "
                                 "UserName, Band, SabteNam, moadyName, Tabeiat, mobileNO) values ('بنگاه امين', '411', "
                                 "'41100', '0012345679', '1', '1345678913', '04133334444', '125', "
                                 "'تبريز، خيابان امام، کوچه 12', 100001, 1, 'amin', 1, 0, 'علي امين', 0, '09141234567')"));
    });
}

bool exec(sqlite3* h, const QString& sql)
{
    return sqlite3_exec(h, sql.toUtf8().constData(), nullptr, nullptr, nullptr) == SQLITE_OK;
}

// The same work with the raw API: the sums, the template copy, the three inserts, the copy out.
double rawSeconds(const QString& folder, const QString& sumsSql, const QString& target)
{
    QElapsedTimer t;
    t.start();
    sqlite3* db = nullptr;
    sqlite3_open_v2((folder + QStringLiteral("mdbDovin.mdb")).toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sumsSql.toUtf8().constData(), -1, &st, nullptr);
    double sums[3] = {0, 0, 0};
    if (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < 3; ++c)
            sums[c] = sqlite3_column_double(st, c);
    sqlite3_finalize(st);
    sqlite3_prepare_v2(db, "select * from yourInfo", -1, &st, nullptr);
    QStringList info;
    if (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < sqlite3_column_count(st); ++c)
            info << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, c)));
    sqlite3_finalize(st);
    sqlite3_close(db);

    namespace fs = std::filesystem;
    const std::string work = (folder + QStringLiteral("raw.mdb")).toStdString();
    fs::copy_file((folder + QStringLiteral("TTMS_empty.mdb")).toStdString(), work, fs::copy_options::overwrite_existing);
    sqlite3* out = nullptr;
    sqlite3_open_v2(work.c_str(), &out, SQLITE_OPEN_READWRITE, nullptr);
    bool ok = exec(out, QStringLiteral("begin"));
    ok = ok && exec(out, QStringLiteral("insert into Moshakhasat (companyNameField, oldEconomicNoField, Address, ShahrCode, "
                                        "MobileNO) values (") + db::Q(info.value(1)) + QStringLiteral(", ") + db::Q(info.value(2))
                             + QStringLiteral(", ") + db::Q(info.value(14)) + QStringLiteral(", 100001, ")
                             + db::Q(info.value(21)) + QLatin1Char(')'));
    ok = ok && exec(out, ttms::ForoushSQL(ttms::NewGuidText(), 2).replace(QStringLiteral("$1"), QStringLiteral("1402")));
    ok = ok && exec(out, ttms::ForoushDetailSQL({sums[0], sums[1], sums[2]}));
    ok = ok && exec(out, QStringLiteral("commit"));
    sqlite3_close(out);
    fs::copy_file(work, target.toStdString(), fs::copy_options::overwrite_existing);
    if (!ok)
        std::fprintf(stderr, "raw inserts failed\n");
    return t.nsecsElapsed() / 1e9;
}

// Yes to every question; the export goes to one file.
class BenchPrompter : public QuietPrompter {
public:
    QString target;
    int messageDlg(const shell::MessageRequest& r) override
    {
        if (r.kind == 0)
            std::fprintf(stderr, "error: %s\n", r.text.toUtf8().constData());
        return r.buttons & 4 ? shell::ResultYes : shell::ResultOk;
    }
    QString saveFile(const shell::FileRequest&) override { return target; }
};

} // namespace

int main(int argc, char** argv)
{
    BenchPrompter prompter;
    Application app(argc, argv, prompter);
    const ProgramFolder program;
    const QString folder = program.path();
    prompter.target = folder + QStringLiteral("out/TTMS1402_2.mdb");
    QDir().mkpath(folder + QStringLiteral("out"));
    TTools tools;
    Tools = &tools;

    seed(*program.createDatabases());
    TPrefMng::SetVATVal(9);
    TPrefMng::SetMunicipalVal(1);
    TPrefMng::SetVATEnabled(true);
    TDm dm;
    Dm = &dm;
    program.connect(dm);

    TfrmTTMS2 w;
    w.FormShow();
    double best = 1e9;
    for (int i = 0; i < 3; ++i) {
        QFile::remove(prompter.target);
        QElapsedTimer t;
        t.start();
        w.findChild<QLineEdit*>(QStringLiteral("edtYear"))->setText(QStringLiteral("1402"));
        w.findChild<QComboBox*>(QStringLiteral("cmbSeason"))->setCurrentIndex(1);
        w.BitBtn2Click();
        w.BitBtn1Click();
        best = std::min(best, t.nsecsElapsed() / 1e9);
    }
    if (!QFile::exists(prompter.target)) {
        std::fprintf(stderr, "no export file\n");
        return 1;
    }
    const QString sumsSql = ttms::SeasonSumsSQL(ttms::SeasonBounds(QStringLiteral("1402"), 2));
    double raw = 1e9;
    for (int i = 0; i < 3; ++i)
        raw = std::min(raw, rawSeconds(folder, sumsSql, folder + QStringLiteral("out/raw.mdb")));
    auto out = db::Connection::openSqlite(prompter.target);
    const qint64 inSeason = dm.Conn->scalar(QStringLiteral("select count(*) from T_Sanad where tarikhsanad between "
                                                           "'1402/04/01' and '1402/06/31'")).toLongLong();
    std::printf("seasonal tax export of %lld deals (of %d stored), template %lld bytes\n", inSeason, 2 * kDeals,
                qint64(QFile(folder + QStringLiteral("TTMS_empty.mdb")).size()));
    std::printf("  written: Price %s, VAT %s, levy %s\n",
                out->scalar(QStringLiteral("select Price from Foroush_Detail")).toString().toUtf8().constData(),
                out->scalar(QStringLiteral("select MaliatArzeshAfzoodeh from Foroush_Detail")).toString().toUtf8().constData(),
                out->scalar(QStringLiteral("select AvarezArzeshAfzoodeh from Foroush_Detail")).toString().toUtf8().constData());
    std::printf("  view and export steps, copies included: %.3f s (bar 2 s)\n", best);
    std::printf("  same statements and copies with the raw sqlite3 API: %.3f s\n", raw);
    std::printf("  ratio: %.2f\n", best / raw);
    return best < 2 ? 0 : 2;
}
