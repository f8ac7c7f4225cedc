#include "platform/chart/ChartRenderer.h"

#include "platform/chart/Chart.h"

#include <QFontMetricsF>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QtMath>
#include <algorithm>
#include <cmath>

namespace chart {

namespace {

constexpr double kPad = 8;

QFont chartFont(double pixels, bool bold = false)
{
    QFont f(QStringLiteral("tahoma"));
    f.setPixelSize(std::max(1, int(std::lround(pixels))));
    f.setBold(bold);
    f.setStyleStrategy(QFont::NoSubpixelAntialias);
    return f;
}

bool isCartesian(SeriesKind k) { return k != SeriesKind::Pie; }
bool isBar(SeriesKind k) { return k == SeriesKind::Bar || k == SeriesKind::HorizBar; }

// What one drawing needs: the chart, the painter and the colour filter of monochrome charts.
struct Ctx {
    const Chart& chart;
    QPainter& p;
    ChartLayout lay;
    std::vector<const Series*> active;

    QColor ink(const QColor& c) const
    {
        if (!chart.monochrome || !c.isValid())
            return c;
        const int g = qGray(c.rgb());
        return QColor(g, g, g, c.alpha());
    }
    QColor shade(const QColor& c, int factor) const { return ink(factor >= 100 ? c.lighter(factor) : c.darker(100 * 100 / std::max(1, factor))); }
};

std::vector<const Series*> activeSeries(const Chart& chart)
{
    std::vector<const Series*> out;
    for (int i = 0; i < chart.seriesCount(); ++i)
        if (chart.series(i).active)
            out.push_back(&chart.series(i));
    return out;
}

const Series* pieSeries(const std::vector<const Series*>& active)
{
    for (const Series* s : active)
        if (s->kind == SeriesKind::Pie)
            return s;
    return nullptr;
}

bool horizontal(const std::vector<const Series*>& active)
{
    for (const Series* s : active)
        if (s->kind == SeriesKind::HorizBar)
            return true;
    return false;
}

// Legend lines: the points of a lone series, otherwise one line per series.
struct LegendLine {
    QString text;
    QColor color;
};

// At most maxLines lines: the ones that fit.
std::vector<LegendLine> legendLines(const std::vector<const Series*>& active, int maxLines)
{
    std::vector<LegendLine> lines;
    if (active.size() == 1) {
        const Series& s = *active[0];
        for (int i = 0; i < std::min(s.count(), maxLines); ++i)
            lines.push_back({groupedValue(s.points[size_t(i)].value) + QStringLiteral("  ") + s.points[size_t(i)].label,
                             s.kind == SeriesKind::Point && !s.colorEachPoint ? s.pointerColor : s.pointColor(i)});
    } else {
        for (const Series* s : active)
            if (int(lines.size()) < maxLines)
                lines.push_back({s->title.isEmpty() ? s->name : s->title, s->color});
    }
    return lines;
}

// The value range the cartesian series span, stacking included.
struct Range {
    double lo = 0;
    double hi = 0;
    int categories = 0;
    MultiBar multi = MultiBar::Side;
    int bars = 0;              // active bar series
};

Range valueRange(const std::vector<const Series*>& active)
{
    Range r;
    bool first = true;
    for (const Series* s : active)
        if (isBar(s->kind)) {
            if (r.bars++ == 0)
                r.multi = s->multiBar;
        }
    for (const Series* s : active)
        r.categories = std::max(r.categories, s->count());
    const bool stacked = r.bars > 1 && (r.multi == MultiBar::Stacked || r.multi == MultiBar::Stacked100);
    if (stacked && r.multi == MultiBar::Stacked100) {
        r.lo = 0;
        r.hi = 100;
        first = false;
    } else if (stacked) {
        for (int i = 0; i < r.categories; ++i) {
            double pos = 0, neg = 0;
            for (const Series* s : active)
                if (isBar(s->kind) && i < s->count())
                    (s->points[size_t(i)].value >= 0 ? pos : neg) += s->points[size_t(i)].value;
            r.lo = std::min(r.lo, neg);
            r.hi = std::max(r.hi, pos);
        }
        first = false;
    }
    for (const Series* s : active) {
        if (stacked && isBar(s->kind))
            continue;
        for (const ChartPoint& pt : s->points) {
            if (first) {
                r.lo = r.hi = pt.value;
                first = false;
            }
            r.lo = std::min(r.lo, pt.value);
            r.hi = std::max(r.hi, pt.value);
        }
    }
    // bars and areas grow from zero
    r.lo = std::min(r.lo, 0.0);
    r.hi = std::max(r.hi, 0.0);
    if (r.hi - r.lo < 1e-12)
        r.hi = r.lo + 1;
    return r;
}

double niceStep(double range, int maxTicks)
{
    const double raw = range / std::max(1, maxTicks);
    const double mag = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (raw <= m * mag)
            return m * mag;
    return 10 * mag;
}

struct Axis {
    double lo = 0, hi = 1, step = 1;
};

// pixelsPerTick: about 30 for a vertical axis, more for the wider labels side by side
Axis valueAxis(const Range& r, double lengthPx, double pixelsPerTick)
{
    Axis a;
    a.step = niceStep(r.hi - r.lo, std::max(2, int(lengthPx / pixelsPerTick)));
    a.lo = std::floor(r.lo / a.step + 1e-9) * a.step;
    a.hi = std::ceil(r.hi / a.step - 1e-9) * a.step;
    if (a.hi <= a.lo)
        a.hi = a.lo + a.step;
    return a;
}

double widestValueLabel(const Axis& a, const QFontMetricsF& fm)
{
    double w = 0;
    for (double v = a.lo; v <= a.hi + a.step / 2; v += a.step)
        w = std::max(w, fm.horizontalAdvance(groupedValue(v)));
    return w;
}

void drawText(QPainter& p, const QRectF& r, int flags, const QString& text)
{
    p.save();
    p.setLayoutDirection(text.isRightToLeft() ? Qt::RightToLeft : Qt::LeftToRight);
    p.drawText(r, flags, text);
    p.restore();
}

// ----- background

void paintBackground(const Ctx& c, const QRectF& r)
{
    QPainter& p = c.p;
    p.fillRect(r, c.ink(c.chart.background.color));
    const Background& b = c.chart.background;
    if (b.gradientVisible) {
        const QColor s = c.ink(b.gradientStart), e = c.ink(b.gradientEnd);
        QGradient* g = nullptr;
        QLinearGradient lin;
        QRadialGradient rad(r.center(), std::hypot(r.width(), r.height()) / 2);
        switch (b.direction) {
        case GradientDirection::TopBottom: lin = QLinearGradient(r.topLeft(), r.bottomLeft()); break;
        case GradientDirection::BottomTop: lin = QLinearGradient(r.bottomLeft(), r.topLeft()); break;
        case GradientDirection::LeftRight: lin = QLinearGradient(r.topLeft(), r.topRight()); break;
        case GradientDirection::RightLeft: lin = QLinearGradient(r.topRight(), r.topLeft()); break;
        case GradientDirection::FromTopLeft: lin = QLinearGradient(r.topLeft(), r.bottomRight()); break;
        case GradientDirection::FromBottomLeft: lin = QLinearGradient(r.bottomLeft(), r.topRight()); break;
        case GradientDirection::FromCenter: g = &rad; break;
        }
        if (!g)
            g = &lin;
        g->setColorAt(0, s);
        g->setColorAt(1, e);
        p.fillRect(r, QBrush(*g));
    }
    if (!b.picture.isNull()) {
        const QImage pic = c.chart.monochrome ? b.picture.convertToFormat(QImage::Format_Grayscale8) : b.picture;
        p.save();
        p.setClipRect(r);
        switch (b.pictureMode) {
        case PictureMode::Stretch: p.drawImage(r, pic); break;
        case PictureMode::Tile: p.drawTiledPixmap(r, QPixmap::fromImage(pic)); break;
        case PictureMode::Center: {
            QRectF t(QPointF(), QSizeF(pic.size()));
            t.moveCenter(r.center());
            p.drawImage(t, pic);
            break;
        }
        }
        p.restore();
    }
}

// ----- cartesian geometry

QPolygonF quad(QPointF a, QPointF b, QPointF off)
{
    return QPolygonF({a, b, b + off, a + off});
}

void fillPoly(const Ctx& c, const QPolygonF& poly, const QBrush& brush, const QColor& pen)
{
    c.p.setBrush(brush);
    c.p.setPen(pen.isValid() ? QPen(pen, 1) : QPen(Qt::NoPen));
    c.p.drawPolygon(poly);
}

// A box from the front rectangle r, its back at offset d (d zero in 2D).
void drawBox(const Ctx& c, const QRectF& r, QPointF d, const QColor& color, bool gradient, bool upright = true)
{
    const QColor edge = c.ink(color.darker(200));
    if (!d.isNull()) {
        fillPoly(c, quad(r.topLeft(), r.topRight(), d), c.shade(color, 130), edge);          // top
        fillPoly(c, quad(r.topRight(), r.bottomRight(), d), c.shade(color, 70), edge);       // side
    }
    if (gradient) {
        QLinearGradient g = upright ? QLinearGradient(r.bottomLeft(), r.topLeft()) : QLinearGradient(r.topLeft(), r.topRight());
        g.setColorAt(0, c.ink(color));
        g.setColorAt(1, c.ink(Qt::white));
        fillPoly(c, QPolygonF(r), QBrush(g), edge);
    } else {
        fillPoly(c, QPolygonF(r), c.ink(color), edge);
    }
}

// One bar: r is its front rectangle (top is the value end for upright bars), d its depth.
void drawBar(const Ctx& c, BarStyle style, QRectF r, QPointF d, const QColor& color, bool upright, bool negative)
{
    QPainter& p = c.p;
    const QColor edge = c.ink(color.darker(200));
    switch (style) {
    case BarStyle::Rectangle: drawBox(c, r, d, color, false); return;
    case BarStyle::RectGradient: drawBox(c, r, d, color, true, upright); return;
    case BarStyle::Pyramid:
    case BarStyle::InvPyramid: {
        // apex at the value end (pyramid) or at the base (inverted); the base is a square r.width() x depth
        bool apexAtValue = style == BarStyle::Pyramid;
        QPointF baseA, baseB, apex;
        if (upright) {
            const bool apexTop = apexAtValue != negative;
            const double yb = apexTop ? r.bottom() : r.top();
            baseA = {r.left(), yb};
            baseB = {r.right(), yb};
            apex = QPointF(r.center().x(), apexTop ? r.top() : r.bottom()) + d / 2;
        } else {
            const bool apexRight = apexAtValue != negative;
            const double xb = apexRight ? r.left() : r.right();
            baseA = {xb, r.bottom()};
            baseB = {xb, r.top()};
            apex = QPointF(apexRight ? r.right() : r.left(), r.center().y()) + d / 2;
        }
        if (!d.isNull()) {
            fillPoly(c, quad(baseA, baseB, d), c.shade(color, 120), edge);   // base
            fillPoly(c, QPolygonF({baseB, baseB + d, apex}), c.shade(color, 70), edge);
            fillPoly(c, QPolygonF({baseA + d, baseB + d, apex}), c.shade(color, 80), edge);
        }
        fillPoly(c, QPolygonF({baseA, baseB, apex}), c.ink(color), edge);
        return;
    }
    case BarStyle::Cylinder: {
        // the round section lies in the base plane; its outline projects to a parallelogram's inscribed ellipse
        const int n = 24;
        auto section = [&](double along) {
            QPolygonF poly;
            for (int i = 0; i < n; ++i) {
                const double t = 2 * M_PI * i / n;
                const double u = (1 + std::cos(t)) / 2, v = (1 + std::sin(t)) / 2;
                QPointF pt = upright ? QPointF(r.left() + u * r.width(), along) : QPointF(along, r.bottom() - u * r.height());
                poly << pt + d * v;
            }
            return poly;
        };
        const QPolygonF a = upright ? section(r.bottom()) : section(r.left());
        const QPolygonF b = upright ? section(r.top()) : section(r.right());
        p.setPen(Qt::NoPen);
        for (int i = 0; i < n; ++i) {
            const int j = (i + 1) % n;
            const double t = 2 * M_PI * (i + 0.5) / n;
            const int light = 60 + int(70 * (1 + std::cos(t - M_PI / 4)) / 2);
            p.setBrush(c.shade(color, light + 40));
            p.drawPolygon(QPolygonF({a[i], a[j], b[j], b[i]}));
        }
        fillPoly(c, b, c.shade(color, 130), edge);
        return;
    }
    case BarStyle::Ellipse: {
        if (!d.isNull()) {
            p.setBrush(c.shade(color, 60));
            p.setPen(QPen(edge, 1));
            p.drawEllipse(r.translated(d));
        }
        p.setBrush(c.ink(color));
        p.setPen(QPen(edge, 1));
        p.drawEllipse(r);
        return;
    }
    case BarStyle::Arrow: {
        QPolygonF poly;
        if (upright) {
            const double head = std::min(r.width(), r.height() / 2) * (negative ? -1 : 1);
            const double y0 = negative ? r.top() : r.bottom(), y1 = negative ? r.bottom() : r.top();
            const double q = r.width() / 4;
            poly << QPointF(r.left() + q, y0) << QPointF(r.left() + q, y1 + head) << QPointF(r.left(), y1 + head)
                 << QPointF(r.center().x(), y1) << QPointF(r.right(), y1 + head) << QPointF(r.right() - q, y1 + head)
                 << QPointF(r.right() - q, y0);
        } else {
            const double head = std::min(r.height(), r.width() / 2) * (negative ? -1 : 1);
            const double x0 = negative ? r.right() : r.left(), x1 = negative ? r.left() : r.right();
            const double q = r.height() / 4;
            poly << QPointF(x0, r.top() + q) << QPointF(x1 - head, r.top() + q) << QPointF(x1 - head, r.top())
                 << QPointF(x1, r.center().y()) << QPointF(x1 - head, r.bottom()) << QPointF(x1 - head, r.bottom() - q)
                 << QPointF(x0, r.bottom() - q);
        }
        if (!d.isNull())
            fillPoly(c, poly.translated(d), c.shade(color, 60), edge);
        fillPoly(c, poly, c.ink(color), edge);
        return;
    }
    }
}

void drawPointer(const Ctx& c, PointerStyle style, QPointF at, double rad, QPointF d, const QColor& color)
{
    QPainter& p = c.p;
    const QColor edge = c.ink(color.darker(200));
    p.setPen(QPen(edge, 1));
    p.setBrush(c.ink(color));
    const QRectF box(at.x() - rad, at.y() - rad, 2 * rad, 2 * rad);
    switch (style) {
    case PointerStyle::Rectangle:
        drawBox(c, box, d, color, false);
        break;
    case PointerStyle::Circle: p.drawEllipse(box); break;
    case PointerStyle::Triangle:
        p.drawPolygon(QPolygonF({box.bottomLeft(), QPointF(at.x(), box.top()), box.bottomRight()}));
        break;
    case PointerStyle::DownTriangle:
        p.drawPolygon(QPolygonF({box.topLeft(), QPointF(at.x(), box.bottom()), box.topRight()}));
        break;
    case PointerStyle::Cross:
        p.setPen(QPen(c.ink(color), 2));
        p.drawLine(QPointF(box.left(), at.y()), QPointF(box.right(), at.y()));
        p.drawLine(QPointF(at.x(), box.top()), QPointF(at.x(), box.bottom()));
        break;
    case PointerStyle::DiagCross:
        p.setPen(QPen(c.ink(color), 2));
        p.drawLine(box.topLeft(), box.bottomRight());
        p.drawLine(box.bottomLeft(), box.topRight());
        break;
    case PointerStyle::Star: {
        QPolygonF star;
        for (int i = 0; i < 10; ++i) {
            const double a = -M_PI / 2 + i * M_PI / 5, rr = i % 2 ? rad * 0.45 : rad;
            star << at + QPointF(rr * std::cos(a), rr * std::sin(a));
        }
        p.drawPolygon(star);
        break;
    }
    case PointerStyle::Diamond:
        p.drawPolygon(QPolygonF({QPointF(at.x(), box.top()), QPointF(box.right(), at.y()), QPointF(at.x(), box.bottom()),
                                 QPointF(box.left(), at.y())}));
        break;
    case PointerStyle::SmallDot: p.drawEllipse(at, 1.5, 1.5); break;
    }
}

void drawMark(const Ctx& c, QPointF anchor, const QString& text, const QFont& font, bool beside = false)
{
    QPainter& p = c.p;
    const QFontMetricsF fm(font, p.device());
    const QSizeF s(fm.horizontalAdvance(text) + 6, fm.height() + 2);
    QRectF r = beside ? QRectF(QPointF(anchor.x() + 6, anchor.y() - s.height() / 2), s)
                      : QRectF(QPointF(anchor.x() - s.width() / 2, anchor.y() - s.height() - 4), s);
    p.setPen(QPen(c.ink(Qt::gray), 1));
    p.drawLine(anchor, beside ? QPointF(r.left(), anchor.y()) : QPointF(anchor.x(), r.bottom()));
    p.setBrush(c.ink(QColor(0xFF, 0xFF, 0xE1)));
    p.setPen(QPen(c.ink(Qt::black), 1));
    p.drawRect(r);
    p.setFont(font);
    drawText(p, r, Qt::AlignCenter, text);
}

// Points of a long series reduced to the lowest and highest value of each pixel column.
std::vector<std::pair<QPointF, int>> thinned(const std::vector<std::pair<QPointF, int>>& pts, double width)
{
    if (double(pts.size()) <= 2 * width)
        return pts;
    std::vector<std::pair<QPointF, int>> out;
    out.reserve(size_t(width) * 2 + 4);
    size_t i = 0;
    while (i < pts.size()) {
        const double col = std::floor(pts[i].first.x());
        size_t lo = i, hi = i, last = i;
        for (; i < pts.size() && std::floor(pts[i].first.x()) == col; ++i) {
            last = i;
            if (pts[i].first.y() < pts[lo].first.y())
                lo = i;
            if (pts[i].first.y() > pts[hi].first.y())
                hi = i;
        }
        size_t first = lo < hi ? lo : hi, second = lo < hi ? hi : lo;
        out.push_back(pts[first]);
        if (second != first)
            out.push_back(pts[second]);
        if (last != first && last != second)
            out.push_back(pts[last]);
    }
    return out;
}

void paintCartesian(Ctx& c)
{
    QPainter& p = c.p;
    const ChartLayout& L = c.lay;
    const bool horiz = horizontal(c.active);
    const Range range = valueRange(c.active);
    const QRectF f = L.plot;
    const QPointF D = L.depth;
    const double valueLen = horiz ? f.width() : f.height();
    const Axis ax = valueAxis(range, valueLen, horiz ? 80 : 30);
    const int n = std::max(1, range.categories);
    const double catLen = horiz ? f.height() : f.width();
    const double slot = catLen / n;
    const double zoom = c.chart.zoomPercent / 100.0;
    const QFont labelFont = chartFont(11 * zoom);

    auto valuePos = [&](double v) {
        const double t = (v - ax.lo) / (ax.hi - ax.lo);
        return horiz ? f.left() + t * f.width() : f.bottom() - t * f.height();
    };
    auto catPos = [&](double i) { return horiz ? f.bottom() - slot * (i + 0.5) : f.left() + slot * (i + 0.5); };
    auto at = [&](double cat, double v) { return horiz ? QPointF(valuePos(v), catPos(cat)) : QPointF(catPos(cat), valuePos(v)); };

    // walls, grid and axes
    if (c.chart.axesVisible) {
        const QColor wall = c.ink(QColor(0xF4, 0xF4, 0xF4)), frame = c.ink(Qt::darkGray);
        fillPoly(c, QPolygonF(f.translated(D)), c.ink(Qt::white), frame);                       // back
        fillPoly(c, quad(f.topLeft(), f.bottomLeft(), D), wall, frame);                           // left
        fillPoly(c, quad(f.bottomLeft(), f.bottomRight(), D), c.ink(QColor(0xE4, 0xE4, 0xE4)), frame);   // floor
        p.setPen(QPen(c.ink(QColor(0xB0, 0xB0, 0xB0)), 1, Qt::DotLine));
        p.setFont(labelFont);
        const QFontMetricsF fm(labelFont, p.device());
        for (double v = ax.lo; v <= ax.hi + ax.step / 2; v += ax.step) {
            const double pos = valuePos(v);
            p.setPen(QPen(c.ink(QColor(0xB0, 0xB0, 0xB0)), 1, Qt::DotLine));
            QRectF label;
            if (horiz) {
                p.drawLine(QPointF(pos, f.bottom()) + D, QPointF(pos, f.top()) + D);
                p.drawLine(QPointF(pos, f.bottom()), QPointF(pos, f.bottom()) + D);
                label = QRectF(pos - 60, f.bottom() + 4, 120, fm.height());
                p.setPen(c.ink(Qt::black));
                drawText(p, label, Qt::AlignHCenter | Qt::AlignTop, groupedValue(v == 0 ? 0 : v));
            } else {
                p.drawLine(QPointF(f.left(), pos) + D, QPointF(f.right(), pos) + D);
                p.drawLine(QPointF(f.left(), pos), QPointF(f.left(), pos) + D);
                label = QRectF(f.left() - 6 - L.valueAxis.width(), pos - fm.height() / 2, L.valueAxis.width(), fm.height());
                p.setPen(c.ink(Qt::black));
                drawText(p, label, Qt::AlignRight | Qt::AlignVCenter, groupedValue(v == 0 ? 0 : v));
            }
        }
        // category labels from the first series with points, thinned when they would overlap
        const Series* named = nullptr;
        for (const Series* s : c.active)
            if (s->count() > 0 && !named)
                named = s;
        if (named) {
            double widest = 1;
            const int step = std::max(1, named->count() / 64);
            for (int i = 0; i < named->count(); i += step)
                widest = std::max(widest, fm.horizontalAdvance(named->points[size_t(i)].label));
            const double need = horiz ? fm.height() : widest + 8;
            const int every = std::max(1, int(std::ceil(need / std::max(1.0, slot))));
            p.setPen(c.ink(Qt::black));
            for (int i = 0; i < named->count(); i += every) {
                const QString& text = named->points[size_t(i)].label;
                if (horiz)
                    drawText(p, QRectF(f.left() - 6 - L.categoryAxis.width(), catPos(i) - fm.height() / 2, L.categoryAxis.width(), fm.height()),
                             Qt::AlignRight | Qt::AlignVCenter, text);
                else
                    drawText(p, QRectF(catPos(i) - slot * every / 2, f.bottom() + 4, slot * every, fm.height()),
                             Qt::AlignHCenter | Qt::AlignTop, text);
            }
        }
        p.setPen(QPen(c.ink(Qt::black), 1));
        p.drawLine(f.bottomLeft(), f.topLeft());
        p.drawLine(f.bottomLeft(), f.bottomRight());
    }

    // depth slices: series drawn one behind another get a slice each
    std::vector<const Series*> cart;
    for (const Series* s : c.active)
        if (isCartesian(s->kind))
            cart.push_back(s);
    const bool sharedDepth = range.bars > 1 && range.multi != MultiBar::None;
    int slices = 0;
    for (const Series* s : cart)
        slices += isBar(s->kind) && sharedDepth ? 0 : 1;
    if (sharedDepth)
        ++slices;
    slices = std::max(1, slices);
    const QPointF sliceD = D / slices;

    // bar series: their slot share and stacking
    std::vector<const Series*> bars;
    for (const Series* s : cart)
        if (isBar(s->kind))
            bars.push_back(s);
    std::vector<double> posBase(size_t(n), 0), negBase(size_t(n), 0), totals(size_t(n), 0);
    for (const Series* s : bars)
        for (int i = 0; i < s->count(); ++i)
            totals[size_t(i)] += std::abs(s->points[size_t(i)].value);

    struct Mark {
        QPointF at;
        QString text;
        bool beside = false;
    };
    std::vector<Mark> marks;
    const double base = valuePos(std::clamp(0.0, ax.lo, ax.hi));

    // bars of one depth slice: category by category from the left (from the bottom when
    // horizontal), so that a bar covers the side of the one before it
    const int m = int(bars.size());
    auto drawBars = [&](const std::vector<const Series*>& group, QPointF off, QPointF d) {
        int count = 0;
        for (const Series* s : group)
            count = std::max(count, s->count());
        for (int i = 0; i < count; ++i)
            for (size_t k = 0; k < group.size(); ++k) {
                const Series* s = group[k];
                if (i >= s->count())
                    continue;
                const int index = m > 1 && group.size() == 1 ? int(std::find(bars.begin(), bars.end(), s) - bars.begin()) : int(k);
                const double width = slot * std::clamp(s->barWidthPercent, 1, 100) / 100.0;
                const bool side = m > 1 && range.multi == MultiBar::Side;
                const double w = side ? width / m : width;
                const double shift = side ? -width / 2 + w * index + w / 2 : 0;
                const double raw = s->points[size_t(i)].value;
                double v0 = 0, v1 = raw;
                if (m > 1 && (range.multi == MultiBar::Stacked || range.multi == MultiBar::Stacked100)) {
                    double v = raw;
                    if (range.multi == MultiBar::Stacked100)
                        v = totals[size_t(i)] > 0 ? std::abs(raw) * 100 / totals[size_t(i)] : 0;
                    double& b = v >= 0 ? posBase[size_t(i)] : negBase[size_t(i)];
                    v0 = b;
                    v1 = b + v;
                    b = v1;
                }
                const double c0 = catPos(i) + (horiz ? -shift : shift);
                QRectF r;
                if (horiz) {
                    const double x0 = valuePos(v0), x1 = valuePos(v1);
                    r = QRectF(QPointF(std::min(x0, x1), c0 - w / 2), QPointF(std::max(x0, x1), c0 + w / 2));
                } else {
                    const double y0 = valuePos(v0), y1 = valuePos(v1);
                    r = QRectF(QPointF(c0 - w / 2, std::min(y0, y1)), QPointF(c0 + w / 2, std::max(y0, y1)));
                }
                r.translate(off);
                drawBar(c, s->barStyle, r, d, s->pointColor(i), !horiz, v1 < v0);
                if (s->marksVisible)
                    marks.push_back({horiz ? QPointF(r.right(), r.center().y()) + d / 2
                                           : QPointF(r.center().x(), v1 < v0 ? r.bottom() : r.top()) + d / 2,
                                     groupedValue(raw), horiz});
            }
    };

    // slices from the back to the front; bars sharing the depth take one slice together
    int slice = slices - 1;
    bool sharedDrawn = false;
    for (const Series* s : cart) {
        const QPointF d = c.chart.view3D ? sliceD : QPointF();
        const double rad = std::max(2.0, 4.5 * zoom);
        if (isBar(s->kind)) {
            if (sharedDepth && sharedDrawn)
                continue;
            const QPointF off = sliceD * slice--;
            if (sharedDepth) {
                sharedDrawn = true;
                drawBars(bars, off, d);
            } else {
                drawBars({s}, off, d);
            }
            continue;
        }
        const QPointF off = sliceD * slice--;

        std::vector<std::pair<QPointF, int>> pts;
        pts.reserve(size_t(s->count()));
        for (int i = 0; i < s->count(); ++i)
            pts.push_back({at(i, s->points[size_t(i)].value) + off, i});
        if (s->kind == SeriesKind::Line || s->kind == SeriesKind::FastLine)
            pts = thinned(pts, horiz ? f.height() : f.width());
        switch (s->kind) {
        case SeriesKind::Line:
            if (!d.isNull()) {
                // the ribbon: one quad per segment, edge to edge without smoothing so no seams show
                p.save();
                p.setRenderHint(QPainter::Antialiasing, false);
                p.setPen(Qt::NoPen);
                for (size_t i = 1; i < pts.size(); ++i) {
                    p.setBrush(c.ink(s->pointColor(pts[i].second)));
                    p.drawPolygon(quad(pts[i - 1].first, pts[i].first, d));
                }
                p.restore();
            }
            // the front edge: one polyline per run of segments of the same colour
            for (size_t i = 1; i < pts.size();) {
                const QColor col = s->pointColor(pts[i].second);
                QPolygonF run;
                run << pts[i - 1].first;
                for (; i < pts.size() && s->pointColor(pts[i].second) == col; ++i)
                    run << pts[i].first;
                QPen pen(c.shade(col, 60), 1);
                pen.setCosmetic(true);
                p.setPen(pen);
                p.setBrush(Qt::NoBrush);
                p.drawPolyline(run);
            }
            break;
        case SeriesKind::FastLine: {
            QPolygonF line;
            line.reserve(int(pts.size()));
            for (const auto& pt : pts)
                line << pt.first;
            QPen pen(c.ink(s->color), 1);
            pen.setCosmetic(true);
            p.setPen(pen);
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(line);
            break;
        }
        case SeriesKind::Area: {
            const QPointF b0 = horiz ? QPointF(base, 0) : QPointF(0, base);
            auto foot = [&](QPointF q) { return horiz ? QPointF(b0.x() + off.x(), q.y()) : QPointF(q.x(), b0.y() + off.y()); };
            if (!d.isNull())
                for (size_t i = 1; i < pts.size(); ++i)
                    fillPoly(c, quad(pts[i - 1].first, pts[i].first, d), c.shade(s->pointColor(pts[i].second), 130), c.ink(Qt::darkGray));
            for (size_t i = 1; i < pts.size(); ++i)
                fillPoly(c, QPolygonF({foot(pts[i - 1].first), pts[i - 1].first, pts[i].first, foot(pts[i].first)}),
                         c.ink(s->pointColor(pts[i].second)), QColor());
            if (!d.isNull() && !pts.empty())
                fillPoly(c, quad(foot(pts.back().first), pts.back().first, d), c.shade(s->pointColor(pts.back().second), 70), c.ink(Qt::darkGray));
            QPolygonF top;
            for (const auto& pt : pts)
                top << pt.first;
            p.setPen(QPen(c.ink(Qt::black), 1));
            p.setBrush(Qt::NoBrush);
            p.drawPolyline(top);
            break;
        }
        case SeriesKind::Point:
            // a pointer is as deep as it is wide
            for (const auto& pt : pts)
                drawPointer(c, s->pointerStyle, pt.first + d / 2, rad,
                            c.chart.view3D && !d.isNull() ? d * (2 * rad / std::max(2 * rad, std::hypot(d.x(), d.y()))) : QPointF(),
                            s->colorEachPoint ? s->pointColor(pt.second) : s->pointerColor);
            break;
        default: break;
        }
        if (s->marksVisible && s->kind != SeriesKind::FastLine)
            for (const auto& pt : pts)
                marks.push_back({pt.first + d / 2, groupedValue(s->points[size_t(pt.second)].value)});
    }
    for (const Mark& m : marks)
        drawMark(c, m.at, m.text, labelFont, m.beside);
}

// ----- pie

QPointF onEllipse(QPointF centre, double rx, double ry, double deg)
{
    const double a = qDegreesToRadians(deg);
    return centre + QPointF(rx * std::cos(a), -ry * std::sin(a));
}

void paintPie(Ctx& c, const Series& s)
{
    QPainter& p = c.p;
    const QRectF area = c.lay.plot;
    const double tilt = std::clamp(360 - c.chart.elevation, 0, 90);
    const double ratio = c.chart.view3D ? std::max(0.15, std::sin(qDegreesToRadians(tilt))) : 1.0;
    const QFont labelFont = chartFont(11 * c.chart.zoomPercent / 100.0);
    const QFontMetricsF fm(labelFont, p.device());
    const double explode = std::clamp(s.explodeBiggest, 0, 100) / 100.0;
    // the ellipse, its rim and the marks around it fit the area
    const double k = c.chart.view3D ? c.chart.depthPercent / 100.0 * std::cos(qDegreesToRadians(tilt)) : 0;
    const double room = s.marksVisible ? fm.height() * 2.2 : 0;
    double rx = std::min(area.width() / 2 - room * 2, (area.height() / 2 - room) / (ratio + k / 2)) / (1 + explode);
    rx = std::max(4.0, rx);
    const double ry = rx * ratio;
    const double thick = rx * k;
    QPointF centre(area.center().x(), area.center().y() - thick / 2);

    // slices take the size of their value whatever its sign
    double total = 0;
    int biggest = -1;
    for (int i = 0; i < s.count(); ++i) {
        const double v = std::abs(s.points[size_t(i)].value);
        total += v;
        if (v > 0 && (biggest < 0 || v > std::abs(s.points[size_t(biggest)].value)))
            biggest = i;
    }
    if (!(total > 0)) {
        p.setPen(QPen(c.ink(Qt::black), 1));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(centre, rx, ry);
        return;
    }
    struct Slice {
        double from, sweep;
        QPointF centre;
        QColor color;
        int index;
    };
    std::vector<Slice> slices;
    double angle = s.rotation;
    for (int i = 0; i < s.count(); ++i) {
        const double sweep = 360.0 * std::abs(s.points[size_t(i)].value) / total;
        QPointF ctr = centre;
        if (i == biggest && explode > 0)
            ctr = onEllipse(centre, rx * explode, ry * explode, angle + sweep / 2);
        slices.push_back({angle, sweep, ctr, s.pointColor(i), i});
        angle += sweep;
    }
    auto sector = [&](const Slice& sl) {
        QPolygonF poly;
        poly << sl.centre;
        const int steps = std::max(2, int(sl.sweep / 3));
        for (int k = 0; k <= steps; ++k)
            poly << onEllipse(sl.centre, rx, ry, sl.from + sl.sweep * k / steps);
        return poly;
    };
    // the rim: the lower half of each slice's arc, pushed down by the thickness
    if (thick > 0) {
        for (const Slice& sl : slices) {
            // each run of steps on the front half is one band: the arc, then the arc pushed down
            const int steps = std::max(2, int(sl.sweep / 3));
            QPolygonF upper;
            auto flush = [&] {
                if (upper.size() >= 2) {
                    QPolygonF band = upper;
                    for (int i = int(upper.size()) - 1; i >= 0; --i)
                        band << upper[i] + QPointF(0, thick);
                    fillPoly(c, band, c.shade(sl.color, 70), QColor());
                }
                upper.clear();
            };
            for (int k = 0; k < steps; ++k) {
                const double a0 = sl.from + sl.sweep * k / steps, a1 = sl.from + sl.sweep * (k + 1) / steps;
                const double mid = std::fmod(std::fmod((a0 + a1) / 2, 360) + 360, 360);
                if (mid < 180) {
                    flush();
                    continue;
                }
                if (upper.isEmpty())
                    upper << onEllipse(sl.centre, rx, ry, a0);
                upper << onEllipse(sl.centre, rx, ry, a1);
            }
            flush();
        }
    }
    for (const Slice& sl : slices)
        fillPoly(c, sector(sl), c.ink(sl.color), c.ink(Qt::black));
    if (s.marksVisible)
        for (const Slice& sl : slices) {
            const QPointF edge = onEllipse(sl.centre, rx, ry, sl.from + sl.sweep / 2);
            const QPointF out = onEllipse(sl.centre, rx + fm.height(), ry + fm.height(), sl.from + sl.sweep / 2);
            p.setPen(QPen(c.ink(Qt::black), 1));
            p.drawLine(edge, out);
            drawMark(c, out + QPointF(0, fm.height()), groupedValue(s.points[size_t(sl.index)].value), labelFont);
        }
}

void paintLegend(Ctx& c)
{
    const QRectF r = c.lay.legend;
    if (r.isEmpty())
        return;
    QPainter& p = c.p;
    const QFont font = chartFont(11);
    const QFontMetricsF fm(font, p.device());
    p.setPen(QPen(c.ink(Qt::black), 1));
    p.setBrush(c.ink(Qt::white));
    p.drawRect(r);
    p.setFont(font);
    const double line = fm.height() + 2;
    double y = r.top() + 4;
    for (const LegendLine& l : legendLines(c.active, int(r.height() / line) + 1)) {
        if (y + line > r.bottom())
            break;
        const QRectF swatch(r.right() - 6 - 12, y + (line - 10) / 2, 12, 10);
        p.setPen(QPen(c.ink(Qt::black), 1));
        p.setBrush(c.ink(l.color));
        p.drawRect(swatch);
        p.setPen(c.ink(Qt::black));
        drawText(p, QRectF(r.left() + 4, y, swatch.left() - 4 - r.left() - 4, line), Qt::AlignRight | Qt::AlignVCenter, l.text);
        y += line;
    }
}

} // namespace

QString groupedValue(double value)
{
    if (!std::isfinite(value))
        return QStringLiteral("0");
    const double rounded = std::nearbyint(value * 1000) / 1000;
    QString text = QString::number(std::abs(rounded), 'f', 3);
    while (text.endsWith(QLatin1Char('0')))
        text.chop(1);
    if (text.endsWith(QLatin1Char('.')))
        text.chop(1);
    int dot = text.indexOf(QLatin1Char('.'));
    if (dot < 0)
        dot = text.size();
    for (int pos = dot - 3; pos > 0; pos -= 3)
        text.insert(pos, QLatin1Char(','));
    return rounded < 0 ? QStringLiteral("-") + text : text;
}

ChartLayout layoutChart(const Chart& chart, const QRectF& area)
{
    ChartLayout L;
    const double m = std::clamp(chart.marginPercent, 0, 40) / 100.0;
    const QRectF all = area.adjusted(area.width() * m, area.height() * m, -area.width() * m, -area.height() * m);
    const std::vector<const Series*> active = activeSeries(chart);

    const QFontMetricsF titleFm(chartFont(15, true));
    const double titleH = chart.title.isEmpty() ? kPad : titleFm.height() + 2 * kPad;
    L.title = QRectF(all.left(), all.top(), all.width(), titleH);
    QRectF rest = all.adjusted(kPad, titleH, -kPad, -kPad);

    if (chart.legendVisible) {
        const QFontMetricsF fm(chartFont(11));
        const auto lines = legendLines(active, std::max(0, int((rest.height() - 8) / (fm.height() + 2))));
        if (!lines.empty()) {
            double w = 0;
            for (const LegendLine& l : lines)
                w = std::max(w, fm.horizontalAdvance(l.text));
            w = std::min(w + 36, rest.width() * 0.35);
            const double h = std::min(rest.height(), lines.size() * (fm.height() + 2) + 8);
            L.legend = QRectF(rest.right() - w, rest.top() + (rest.height() - h) / 2, w, h);
            rest.setRight(L.legend.left() - kPad);
        }
    }
    L.body = rest;

    const double zoom = chart.zoomPercent / 100.0;
    const Series* pie = pieSeries(active);
    QRectF plot = rest;
    if (!pie && chart.axesVisible) {
        const QFontMetricsF fm(chartFont(11 * zoom));
        const bool horiz = horizontal(active);
        const Range r = valueRange(active);
        const Axis ax = valueAxis(r, horiz ? rest.width() : rest.height(), horiz ? 80 : 30);
        double catW = 0;
        if (horiz)
            for (const Series* s : active)
                for (const ChartPoint& pt : s->points)
                    catW = std::max(catW, fm.horizontalAdvance(pt.label));
        const double left = (horiz ? std::min(catW, rest.width() / 3) : widestValueLabel(ax, fm)) + 10;
        plot = rest.adjusted(left, fm.height() / 2, 0, -(fm.height() + 8));
        L.valueAxis = horiz ? QRectF(plot.left(), plot.bottom(), plot.width(), fm.height() + 8) : QRectF(rest.left(), plot.top(), left, plot.height());
        L.categoryAxis = horiz ? QRectF(rest.left(), plot.top(), left, plot.height()) : QRectF(plot.left(), plot.bottom(), plot.width(), fm.height() + 8);
    }
    // room for the marks above the highest point
    if (!pie) {
        bool marks = false;
        for (const Series* s : active)
            marks = marks || (s->marksVisible && s->kind != SeriesKind::FastLine && s->count() > 0);
        if (marks) {
            const double room = QFontMetricsF(chartFont(11 * zoom)).height() + 8;
            if (horizontal(active))
                plot.setRight(plot.right() - room * 2);
            else
                plot.setTop(plot.top() + room);
        }
    }
    // orthogonal: the back plane lies up and to the right at the elevation's angle; otherwise the
    // elevation tilts the view from above and the rotation turns it sideways
    if (chart.view3D && !pie) {
        const double a = qDegreesToRadians(double(std::clamp(360 - chart.elevation, 0, 90)));
        const double depth = std::min(plot.width(), plot.height()) * std::clamp(chart.depthPercent, 0, 100) / 100.0;
        const double turn = qDegreesToRadians(double(360 - chart.rotation));
        const QPointF d = chart.orthogonal ? QPointF(depth * std::cos(a), -depth * std::sin(a))
                                           : QPointF(depth * std::sin(turn), -depth * std::sin(a));
        plot.adjust(0, -d.y(), -d.x(), 0);
        L.depth = d * zoom;
    }
    // zoom about the centre, then the pan offset
    const QPointF centre = plot.center();
    plot = QRectF(centre.x() - plot.width() * zoom / 2, centre.y() - plot.height() * zoom / 2, plot.width() * zoom, plot.height() * zoom);
    L.plot = plot.translated(chart.panOffset);
    if (!L.valueAxis.isEmpty()) {
        // label strips follow the zoomed plot
        const bool horiz = horizontal(active);
        const double stripW = L.valueAxis.width(), stripH = L.categoryAxis.height();
        if (horiz) {
            L.valueAxis = QRectF(L.plot.left(), L.plot.bottom(), L.plot.width(), L.valueAxis.height());
            L.categoryAxis = QRectF(L.plot.left() - L.categoryAxis.width(), L.plot.top(), L.categoryAxis.width(), L.plot.height());
        } else {
            L.valueAxis = QRectF(L.plot.left() - stripW, L.plot.top(), stripW - 6, L.plot.height());
            L.categoryAxis = QRectF(L.plot.left(), L.plot.bottom(), L.plot.width(), stripH);
        }
    }
    return L;
}

void renderChart(const Chart& chart, QPainter& painter, const QRectF& area)
{
    Ctx c{chart, painter, layoutChart(chart, area), activeSeries(chart)};
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    paintBackground(c, area);
    if (!chart.title.isEmpty()) {
        painter.setFont(chartFont(15, true));
        painter.setPen(c.ink(Qt::black));
        drawText(painter, c.lay.title, Qt::AlignCenter, chart.title);
    }
    painter.save();
    painter.setClipRect(c.lay.body);
    if (const Series* pie = pieSeries(c.active))
        paintPie(c, *pie);
    else if (!c.active.empty() || chart.axesVisible)
        paintCartesian(c);
    painter.restore();
    paintLegend(c);
    painter.restore();
}

QImage renderImage(const Chart& chart, const QSize& size)
{
    QImage img(size, QImage::Format_ARGB32_Premultiplied);
    img.fill(Qt::white);
    QPainter p(&img);
    renderChart(chart, p, QRectF(QPointF(0, 0), QSizeF(size)));
    p.end();
    return img;
}

ChartPart hitTest(const Chart& chart, const QRectF& area, const QPointF& pos)
{
    const ChartLayout L = layoutChart(chart, area);
    if (!L.legend.isEmpty() && L.legend.contains(pos))
        return ChartPart::Legend;
    if (chart.axesVisible && (L.valueAxis.contains(pos) || L.categoryAxis.contains(pos)))
        return ChartPart::Axis;
    if (L.title.contains(pos))
        return ChartPart::Title;
    if (L.body.contains(pos))
        return ChartPart::Body;
    return ChartPart::None;
}

} // namespace chart
