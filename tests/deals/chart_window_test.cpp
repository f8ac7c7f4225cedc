// The chart window over a report's two lists: drawing each kind, the comparison blocks, the
// mouse tools and their limits, the wheel, the pie angle, the menus, saving and printing.
#include "ScopedHome.h"
#include "ScriptedPrompter.h"

#include "deals/MonthlyReports.h"
#include "deals/Tfrmchart.h"
#include "platform/chart/ChartView.h"
#include "platform/report/Fonts.h"
#include "platform/report/PreparedReport.h"
#include "platform/report/Renderer.h"
#include "ui/TTools.h"
#include "ui_Tfrmchart.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTreeWidget>
#include <QWheelEvent>
#include <gtest/gtest.h>

using chart::Series;

namespace {

class ChartWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        report::installFontSubstitutions();
        savedCwd = QDir::currentPath();
        qputenv("DOVIN_HOME", home.path().toUtf8());
        report_.addItems(MonthlyReportTexts());
        report_.setCurrentIndex(4);
        for (auto* list : {&months, &sums})
            list->setColumnCount(2);
    }
    void TearDown() override
    {
        delete frm;
        QDir::setCurrent(savedCwd);
        qunsetenv("DOVIN_HOME");
    }

    // n report rows from 1402/01 on, the sums 1,000 x row number.
    Tfrmchart* open(int n)
    {
        months.clear();
        sums.clear();
        for (int i = 0; i < n; ++i) {
            auto* m = new QTreeWidgetItem(&months);
            m->setText(1, QStringLiteral("%1/%2").arg(1402 + i / 12).arg(i % 12 + 1, 2, 10, QLatin1Char('0')));
            auto* s = new QTreeWidgetItem(&sums);
            s->setText(1, TTools::FloatToThousands(1000.0 * (i + 1)));
        }
        delete frm;
        frm = new Tfrmchart(&months, &sums, &report_);
        frm->resize(900, 560);
        frm->btnchartClick();
        prompter.calls.clear();
        return frm;
    }

    void draw(int kind)
    {
        frm->form()->cmbcharts->setCurrentIndex(kind);
        frm->form()->btnchart->click();
    }

    std::vector<int> activeCounts() const
    {
        std::vector<int> out;
        for (int i = 0; i < frm->chart().seriesCount(); ++i)
            if (frm->chart().series(i).active)
                out.push_back(frm->chart().series(i).count());
        return out;
    }

    void mouse(QEvent::Type type, QPoint pos, Qt::MouseButtons buttons = Qt::LeftButton)
    {
        QMouseEvent e(type, pos, frm->form()->Chart1->mapToGlobal(pos), type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton,
                      buttons, Qt::NoModifier);
        QApplication::sendEvent(frm->form()->Chart1, &e);
    }
    void wheel(int delta)
    {
        QWheelEvent e(QPointF(50, 50), QPointF(50, 50), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase,
                      false);
        QApplication::sendEvent(frm->form()->Chart1, &e);
    }

    void shot(const char* name)
    {
        const QString dir = qEnvironmentVariable("DOVIN_CHART_SHOTS");
        if (!dir.isEmpty())
            frm->grab().save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    }

    testing_support::ScriptedPrompter prompter;
    QTemporaryDir home;
    QString savedCwd;
    QTreeWidget months, sums;
    QComboBox report_;
    Tfrmchart* frm = nullptr;
};

bool greyOnly(const QImage& img)
{
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            const QRgb p = img.pixel(x, y);
            if (qRed(p) != qGreen(p) || qGreen(p) != qBlue(p))
                return false;
        }
    return true;
}

} // namespace

TEST_F(ChartWindowTest, DefaultDrawingIsTheBarChartOfAllRows)
{
    open(5);
    EXPECT_EQ(frm->windowTitle(), QStringLiteral("نمودار"));
    EXPECT_EQ(frm->DrawnKind(), 0);
    EXPECT_EQ(activeCounts(), std::vector<int>({5}));
    const Series& s = frm->series("Series1");
    EXPECT_EQ(s.points[4].value, 5000);
    EXPECT_EQ(s.points[4].label, QStringLiteral("1402/05"));
    EXPECT_EQ(frm->chart().title, QStringLiteral("نمودار اسناد/چک هاي دريافتي"));
    EXPECT_TRUE(frm->chart().orthogonal);
    shot("chart_bar3d");
}

