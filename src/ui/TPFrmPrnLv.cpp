#include "ui/TPFrmPrnLv.h"

#include "platform/db/DataSet.h"
#include "platform/report/Fonts.h"
#include "platform/shell/Progress.h"
#include "platform/widgets/DBGrid.h"
#include "ui/GridPrintColumns.h"
#include "ui/PrintGrid.h"

#include <algorithm>
#include <utility>

namespace {

const QString kSample = QStringLiteral("ABC السثقص");

QFont sized(QFont f, int points)
{
    f.setPointSize(points);
    return f;
}

} // namespace

TPFrmPrnLv::TPFrmPrnLv(const GridPrintSettings& settings, widgets::DBGrid* grid)
    : QuickRep1(settings.paperOrdinal, settings.orientation), grid_(grid), ds_(grid->dataSet())
{
    QuickRep1.margins = QMargins(100, 100, 100, 100);
    QuickRep1.font = settings.bodyFont;
}

void TPFrmPrnLv::build(const QString& titleBlock, const QString& dateLine, const QString& footerText, int firstColumn,
                       const QVector<int>& rows)
{
    using namespace report;
    rows_ = rows;
    const int W = QuickRep1.printableWidth() - 20;
    const QFont body = QuickRep1.font;

    // title block centred, the date line at the left
    const QFont titleFont = sized(body, 14);
    const QFont dateFont = sized(body, 12);
    const int titleLine = textHeight(titleFont, kSample);
    Band& title = QuickRep1.band(BandType::Title, titleLine + 30);
    title.name = QStringLiteral("TitleBand1");
    TextElement& first = title.addText(QStringLiteral("QTltFirstLine"), QRect(5, 0, W, titleLine), titleBlock);
    first.font = titleFont;
    first.alignment = Qt::AlignHCenter | Qt::AlignTop;
    first.wordWrap = true;
    first.autoStretch = true;
    TextElement& date = title.addText(QStringLiteral("QRLabel1"),
                                      QRect(0, 0, textWidth(dateFont, dateLine) + 20, textHeight(dateFont, kSample)), dateLine);
    date.font = dateFont;
    date.alignment = Qt::AlignRight | Qt::AlignTop;

    // the printed columns, from the last grid column at the left to the first printed one at
    // the right (hidden ones and slivers of 10 pixels or less are left out)
    const QVector<widgets::GridColumn> cols = grid_->columns();
    QVector<int> printed;
    for (int i = int(cols.size()) - 1; i >= std::max(0, firstColumn); --i)
        if (cols[i].visible && cols[i].width > 10)
            printed.append(i);
    QVector<int> fields;
    GridPrintColumns sizing(body);
    for (int i : printed) {
        sizing.addColumn(cols[i].width, cols[i].title);
        fields.append(grid_->columnFieldIndex(i));
    }
    {
        // every printed text is measured: the widths follow the widest word of each column
        shell::Progress progress(QuickRep1.workName(), true);
        progress.setTotal(rows_.size());
        for (int r = 0; r < rows_.size(); ++r) {
            progress.step(r);
            for (int k = 0; k < fields.size(); ++k)
                if (fields[k] >= 0)
                    sizing.addText(k, ds_->DisplayTextAt(rows_[r], fields[k]));
        }
    }
    const int pad = 8;
    // the first printed column, the row number, stands in every group of columns
    if (!printed.isEmpty())
        sizing.repeatInGroups(int(printed.size()) - 1);
    const GridPrintColumns::Layout fit = sizing.fit(W, pad);
    groups_ = int(fit.groups.size());
    slot_ = QuickRep1.printableWidth();

    // column header and detail bands in the table's font
    int headerText = 0, bodyText = 0;
    for (const GridPrintColumns::Group& g : fit.groups) {
        headerText = std::max(headerText, textHeight(g.titleFont, kSample));
        bodyText = std::max(bodyText, textHeight(g.cellFont, kSample));
    }
    Band& header = QuickRep1.band(BandType::ColumnHeader, headerText + 16);
    header.name = QStringLiteral("ColumnHeaderBand1");
    header.frame = Frame::all(2);
    Band& detail = QuickRep1.band(BandType::Detail, bodyText + 12);
    detail.name = QStringLiteral("DetailBand1");
    detail.frame.left = detail.frame.right = true;
    Band& child = detail.addChild(1);
    child.name = QStringLiteral("ChildBand1");
    child.frame.top = true;

    // groups of columns are laid out side by side, one paper's width apart, and cut into
    // pages of their own when prepared: every group's pages hold the same rows
    for (int g = 0; g < groups_; ++g) {
        const GridPrintColumns::Group& group = fit.groups[g];
        int x = g * slot_;
        for (int k = 0; k < group.columns.size(); ++k) {
            const widgets::GridColumn& col = cols[printed[group.columns[k]]];
            const int w = group.widths[k];
            const int field = fields[group.columns[k]];
            TextElement& cell = detail.addText(QStringLiteral("cell_%1").arg(col.fieldName), QRect(x + pad, 6, w - 2 * pad, bodyText));
            cell.font = group.cellFont;
            cell.wordWrap = true;
            cell.autoStretch = true;
            cell.breakLongWords = group.breakWords[k];
            cell.alignment = Qt::AlignRight | Qt::AlignTop;
            cell.text = QStringLiteral(" ");
            cell.onPrint = [this, field] {
                const int r = QuickRep1.currentRow();
                return field >= 0 && r >= 0 && r < rows_.size() ? ds_->DisplayTextAt(rows_[r], field) : QString();
            };
            // captions wrap between words and the header grows to hold them
            TextElement& head = header.addText(QStringLiteral("hdr_%1").arg(col.fieldName),
                                               QRect(x + pad, 8, w - 2 * pad, headerText), col.title);
            head.font = group.titleFont;
            head.alignment = Qt::AlignHCenter | Qt::AlignTop;
            head.wordWrap = true;
            head.autoStretch = true;
            head.breakLongWords = group.breakTitles[k];
            x += w;
            // the rightmost column's edge is the band's frame
            if (k + 1 < group.columns.size())
                detail.columnLines.push_back({x, 5});
        }
    }

    // footer with the total
    QFont footerFont = body;
    if (footerFont.pointSize() >= 14)
        footerFont.setPointSize(footerFont.pointSize() - 2);
    const int footerLine = textHeight(footerFont, kSample);
    Band& summary = QuickRep1.band(BandType::Summary, footerLine + 20);
    summary.name = QStringLiteral("SummaryBand1");
    summary.frame.top = true;
    TextElement& total = summary.addText(QStringLiteral("QLblTasMoneys"), QRect(0, 10, W, footerLine), footerText);
    total.font = footerFont;
    total.alignment = Qt::AlignRight | Qt::AlignTop;
    total.wordWrap = true;
    total.autoStretch = true;

    QuickRep1.rowCount = int(rows_.size());
}

