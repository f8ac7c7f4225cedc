#include "platform/report/RichTextFlow.h"

#include <QAbstractTextDocumentLayout>
#include <QPaintDevice>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextTable>
#include <algorithm>

namespace report {

namespace {

constexpr double kScale = 254.0 / 96.0;

// Line positions (top, bottom) of a laid-out block, in document coordinates.
void addLines(QAbstractTextDocumentLayout* layout, const QTextBlock& b, std::vector<std::pair<double, double>>& out)
{
    const QTextLayout* tl = b.layout();
    if (!tl)
        return;
    const QRectF br = layout->blockBoundingRect(b);
    for (int i = 0; i < tl->lineCount(); ++i) {
        const QTextLine l = tl->lineAt(i);
        const double top = br.top() + l.y();
        out.emplace_back(top, top + l.height());
    }
}

double firstLineTop(QAbstractTextDocumentLayout* layout, const QTextBlock& b)
{
    const QTextLayout* tl = b.layout();
    const QRectF br = layout->blockBoundingRect(b);
    return tl && tl->lineCount() > 0 ? br.top() + tl->lineAt(0).y() : br.top();
}

void addBlocksOf(QAbstractTextDocumentLayout* layout, QTextFrame::iterator it, std::vector<std::pair<double, double>>& out)
{
    for (; !it.atEnd(); ++it) {
        if (QTextFrame* f = it.currentFrame())
            addBlocksOf(layout, f->begin(), out);
        else
            addLines(layout, it.currentBlock(), out);
    }
}

} // namespace

void fitToPaper(QTextDocument& doc)
{
    const bool undo = doc.isUndoRedoEnabled();
    doc.setUndoRedoEnabled(false);
    QTextCursor c(&doc);
    c.beginEditBlock();
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        // letters spaced by a length keep it on paper
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment frag = it.fragment();
            const QTextCharFormat cf = frag.charFormat();
            if (!frag.isValid() || cf.fontLetterSpacingType() != QFont::AbsoluteSpacing || cf.fontLetterSpacing() == 0)
                continue;
            QTextCharFormat spaced;
            spaced.setFontLetterSpacingType(QFont::AbsoluteSpacing);
            spaced.setFontLetterSpacing(cf.fontLetterSpacing() * kScale);
            c.setPosition(frag.position());
            c.setPosition(frag.position() + frag.length(), QTextCursor::KeepAnchor);
            c.mergeCharFormat(spaced);
        }
        QTextBlockFormat f = b.blockFormat();
        const bool lineLength = f.hasProperty(QTextFormat::LineHeight)
            && (f.lineHeightType() == QTextBlockFormat::MinimumHeight || f.lineHeightType() == QTextBlockFormat::FixedHeight);
        if (f.leftMargin() == 0 && f.rightMargin() == 0 && f.textIndent() == 0 && f.topMargin() == 0 && f.bottomMargin() == 0
            && !lineLength)
            continue;
        if (lineLength)
            f.setLineHeight(f.lineHeight() * kScale, f.lineHeightType());
        f.setLeftMargin(f.leftMargin() * kScale);
        f.setRightMargin(f.rightMargin() * kScale);
        f.setTextIndent(f.textIndent() * kScale);
        f.setTopMargin(f.topMargin() * kScale);
        f.setBottomMargin(f.bottomMargin() * kScale);
        c.setPosition(b.position());
        c.setBlockFormat(f);
    }
    c.endEditBlock();
    doc.setIndentWidth(doc.indentWidth() * kScale);
    // the element's rectangle is the text's: no margin of the editor around it
    QTextFrameFormat root = doc.rootFrame()->frameFormat();
    root.setMargin(0);
    root.setLeftMargin(0);
    root.setRightMargin(0);
    root.setTopMargin(0);
    root.setBottomMargin(0);
    doc.rootFrame()->setFrameFormat(root);
    doc.setUndoRedoEnabled(undo);
}

