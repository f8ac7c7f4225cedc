// The property list over 100,000 properties: the default search, a criteria search and the
// grid ready to show, each against stepping the same statement with the raw sqlite3 API.
#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "core/TDm.h"
#include "platform/db/Catalog.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/shell/Prompter.h"
#include "platform/widgets/DBGrid.h"
#include "registry/TFrmLstMelk.h"
#include "ui/TTools.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>
#include <sqlite3.h>

namespace {

const int kRows = 100000;

// Realistic rows: owners, phones, kinds, amounts, dates, amenities and their titles.
void fill(const QString& path)
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
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
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
    for (int i = 0; i < kRows; ++i) {
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
            const QByteArray b = text.toUtf8();
            sqlite3_bind_text(st, k++, b.constData(), int(b.size()), SQLITE_TRANSIENT);
        }
        sqlite3_step(st);
        sqlite3_reset(st);
    }
    sqlite3_finalize(st);
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

double rawSteps(const QString& path, const QString& sql)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.toUtf8().constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QElapsedTimer t;
    t.start();
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(db, sql.toUtf8().constData(), -1, &st, nullptr);
    const int n = sqlite3_column_count(st);
    long touched = 0;
    while (sqlite3_step(st) == SQLITE_ROW)
        for (int c = 0; c < n; ++c)
            if (sqlite3_column_type(st, c) == SQLITE_TEXT)
                touched += sqlite3_column_bytes(st, c);
            else
                touched += sqlite3_column_int64(st, c) != 0;
    sqlite3_finalize(st);
    const double ms = double(t.nsecsElapsed()) / 1e6;
    sqlite3_close(db);
    return touched >= 0 ? ms : -1;
}

// Answers every question with its first button and prints what was asked.
class PrintingPrompter : public shell::Prompter {
public:
    int messageDlg(const shell::MessageRequest& r) override { return say(r.text, shell::ResultOk); }
    std::optional<QString> inputBox(const shell::InputRequest&) override { return std::nullopt; }
    int plainMessage(const shell::PlainMessageRequest& r) override { return say(r.text, shell::ResultOk); }
    QString openFile(const shell::FileRequest&) override { return {}; }
    QString saveFile(const shell::FileRequest&) override { return {}; }
    QString chooseDirectory(const shell::FileRequest&) override { return {}; }
    std::optional<QFont> chooseFont(const QFont&) override { return std::nullopt; }
    std::optional<QColor> chooseColor(const QColor&) override { return std::nullopt; }
    bool printSetup(QPrinter&) override { return false; }
    bool preview(report::PreparedReport&, const QString&) override { return false; }
    bool shellOpen(const QString&) override { return false; }

private:
    static int say(const QString& text, int answer)
    {
        std::fprintf(stderr, "message: %s\n", text.toUtf8().constData());
        return answer;
    }
};

template <typename F>
double timed(F f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

template <typename F>
double best(int times, F f)
{
    double b = 1e18;
    for (int i = 0; i < times; ++i)
        b = std::min(b, timed(f));
    return b;
}

void printFigure(const char* what, double ms, double raw, int rows)
{
    std::printf("%-32s %8.1f ms  %6d rows  bare statement %7.1f ms  ratio %5.2f  %s\n", what, ms, rows, raw, ms / raw,
                ms < 1000 ? "(under 1 s)" : "(OVER 1 s)");
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    PrintingPrompter prompter;
    shell::setPrompter(&prompter);
    QTemporaryDir dir;
    qputenv("DOVIN_HOME", dir.path().toUtf8());
    Tools = new TTools(true);
    IsAccess = true;
    TRUEPREFIX = QStringLiteral("-");
    const QString path = dir.filePath(QStringLiteral("mdbDovin.mdb"));
    {
        auto conn = db::Connection::openSqlite(path, true);
        CreateBaseSchema(*conn, TSchemaDb::Agency);
        auto users = db::Connection::openSqlite(dir.filePath(QStringLiteral("dbusers.mdb")), true);
        CreateBaseSchema(*users, TSchemaDb::Users);
    }
    fill(path);
    std::printf("T_Melk: %d rows\n", kRows);

    LoadFeatureCaptions();
    Dm = new TDm;
    Dm->Connect(db::Connection::openSqlite(path), db::Connection::openSqlite(dir.filePath(QStringLiteral("dbusers.mdb"))));
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
    const double tShow = best(3, [&] {
        FrmLstMelk->hide();
        FrmLstMelk->show();
        grid->viewport()->grab();
        QApplication::processEvents();
    });
    printFigure("grid ready to show", tShow, rawDefault, Dm->QMelk->RecordCount());
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