TEST_F(ChartWindowTest, EachKindActivatesItsSeriesAndTools)
{
    open(6);
    auto* f = frm->form();
    struct Case {
        int kind;
        const char* series;
        bool width, pie, dots, styles;
    };
    const Case cases[] = {
        {0, "Series1", true, false, false, true}, {1, "Series4", true, false, false, true},
        {2, "Series2", false, true, false, false}, {3, "Series3", false, false, false, false},
        {4, "Series7", false, false, false, false}, {5, "Series5", false, false, false, false},
        {6, "Series6", false, false, true, false},
    };
    const char* shots[] = {"chart_bar3d", "chart_hbar", "chart_pie", "chart_line", "chart_fastline", "chart_area", "chart_point"};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        f->ToolButton6->setEnabled(true);
        f->ToolButton6->setChecked(true);
        draw(c.kind);
        EXPECT_EQ(frm->DrawnKind(), c.kind);
        EXPECT_EQ(activeCounts(), std::vector<int>({6}));
        EXPECT_TRUE(frm->series(c.series).active);
        EXPECT_EQ(f->ToolButton6->isEnabled(), c.width);
        EXPECT_EQ(f->ToolButton6->isChecked(), c.width);
        EXPECT_EQ(f->ToolButton11->isEnabled(), c.pie);
        EXPECT_EQ(f->ToolButton13->isEnabled(), c.dots);
        EXPECT_EQ(f->ToolButton12->isEnabled(), c.styles);
        EXPECT_FALSE(f->ToolButton20->isEnabled());
        EXPECT_FALSE(frm->menu("N_comp")->isEnabled());
        shot(shots[c.kind]);
    }
}

TEST_F(ChartWindowTest, ComparisonBlocks)
{
    struct Case {
        int rows;
        std::vector<int> blocks;
    };
    const Case cases[] = {
        {1, {1}}, {2, {1, 1}}, {6, {5, 1}}, {7, {6, 1}}, {12, {6, 6}}, {13, {12, 1}}, {25, {12, 12, 1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rows);
        open(c.rows);
        draw(7);
        EXPECT_EQ(frm->DrawnKind(), 7);
        EXPECT_EQ(activeCounts(), c.blocks);
        EXPECT_EQ(frm->chart().seriesCount(), 6 + int(c.blocks.size()));
        // each block starts with its row; titles name the year
        int row = 0;
        for (int i = 0; i < frm->chart().seriesCount(); ++i) {
            const Series& s = frm->chart().series(i);
            if (!s.active)
                continue;
            EXPECT_EQ(s.points[0].label, months.topLevelItem(row)->text(1));
            EXPECT_TRUE(s.title.startsWith(QStringLiteral("سال"))) << s.title.toStdString();
            EXPECT_FALSE(s.colorEachPoint);
            EXPECT_EQ(s.barWidthPercent, 30);
            row += s.count();
        }
        EXPECT_EQ(row, c.rows);
        EXPECT_EQ(frm->menu("N_comp")->actions().size(), 1 + 8 * (int(c.blocks.size()) - 1));
        EXPECT_EQ(frm->chart().title, QStringLiteral("نمودار مقايسه اي اسناد/چک هاي دريافتي"));
        EXPECT_TRUE(frm->form()->ToolButton20->isEnabled());
        // drawn: no failure, something of each series' colour
        const QImage img = frm->form()->Chart1->grabChart();
        EXPECT_FALSE(img.isNull());
        if (c.rows == 25)
            shot("chart_comparison");
    }
}

TEST_F(ChartWindowTest, ComparisonOnlyForReceivedDocuments)
{
    open(13);
    report_.setCurrentIndex(2);
    draw(7);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("امكان مقايسه براي اين حالت وجود ندارد"));
    EXPECT_EQ(prompter.calls[0].caption, QStringLiteral("نمودار"));
    EXPECT_EQ(frm->DrawnKind(), 0);
    EXPECT_EQ(activeCounts(), std::vector<int>({13}));
    EXPECT_EQ(frm->chart().seriesCount(), 7);
}

TEST_F(ChartWindowTest, ComparisonDrawnAgainShowsEachMonthOnce)
{
    open(13);
    draw(7);
    draw(0);
    EXPECT_EQ(activeCounts(), std::vector<int>({13}));
    draw(7);
    EXPECT_EQ(activeCounts(), std::vector<int>({12, 1}));
    EXPECT_EQ(frm->chart().seriesCount(), 8);
    EXPECT_EQ(frm->menu("N_comp")->actions().size(), 9);
    draw(7);
    EXPECT_EQ(activeCounts(), std::vector<int>({12, 1}));
}

