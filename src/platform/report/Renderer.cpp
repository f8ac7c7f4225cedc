#include "platform/report/Renderer.h"

#include "platform/report/Fonts.h"
#include "platform/report/PreparedReport.h"
#include "platform/richtext/ListLabels.h"

#include <QAbstractTextDocumentLayout>
#include <QPageLayout>
#include <QPainter>
#include <QPrinter>
#include <QTextDocument>
#include <QTextLayout>
#include <cmath>

namespace report {

namespace {

// A pen of the given width in tenths of a millimetre, at least one device pixel wide.
QPen penOf(const QColor& color, int width, double scale)
{
    if (width * scale < 1.0)
        return QPen(color, 0);   // cosmetic: one device pixel
    return QPen(color, width);
}

void paintFrame(QPainter& p, const QRect& r, const Frame& f, double scale)
{
    if (!f.any())
        return;
    p.setPen(penOf(f.color, f.width, scale));
    const QRectF rf(r);
    if (f.top)
        p.drawLine(rf.topLeft(), rf.topRight() + QPointF(1, 0));
    if (f.bottom)
        p.drawLine(rf.bottomLeft() + QPointF(0, 1), rf.bottomRight() + QPointF(1, 1));
    if (f.left)
        p.drawLine(rf.topLeft(), rf.bottomLeft() + QPointF(0, 1));
    if (f.right)
        p.drawLine(rf.topRight() + QPointF(1, 0), rf.bottomRight() + QPointF(1, 1));
}

void paintText(QPainter& p, const ReportItem& item)
{
    QTextLayout layout(layoutString(item.text), item.font, layoutDevice());
    const double h = layoutText(layout, item.rect.width(), item.wordWrap, item.alignment, item.rightToLeft, item.breakWords);
    double top = item.rect.top();
    // One line taller than its box (fonts with a large line gap) is centred on the box.
    if ((item.alignment & Qt::AlignVCenter) || (layout.lineCount() == 1 && h > item.rect.height()))
        top += (item.rect.height() - h) / 2;
    else if (item.alignment & Qt::AlignBottom)
        top += item.rect.height() - h;
    p.save();
    if (item.clip) {
        QRectF clip(item.rect);
        if (layout.lineCount() == 1 && h > clip.height())
            clip.adjust(0, -(h - clip.height()) / 2, 0, (h - clip.height()) / 2);
        p.setClipRect(clip, Qt::IntersectClip);
    }
    p.setPen(item.color);
    layout.draw(&p, QPointF(item.rect.left(), top));
    p.restore();
}

void paintShape(QPainter& p, const ReportItem& item, double scale)
{
    p.setPen(penOf(item.color, item.penWidth, scale));
    p.setBrush(item.brush.isValid() ? QBrush(item.brush) : QBrush(Qt::NoBrush));
    const QRectF r(item.rect);
    switch (item.shape) {
    case ShapeKind::Rectangle: p.drawRect(r); break;
    case ShapeKind::RoundRect: p.drawRoundedRect(r, 25, 25, Qt::RelativeSize); break;
    case ShapeKind::Ellipse: p.drawEllipse(r); break;
    case ShapeKind::HorizontalLine: p.drawLine(QPointF(r.left(), r.center().y()), QPointF(r.right(), r.center().y())); break;
    case ShapeKind::VerticalLine: p.drawLine(QPointF(r.center().x(), r.top()), QPointF(r.center().x(), r.bottom())); break;
    case ShapeKind::TopAndBottom:
        p.drawLine(r.topLeft(), r.topRight());
        p.drawLine(r.bottomLeft(), r.bottomRight());
        break;
    case ShapeKind::LeftAndRight:
        p.drawLine(r.topLeft(), r.bottomLeft());
        p.drawLine(r.topRight(), r.bottomRight());
        break;
    }
    p.setBrush(Qt::NoBrush);
}

void paintPicture(QPainter& p, const ReportItem& item)
{
    if (item.image.isNull())
        return;
    QRectF target(item.rect);
    if (!item.stretch) {
        // Natural size at 254 dpi would be tiny; a picture keeps its pixels at 96 dpi.
        target.setSize(QSizeF(item.image.size()) * (254.0 / 96.0));
    } else if (item.keepAspect) {
        QSizeF s = QSizeF(item.image.size()).scaled(target.size(), Qt::KeepAspectRatio);
        target.setSize(s);
    }
    if (item.center)
        target.moveCenter(QRectF(item.rect).center());
    p.save();
    p.setClipRect(item.rect, Qt::IntersectClip);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    p.drawImage(target, item.image);
    p.restore();
}

void paintRichText(QPainter& p, const ReportItem& item)
{
    if (!item.document)
        return;
    p.save();
    p.translate(item.rect.left(), item.rect.top() - item.documentTop);
    const QRectF clip(0, item.documentTop, item.rect.width(), item.rect.height());
    p.setClipRect(clip, Qt::IntersectClip);
    QAbstractTextDocumentLayout::PaintContext context;
    context.clip = clip;
    context.palette.setColor(QPalette::Text, Qt::black);
    item.document->documentLayout()->draw(&p, context);
    richtext::paintListLabels(&p, item.document.get(), clip, Qt::black);
    p.restore();
}

} // namespace

void paintPage(const PreparedReport& report, int pageIndex, QPainter& painter, const QRectF& target)
{
    if (pageIndex < 0 || pageIndex >= report.pages.size() || report.paperSize.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(target.topLeft());
    const double sx = target.width() / report.paperSize.width();
    const double sy = target.height() / report.paperSize.height();
    painter.scale(sx, sy);
    painter.setClipRect(QRect(QPoint(0, 0), report.paperSize));
    const double devScale = std::abs(painter.deviceTransform().m11());   // device pixels per unit

    const std::shared_ptr<const ReportPage> page = report.pages.page(pageIndex);
    for (const ReportItem& item : page->items) {
        if (item.background.isValid())
            painter.fillRect(item.rect, item.background);
        switch (item.type) {
        case ReportItem::Type::Text: paintText(painter, item); break;
        case ReportItem::Type::Box: break;
        case ReportItem::Type::Line:
            painter.setPen(penOf(item.color, item.penWidth, devScale));
            painter.drawLine(item.line);
            break;
        case ReportItem::Type::Shape: paintShape(painter, item, devScale); break;
        case ReportItem::Type::Picture: paintPicture(painter, item); break;
        case ReportItem::Type::RichText: paintRichText(painter, item); break;
        }
        paintFrame(painter, item.rect, item.frame, devScale);
    }
    painter.restore();
}

QImage renderPageImage(const PreparedReport& report, int pageIndex, double dpi)
{
    const QSize size(qRound(report.paperSize.width() * dpi / 254.0), qRound(report.paperSize.height() * dpi / 254.0));
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    const int dpm = qRound(dpi / 0.0254);
    image.setDotsPerMeterX(dpm);
    image.setDotsPerMeterY(dpm);
    image.fill(Qt::white);
    QPainter painter(&image);
    paintPage(report, pageIndex, painter, QRectF(QPointF(0, 0), QSizeF(size)));
    painter.end();
    return image;
}

void applyPageLayout(const PreparedReport& report, QPrinter& printer)
{
    QSizeF mm(report.paperSize.width() / 10.0, report.paperSize.height() / 10.0);
    const bool landscape = report.orientation == 1;
    if (landscape)
        mm.transpose();
    const QPageSize size(mm, QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    printer.setFullPage(true);
    printer.setPageLayout(QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait,
                                      QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter));
}

bool printReport(const PreparedReport& report, QPrinter& printer)
{
    if (report.pages.isEmpty())
        return false;
    applyPageLayout(report, printer);
    const int copies = printer.supportsMultipleCopies() ? 1 : std::max(1, printer.copyCount());
    QPainter painter;
    if (!painter.begin(&printer))
        return false;
    const QRectF paper = printer.paperRect(QPrinter::DevicePixel);
    bool firstPage = true;
    for (int c = 0; c < copies; ++c) {
        for (int i = 0; i < report.pages.size(); ++i) {
            if (!firstPage && !printer.newPage()) {
                painter.end();
                return false;
            }
            firstPage = false;
            paintPage(report, i, painter, QRectF(QPointF(0, 0), paper.size()));
        }
    }
    return painter.end() && printer.printerState() != QPrinter::Error;
}

bool writePdf(const PreparedReport& report, const QString& fileName)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    printer.setDocName(report.title);
    return printReport(report, printer);
}

} // namespace report
