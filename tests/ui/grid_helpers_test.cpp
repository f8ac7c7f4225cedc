// Grid and panel helpers: layout files, the column chooser, panel state, Enter as Tab,
// sums over the selected rows, date prefixes.
#include "platform/widgets_fixture.h"

#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DBLookupComboBox.h"
#include "platform/widgets/MaskEdit.h"
#include "ui/GridHelpers.h"
#include "ui/Tfrmgridcols.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

using namespace widgets;
using testing_support::WidgetsFixture;

namespace {

const QVector<GridColumn> kLayout = {
    {QStringLiteral("Esm"), QStringLiteral("نام مالک"), 180, true},
    {QStringLiteral("ID"), QStringLiteral("کد"), 40, false},
    {QStringLiteral("Price"), QStringLiteral("قيمت"), 120, true},
    {QStringLiteral("Dt"), QStringLiteral("تاريخ"), 90, true},
};

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

} // namespace

class GridHelpers : public WidgetsFixture {
protected:
    void SetUp() override
    {
        WidgetsFixture::SetUp();
        addFive();
        ds->Open();
        grid.setDataSet(ds.get());
        folder = testDb.dir() + QLatin1Char('/');
    }
    DBGrid grid;
    QString folder;
};

TEST_F(GridHelpers, LayoutFilesRoundTrip)
{
    grid.setColumns(kLayout);
    SaveGridColumns(&grid, QStringLiteral("GMelk"), folder);
    ASSERT_TRUE(QFile::exists(folder + QStringLiteral("GMelk")));

    DBGrid other;
    other.setDataSet(ds.get());
    EXPECT_EQ(other.model()->columnCount(), ds->FieldCount());
    LoadGridColumns(&other, QStringLiteral("GMelk"), folder);
    EXPECT_EQ(other.columns(), kLayout);
    EXPECT_TRUE(other.isColumnHidden(1));
    EXPECT_EQ(other.columnWidth(0), 180);
}

TEST_F(GridHelpers, MissingOrGarbageLayoutLeavesTheGrid)
{
    grid.setColumns(kLayout);
    LoadGridColumns(&grid, QStringLiteral("GNiyaz"), folder);
    EXPECT_EQ(grid.columns(), kLayout);

    const QByteArray garbage[] = {
        QByteArray("\x00\x01\x02garbage", 10),
        "{\"columns\": []}",
        "{\"columns\": [{\"field\": \"Esm\", \"title\": \"x\", \"width\": \"wide\", \"visible\": true}]}",
        "{\"columns\": [{\"field\": \"\", \"title\": \"x\", \"width\": 10, \"visible\": true}]}",
        "{\"columns\": [{\"field\": \"Esm\", \"title\": \"x\", \"width\": -5, \"visible\": true}]}",
        "[1, 2, 3]",
        "",
    };
    for (const QByteArray& bytes : garbage) {
        writeFile(folder + QStringLiteral("GTels"), bytes);
        LoadGridColumns(&grid, QStringLiteral("GTels"), folder);
        EXPECT_EQ(grid.columns(), kLayout) << bytes.constData();
    }
    // an unwritable place is silent too
    SaveGridColumns(&grid, QStringLiteral("GMn"), folder + QStringLiteral("no/such/dir/"));
}

TEST_F(GridHelpers, ColumnChooserShowsAndHides)
{
    grid.setColumns(kLayout);
    {
        Tfrmgridcols form(&grid);
        QListWidget* list = form.findChild<QListWidget*>(QStringLiteral("CheckListBox1"));
        ASSERT_EQ(list->count(), 4);
        EXPECT_EQ(list->item(0)->text(), QStringLiteral("نام مالک"));
        EXPECT_EQ(list->item(1)->checkState(), Qt::Unchecked);
        EXPECT_EQ(list->item(2)->checkState(), Qt::Checked);
        list->item(1)->setCheckState(Qt::Checked);     // shown again: width 100
        list->item(3)->setCheckState(Qt::Unchecked);
        form.apply();
    }
    QVector<GridColumn> cols = grid.columns();
    EXPECT_TRUE(cols[1].visible);
    EXPECT_EQ(cols[1].width, 100);
    EXPECT_FALSE(cols[3].visible);
    EXPECT_TRUE(grid.isColumnHidden(3));
    EXPECT_EQ(cols[0].width, 180);                     // stayed visible: kept its width

    // through the modal window: Cancel changes nothing, OK applies
    auto press = [](const char* name, std::function<void(Tfrmgridcols*)> before = {}) {
        QTimer::singleShot(0, [=] {
            auto* form = qobject_cast<Tfrmgridcols*>(QApplication::activeModalWidget());
            ASSERT_NE(form, nullptr);
            if (before)
                before(form);
            form->findChild<QPushButton*>(QString::fromLatin1(name))->click();
        });
    };
    press("BitBtn2", [](Tfrmgridcols* f) { f->findChild<QListWidget*>(QStringLiteral("CheckListBox1"))->item(0)->setCheckState(Qt::Unchecked); });
    ChooseGridColumns(&grid);
    EXPECT_EQ(grid.columns(), cols);
    press("BitBtn1", [](Tfrmgridcols* f) { f->findChild<QListWidget*>(QStringLiteral("CheckListBox1"))->item(3)->setCheckState(Qt::Checked); });
    ChooseGridColumns(&grid);
    EXPECT_TRUE(grid.columns()[3].visible);
    EXPECT_EQ(grid.columns()[3].width, 100);
}

