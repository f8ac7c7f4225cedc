// The chart renderer judged by its pixels: bars where and as high as their values, stacking
// modes, 3D faces following depth and elevation, clipping, monochrome, backgrounds, pies.
#include "platform/chart/Chart.h"
#include "platform/chart/ChartRenderer.h"

#include <QImage>
#include <QSet>
#include <QPainter>
#include <gtest/gtest.h>
#include <functional>

using namespace chart;

namespace {

const QSize kSize(480, 320);

// Renders and, when DOVIN_CHART_SHOTS names a folder, keeps the picture there.
QImage render(const Chart& c, const char* name)
{
    QImage img = renderImage(c, kSize);
    const QString dir = qEnvironmentVariable("DOVIN_CHART_SHOTS");
    if (!dir.isEmpty())
        img.save(dir + QLatin1Char('/') + QLatin1String(name) + QStringLiteral(".png"));
    return img;
}

// A plain chart: white, no gradient, no title, no legend; 2D unless asked.
void plain(Chart& c, bool threeD = false)
{
    c.background.gradientVisible = false;
    c.background.color = Qt::white;
    c.legendVisible = false;
    c.view3D = threeD;
    c.title.clear();
}

Series& bars(Chart& c, const QColor& color, std::initializer_list<double> values, SeriesKind kind = SeriesKind::Bar)
{
    Series& s = c.addSeries(kind);
    s.color = color;
    s.barStyle = BarStyle::Rectangle;
    s.barWidthPercent = 60;
    int i = 0;
    for (double v : values)
        s.add(v, QStringLiteral("1403/%1").arg(++i, 2, 10, QLatin1Char('0')));
    return s;
}

bool near(QRgb a, const QColor& b, int tol = 8)
{
    return std::abs(qRed(a) - b.red()) <= tol && std::abs(qGreen(a) - b.green()) <= tol && std::abs(qBlue(a) - b.blue()) <= tol;
}

// Runs of pixels of a colour along row y: (first x, last x).
std::vector<std::pair<int, int>> runsInRow(const QImage& img, int y, const QColor& color)
{
    std::vector<std::pair<int, int>> runs;
    for (int x = 0; x < img.width(); ++x) {
        if (!near(img.pixel(x, y), color))
            continue;
        if (!runs.empty() && runs.back().second == x - 1)
            runs.back().second = x;
        else
            runs.push_back({x, x});
    }
    return runs;
}

// Height of the column of a colour at x, counted upwards from y.
int heightUp(const QImage& img, int x, int y, const QColor& color)
{
    int h = 0;
    while (y - h >= 0 && near(img.pixel(x, y - h), color))
        ++h;
    return h;
}

// Height of a whole bar at x from its base up: every pixel that is neither white nor a light grey.
int barHeight(const QImage& img, int x, int base)
{
    int h = 0;
    for (; base - h >= 0; ++h) {
        const QRgb p = img.pixel(x, base - h);
        const bool lightGrey = std::abs(qRed(p) - qGreen(p)) < 12 && std::abs(qGreen(p) - qBlue(p)) < 12 && qRed(p) > 150;
        if (lightGrey)
            break;
    }
    return h;
}

// The lowest row holding the colour, -1 when it is nowhere.
int lowestRow(const QImage& img, const QColor& color)
{
    for (int y = img.height() - 1; y >= 0; --y)
        for (int x = 0; x < img.width(); ++x)
            if (near(img.pixel(x, y), color))
                return y;
    return -1;
}

int countColour(const QImage& img, const QColor& color, int tol = 8)
{
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            n += near(img.pixel(x, y), color, tol);
    return n;
}

} // namespace

