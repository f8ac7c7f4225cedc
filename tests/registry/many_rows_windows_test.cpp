// The registry's list windows and their record windows over more rows than a list's first
// page, with the rest still arriving while rows are clicked, the last row reached, a record
// typed and saved, a new one added: the edit lands on the row the user saw, nothing else
// changes, and the list ends whole (every row once).
#include "matching_fixture.h"

#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBNavigator.h"
#include "registry/TFRmMelk.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmLstNiyaz.h"
#include "registry/TFrmNiyaz.h"
#include "registry/TFrmTels.h"
#include "registry/TFrmTelsNEw.h"
#include "ui_TFrmTelsNEw.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QSet>
#include <QTimer>

namespace {

constexpr int kRows = 1200;   // more than a list's first page

class ManyRows : public RegistryDbTest {
protected:
    void SetUp() override
    {
        RegistryDbTest::SetUp();
        if (IsSkipped())
            return;
        FRmMelk = new TFRmMelk;
        FrmNiyaz = new TFrmNiyaz;
        FrmLstMelk = new TFrmLstMelk;
        FrmLstNiyaz = new TFrmLstNiyaz;
        FrmTels = new TFrmTels;
    }
    void TearDown() override
    {
        for (QWidget* w : std::initializer_list<QWidget*>{FrmTels, FrmLstNiyaz, FrmLstMelk, FrmNiyaz, FRmMelk})
            delete w;
        FrmTels = nullptr;
        FrmLstNiyaz = nullptr;
        FrmLstMelk = nullptr;
        FrmNiyaz = nullptr;
        FRmMelk = nullptr;
        RegistryDbTest::TearDown();
    }

