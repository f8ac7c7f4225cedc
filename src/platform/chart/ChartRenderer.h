#pragma once
// Paints a chart with QPainter: the same drawing serves the window, bitmaps and printed pages.

#include <QImage>
#include <QPointF>
#include <QRectF>

class QPainter;

namespace chart {

class Chart;

// Where the parts of a chart fall inside the area it is painted into.
struct ChartLayout {
    QRectF title;
    QRectF legend;       // empty when the legend is hidden or has nothing to show
    QRectF body;         // walls, axes and series; drawing is clipped to it
    QRectF plot;         // the front plane of the plot (zoom and pan applied)
    QPointF depth;       // offset of the back plane from the front one
    QRectF valueAxis;    // label strips of the two axes (empty without axes)
    QRectF categoryAxis;
};

enum class ChartPart { None, Title, Legend, Axis, Body };

ChartLayout layoutChart(const Chart& chart, const QRectF& area);
void renderChart(const Chart& chart, QPainter& painter, const QRectF& area);
// The chart drawn on an image of the given size.
QImage renderImage(const Chart& chart, const QSize& size);
ChartPart hitTest(const Chart& chart, const QRectF& area, const QPointF& pos);

// "1,234,567.5": the value with thousands separators and up to three decimals.
QString groupedValue(double value);

} // namespace chart
