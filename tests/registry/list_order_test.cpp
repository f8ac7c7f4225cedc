// Lists give the same rows in the same order on both engines: a row another workstation
// edited keeps its place (and its row number) in the property list and the phone book; a
// list already open, shown again from the menu, keeps its criteria, rows, place and widths.
#include "registry_fixture.h"

#include "platform/db/Sql.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/MaskEdit.h"
#include "registry/RegistryActions.h"
#include "registry/TFrmLstNiyaz.h"
#include "ui_TFrmLstMelk.h"
#include "ui_TFrmLstNiyaz.h"
#include "ui_TFrmTels.h"

#include <QPushButton>

namespace {

constexpr int kRows = 1200;   // more than a list's first page

class ListOrder : public RegistryTest {
protected:
    // The key column of every row, in the list's order, with the row numbers alongside.
    static QStringList keysAndRows(db::DataSet* ds, const char* key)
    {
        QStringList out;
        const int k = f(ds, key)->Index();
        const int row = f(ds, "row")->Index();
        for (int r = 0; r < ds->RecordCount(); ++r)
            out << ds->ValueAt(r, k).toString() + QLatin1Char(':') + ds->DisplayTextAt(r, row);
        return out;
    }
    static QStringList ascending(int n)
    {
        QStringList out;
        for (int i = 1; i <= n; ++i)
            out << QStringLiteral("%1:%1").arg(i);
        return out;
    }
};

TEST(OrderedByKey, OnlyStatementsWithoutAnOrderOfTheirOwn)
{
    const struct {
        const char* sql;
        const char* ordered;
    } cases[] = {
        {"select * from t_melk", "select * from t_melk order by MID"},
        {"select * from t_melk where mo='a' ", "select * from t_melk where mo='a' order by MID"},
        {"select * from t_melk order by tarikheraeh", "select * from t_melk order by tarikheraeh"},
        {"select * from t_melk ORDER  BY mo", "select * from t_melk ORDER  BY mo"},
        // words typed into a literal are no order
        {"select * from t_melk where mo='order by x'", "select * from t_melk where mo='order by x' order by MID"},
        {"select * from t_melk where mo='it''s order by'", "select * from t_melk where mo='it''s order by' order by MID"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(db::OrderedByKey(QString::fromUtf8(c.sql), QStringLiteral("MID")), QString::fromUtf8(c.ordered))
            << c.sql;
}

TEST_P(ListOrder, ARowEditedElsewhereKeepsItsPlace)
{
    db::inTransaction(*Dm->Conn, [&] {
        for (int i = 1; i <= kRows; ++i) {
            addProperty(QStringLiteral("مالک %1").arg(i), true, false, false);
            Dm->Conn->exec(QStringLiteral("insert into t_Tels (Esm, Phone) values ($1, '1')"),
                           {QStringLiteral("ب %1").arg(i)});
        }
    });
    auto other = testDb().open();   // the other workstation
    list()->show();
    tels()->show();
    EXPECT_EQ(keysAndRows(Dm->QMelk, "MID"), ascending(kRows));
    EXPECT_EQ(keysAndRows(Dm->QTels, "AKey"), ascending(kRows));

    // edited twice, so the server moves the rows to the end of their tables
    for (int n = 0; n < 2; ++n) {
        other->exec(QStringLiteral("update T_Melk set MalekEsm=MalekEsm || 'x' where MID in (1, 2, 600)"));
        other->exec(QStringLiteral("update t_Tels set Phone=Phone || '2' where AKey in (1, 2, 600)"));
    }
    list()->form()->btnok->click();
    EXPECT_EQ(keysAndRows(Dm->QMelk, "MID"), ascending(kRows));
    tels()->form()->btnrefresh->click();
    EXPECT_EQ(keysAndRows(Dm->QTels, "AKey"), ascending(kRows));
    tels()->form()->TabControl1->setCurrentIndex(1);   // "ب"
    EXPECT_EQ(keysAndRows(Dm->QTels, "AKey"), ascending(kRows));
}

TEST_P(ListOrder, ShowingAnOpenListAgainOnlyBringsItForward)
{
    db::inTransaction(*Dm->Conn, [&] {
        for (int i = 1; i <= kRows; ++i) {
            addProperty(QStringLiteral("مالک %1").arg(i), true, false, false);
            Dm->Conn->exec(QStringLiteral("insert into T_niyaz (Esm, kharid, tarikheraeh, hazfshodeh) values ($1, %1, "
                                          "'1403/01/05', 0)").arg(Dm->Conn->dialect().trueValue()),
                           {QStringLiteral("مشتري %1").arg(i)});
        }
    });
    FrmLstNiyaz = new TFrmLstNiyaz;
    struct ListCase {
        const char* name;
        const char* person;
        const char* column;
        std::function<void()> show;
        QWidget* window;
        widgets::DBGrid* grid;
        QComboBox* column_;
        QLineEdit* find;
        QCheckBox* criterion;
        db::DataSet* ds;
    } lists[] = {
        {"properties", "مالک 777", "نام مالک", ShowPropertyList, list(), list()->form()->dbgrid1, list()->form()->CmbSearch,
         list()->form()->edtsearch,
         list()->form()->chkotagh, Dm->QMelk},
        {"demands", "مشتري 777", "مستاجر/خريدار", ShowDemandList, FrmLstNiyaz, FrmLstNiyaz->form()->dbgrid1,
         FrmLstNiyaz->form()->CmbSearch, FrmLstNiyaz->form()->edtsearch,
         FrmLstNiyaz->form()->chkf, Dm->QNiyaz},
    };
    for (const ListCase& l : lists) {
        SCOPED_TRACE(l.name);
        l.show();
        ASSERT_TRUE(l.window->isVisible());
        ASSERT_EQ(l.ds->RecordCount(), kRows);
        // the user's work in the open list: a ticked criterion not yet run, a found row, a width
        l.criterion->setChecked(!l.criterion->isChecked());
        const bool ticked = l.criterion->isChecked();
        l.column_->setCurrentText(QString::fromUtf8(l.column));
        l.find->setText(QString::fromUtf8(l.person));
        const int found = l.ds->RecNo();
        ASSERT_GT(found, 1);
        l.grid->setColumnWidth(2, 321);
        const QString sql = l.ds->SQL();

        l.show();   // F2 or F4 again
        EXPECT_TRUE(l.window->isVisible());
        EXPECT_EQ(l.criterion->isChecked(), ticked);
        EXPECT_EQ(l.find->text(), QString::fromUtf8(l.person));
        EXPECT_EQ(l.ds->RecNo(), found);
        EXPECT_EQ(l.ds->RecordCount(), kRows);
        EXPECT_EQ(l.ds->SQL(), sql);
        EXPECT_EQ(l.grid->columnWidth(2), 321);

        // closed and shown again: the opening work runs as it did
        l.window->close();
        l.criterion->setChecked(!ticked);
        l.show();
        EXPECT_EQ(l.ds->RecNo(), 1);
    }
    delete FrmLstNiyaz;
    FrmLstNiyaz = nullptr;
}

TEST_P(ListOrder, AnEmptyOrHalfTypedDateBoxReadsAsBlanksInBothLists)
{
    for (const char* date : {"1403/01/02", "1403/05/01", "1404/01/01"}) {
        addProperty(QStringLiteral("مالک"), true, false, false, 0, QString(), QString::fromLatin1(date));
        Dm->Conn->exec(QStringLiteral("insert into T_niyaz (Esm, kharid, tarikheraeh, hazfshodeh) values ('م', %1, $1, 0)")
                           .arg(Dm->Conn->dialect().trueValue()),
                       {QString::fromLatin1(date)});
    }
    FrmLstNiyaz = new TFrmLstNiyaz;
    struct ListCase {
        const char* name;
        QWidget* window;
        QCheckBox* chktarikh;
        widgets::MaskEdit* from;
        widgets::MaskEdit* to;
        QPushButton* ok;
        db::DataSet* ds;
    } lists[] = {
        {"properties", list(), list()->form()->chktarikh, list()->form()->edtt1, list()->form()->edtt2,
         list()->form()->btnok, Dm->QMelk},
        {"demands", FrmLstNiyaz, FrmLstNiyaz->form()->chktarikh, FrmLstNiyaz->form()->edtt1, FrmLstNiyaz->form()->edtt2,
         FrmLstNiyaz->form()->btnok, Dm->QNiyaz},
    };
    const struct {
        const char* from;
        const char* to;
        int rows;
    } cases[] = {
        {"1403/01/01", "1403/12/29", 2},
        {"1403/01/01", "", 0},   // an empty end: no row, not every later one
        {"", "1403/12/29", 2},   // blanks lie below every date: up to the end
        {"1403/0", "1403/12/29", 2},
        {"1403/01/01", "1403/0", 0},   // half typed
        {"", "", 0},
    };
    for (const ListCase& l : lists) {
        l.window->show();
        l.chktarikh->setChecked(true);
        l.from->setEnabled(true);
        l.to->setEnabled(true);
        for (const auto& c : cases) {
            l.from->setText(QString::fromLatin1(c.from));
            l.to->setText(QString::fromLatin1(c.to));
            l.ok->click();
            EXPECT_EQ(l.ds->RecordCount(), c.rows) << l.name << " " << c.from << " .. " << c.to;
        }
        l.window->close();
    }
    delete FrmLstNiyaz;
    FrmLstNiyaz = nullptr;
}

DOVIN_INSTANTIATE_ENGINES(ListOrder);

} // namespace
