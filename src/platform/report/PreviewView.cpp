#include "platform/report/PreviewView.h"

#include "platform/report/PreparedReport.h"
#include "platform/report/Renderer.h"

#include <QPainter>
#include <QResizeEvent>
#include <QScrollBar>
#include <algorithm>

namespace report {

namespace {

constexpr int kBorder = 10;   // grey space around the sheet, pixels

class PageWidget : public QWidget {
public:
    explicit PageWidget(PreviewView* view) : QWidget(nullptr), view(view)
    {
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter p(this);
        p.fillRect(rect(), palette().color(QPalette::Dark));
        const PreparedReport* r = view->report();
        if (!r || r->pageCount() == 0)
            return;
        const QRectF sheet(kBorder, kBorder, width() - 2 * kBorder, height() - 2 * kBorder);
        p.fillRect(sheet.translated(3, 3), Qt::gray);
        p.fillRect(sheet, Qt::white);
        paintPage(*r, view->pageNumber() - 1, p, sheet);
    }

private:
    PreviewView* view;
};

} // namespace

PreviewView::PreviewView(QWidget* parent) : QScrollArea(parent)
{
    setWidget(new PageWidget(this));
    setAlignment(Qt::AlignCenter);
    setWidgetResizable(false);
    setBackgroundRole(QPalette::Dark);
}

void PreviewView::setReport(const PreparedReport* report)
{
    prepared = report;
    page = 1;
    updatePageSize();
    emit pageChanged(page);
}

int PreviewView::pageCount() const { return prepared ? prepared->pageCount() : 0; }

void PreviewView::setPageNumber(int number)
{
    if (number < 1 || number > pageCount() || number == page)
        return;
    page = number;
    widget()->update();
    verticalScrollBar()->setValue(0);
    emit pageChanged(page);
}

void PreviewView::setZoom(int value)
{
    fitted = false;
    percent = std::clamp(value, 10, 400);
    updatePageSize();
}

void PreviewView::zoomToFit()
{
    fitted = true;
    percent = fitZoom();
    updatePageSize();
}

int PreviewView::fitZoom() const
{
    if (!prepared || prepared->paperSize.isEmpty())
        return 100;
    const QSize avail = viewport()->size() - QSize(2 * kBorder + 4, 2 * kBorder + 4);
    const double dpiX = logicalDpiX(), dpiY = logicalDpiY();
    const double zx = avail.width() / (prepared->paperSize.width() * dpiX / 254.0);
    const double zy = avail.height() / (prepared->paperSize.height() * dpiY / 254.0);
    return std::max(10, int(std::min(zx, zy) * 100));
}

void PreviewView::updatePageSize()
{
    if (!prepared || prepared->paperSize.isEmpty()) {
        widget()->resize(0, 0);
        return;
    }
    const double f = percent / 100.0;
    const int w = qRound(prepared->paperSize.width() * logicalDpiX() / 254.0 * f);
    const int h = qRound(prepared->paperSize.height() * logicalDpiY() / 254.0 * f);
    widget()->resize(w + 2 * kBorder, h + 2 * kBorder);
    widget()->update();
}

void PreviewView::resizeEvent(QResizeEvent* event)
{
    QScrollArea::resizeEvent(event);
    if (fitted) {
        percent = fitZoom();
        updatePageSize();
    }
}

} // namespace report
