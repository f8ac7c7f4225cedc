#include "platform/chart/Chart.h"

#include <algorithm>

namespace chart {

QColor autoColor(int i)
{
    static const QColor palette[] = {
        QColor(0xFF, 0x00, 0x00), QColor(0x00, 0x80, 0x00), QColor(0xFF, 0xFF, 0x00), QColor(0x00, 0x00, 0xFF),
        QColor(0xFF, 0xFF, 0xFF), QColor(0x80, 0x80, 0x80), QColor(0xFF, 0x00, 0xFF), QColor(0x00, 0x80, 0x80),
        QColor(0x00, 0x00, 0x80), QColor(0x80, 0x00, 0x00), QColor(0x00, 0xFF, 0x00), QColor(0x80, 0x80, 0x00),
        QColor(0x80, 0x00, 0x80), QColor(0xC0, 0xC0, 0xC0), QColor(0x00, 0xFF, 0xFF), QColor(0x00, 0x00, 0x00),
    };
    constexpr int n = int(sizeof(palette) / sizeof(palette[0]));
    return palette[((i % n) + n) % n];
}

QColor Series::pointColor(int i) const
{
    const QColor own = i >= 0 && i < count() ? points[size_t(i)].color : QColor();
    if (own.isValid())
        return own;
    return colorEachPoint ? autoColor(i) : color;
}

Series& Chart::addSeries(SeriesKind kind, const QString& name)
{
    series_.push_back(std::make_unique<Series>(kind, name));
    return *series_.back();
}

Series* Chart::findSeries(const QString& name) const
{
    for (const auto& s : series_)
        if (s->name == name)
            return s.get();
    return nullptr;
}

void Chart::removeLastSeries()
{
    if (!series_.empty())
        series_.pop_back();
}

void Chart::setZoom(int percent) { zoomPercent = std::clamp(percent, kMinZoom, kMaxZoom); }

} // namespace chart