TEST_F(ChartWindowTest, ToolLimits)
{
    struct Case {
        const char* tool;
        int kind;
        std::function<int()> value;
        int start, top, bottom;
    };
    const Case cases[] = {
        {"ToolButton7", 0, [this] { return frm->chart().elevation; }, 315, 360, 270},
        {"ToolButton8", 0, [this] { return frm->chart().depthPercent; }, 20, 100, 1},
        {"ToolButton6", 0, [this] { return frm->series("Series1").barWidthPercent; }, 60, 100, 1},
        {"ToolButton6", 1, [this] { return frm->series("Series4").barWidthPercent; }, 100, 100, 1},
        {"ToolButton2", 0, [this] { return frm->chart().zoomPercent; }, 100, chart::Chart::kMaxZoom, chart::Chart::kMinZoom},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.tool);
        open(25);
        draw(k.kind);
        auto* tool = frm->findChild<QToolButton*>(QLatin1String(k.tool));
        EXPECT_EQ(k.value(), k.start);
        for (int i = 0; i < 400; ++i)
            frm->ToolStep(tool, true);
        EXPECT_EQ(k.value(), k.top);
        for (int i = 0; i < 400; ++i)
            frm->ToolStep(tool, false);
        EXPECT_EQ(k.value(), k.bottom);
    }
    // with kind 1 the horizontal bars change, not the upright ones
    open(5);
    draw(1);
    frm->ToolStep(frm->form()->ToolButton6, false);
    EXPECT_EQ(frm->series("Series4").barWidthPercent, 99);
    EXPECT_EQ(frm->series("Series1").barWidthPercent, 60);
    // the bar width of a comparison follows Series1's into every comparison series
    open(25);
    draw(7);
    frm->ToolStep(frm->form()->ToolButton6, true);
    EXPECT_EQ(frm->series("Series1").barWidthPercent, 31);
    for (int i = 7; i < frm->chart().seriesCount(); ++i)
        EXPECT_EQ(frm->chart().series(i).barWidthPercent, 31);
}

TEST_F(ChartWindowTest, MouseMovesStepTheToolDown)
{
    open(5);
    auto* f = frm->form();
    chart::Chart& c = frm->chart();
    f->ToolButton7->setChecked(true);
    mouse(QEvent::MouseButtonPress, {300, 200});
    EXPECT_EQ(frm->MouseY(), 200);
    mouse(QEvent::MouseMove, {300, 190});
    mouse(QEvent::MouseMove, {320, 190});   // no vertical change
    mouse(QEvent::MouseMove, {300, 180});
    EXPECT_EQ(c.elevation, 325);
    mouse(QEvent::MouseMove, {300, 185});
    EXPECT_EQ(c.elevation, 320);
    mouse(QEvent::MouseButtonRelease, {300, 185}, Qt::NoButton);
    EXPECT_EQ(frm->MouseY(), -1);
    mouse(QEvent::MouseMove, {300, 100}, Qt::NoButton);
    EXPECT_EQ(c.elevation, 320);

    // one tool at a time; pan follows the pointer both ways
    f->ToolButton10->setChecked(true);
    EXPECT_FALSE(f->ToolButton7->isChecked());
    mouse(QEvent::MouseButtonPress, {100, 100});
    mouse(QEvent::MouseMove, {130, 90});
    mouse(QEvent::MouseMove, {120, 95});
    EXPECT_EQ(c.panOffset, QPoint(20, -5));
    EXPECT_EQ(c.elevation, 320);

    // the wheel: one step per turn for the step tools, nothing for pan
    wheel(120);
    EXPECT_EQ(c.panOffset, QPoint(20, -5));
    f->ToolButton2->setChecked(true);
    wheel(120);
    wheel(120);
    wheel(-120);
    EXPECT_EQ(c.zoomPercent, 105);
    f->ToolButton2->setChecked(false);
    wheel(120);
    EXPECT_EQ(c.zoomPercent, 105);
}