report::PreparedReport TPFrmPrnLv::prepare()
{
    report::PreparedReport out = QuickRep1.prepare(true);
    if (groups_ <= 1)
        return out;
    // the pages of the first group of columns (the rightmost), then those of the next: each
    // keeps its own columns and everything else of its page (title, frames, footer)
    // (cut when shown or printed: the pages outlive this form)
    const int left = QuickRep1.margins.left(), slot = slot_, groups = groups_;
    auto groupOf = [left, slot, groups](const report::ReportItem& item) {
        const bool column = item.name.startsWith(QLatin1String("cell_")) || item.name.startsWith(QLatin1String("hdr_")) ||
                            item.name == QLatin1String("columnLine");
        return column ? std::clamp((item.rect.left() - left) / slot, 0, groups - 1) : -1;
    };
    out.pages.splitInto(groups_, [groupOf, slot, groups](const report::ReportPage& page, int g, report::ReportPage& part) {
        part.items.reserve(page.items.size() / groups + 8);
        for (const report::ReportItem& item : page.items) {
            const int in = groupOf(item);
            if (in >= 0 && in != g)
                continue;
            part.items.append(item);
            if (in > 0) {
                report::ReportItem& moved = part.items.last();
                moved.rect.translate(-in * slot, 0);
                moved.line.translate(-in * slot, 0);
            }
        }
    });
    return out;
}