TEST_F(GridHelpers, PanelStateDefaultsAndRoundTrip)
{
    QWidget panel;
    auto* chk1 = new QCheckBox(&panel);
    chk1->setObjectName(QStringLiteral("chksell"));
    auto* chk2 = new QCheckBox(&panel);
    chk2->setObjectName(QStringLiteral("ChkDel"));
    auto* edt = new QLineEdit(&panel);
    edt->setObjectName(QStringLiteral("edtm1"));
    auto* date = new MaskEdit(&panel);
    date->setObjectName(QStringLiteral("edtt1"));
    date->setEditMask(QStringLiteral("9999/99/99"));
    auto* combo = new QComboBox(&panel);
    combo->setObjectName(QStringLiteral("cmbnov"));
    combo->setEditable(true);
    auto* inner = new QWidget(&panel);
    auto* nested = new QCheckBox(inner);
    nested->setObjectName(QStringLiteral("chkInner"));

    const QString path = folder + QStringLiteral("defSearch.ini");
    // a section never written: every check box checked, every plain edit "0"
    LoadPanelState(path, QStringLiteral("frmlstmelkPanel1"), &panel);
    EXPECT_TRUE(chk1->isChecked());
    EXPECT_TRUE(chk2->isChecked());
    EXPECT_EQ(edt->text(), QStringLiteral("0"));
    EXPECT_EQ(date->Text(), QStringLiteral("____/__/__"));
    EXPECT_FALSE(nested->isChecked());

    chk2->setChecked(false);
    edt->setText(QStringLiteral("1500000"));
    date->setText(QStringLiteral("1403/05/12"));
    nested->setChecked(true);
    ASSERT_TRUE(SavePanelState(path, QStringLiteral("frmlstmelkPanel1"), &panel));

    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(file.readAll());
    EXPECT_TRUE(text.contains(QStringLiteral("[frmlstmelkPanel1]")));
    EXPECT_TRUE(text.contains(QStringLiteral("ChkDel")));
    EXPECT_TRUE(text.contains(QStringLiteral("1500000")));
    EXPECT_FALSE(text.contains(QStringLiteral("edtt1")));
    EXPECT_FALSE(text.contains(QStringLiteral("chkInner")));
    EXPECT_FALSE(text.contains(QStringLiteral("cmbnov")));

    chk2->setChecked(true);
    edt->setText(QStringLiteral("9"));
    LoadPanelState(path, QStringLiteral("frmlstmelkPanel1"), &panel);
    EXPECT_FALSE(chk2->isChecked());
    EXPECT_TRUE(chk1->isChecked());
    EXPECT_EQ(edt->text(), QStringLiteral("1500000"));
    // another panel's section is apart
    LoadPanelState(path, QStringLiteral("frmlstmelkPanel4"), &panel);
    EXPECT_TRUE(chk2->isChecked());
    EXPECT_EQ(edt->text(), QStringLiteral("0"));
}

