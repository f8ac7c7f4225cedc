// Matching one property against 100,000 demands and showing the result in the demand grid,
// against stepping the same statement with the raw sqlite3 API in the same process.
#include "core/AppGlobals.h"
#include "core/Schema.h"
#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBGrid.h"
#include "registry/Matching.h"
#include "ui/TTools.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

namespace {

const int kDemands = 100000;

const char* kNames[] = {"احمدي", "رضايي", "محمدي", "حسيني", "کريمي", "صادقي", "موسوي", "جعفري"};
const char* kTypes[] = {"آپارتمان", "ويلايي", "مغازه", "زمين", "دفتر کار"};
const char* kDeals[] = {"خريد", "رهن کامل", "اجاره کامل", "رهن و اجاره"};

void seed(db::Connection& conn, int regions)
{
    QRandomGenerator rnd(7);
    db::inTransaction(conn, [&] {
        for (int i = 1; i <= regions; ++i)
            conn.exec(QStringLiteral("insert into t_manategh (Esm) values (%1)").arg(db::Q(QStringLiteral("منطقه %1").arg(i))));
        for (int i = 0; i < kDemands; ++i) {
            const int deal = int(rnd.bounded(4));
            const double amount = deal == 0 ? 1e9 * (1 + rnd.bounded(9)) : 1e7 * (1 + rnd.bounded(90));
            conn.exec(QStringLiteral("insert into T_niyaz (MnId, tarikhv, tarikheraeh, Esm, hometel, mobile, kharid, "
                                     "Rahn, Ejareh, novmelk, masahat, zirbana, otagh, tabagheh, tedadtel, Tozihat, "
                                     "f1type, f1, f1_2, hazfshodeh) values (%1, '1403/01/01', '1403/02/%2', %3, "
                                     "'0211234567', '0912345678', %4, %5, %6, %7, %8, %9, %10, %11, 1, %12, %13, "
                                     "%14, %15, 0)")
                          .arg(1 + rnd.bounded(regions))
                          .arg(1 + rnd.bounded(28), 2, 10, QLatin1Char('0'))
                          .arg(db::Q(QString::fromUtf8(kNames[rnd.bounded(8)])))
                          .arg(deal == 0 ? "-1" : "0", deal == 1 || deal == 3 ? "-1" : "0", deal >= 2 ? "-1" : "0")
                          .arg(db::Q(QString::fromUtf8(kTypes[rnd.bounded(5)])))
                          .arg(50 + rnd.bounded(200))
                          .arg(40 + rnd.bounded(180))
                          .arg(1 + rnd.bounded(5))
                          .arg(rnd.bounded(10))
                          .arg(db::Q(QStringLiteral("توضيحات درخواست شماره %1").arg(i)))
                          .arg(db::Q(QString::fromUtf8(kDeals[deal])))
                          .arg(amount, 0, 'f', 0)
                          .arg(deal == 3 ? 5e6 : 0.0, 0, 'f', 0));
        }
        conn.exec(QStringLiteral("insert into T_Melk (MantaghehID, Hazfshodeh, MalekEsm, ForSell, ForRahn, ForEjareh, "
                                 "NovMelk, TedadOtagh, F1type, F1) values (1, 0, %1, -1, 0, 0, %2, 3, %3, 5000000000)")
                      .arg(db::Q(QStringLiteral("مالک")), db::Q(QStringLiteral("آپارتمان")), db::Q(QStringLiteral("فروش"))));
    });
}

double rawSeconds(const QString& file, const QString& sql, int* rows)
{
    QElapsedTimer t;
    t.start();
    sqlite3* h = nullptr;
    sqlite3_open_v2(file.toUtf8().constData(), &h, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, db::stripNationalPrefix(sql).toUtf8().constData(), -1, &st, nullptr);
    int n = 0;
    const int cols = sqlite3_column_count(st);
    while (sqlite3_step(st) == SQLITE_ROW) {
        for (int c = 0; c < cols; ++c) {
            if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                (void)sqlite3_column_text(st, c);
            else
                (void)sqlite3_column_double(st, c);
        }
        ++n;
    }
    sqlite3_finalize(st);
    sqlite3_close(h);
    *rows = n;
    return t.nsecsElapsed() / 1e9;
}

// Messages go to stderr; nothing here asks questions.
class QuietPrompter : public shell::Prompter {
public:
    int messageDlg(const shell::MessageRequest& r) override { return note(r.text); }
    std::optional<QString> inputBox(const shell::InputRequest&) override { return std::nullopt; }
    int plainMessage(const shell::PlainMessageRequest& r) override { return note(r.text); }
    QString openFile(const shell::FileRequest&) override { return {}; }
    QString saveFile(const shell::FileRequest&) override { return {}; }
    QString chooseDirectory(const shell::FileRequest&) override { return {}; }
    std::optional<QFont> chooseFont(const QFont&) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    bool printSetup(QPrinter&) override { return false; }
    bool preview(report::PreparedReport&, const QString&) override { return false; }
    bool shellOpen(const QString&) override { return false; }

private:
    int note(const QString& text)
    {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        return shell::ResultOk;
    }
};

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QTemporaryDir dir;
    qputenv("DOVIN_HOME", dir.path().toUtf8());
    IsAccess = true;
    TRUEPREFIX = QStringLiteral("-");
    QuietPrompter prompter;
    shell::setPrompter(&prompter);
    TTools tools;
    Tools = &tools;