PageBreaks::PageBreaks(QTextDocument& doc, double room)
{
    QAbstractTextDocumentLayout* layout = doc.documentLayout();
    total_ = doc.size().height();
    // tables' padding and borders are laid out in the device's units
    const QPaintDevice* device = layout->paintDevice();
    const double deviceScale = device ? device->logicalDpiY() / 96.0 : 1.0;
    std::vector<std::pair<double, double>> raw;
    const auto breakAt = [this](double y) {
        if (y > 0.5 && y < total_)
            forced_.push_back(y);
    };
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        QTextFrame* frame = it.currentFrame();
        auto* table = qobject_cast<QTextTable*>(frame);
        if (frame && !table) {
            addBlocksOf(layout, frame->begin(), raw);
            continue;
        }
        if (!table) {
            const QTextBlock b = it.currentBlock();
            const QTextBlockFormat bf = b.blockFormat();
            const QRectF br = layout->blockBoundingRect(b);
            if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
                breakAt(br.top());
            if (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter)
                breakAt(br.bottom());
            addLines(layout, b, raw);
            continue;
        }
        // a table: rows stay whole on a page when they fit on one
        const QTextTableFormat tf = table->format();
        const QRectF tr = layout->frameBoundingRect(table);
        if (tf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore)
            breakAt(tr.top());
        if (tf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter)
            breakAt(tr.bottom());
        const int rows = table->rows(), columns = table->columns();
        std::vector<double> edge(size_t(rows) + 1, tr.bottom());
        edge[0] = tr.top();
        for (int r = 1; r < rows; ++r) {
            double top = tr.bottom();
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (!cell.isValid() || cell.row() != r)
                    continue;
                const QTextCharFormat cf = cell.format();
                const double padding = deviceScale * (cf.hasProperty(QTextFormat::TableCellTopPadding)
                    ? cf.doubleProperty(QTextFormat::TableCellTopPadding) : tf.cellPadding());
                const QTextBlock b = cell.firstCursorPosition().block();
                top = std::min(top, firstLineTop(layout, b) - b.blockFormat().topMargin() - padding);
            }
            edge[size_t(r)] = std::clamp(top, edge[size_t(r) - 1], tr.bottom());
            rowEdges_.emplace_back(edge[size_t(r)], deviceScale * tf.border());
        }
        for (int r = 0; r < rows; ++r) {
            double bottom = edge[size_t(r) + 1];
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.isValid() && cell.row() == r && cell.column() == c)
                    bottom = std::max(bottom, edge[size_t(std::min(rows, r + cell.rowSpan()))]);
            }
            if (bottom - edge[size_t(r)] <= room) {
                raw.emplace_back(edge[size_t(r)], bottom);
                continue;
            }
            // a row taller than a page breaks between its lines
            for (int c = 0; c < columns; ++c) {
                const QTextTableCell cell = table->cellAt(r, c);
                if (cell.isValid() && cell.row() == r && cell.column() == c)
                    addBlocksOf(layout, cell.begin(), raw);
            }
        }
    }
    std::sort(forced_.begin(), forced_.end());
    std::sort(raw.begin(), raw.end());
    for (const auto& s : raw) {
        if (!spans_.empty() && s.first < spans_.back().second - 0.01)
            spans_.back().second = std::max(spans_.back().second, s.second);
        else
            spans_.push_back(s);
    }
}

PageBreaks::Cut PageBreaks::cut(double pos, double height) const
{
    const double end = pos + height;
    const auto f = std::upper_bound(forced_.begin(), forced_.end(), pos + 0.5);
    if (f != forced_.end() && *f < std::min(end, total_))
        return {*f, *f};
    if (end >= total_)
        return {total_, total_};
    double at = end;
    // the last span that starts above the page's end: the page ends above it when it goes on
    auto it = std::upper_bound(spans_.begin(), spans_.end(), end,
                               [](double v, const std::pair<double, double>& s) { return v < s.first; });
    if (it != spans_.begin() && std::prev(it)->second > end + 0.01)
        at = std::prev(it)->first;
    // at a row's edge the line between the rows shows at the top of the next page as well
    double next = at;
    const auto e = std::lower_bound(rowEdges_.begin(), rowEdges_.end(), std::make_pair(at - 0.5, 0.0));
    if (e != rowEdges_.end() && std::abs(e->first - at) <= 0.5 && e->second > 0)
        next = std::max(pos, at - e->second);
    return {at, next};
}

} // namespace report