TEST(ChartRender, BarsStandWhereTheirValuesPutThem)
{
    Chart c;
    plain(c);
    bars(c, Qt::blue, {10, 20, 40});
    const QImage img = render(c, "bars");
    const int base = lowestRow(img, Qt::blue);
    ASSERT_GT(base, kSize.height() / 2);
    const auto runs = runsInRow(img, base - 1, Qt::blue);
    ASSERT_EQ(runs.size(), 3u);
    std::vector<int> heights;
    for (const auto& r : runs) {
        EXPECT_NEAR(r.second - r.first, runs[0].second - runs[0].first, 1);   // equal widths
        heights.push_back(barHeight(img, (r.first + r.second) / 2, base));
    }
    EXPECT_NEAR(heights[1], 2 * heights[0], 3);
    EXPECT_NEAR(heights[2], 4 * heights[0], 5);
    // equal slots: the gaps between the bars are equal
    EXPECT_NEAR(runs[1].first - runs[0].second, runs[2].first - runs[1].second, 2);
}

TEST(ChartRender, HorizontalBarsGrowToTheRight)
{
    Chart c;
    plain(c);
    bars(c, Qt::blue, {10, 30}, SeriesKind::HorizBar);
    const QImage img = renderImage(c, kSize);
    // the first point is the lower bar; widths in the ratio of the values
    std::vector<std::pair<int, int>> rows;   // (y, width) of each bar's middle row
    int y = 0;
    while (y < img.height()) {
        const auto runs = runsInRow(img, y, Qt::blue);
        if (runs.empty()) {
            ++y;
            continue;
        }
        const int top = y;
        while (y < img.height() && !runsInRow(img, y, Qt::blue).empty())
            ++y;
        const auto mid = runsInRow(img, (top + y) / 2, Qt::blue);
        rows.push_back({(top + y) / 2, mid.front().second - mid.front().first + 1});
    }
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_NEAR(rows[0].second, 3 * rows[1].second, 8);   // upper bar: 30
}

TEST(ChartRender, MultiBarModes)
{
    struct Case {
        MultiBar mode;
        const char* what;
    };
    for (const Case& k : {Case{MultiBar::Side, "side"}, Case{MultiBar::Stacked, "stacked"}, Case{MultiBar::Stacked100, "100"},
                          Case{MultiBar::None, "none"}}) {
        SCOPED_TRACE(k.what);
        Chart c;
        plain(c);
        bars(c, Qt::red, {10, 30}).multiBar = k.mode;
        bars(c, Qt::blue, {10, 10});
        const QImage img = render(c, k.what);
        const int redBase = lowestRow(img, Qt::red), blueBase = lowestRow(img, Qt::blue);
        ASSERT_GT(redBase, 0);
        ASSERT_GT(blueBase, 0);
        if (k.mode == MultiBar::None) {
            // in 2D the later series covers the earlier one: red shows only above blue's top
            const auto blue = runsInRow(img, blueBase - 1, Qt::blue);
            ASSERT_EQ(blue.size(), 2u);
            const int blueH = heightUp(img, (blue[1].first + blue[1].second) / 2, blueBase, Qt::blue);
            EXPECT_LT(redBase, blueBase - blueH + 2);
            EXPECT_EQ(runsInRow(img, redBase, Qt::red).size(), 1u);
            continue;
        }
        const auto red = runsInRow(img, redBase - 1, Qt::red);
        ASSERT_EQ(red.size(), 2u);
        const int redX = (red[0].first + red[0].second) / 2;
        switch (k.mode) {
        case MultiBar::Side: {
            // same floor, blue beside red in each slot
            EXPECT_NEAR(redBase, blueBase, 1);
            const auto blue = runsInRow(img, blueBase - 1, Qt::blue);
            ASSERT_EQ(blue.size(), 2u);
            EXPECT_NEAR(blue[0].first, red[0].second, 3);
            EXPECT_EQ(heightUp(img, (blue[0].first + blue[0].second) / 2, blueBase, Qt::blue),
                      heightUp(img, redX, redBase, Qt::red));
            break;
        }
        case MultiBar::Stacked: {
            // blue sits on red in the same column; the second column is twice as high as the first
            const int redH = heightUp(img, redX, redBase, Qt::red);
            EXPECT_TRUE(near(img.pixel(redX, redBase - redH - 3), Qt::blue));
            const int x2 = (red[1].first + red[1].second) / 2;
            EXPECT_NEAR(barHeight(img, x2, redBase), 2 * barHeight(img, redX, redBase), 4);
            EXPECT_NEAR(heightUp(img, x2, redBase, Qt::red), 3 * redH, 7);
            break;
        }
        case MultiBar::Stacked100: {
            // both columns reach the same height; red takes half of the first and three quarters of the second
            const int x2 = (red[1].first + red[1].second) / 2;
            const int r1 = heightUp(img, redX, redBase, Qt::red), r2 = heightUp(img, x2, redBase, Qt::red);
            const int t1 = barHeight(img, redX, redBase), t2 = barHeight(img, x2, redBase);
            EXPECT_NEAR(t1, t2, 2);
            EXPECT_NEAR(r1 * 2, t1, 4);
            EXPECT_NEAR(r2 * 4, t2 * 3, 8);
            break;
        }
        case MultiBar::None: break;
        }
    }
}