    const QString file = dir.filePath(QStringLiteral("mdbDovin.mdb"));
    {
        auto conn = db::Connection::openSqlite(file, true);
        CreateBaseSchema(*conn, TSchemaDb::Agency);
        seed(*conn, 40);
    }
    auto users = db::Connection::openSqlite(dir.filePath(QStringLiteral("users.mdb")), true);
    CreateBaseSchema(*users, TSchemaDb::Users);
    TDm dm;
    Dm = &dm;
    dm.Connect(db::Connection::openSqlite(file), std::move(users));

    widgets::DBGrid grid;
    grid.setDataSet(dm.QNiyaz);
    grid.resize(1200, 700);
    grid.show();
    QCoreApplication::processEvents();

    TMatchPanelState panel;
    panel.chkRequest = panel.chkRoom = panel.chkSellMatch = panel.ChkType = true;
    panel.edtRoomFlexability = QStringLiteral("1");
    panel.edtSellMatch = QStringLiteral("1,000,000,000");
    TMatchTarget target;
    target.dataSet = dm.QNiyaz;
    target.showList = [&] {
        grid.viewport()->repaint();
        QCoreApplication::processEvents();
    };

    dm.QMelk->First();
    bool fast = true;
    // A typical match, then the widest one (nothing ticked: every demand not deleted).
    for (const TMatchPanelState& p : {panel, TMatchPanelState{}}) {
        double best = 1e9;
        for (int i = 0; i < 3; ++i) {
            QElapsedTimer t;
            t.start();
            if (!RunMatch(TMatchDirection::PropertyToDemands, *dm.QMelk, p, {}, QString(), target))
                return 1;
            best = std::min(best, t.nsecsElapsed() / 1e9);
        }
        int rows = 0;
        double raw = 1e9;
        for (int i = 0; i < 3; ++i)
            raw = std::min(raw, rawSeconds(file, dm.QNiyaz->SQL(), &rows));
        std::printf("matching one property against %d demands: %d rows found\n", kDemands, dm.QNiyaz->RecordCount());
        std::printf("  match run and grid shown: %.3f s (bar 0.5 s)\n", best);
        std::printf("  bare statement stepped with sqlite3: %.3f s (%d rows)\n", raw, rows);
        std::printf("  ratio: %.2f\n", best / raw);
        fast = fast && best < 0.5;
    }
    return fast ? 0 : 2;
}
