#pragma once
// A widget showing a chart; it reports mouse presses, moves, releases, wheel turns and
// clicks on the chart's parts to the window that owns it.

#include "platform/chart/Chart.h"
#include "platform/chart/ChartRenderer.h"

#include <QWidget>

namespace chart {

class ChartView : public QWidget {
    Q_OBJECT
public:
    explicit ChartView(QWidget* parent = nullptr);

    Chart& chart() { return chart_; }
    const Chart& chart() const { return chart_; }

    // The chart as the widget shows it, on an image of the widget's size.
    QImage grabChart() const;
    ChartPart partAt(const QPoint& pos) const;

signals:
    void mousePressed(const QPoint& pos, Qt::MouseButton button);
    void mouseMoved(const QPoint& pos, Qt::MouseButtons buttons);
    void mouseReleased(const QPoint& pos);
    void wheelTurned(int delta);
    void partClicked(chart::ChartPart part);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;

private:
    Chart chart_;
    QPoint pressedAt_;
};

} // namespace chart