TEST(ChartRender, SideBySideBarsIn3DCoverOnlySides)
{
    // each bar covers the side of the bar before it, never another bar's front
    Chart c;
    plain(c, true);
    c.depthPercent = 40;
    c.axesVisible = false;
    bars(c, Qt::red, {10, 10, 10}).barWidthPercent = 90;
    bars(c, Qt::blue, {10, 10, 10}).barWidthPercent = 90;
    const QImage img = render(c, "side3d");
    const int red = countColour(img, Qt::red, 2), blue = countColour(img, Qt::blue, 2);
    EXPECT_GT(red, 2000);
    EXPECT_NEAR(red, blue, blue / 20);
}

TEST(ChartRender, DepthAndElevationShapeTheFaces)
{
    // the top face is lighter, the side face darker than the front
    const QColor front(0, 0, 200);
    const QColor top = front.lighter(130), side = front.darker(100 * 100 / 70);
    struct Case {
        int elevation;
        int depth;
        bool orthogonal;
        int rotation;
        bool topShown;
        bool sideShown;
    };
    for (const Case& k : {Case{315, 20, true, 360, true, true}, Case{360, 20, true, 360, false, true},
                          Case{270, 20, true, 360, true, false}, Case{315, 0, true, 360, false, false},
                          Case{315, 20, false, 360, true, false}, Case{315, 20, false, 340, true, true}}) {
        SCOPED_TRACE(testing::Message() << k.elevation << " " << k.depth << " " << k.orthogonal << " " << k.rotation);
        Chart c;
        plain(c, true);
        c.elevation = k.elevation;
        c.depthPercent = k.depth;
        c.orthogonal = k.orthogonal;
        c.rotation = k.rotation;
        c.axesVisible = false;
        bars(c, front, {30, 50});
        const QImage img = renderImage(c, kSize);
        EXPECT_GT(countColour(img, front, 2), 500);
        EXPECT_EQ(countColour(img, top, 2) > 50, k.topShown);
        EXPECT_EQ(countColour(img, side, 2) > 50, k.sideShown);
    }
}

TEST(ChartRender, ZoomAndPanStayInsideTheChartBody)
{
    for (SeriesKind kind : {SeriesKind::Bar, SeriesKind::HorizBar, SeriesKind::Pie, SeriesKind::Area}) {
        for (int zoom : {400, 1000}) {
            SCOPED_TRACE(testing::Message() << int(kind) << " zoom " << zoom);
            Chart c;
            plain(c, true);
            c.setZoom(zoom);
            c.panOffset = QPoint(-150, 120);
            Series& s = bars(c, Qt::blue, {10, 20, 40, 5}, kind);
            s.colorEachPoint = true;
            s.marksVisible = true;
            const QImage img = renderImage(c, kSize);
            const QRect body = layoutChart(c, QRectF(QPointF(), QSizeF(kSize))).body.toAlignedRect();
            ASSERT_GT(body.width(), kSize.width() / 2);
            int outside = 0, inside = 0;
            for (int y = 0; y < img.height(); ++y)
                for (int x = 0; x < img.width(); ++x) {
                    const bool white = img.pixel(x, y) == qRgb(255, 255, 255);
                    if (!body.adjusted(-1, -1, 1, 1).contains(x, y))
                        outside += !white;
                    else
                        inside += !white;
                }
            EXPECT_EQ(outside, 0);
            EXPECT_GT(inside, 1000);
        }
    }
}