TEST_F(GridHelpers, EnterMovesToTheNextControl)
{
    QWidget form;
    auto* layout = new QVBoxLayout(&form);
    auto* a = new QLineEdit(&form);
    auto* disabled = new QLineEdit(&form);
    disabled->setEnabled(false);
    auto* b = new QLineEdit(&form);
    layout->addWidget(a);
    layout->addWidget(disabled);
    layout->addWidget(b);
    form.show();
    QApplication::setActiveWindow(&form);
    a->setFocus();
    QChar key = QLatin1Char('x');
    EnterAsTab(&form, key);
    EXPECT_EQ(key, QLatin1Char('x'));
    EXPECT_TRUE(a->hasFocus());
    key = QChar(13);
    EnterAsTab(&form, key);
    EXPECT_EQ(key, QChar(0));
    EXPECT_TRUE(b->hasFocus());
}

TEST_F(GridHelpers, SumOverSelectedRowsKeepsTheCurrentRow)
{
    int scrolls = 0;
    ds->AfterScroll = [&](db::DataSet&) { ++scrolls; };
    ds->SetRecNo(4);
    ds->SelectRow(3, false);   // the current row's highlight taken away
    scrolls = 0;
    QString out = QStringLiteral("x");
    SumSelectedRows(&grid, QStringLiteral("Price"), out);
    EXPECT_EQ(out, QStringLiteral("0"));

    ds->SelectRow(0, true);   // 1,500,000
    ds->SelectRow(1, true);   // 250.5
    SumSelectedRows(&grid, QStringLiteral("Price"), out);
    EXPECT_EQ(out, QStringLiteral("1,500,250.5"));
    EXPECT_EQ(ds->RecNo(), 4);
    EXPECT_EQ(scrolls, 0);
    EXPECT_FALSE(ds->ControlsDisabled());

    // a row being edited counts with its typed value, and stays in edit
    ds->SetRecNo(2);
    ds->Edit();
    ds->FieldByName(QStringLiteral("Price"))->SetAsFloat(750);
    SumSelectedRows(&grid, QStringLiteral("Price"), out);
    EXPECT_EQ(out, QStringLiteral("1,500,750"));
    EXPECT_EQ(ds->State(), db::DataSetState::Edit);
    ds->Cancel();

    // errors: the message, the sum so far, the row kept
    SumSelectedRows(&grid, QStringLiteral("NoSuchField"), out);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].caption, QStringLiteral("خطا"));
    EXPECT_EQ(prompter.calls[0].kind, 0);
    EXPECT_TRUE(prompter.calls[0].text.startsWith(QStringLiteral("خطايي در روند برنامه پيش آمد\r\n")));
    EXPECT_EQ(out, QStringLiteral("0"));
    ds->SelectRow(2, true);   // a name is no number
    SumSelectedRows(&grid, QStringLiteral("Esm"), out);
    EXPECT_EQ(prompter.calls.size(), 2);
    EXPECT_EQ(ds->RecNo(), 2);
}

TEST(GridHelperFunctions, DatePrefixFromMask)
{
    const std::pair<const char*, const char*> cases[] = {
        {"1403/05/__", "1403/05"}, {"1403/__/__", "1403"}, {"____/__/__", ""}, {"1403/05/12", "1403/05/12"},
        {"14__/05/12", ""},        {"1403/0_/12", "1403"}, {"1403", "1403"},  {"1403/05", "1403/05"},
        {"1403/5", "1403"},        {"", ""},
    };
    for (const auto& [in, out] : cases)
        EXPECT_EQ(DatePrefixFromMask(QString::fromUtf8(in)), QString::fromUtf8(out)) << in;
}

TEST(GridHelperFunctions, ComboValueSetAndSeparators)
{
    DBLookupComboBox combo;
    EXPECT_FALSE(ComboValueSet(&combo));
    combo.setKeyValue(-1);
    EXPECT_FALSE(ComboValueSet(&combo));
    combo.setKeyValue(QStringLiteral("-1"));
    EXPECT_FALSE(ComboValueSet(&combo));
    combo.setKeyValue(0);
    EXPECT_TRUE(ComboValueSet(&combo));
    EXPECT_EQ(GetDecimalSeparator(), QLatin1Char('.'));
    EXPECT_EQ(GetThousandSeparator(), QLatin1Char(','));
}

TEST(GridHelperFunctions, AppFolderEndsWithSlash)
{
    const QByteArray old = qgetenv("DOVIN_HOME");
    qputenv("DOVIN_HOME", "/opt/dovin");
    EXPECT_EQ(AppFolder(), QStringLiteral("/opt/dovin/"));
    qunsetenv("DOVIN_HOME");
    EXPECT_EQ(AppFolder(), QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    if (!old.isEmpty())
        qputenv("DOVIN_HOME", old);
}