TEST_F(ChartWindowTest, PieAngleWrapsBothWays)
{
    open(4);
    draw(2);
    const std::pair<std::optional<QString>, int> cases[] = {
        {QStringLiteral("-30"), 330}, {QStringLiteral("400"), 40}, {QStringLiteral("359"), 359}, {QStringLiteral("360"), 0},
        {QStringLiteral("-360"), 0},  {QStringLiteral("-999"), 81}, {QStringLiteral("999"), 279}, {std::nullopt, 0},
        {QStringLiteral("45"), 45},   {QStringLiteral("abc"), 0},
    };
    for (const auto& [answer, angle] : cases) {
        prompter.answerInput(answer);
        frm->form()->ToolButton11->click();
        EXPECT_EQ(frm->series("Series2").rotation, angle) << answer.value_or(QStringLiteral("(cancel)")).toStdString();
    }
    ASSERT_FALSE(prompter.calls.isEmpty());
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("زاويه چرخش را وارد كنيد(عددي منفي يا مثبت):"));
    EXPECT_EQ(prompter.calls[0].kind, 2);   // number mode
    // the biggest slice comes out and goes back
    frm->action("N1")->trigger();
    EXPECT_EQ(frm->series("Series2").explodeBiggest, 30);
    shot("chart_pie_exploded");
    frm->action("N1")->trigger();
    EXPECT_EQ(frm->series("Series2").explodeBiggest, 0);
}

TEST_F(ChartWindowTest, StyleMenus)
{
    open(13);
    frm->action("mnurect3")->trigger();
    EXPECT_EQ(frm->series("Series1").barStyle, chart::BarStyle::Cylinder);
    EXPECT_EQ(frm->series("Series4").barStyle, chart::BarStyle::Cylinder);
    frm->action("mnudots6")->trigger();
    EXPECT_EQ(frm->series("Series6").pointerStyle, chart::PointerStyle::Star);
    frm->action("mnucomp3")->trigger();
    EXPECT_EQ(frm->series("Series1").multiBar, chart::MultiBar::Stacked100);

    // a comparison series' own style items
    open(25);
    draw(7);
    const QList<QAction*> items = frm->menu("N_comp")->actions();
    ASSERT_EQ(items.size(), 17);
    items[8 + 2]->trigger();          // second group, "هرمي"
    EXPECT_EQ(frm->chart().series(8).barStyle, chart::BarStyle::Pyramid);
    EXPECT_EQ(frm->chart().series(7).barStyle, chart::BarStyle::Rectangle);
    items[7]->trigger();              // first group, last item
    EXPECT_EQ(frm->chart().series(7).barStyle, chart::BarStyle::RectGradient);
    items[5]->trigger();
    EXPECT_EQ(frm->chart().series(7).barStyle, chart::BarStyle::Ellipse);

    // marks and colours toggle series by series
    frm->series("Series3").marksVisible = true;
    frm->action("Action9")->trigger();
    EXPECT_FALSE(frm->series("Series1").marksVisible);
    EXPECT_FALSE(frm->series("Series3").marksVisible);
    EXPECT_TRUE(frm->series("Series5").marksVisible);
    frm->action("Action7")->trigger();
    EXPECT_TRUE(frm->series("Series7").colorEachPoint);
    EXPECT_FALSE(frm->series("Series3").colorEachPoint);
}

TEST_F(ChartWindowTest, BackgroundMenu)
{
    open(12);
    chart::Chart& c = frm->chart();
    frm->action("N16")->trigger();
    EXPECT_FALSE(c.background.gradientVisible);
    frm->action("N25")->trigger();
    EXPECT_EQ(c.background.direction, chart::GradientDirection::FromTopLeft);
    frm->action("N34")->trigger();
    EXPECT_EQ(c.background.pictureMode, chart::PictureMode::Tile);

    QImage pic(30, 30, QImage::Format_RGB32);
    pic.fill(Qt::green);
    const QString file = home.filePath(QStringLiteral("back.jpg"));
    ASSERT_TRUE(pic.save(file));
    prompter.answerFile(file);
    frm->action("N30")->trigger();
    EXPECT_FALSE(c.background.picture.isNull());
    EXPECT_EQ(QDir::currentPath() + QLatin1Char('/'), TTools::AppPath());
    prompter.answerFile(home.filePath(QStringLiteral("missing.jpg")));
    frm->action("N30")->trigger();
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.messages()[0].startsWith(QStringLiteral("خطايي در روند برنامه پيش آمد\nمجددا سعي كنيد\n")));

    // black and white printer: grey only, gradient back on, picture gone
    frm->action("N27")->trigger();
    EXPECT_TRUE(c.monochrome);
    EXPECT_TRUE(c.background.gradientVisible);
    EXPECT_TRUE(frm->action("N16")->isChecked());
    EXPECT_TRUE(c.background.picture.isNull());
    EXPECT_TRUE(greyOnly(frm->form()->Chart1->grabChart()));
    shot("chart_monochrome");
    frm->action("N28")->trigger();
    EXPECT_FALSE(c.monochrome);
    EXPECT_FALSE(greyOnly(frm->form()->Chart1->grabChart()));
}