TEST(ChartRender, MonochromeDrawsGreyOnly)
{
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(QColor(0, 200, 50));
    const std::function<void(Chart&)> kinds[] = {
        [](Chart& c) {
            for (BarStyle st : {BarStyle::Rectangle, BarStyle::Cylinder, BarStyle::Pyramid, BarStyle::RectGradient}) {
                Series& s = bars(c, Qt::red, {10, -20, 40});
                s.barStyle = st;
                s.colorEachPoint = true;
                s.marksVisible = true;
            }
        },
        [](Chart& c) {
            Series& s = bars(c, Qt::red, {10, 20, 40, 15}, SeriesKind::Pie);
            s.colorEachPoint = true;
            s.marksVisible = true;
            s.explodeBiggest = 30;
        },
        [](Chart& c) {
            bars(c, Qt::yellow, {10, 20, 40}, SeriesKind::Line).colorEachPoint = true;
            bars(c, Qt::green, {15, 25, 5}, SeriesKind::Area).colorEachPoint = true;
            bars(c, Qt::magenta, {5, 30, 25}, SeriesKind::Point);
        },
    };
    for (const auto& fill : kinds) {
        Chart c;
        c.title = QStringLiteral("نمودار حق بنگاه");
        c.monochrome = true;
        c.background.gradientStart = Qt::red;
        c.background.gradientEnd = Qt::blue;
        c.background.picture = picture;
        fill(c);
        const QImage img = renderImage(c, kSize);
        int coloured = 0, shades = 0;
        QSet<int> seen;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                const QRgb p = img.pixel(x, y);
                coloured += qRed(p) != qGreen(p) || qGreen(p) != qBlue(p);
                seen.insert(qRed(p));
            }
        shades = seen.size();
        EXPECT_EQ(coloured, 0);
        EXPECT_GT(shades, 8);   // still a picture, not a blank page
    }
}

TEST(ChartRender, GradientDirections)
{
    struct Case {
        GradientDirection dir;
        QPoint startAt;    // where the start colour shows
        QPoint endAt;
    };
    const int w = kSize.width() - 1, h = kSize.height() - 1;
    const Case cases[] = {
        {GradientDirection::TopBottom, {w / 2, 0}, {w / 2, h}},
        {GradientDirection::BottomTop, {w / 2, h}, {w / 2, 0}},
        {GradientDirection::LeftRight, {0, h / 2}, {w, h / 2}},
        {GradientDirection::RightLeft, {w, h / 2}, {0, h / 2}},
        {GradientDirection::FromCenter, {w / 2, h / 2}, {0, 0}},
        {GradientDirection::FromTopLeft, {0, 0}, {w, h}},
        {GradientDirection::FromBottomLeft, {0, h}, {w, 0}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.dir));
        Chart c;
        c.axesVisible = false;
        c.background.gradientStart = Qt::red;
        c.background.gradientEnd = Qt::blue;
        c.background.direction = k.dir;
        const QImage img = renderImage(c, kSize);
        EXPECT_TRUE(near(img.pixel(k.startAt), Qt::red, 12)) << std::hex << img.pixel(k.startAt);
        EXPECT_TRUE(near(img.pixel(k.endAt), Qt::blue, 12)) << std::hex << img.pixel(k.endAt);
    }
}

TEST(ChartRender, BackgroundPictureModes)
{
    QImage pic(20, 20, QImage::Format_RGB32);
    pic.fill(Qt::green);
    pic.setPixel(0, 0, qRgb(255, 0, 0));
    struct Case {
        PictureMode mode;
        QPoint at;
        QColor expected;
    };
    const QPoint centre(kSize.width() / 2, kSize.height() / 2);
    const Case cases[] = {
        {PictureMode::Stretch, {kSize.width() - 2, kSize.height() - 2}, Qt::green},
        {PictureMode::Center, centre, Qt::green},
        {PictureMode::Center, {2, 2}, Qt::white},
        {PictureMode::Tile, {20, 40}, Qt::red},
        {PictureMode::Tile, {kSize.width() - 3, kSize.height() - 3}, Qt::green},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(int(k.mode));
        Chart c;
        plain(c);
        c.axesVisible = false;
        c.background.picture = pic;
        c.background.pictureMode = k.mode;
        EXPECT_TRUE(near(renderImage(c, kSize).pixel(k.at), k.expected, 2));
    }
}

