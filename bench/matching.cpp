// Matching one property against 100,000 demands and showing the result in the demand grid,
// against stepping the same statement with the raw sqlite3 API in the same process.
#include "core/AppGlobals.h"
#include "core/Schema.h"
#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/widgets/DBGrid.h"
#include "registry/Matching.h"
#include "ui/TTools.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <cstdio>
#include <sqlite3.h>

using namespace bench;

namespace {

// 100,000, or a million with --million
int kDemands = 100000;

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

} // namespace

int main(int argc, char** argv)
{
    QuietPrompter prompter;
    Application app(argc, argv, prompter);
    kDemands = rowsFor(kDemands);
    const ProgramFolder folder;
    TTools tools;
    Tools = &tools;

    const QString file = folder.agencyFile();
    seed(*folder.createDatabases(), 40);
    TDm dm;
    Dm = &dm;
    folder.connect(dm);

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
        long rows = 0;
        const double raw = bench::best(3, [&] { rows = rawSteps(file, dm.QNiyaz->SQL()); }) / 1e3;
        std::printf("matching one property against %d demands: %d rows found\n", kDemands, dm.QNiyaz->RecordCount());
        std::printf("  match run and grid shown: %.3f s (bar 0.5 s)\n", best);
        std::printf("  bare statement stepped with sqlite3: %.3f s (%ld rows)\n", raw, rows);
        std::printf("  ratio: %.2f\n", best / raw);
        fast = fast && best < 0.5;
    }
    return fast ? 0 : 2;
}