TEST_F(ChartWindowTest, SaveAsBitmap)
{
    open(6);
    const QSize size = frm->form()->Chart1->size();
    struct Case {
        QString answer;
        QString written;
    };
    const Case cases[] = {
        {home.filePath(QStringLiteral("chart")), home.filePath(QStringLiteral("chart.bmp"))},
        {home.filePath(QStringLiteral("second.bmp")), home.filePath(QStringLiteral("second.bmp"))},
        {home.filePath(QStringLiteral("third.BMP")), home.filePath(QStringLiteral("third.BMP"))},
    };
    // the dialogs start in the user's pictures folder
    const testing_support::ScopedHome user;
    const QString pictures = user.make(QStringLiteral("Pictures"));
    frm->action("N30")->trigger();
    for (const Case& c : cases) {
        prompter.answerFile(c.answer);
        frm->action("Action8")->trigger();
        for (const QString& dialog : {QStringLiteral("openFile"), QStringLiteral("saveFile")}) {
            const auto call = std::find_if(prompter.calls.begin(), prompter.calls.end(),
                                           [&](const testing_support::PromptCall& p) { return p.what == dialog; });
            ASSERT_NE(call, prompter.calls.end());
            EXPECT_EQ(call->directory, pictures);
        }
        QImage back;
        ASSERT_TRUE(back.load(c.written, "BMP")) << c.written.toStdString();
        EXPECT_EQ(back.size(), size);
        EXPECT_FALSE(QFile::exists(c.written + QStringLiteral(".bmp")));
    }
    EXPECT_TRUE(prompter.messages().isEmpty());
    // a folder that is not there: the error, nothing written
    prompter.answerFile(home.filePath(QStringLiteral("no/such/chart")));
    frm->action("Action8")->trigger();
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.messages()[0].startsWith(QStringLiteral("خطايي در روند برنامه پيش آمد")));
    // cancelled: nothing
    const int files = QDir(home.path()).entryList(QDir::Files).size();
    frm->action("Action8")->trigger();
    EXPECT_EQ(QDir(home.path()).entryList(QDir::Files).size(), files);
}

TEST_F(ChartWindowTest, PrintsLandscapeThroughThePreview)
{
    open(12);
    report::PreparedReport shown;
    prompter.onPreview = [&](report::PreparedReport& r) { shown = r; };
    frm->form()->ToolButton1->click();
    ASSERT_EQ(prompter.previewCount, 1);
    EXPECT_EQ(shown.orientation, 1);
    ASSERT_EQ(shown.pageCount(), 1);
    const auto pics = shown.findNamed(QStringLiteral("Chart1"));
    ASSERT_EQ(pics.size(), 1);
    const QRect r = pics[0].item->rect;
    EXPECT_GT(shown.paperSize.width(), shown.paperSize.height());
    EXPECT_NEAR(r.left(), shown.paperSize.width() * 2 / 100, 2);
    EXPECT_NEAR(r.right() + 1, shown.paperSize.width() * 98 / 100, 3);
    EXPECT_GT(pics[0].item->image.width(), 1500);
    const QString dir = qEnvironmentVariable("DOVIN_CHART_SHOTS");
    if (!dir.isEmpty())
        report::renderPageImage(shown, 0, 60).save(dir + QStringLiteral("/chart_printout.png"));
}

TEST_F(ChartWindowTest, ClickingLegendOrAxisHidesIt)
{
    open(5);
    frm->show();
    chart::ChartView* view = frm->form()->Chart1;
    const chart::ChartLayout L = chart::layoutChart(frm->chart(), QRectF(view->rect()));
    const QPoint legend = L.legend.center().toPoint();
    mouse(QEvent::MouseButtonPress, legend);
    mouse(QEvent::MouseButtonRelease, legend, Qt::NoButton);
    EXPECT_FALSE(frm->chart().legendVisible);
    const QPoint axis = L.valueAxis.center().toPoint();
    mouse(QEvent::MouseButtonPress, axis);
    mouse(QEvent::MouseButtonRelease, axis, Qt::NoButton);
    EXPECT_FALSE(frm->chart().axesVisible);
}
