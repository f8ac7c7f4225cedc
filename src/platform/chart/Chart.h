#pragma once
// The chart model: series of labelled values, the 3D view, the background, zoom and pan.
// ChartRenderer paints it; ChartView shows it in a window.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <memory>
#include <vector>

namespace chart {

enum class SeriesKind { Bar, HorizBar, Pie, Line, FastLine, Area, Point };
enum class BarStyle { Rectangle, Pyramid, InvPyramid, Cylinder, Ellipse, Arrow, RectGradient };
enum class PointerStyle { Rectangle, Circle, Triangle, DownTriangle, Cross, DiagCross, Star, Diamond, SmallDot };
enum class MultiBar { None, Side, Stacked, Stacked100 };
enum class GradientDirection { TopBottom, BottomTop, LeftRight, RightLeft, FromCenter, FromTopLeft, FromBottomLeft };
enum class PictureMode { Stretch, Tile, Center };

// The automatic colour of index i (points with one colour each, series with one colour each).
QColor autoColor(int i);

struct ChartPoint {
    double value = 0;
    QString label;
    QColor color;              // invalid: the automatic colour
};

class Series {
public:
    explicit Series(SeriesKind kind, const QString& name = {}) : kind(kind), name(name) {}

    SeriesKind kind;
    QString name;
    QString title;
    bool active = true;
    bool colorEachPoint = false;
    bool marksVisible = false;
    QColor color = Qt::red;
    // bars
    BarStyle barStyle = BarStyle::Rectangle;
    int barWidthPercent = 70;
    MultiBar multiBar = MultiBar::Side;
    // points
    PointerStyle pointerStyle = PointerStyle::Rectangle;
    QColor pointerColor = Qt::green;
    // pie
    bool circled = false;
    int explodeBiggest = 0;    // percent of the radius
    int rotation = 0;          // degrees, 0..359
    int cursor = 0;            // mouse cursor number kept with the series

    std::vector<ChartPoint> points;

    void clear() { points.clear(); }
    void add(double value, const QString& label, const QColor& c = QColor()) { points.push_back({value, label, c}); }
    int count() const { return int(points.size()); }
    // The colour point i is drawn with.
    QColor pointColor(int i) const;
};

struct Background {
    QColor color = Qt::white;
    bool gradientVisible = true;
    QColor gradientStart = Qt::white;
    QColor gradientEnd = QColor(0xB0, 0xC8, 0xE0);
    GradientDirection direction = GradientDirection::FromCenter;
    QImage picture;
    PictureMode pictureMode = PictureMode::Center;
};

class Chart {
public:
    Chart() = default;
    Chart(const Chart&) = delete;
    Chart& operator=(const Chart&) = delete;

    // Appends a series and returns it (owned by the chart).
    Series& addSeries(SeriesKind kind, const QString& name = {});
    int seriesCount() const { return int(series_.size()); }
    Series& series(int i) { return *series_[size_t(i)]; }
    const Series& series(int i) const { return *series_[size_t(i)]; }
    Series* findSeries(const QString& name) const;
    void removeLastSeries();

    QString title;
    bool view3D = true;
    int depthPercent = 15;     // 3D depth, percent of the plot's width
    int elevation = 345;       // 270 looks from above, 360 from the front
    int rotation = 360;
    bool perspective = false;
    bool orthogonal = true;
    int zoomPercent = 100;
    QPoint panOffset;          // pixels
    bool axesVisible = true;
    bool legendVisible = true;
    bool monochrome = false;
    int marginPercent = 0;     // around the whole chart (printing)
    Background background;

    // Zoom is held from kMinZoom up to kMaxZoom percent.
    static constexpr int kMinZoom = 10;
    static constexpr int kMaxZoom = 1000;
    void setZoom(int percent);

private:
    std::vector<std::unique_ptr<Series>> series_;
};

} // namespace chart