    // kRows rows in one statement: `name` followed by the row's number in the name column.
    void seed(const QString& table, const QString& columns, const QString& values)
    {
        conn().exec(QStringLiteral("with recursive n(i) as (select 1 union all select i + 1 from n where i < %1) "
                                   "insert into %2 (%3) select %4 from n")
                        .arg(kRows)
                        .arg(table, columns, values));
    }
    static void key(QWidget* w, int k, Qt::KeyboardModifiers mods = Qt::NoModifier, const QString& text = {})
    {
        QKeyEvent e(QEvent::KeyPress, k, mods, text);
        QApplication::sendEvent(w, &e);
    }
    static void typeText(QWidget* w, const QString& text)
    {
        for (const QChar c : text) {
            key(w, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::processEvents();   // the list goes on reading between the keys
        }
    }
    static widgets::DBGrid* gridOf(QWidget* window)
    {
        auto* g = window->findChild<widgets::DBGrid*>(QStringLiteral("dbgrid1"));
        EXPECT_TRUE(g);
        return g;
    }
    // Every key of the list once, read to its end.
    static void expectWhole(db::DataSet* ds, const char* keyName, int rows)
    {
        const QList<qint64> all = keys(ds, keyName);
        EXPECT_EQ(all.size(), rows);
        EXPECT_EQ(QSet<qint64>(all.begin(), all.end()).size(), rows);
        EXPECT_TRUE(ds->AllRowsRead());
    }
};

// The property and demand lists share their frame: one table of cases for both.
TEST_P(ManyRows, RecordListsEditTheRowShownWhileTheRestArrives)
{
    const QString yes = t();
    seed(QStringLiteral("T_Melk"),
         QStringLiteral("MalekEsm, ForSell, ForRahn, ForEjareh, F1, f1_2, f2, f2_2, f3, f3_2, Hazfshodeh, TedadOtagh, "
                        "MantaghehID"),
         db::Q(QStringLiteral("مالک ")) + QStringLiteral(" || i, %1, 0, 0, 1000 * i, 0, 0, 0, 0, 0, 0, 2, 0").arg(yes));
    seed(QStringLiteral("T_niyaz"), QStringLiteral("Esm, kharid, Rahn, Ejareh, Hazfshodeh, otagh"),
         db::Q(QStringLiteral("متقاضي ")) + QStringLiteral(" || i, %1, 0, 0, 0, 2").arg(yes));

    struct Case {
        const char* name;
        TRecordList* list;
        QWidget* form;
        db::DataSet* ds;
        const char* key;
        const char* table;
    } cases[] = {
        {"property", FrmLstMelk, FRmMelk, Dm->QMelk, "MID", "T_Melk"},
        {"demand", FrmLstNiyaz, FrmNiyaz, Dm->QNiyaz, "NizId", "T_niyaz"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        c.list->show();
        c.list->btnokClick();
        db::DataSet* ds = c.ds;
        ASSERT_TRUE(ds->Active());
        EXPECT_FALSE(ds->AllRowsRead()) << "the test needs a list still being read";
        widgets::DBGrid* grid = gridOf(c.list);
        ASSERT_TRUE(grid);

        // a row of the first page, clicked, then changed through the record window
        grid->setFocus();
        grid->setCurrentIndex(grid->model()->index(5, grid->currentIndex().column() < 0 ? 1 : grid->currentIndex().column()));
        const qint64 fifth = ds->FieldByName(QString::fromLatin1(c.key))->AsLargeInt();
        EXPECT_EQ(ds->RecNo(), 6);
        c.list->btnchangeClick();
        auto* notes = c.form->findChild<QLineEdit*>(QStringLiteral("DBEdit23"));
        ASSERT_TRUE(notes);
        notes->setFocus();
        typeText(notes, QStringLiteral("کليد زير فرش"));
        EXPECT_EQ(ds->FieldByName(QString::fromLatin1(c.key))->AsLargeInt(), fifth);
        c.form->findChild<widgets::DBNavigator*>(QStringLiteral("DBNavigator1"))->BtnClick(widgets::NavButton::Post);
        EXPECT_EQ(ds->State(), db::DataSetState::Browse) << prompter.messages().join('|').toStdString();
        c.form->hide();

        // Ctrl+End reaches the true last row; two rows up from it is changed in turn
        grid->setFocus();
        key(grid, Qt::Key_End, Qt::ControlModifier);
        EXPECT_TRUE(ds->AllRowsRead());
        EXPECT_EQ(ds->RecNo(), kRows);
        key(grid, Qt::Key_Up);
        key(grid, Qt::Key_Up);
        const qint64 late = ds->FieldByName(QString::fromLatin1(c.key))->AsLargeInt();
        EXPECT_EQ(ds->RecNo(), kRows - 2);
        c.list->btnchangeClick();
        notes->setFocus();
        typeText(notes, QStringLiteral("فوري"));
        c.form->findChild<widgets::DBNavigator*>(QStringLiteral("DBNavigator1"))->BtnClick(widgets::NavButton::Post);
        c.form->hide();

        const QString table = QString::fromLatin1(c.table), k = QString::fromLatin1(c.key);
        EXPECT_EQ(conn().scalar(QStringLiteral("select Tozihat from %1 where %2 = $1").arg(table, k), {fifth}).toString(),
                  QStringLiteral("کليد زير فرش"));
        EXPECT_EQ(conn().scalar(QStringLiteral("select Tozihat from %1 where %2 = $1").arg(table, k), {late}).toString(),
                  QStringLiteral("فوري"));
        EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from %1 where Tozihat is not null and Tozihat <> ''")
                                    .arg(table))
                      .toInt(),
                  2);
        expectWhole(ds, c.key, kRows);
        c.list->hide();
    }
}

TEST_P(ManyRows, PhoneBookChangesAndAddsWhileTheRestArrives)
{
    seed(QStringLiteral("t_Tels"), QStringLiteral("Esm, Phone, Mobile, Fax"),
         db::Q(QStringLiteral("شخص ")) + QStringLiteral(" || i, '021', '0912', ''"));
    FrmTels->show();
    db::DataSet* ds = Dm->QTels;
    ASSERT_TRUE(ds->Active());
    EXPECT_FALSE(ds->AllRowsRead()) << "the test needs a list still being read";
    widgets::DBGrid* grid = gridOf(FrmTels);
    ASSERT_TRUE(grid);

    // a row clicked, Ctrl+End, then Enter opens that last row, whose fax is typed and saved
    grid->setFocus();
    grid->setCurrentIndex(grid->model()->index(3, 1));
    key(grid, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(ds->RecNo(), kRows);
    const qint64 last = ds->FieldByName(QStringLiteral("AKey"))->AsLargeInt();
    QTimer::singleShot(0, [this] {
        auto* entry = qobject_cast<TFrmTelsNEw*>(QApplication::activeModalWidget());
        ASSERT_TRUE(entry);
        entry->form()->DBEdit2->setFocus();
        typeText(entry->form()->DBEdit2, QStringLiteral("۸۸"));
        entry->form()->DBNavigator1->BtnClick(widgets::NavButton::Post);
    });
    key(grid, Qt::Key_Return);
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_Tels where Fax <> ''")).toInt(), 1);
    EXPECT_FALSE(conn().scalar(QStringLiteral("select Fax from t_Tels where AKey = $1"), {last}).toString().isEmpty());

    // a new entry while the list is read afresh (from its first row: refreshing on the last
    // row reads up to it)
    key(grid, Qt::Key_Home, Qt::ControlModifier);
    FrmTels->btnrefreshClick();
    EXPECT_FALSE(ds->AllRowsRead());
    QTimer::singleShot(0, [this] {
        auto* entry = qobject_cast<TFrmTelsNEw*>(QApplication::activeModalWidget());
        ASSERT_TRUE(entry);
        entry->form()->DBEdit3->setFocus();
        typeText(entry->form()->DBEdit3, QStringLiteral("زهره"));
        entry->form()->DBNavigator1->BtnClick(widgets::NavButton::Post);
    });
    FrmTels->BitBtn1Click();
    EXPECT_EQ(conn().scalar(QStringLiteral("select count(*) from t_Tels")).toInt(), kRows + 1);
    EXPECT_EQ(ds->FieldByName(QStringLiteral("Esm"))->AsString(), QStringLiteral("زهره"));
    expectWhole(ds, "AKey", kRows + 1);
}

DOVIN_INSTANTIATE_ENGINES(ManyRows);

} // namespace
