// The property list over 100,000 properties: the default search, a criteria search and the
// grid ready to show, each against stepping the same statement with the raw sqlite3 API.
#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "core/TDm.h"
#include "platform/db/Catalog.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBGrid.h"
#include "registry/TFrmLstMelk.h"
#include "ui/TTools.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEventLoop>
#include <QKeyEvent>
#include <QLineEdit>
#include <QRadioButton>
#include <QRandomGenerator>
#include <QTimer>
#include <cstdio>
#include <sqlite3.h>

using namespace bench;

namespace {

const int kRows = 100000;

void printFigure(const char* what, double ms, double raw, int rows)
{
    std::printf("%-32s %8.1f ms  %6d rows  bare statement %7.1f ms  ratio %5.2f  %s\n", what, ms, rows, raw, ms / raw,
                ms < 1000 ? "(under 1 s)" : "(OVER 1 s)");
}

} // namespace

int main(int argc, char** argv)
{
    QuietPrompter prompter;
    Application app(argc, argv, prompter);
    const ProgramFolder folder;
    Tools = new TTools(true);
    const QString path = folder.agencyFile();
    folder.createDatabases();
    fillProperties(path, kRows);
    std::printf("T_Melk: %d rows\n", kRows);

    LoadFeatureCaptions();
    Dm = new TDm;
    folder.connect(*Dm);
    FrmLstMelk = new TFrmLstMelk;
    const auto box = [](const char* name) { return FrmLstMelk->findChild<QCheckBox*>(QLatin1String(name)); };
    const auto edit = [](const char* name) { return FrmLstMelk->findChild<QLineEdit*>(QLatin1String(name)); };
    auto* grid = FrmLstMelk->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));
    auto* cards = FrmLstMelk->findChild<QWidget*>(QStringLiteral("DBCtrlGrid1"));
    FrmLstMelk->resize(1200, 700);

    const QString defaultSql = FrmLstMelk->CriteriaSql();
    const double rawDefault = best(3, [&] { rawSteps(path, defaultSql); });
    const double tDefault = best(3, [&] { FrmLstMelk->btnokClick(); });
    double tClose = 1e18, tOpen = 1e18;
    for (int i = 0; i < 3; ++i) {
        tClose = std::min(tClose, timed([&] { Dm->QMelk->Close(); }));
        tOpen = std::min(tOpen, timed([&] { Dm->QMelk->Open(); }));
    }
    std::printf("%-32s %8.1f ms  ratio %5.2f\n", "the dataset alone: open", tOpen, tOpen / rawDefault);
    std::printf("%-32s %8.1f ms\n", "the dataset alone: close", tClose);
    printFigure("default search", tDefault, rawDefault, Dm->QMelk->RecordCount());

    box("chksell")->setChecked(true);
    box("ChkRahn")->setChecked(false);
    box("ChkEjareh")->setChecked(false);
    box("chkf")->setChecked(true);
    edit("edtf")->setText(QStringLiteral("500,000,000"));
    edit("edtr")->setText(QStringLiteral("2,000,000,000"));
    box("chknovmelk")->setChecked(true);
    FrmLstMelk->findChild<QComboBox*>(QStringLiteral("dbcombobox1"))->setEditText(QStringLiteral("آپارتمان"));
    const QString criteriaSql = FrmLstMelk->CriteriaSql();
    const double rawCriteria = best(3, [&] { rawSteps(path, criteriaSql); });
    const double tCriteria = best(3, [&] { FrmLstMelk->btnokClick(); });
    printFigure("criteria search", tCriteria, rawCriteria, Dm->QMelk->RecordCount());

    // showing runs the default search again, loads the layout and lists, and paints the grid
    box("chksell")->setChecked(true);
    box("ChkRahn")->setChecked(true);
    box("ChkEjareh")->setChecked(true);
    box("chkf")->setChecked(false);
    box("chknovmelk")->setChecked(false);
    const double tShow = best(3, [&] { reshow(FrmLstMelk, grid); });
    printFigure("grid ready to show", tShow, rawDefault, Dm->QMelk->RecordCount());

    // the rest of the list read in idle time under the shown window, against stepping the whole
    // statement, with the longest wait of a timer that asks every millisecond
    db::DataSet* ds = Dm->QMelk;
    double longestGap = 0;
    const double tRest = timed([&] {
        ds->Close();
        ds->Open();
        QEventLoop loop;
        QTimer tick;
        tick.setTimerType(Qt::PreciseTimer);
        QElapsedTimer gap;
        QObject::connect(&tick, &QTimer::timeout, &loop, [&] {
            longestGap = std::max(longestGap, double(gap.nsecsElapsed()) / 1e6);
            gap.start();
            if (ds->AllRowsRead())
                loop.quit();
        });
        gap.start();
        tick.start(1);
        loop.exec();
    });
    printFigure("whole list read in idle time", tRest, rawDefault, ds->RecordCount());
    std::printf("%-32s %8.1f ms  (bar 100 ms)\n", "  longest event-loop gap", longestGap);
    // select-all with every row read, then a refresh that keeps the selection
    const double tSelect = timed([&] { grid->selectAll(); });
    printFigure("select-all", tSelect, rawDefault, ds->SelectedCount());
    const double tRefresh = timed([&] {
        ds->Close();
        ds->Open();
        QApplication::processEvents();
    });
    printFigure("refresh after select-all", tRefresh, rawDefault, ds->FetchedCount());
    // Ctrl+End on a list of which only the first rows are read
    ds->Close();
    ds->Open();
    const double tEnd = timed([&] {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_End, Qt::ControlModifier);
        QApplication::sendEvent(grid, &press);
    });
    printFigure("Ctrl+End to the last row", tEnd, rawDefault, ds->CurrentRow() + 1);

    FrmLstMelk->findChild<QRadioButton*>(QStringLiteral("RadioButton2"))->setChecked(true);
    const double tCards = best(3, [&] {
        cards->grab();
        QApplication::processEvents();
    });
    std::printf("%-32s %8.1f ms\n", "cards painted", tCards);

    delete FrmLstMelk;
    FrmLstMelk = nullptr;
    delete Dm;
    Dm = nullptr;
    return tDefault < 1000 && tCriteria < 1000 && tShow < 1000 ? 0 : 1;
}
