#include "platform/chart/ChartView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

namespace chart {

ChartView::ChartView(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(200, 150);
}

QImage ChartView::grabChart() const { return renderImage(chart_, size()); }

ChartPart ChartView::partAt(const QPoint& pos) const { return hitTest(chart_, QRectF(rect()), pos); }

void ChartView::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    renderChart(chart_, p, QRectF(rect()));
}

void ChartView::mousePressEvent(QMouseEvent* event)
{
    pressedAt_ = event->position().toPoint();
    emit mousePressed(pressedAt_, event->button());
}

void ChartView::mouseMoveEvent(QMouseEvent* event)
{
    emit mouseMoved(event->position().toPoint(), event->buttons());
}

void ChartView::mouseReleaseEvent(QMouseEvent* event)
{
    const QPoint pos = event->position().toPoint();
    emit mouseReleased(pos);
    // a click: released near where it was pressed
    if ((pos - pressedAt_).manhattanLength() <= 3)
        emit partClicked(partAt(pos));
}

void ChartView::wheelEvent(QWheelEvent* event)
{
    const int delta = event->angleDelta().y();
    if (delta != 0)
        emit wheelTurned(delta);
    event->accept();
}

} // namespace chart