TEST(ChartRender, PieOfNegativeOrZeroValues)
{
    struct Case {
        std::initializer_list<double> values;
        int slices;        // colours drawn
    };
    for (const Case& k : {Case{{-10, 0, 30}, 2}, Case{{0, 0}, 0}, Case{{-5, -15}, 2}, Case{{}, 0}}) {
        Chart c;
        plain(c, true);
        Series& s = bars(c, Qt::red, k.values, SeriesKind::Pie);
        s.colorEachPoint = true;
        const QImage img = renderImage(c, kSize);
        int drawn = 0;
        for (int i = 0; i < s.count(); ++i)
            drawn += countColour(img, autoColor(i), 2) > 100;
        EXPECT_EQ(drawn, k.slices);
    }
}

TEST(ChartRender, PieRotationAndExplosionMoveTheSlices)
{
    // two halves: red from the rotation angle on, green after it
    auto render = [](int rotation, int explode) {
        Chart c;
        plain(c, false);
        Series& s = bars(c, Qt::red, {50, 50}, SeriesKind::Pie);
        s.colorEachPoint = true;
        s.rotation = rotation;
        s.explodeBiggest = explode;
        return renderImage(c, kSize);
    };
    const QRect body = [] {
        Chart c;
        plain(c);
        c.addSeries(SeriesKind::Pie).add(1, QString());
        return layoutChart(c, QRectF(QPointF(), QSizeF(kSize))).plot.toAlignedRect();
    }();
    const QPoint centre = body.center();
    const QPoint above = centre - QPoint(0, body.height() / 4), below = centre + QPoint(0, body.height() / 4);
    const QImage at0 = render(0, 0);
    EXPECT_TRUE(near(at0.pixel(above), autoColor(0), 2));    // red: 0 to 180 degrees, the upper half
    EXPECT_TRUE(near(at0.pixel(below), autoColor(1), 2));
    const QImage at180 = render(180, 0);
    EXPECT_TRUE(near(at180.pixel(above), autoColor(1), 2));
    EXPECT_TRUE(near(at180.pixel(below), autoColor(0), 2));
    // exploding moves the biggest (the first of two equal) slice off the centre
    const QImage exploded = render(0, 30);
    EXPECT_FALSE(near(exploded.pixel(centre + QPoint(0, -2)), autoColor(0), 2));
}

TEST(ChartRender, ThinnedLineKeepsItsPeak)
{
    for (SeriesKind kind : {SeriesKind::Line, SeriesKind::FastLine}) {
        Chart c;
        plain(c, kind == SeriesKind::Line);
        Series& s = c.addSeries(kind);
        s.color = Qt::blue;
        for (int i = 0; i < 10000; ++i)
            s.add(i == 4321 ? 1000 : 10, QString());
        const QImage img = renderImage(c, kSize);
        const QRectF plot = layoutChart(c, QRectF(QPointF(), QSizeF(kSize))).plot;
        // the peak reaches the upper tenth of the plot
        bool peak = false;
        for (int y = int(plot.top()); y < plot.top() + plot.height() / 10 && !peak; ++y)
            for (int x = int(plot.left()); x < plot.right(); ++x)
                if (qBlue(img.pixel(x, y)) > 150 && qRed(img.pixel(x, y)) < 100)
                    peak = true;
        EXPECT_TRUE(peak) << int(kind);
    }
}

TEST(ChartRender, GroupedValues)
{
    const std::pair<double, const char*> cases[] = {
        {0, "0"},          {999, "999"},       {1000, "1,000"},       {1234567.5, "1,234,567.5"},
        {-1500, "-1,500"}, {0.125, "0.125"},   {0.0004, "0"},          {12345678901.25, "12,345,678,901.25"},
        {-0.4, "-0.4"},    {1e6, "1,000,000"},
    };
    for (const auto& [v, text] : cases)
        EXPECT_EQ(groupedValue(v).toStdString(), text) << v;
}
