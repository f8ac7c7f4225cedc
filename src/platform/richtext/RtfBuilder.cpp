#include "platform/richtext/RtfDocument.h"

#include "platform/richtext/RtfUnits.h"
#include "platform/shell/Progress.h"

#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <QTextTable>
#include <algorithm>

namespace richtext {

namespace {

// Items of one list object. Each item added to a list costs time in proportion to the
// list's length, so a longer list goes on in a new object: bullets soon (nothing shows it),
// numbers late (they start again there).
constexpr int kBulletItems = 64;
constexpr int kNumberedItems = 500;
// Merging cells costs time in proportion to the table's cells: beyond this many merges a
// table keeps its cells apart.
constexpr int kMaxMerges = 2000;
constexpr int kMaxColumns = 63;
constexpr int kDefaultGap = 108;       // half the space between cells when a row gives none
constexpr int kMinCellWidth = 60;

// A cell of a table row as it stands on the page, left to right.
struct PlacedCell {
    int left, right;                   // twips from the table's left edge
    const CellDef* def;
    std::vector<CellModel> content;
};

class Builder {
public:
    Builder(QTextDocument* doc, const DocumentModel& m, shell::Progress* progress) : doc(doc), m(m), progress(progress) {}
    void run();

private:
    QTextDocument* doc;
    const DocumentModel& m;
    shell::Progress* progress;
    std::vector<QTextCharFormat> charFormats;
    std::vector<QTextBlockFormat> blockFormats;

    struct ListSlot {
        QTextList* list = nullptr;
        int items = 0;
        int kind = 0;
        int identity = 0;
    };
    QHash<qint64, ListSlot> lists;     // lists of the list table, by their key
    ListSlot adjacent;                 // the list of \pn paragraphs read last
    bool lastWasAdjacent = false;
    int identities = 0;
    int merges = 0;
    qint64 done = 0;

    QTextCharFormat charFormat(const FormatKey& k) const;
    QTextBlockFormat blockFormat(const ParaFormat& p) const;
    QColor color(int index) const;
    bool hasText(const std::vector<CellModel>& content) const;
    void paragraph(QTextCursor& c, const ParaModel& p, bool fresh, bool inCell);
    void table(QTextCursor& c, const TableModel& t, bool fresh);
    std::vector<std::vector<PlacedCell>> placeRows(const TableModel& t, bool rtl) const;
};

QColor Builder::color(int index) const
{
    return index > 0 && index < m.colors.size() ? m.colors[index] : QColor();
}

// Whether cells hold any text: the empty paragraph of a cell merged into another is dropped.
bool Builder::hasText(const std::vector<CellModel>& content) const
{
    for (const CellModel& range : content)
        for (int p = range.first; p < range.end && p < int(m.paras.size()); ++p)
            if (m.paras[size_t(p)].runEnd > m.paras[size_t(p)].runBegin)
                return true;
    return false;
}

QTextCharFormat Builder::charFormat(const FormatKey& k) const
{
    QTextCharFormat f;
    const auto it = m.fonts.constFind(k.font < 0 ? m.defaultFont : k.font);
    if (it != m.fonts.constEnd() && !it->name.isEmpty())
        f.setFontFamilies(QStringList{it->name});
    f.setFontPointSize(k.size / 2.0);
    f.setFontWeight(k.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(k.italic);
    f.setFontUnderline(k.underline);
    f.setFontStrikeOut(k.strike);
    if (const QColor c = color(k.color); c.isValid())
        f.setForeground(c);
    if (const QColor c = color(k.background); c.isValid())
        f.setBackground(c);
    if (k.vertical == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (k.vertical == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    switch (k.underlineKind) {
    case UnderlineDotted: f.setUnderlineStyle(QTextCharFormat::DotLine); break;
    case UnderlineDash: f.setUnderlineStyle(QTextCharFormat::DashUnderline); break;
    case UnderlineDashDot: f.setUnderlineStyle(QTextCharFormat::DashDotLine); break;
    case UnderlineDashDotDot: f.setUnderlineStyle(QTextCharFormat::DashDotDotLine); break;
    case UnderlineWave: f.setUnderlineStyle(QTextCharFormat::WaveUnderline); break;
    case UnderlineDouble: case UnderlineThick: case UnderlineWords: f.setProperty(UnderlineKindKept, k.underlineKind); break;
    default: break;
    }
    if (k.caps)
        f.setFontCapitalization(k.caps == 1 ? QFont::AllUppercase : QFont::SmallCaps);
    if (k.spacing) {
        f.setFontLetterSpacingType(QFont::AbsoluteSpacing);
        f.setFontLetterSpacing(twipsToPixels(k.spacing));
    }
    if (k.raise && k.size > 0)
        f.setBaselineOffset(100.0 * k.raise / k.size);
    if (k.link >= 0 && k.link < m.links.size()) {
        f.setAnchor(true);
        f.setAnchorHref(m.links[k.link]);
    }
    return f;
}

QTextBlockFormat Builder::blockFormat(const ParaFormat& p) const
{
    QTextBlockFormat bf;
    const bool rtl = p.dir == 2;
    if (p.dir == 2)
        bf.setLayoutDirection(Qt::RightToLeft);
    else if (p.dir == 1)
        bf.setLayoutDirection(Qt::LeftToRight);
    switch (p.align) {
    case 0: bf.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    case 1: bf.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case 2: bf.setAlignment(Qt::AlignHCenter); break;
    case 3: bf.setAlignment(Qt::AlignJustify); break;
    default: break;
    }
    // \li and \ri are sides of the page; \lin and \rin the start and end of the lines
    int left = p.li, right = p.ri;
    if (p.lin != INT_MIN)
        (rtl ? right : left) = p.lin;
    if (p.rin != INT_MIN)
        (rtl ? left : right) = p.rin;
    // small editors write a right-to-left hanging indent on \li alone: the indent is then at
    // the start of the lines, or the bullet would hang past the right edge
    if (rtl && p.lin == INT_MIN && p.rin == INT_MIN && p.fi < 0 && right + p.fi < 0 && left > right)
        std::swap(left, right);
    // a first line never starts outside the printed area
    const int start = std::max(0, rtl ? right : left);
    bf.setLeftMargin(twipsToPixels(left));
    bf.setRightMargin(twipsToPixels(right));
    bf.setTextIndent(twipsToPixels(std::max(p.fi, -start)));
    if (p.sb)
        bf.setTopMargin(twipsToPixels(p.sb));
    if (p.sa)
        bf.setBottomMargin(twipsToPixels(p.sa));
    if (p.sl && p.slmult)
        bf.setLineHeight(std::clamp(p.sl, 60, 2400) * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
    else if (p.sl > 0)
        bf.setLineHeight(twipsToPixels(p.sl), QTextBlockFormat::MinimumHeight);
    else if (p.sl < 0)
        bf.setLineHeight(twipsToPixels(-p.sl), QTextBlockFormat::FixedHeight);
    if (const QColor c = color(p.shading); c.isValid())
        bf.setBackground(c);
    if (std::any_of(std::begin(p.borders), std::end(p.borders), [](const BorderDef& b) { return b.on; })) {
        QStringList sides;
        for (const BorderDef& b : p.borders) {
            const QColor c = color(b.color);
            sides << (b.on ? QStringLiteral("%1:%2").arg(b.width).arg(c.isValid() ? c.name() : QString()) : QStringLiteral("-"));
        }
        bf.setProperty(ParagraphBorders, sides.join(QLatin1Char(' ')));
    }
    return bf;
}

void Builder::paragraph(QTextCursor& c, const ParaModel& p, bool fresh, bool inCell)
{
    if (progress && (++done & 1023) == 0)
        progress->step(done);
    QTextBlockFormat bf = blockFormats[size_t(p.format)];
    if (p.pageBreak && !inCell)
        bf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);

    // lists: one object for the items of a list, however far apart they are
    ListSlot* slot = nullptr;
    if (p.listKind) {
        if (p.listKey >= 0) {
            // an item ends the lists of the levels below it: they count again under the next one
            const qint64 base = p.listKey & ~qint64(15);
            for (qint64 deeper = (p.listKey & 15) + 1; deeper < 16; ++deeper) {
                const auto it = lists.find(base | deeper);
                if (it != lists.end())
                    *it = ListSlot();
            }
            slot = &lists[p.listKey];
        } else {
            if (!lastWasAdjacent || adjacent.kind != p.listKind)
                adjacent = ListSlot();
            slot = &adjacent;
        }
        if (slot->list && slot->kind == p.listKind && slot->items < (p.listKind == 1 ? kBulletItems : kNumberedItems)) {
            bf.setObjectIndex(slot->list->objectIndex());
            ++slot->items;
        } else {
            if (!slot->identity)
                slot->identity = ++identities;
            slot->list = nullptr;
        }
    }
    lastWasAdjacent = p.listKind && p.listKey < 0;

    const QTextCharFormat& mark = charFormats[size_t(p.mark)];
    if (fresh) {
        c.setBlockFormat(bf);
        // the first block of a cell carries the cell's own format (spans, borders) as well
        if (inCell)
            c.mergeBlockCharFormat(mark);
        else
            c.setBlockCharFormat(mark);
    } else {
        c.insertBlock(bf, mark);
    }
    if (slot && !slot->list) {
        QTextListFormat lf;
        lf.setStyle(p.listKind == 1 ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal);
        lf.setIndent(0);
        lf.setProperty(ListIdentity, slot->identity);
        slot->list = c.createList(lf);
        slot->items = 1;
        slot->kind = p.listKind;
    }
    for (int r = p.runBegin; r < p.runEnd; ++r) {
        const RunModel& run = m.runs[size_t(r)];
        c.insertText(m.text.mid(run.start, run.length), charFormats[size_t(run.format)]);
    }
}

// The rows' cells on the page: the logical order of a right-to-left row is reversed, and its
// cells keep their widths from the right edge.
std::vector<std::vector<PlacedCell>> Builder::placeRows(const TableModel& t, bool rtl) const
{
    static const RowDef kNoDef;
    std::vector<std::vector<PlacedCell>> rows;
    rows.reserve(t.rows.size());
    int widest = 0;
    for (const RowModel& row : t.rows) {
        const RowDef& def = row.def >= 0 && row.def < int(m.rowDefs.size()) ? m.rowDefs[size_t(row.def)] : kNoDef;
        const int n = std::min(kMaxColumns, int(std::max(row.cells.size(), def.cells.size())));
        // the logical cells, merged across where the row says so
        std::vector<PlacedCell> logical;
        int prev = 0;
        for (int i = 0; i < n; ++i) {
            const CellDef* cd = i < int(def.cells.size()) ? &def.cells[size_t(i)] : nullptr;
            int right = cd ? cd->right - def.left : prev + 1440;
            right = std::clamp(right, prev + kMinCellWidth, prev + 31680);
            std::vector<CellModel> content;
            if (i < int(row.cells.size()))
                content.push_back(row.cells[size_t(i)]);
            if (cd && cd->hmerge == 2 && !logical.empty()) {
                logical.back().right = right;
                if (hasText(content))
                    logical.back().content.insert(logical.back().content.end(), content.begin(), content.end());
            } else {
                logical.push_back({prev, right, cd, std::move(content)});
            }
            prev = right;
        }
        // cells beyond the row's definitions join the last one
        for (size_t i = size_t(n); i < row.cells.size() && !logical.empty(); ++i)
            logical.back().content.push_back(row.cells[i]);
        if (def.rtl) {
            std::reverse(logical.begin(), logical.end());
            for (PlacedCell& cell : logical) {
                const int l = prev - cell.right, r = prev - cell.left;
                cell.left = l;
                cell.right = r;
            }
        }
        widest = std::max(widest, prev);
        rows.push_back(std::move(logical));
    }
    // rows of a right-to-left table line up on the right
    if (rtl)
        for (auto& row : rows) {
            const int shift = row.empty() ? 0 : widest - row.back().right;
            for (PlacedCell& cell : row) {
                cell.left += shift;
                cell.right += shift;
            }
        }
    return rows;
}

void Builder::table(QTextCursor& c, const TableModel& t, bool fresh)
{
    const RowDef* firstDef = !t.rows.empty() && t.rows[0].def >= 0 ? &m.rowDefs[size_t(t.rows[0].def)] : nullptr;
    const bool rtl = firstDef && firstDef->rtl;
    std::vector<std::vector<PlacedCell>> rows = placeRows(t, rtl);
    if (rows.empty())
        return;

    // columns: every cell edge of every row, edges closer than a point made one
    std::vector<int> edges;
    size_t cellCount = 0;
    for (const auto& row : rows) {
        cellCount += row.size();
        for (const PlacedCell& cell : row) {
            edges.push_back(cell.left);
            edges.push_back(cell.right);
        }
    }
    std::sort(edges.begin(), edges.end());
    std::vector<int> grid;
    for (const int e : edges)
        if (grid.empty() || e - grid.back() > 20)
            grid.push_back(e);
    const auto columnOf = [&grid](int x) {
        auto it = std::lower_bound(grid.begin(), grid.end(), x - 20);
        return int(it - grid.begin());
    };
    int columns = std::max(1, int(grid.size()) - 1);
    const size_t rowCount = rows.size();
    struct Place {
        int row, column, rowSpan, columnSpan;
        const PlacedCell* cell;
    };
    std::vector<Place> places;
    std::vector<double> widths;
    if (columns <= kMaxColumns && rowCount * size_t(columns) <= 8 * cellCount + 64) {
        for (int i = 0; i < columns; ++i)
            widths.push_back(twipsToPixels(grid[size_t(i) + 1] - grid[size_t(i)]));
        for (size_t r = 0; r < rowCount; ++r)
            for (const PlacedCell& cell : rows[r]) {
                const int from = columnOf(cell.left), to = std::max(from + 1, columnOf(cell.right));
                places.push_back({int(r), from, 1, std::min(to, columns) - from, &cell});
            }
    } else {
        // edges that do not line up: the cells side by side, as many columns as the fullest row
        size_t most = 1, fullest = 0;
        for (size_t r = 0; r < rowCount; ++r)
            if (rows[r].size() > most) {
                most = rows[r].size();
                fullest = r;
            }
        columns = rowCount * most <= 8 * cellCount + 64 ? int(most) : 1;
        for (int i = 0; i < columns; ++i)
            widths.push_back(columns == int(most) && i < int(rows[fullest].size())
                                 ? twipsToPixels(rows[fullest][size_t(i)].right - rows[fullest][size_t(i)].left)
                                 : twipsToPixels(1440));
        for (size_t r = 0; r < rowCount; ++r) {
            const int k = int(rows[r].size());
            for (int j = 0; j < k; ++j) {
                const PlacedCell& cell = rows[r][size_t(j)];
                int from = std::min(j, columns - 1);
                if (rtl && columns > 1)
                    from = std::max(0, columns - k + j);
                int span = 1;
                if (!rtl && j == k - 1)
                    span = columns - from;
                if (rtl && j == 0) {
                    span = from + 1;
                    from = 0;
                }
                places.push_back({int(r), from, 1, std::max(1, span), &cell});
            }
        }
    }

    // vertical merges: a cell merged into the one above widens that one downwards
    std::vector<std::vector<CellModel>> content(places.size());
    std::vector<bool> covered(places.size(), false);
    {
        QHash<qint64, size_t> open;   // (column, span) -> slot of the cell merged downwards
        for (size_t i = 0; i < places.size(); ++i) {
            Place& s = places[i];
            if (s.cell)
                content[i] = s.cell->content;
            const qint64 key = (qint64(s.column) << 8) | s.columnSpan;
            const int vmerge = s.cell && s.cell->def ? s.cell->def->vmerge : 0;
            if (vmerge == 2) {
                const auto it = open.constFind(key);
                if (it != open.constEnd() && places[*it].row + places[*it].rowSpan == s.row) {
                    ++places[*it].rowSpan;
                    if (hasText(content[i]))
                        content[*it].insert(content[*it].end(), content[i].begin(), content[i].end());
                    covered[i] = true;
                    continue;
                }
            }
            if (vmerge == 1)
                open.insert(key, i);
            else
                open.remove(key);
        }
        // a table of one column holds each row's cells in its one cell
        if (columns == 1)
            for (size_t i = 1; i < places.size(); ++i)
                if (places[i].row == places[i - 1].row) {
                    size_t anchor = i - 1;
                    while (covered[anchor] && anchor > 0)
                        --anchor;
                    content[anchor].insert(content[anchor].end(), content[i].begin(), content[i].end());
                    covered[i] = true;
                }
    }

    // the table's look
    QTextTableFormat tf;
    QList<QTextLength> constraints;
    for (const double w : widths)
        constraints << QTextLength(QTextLength::FixedLength, w);
    tf.setColumnWidthConstraints(constraints);
    tf.setCellSpacing(0);
    // padding: the first cell's own, else the row's, else half the space between cells
    int padding = kDefaultGap;
    if (firstDef && !firstDef->cells.empty() && firstDef->cells[0].padding >= 0)
        padding = firstDef->cells[0].padding;
    else if (firstDef && firstDef->padding >= 0)
        padding = firstDef->padding;
    else if (firstDef && firstDef->gaph >= 0)
        padding = firstDef->gaph;
    tf.setCellPadding(twipsToPixels(padding));
    tf.setMargin(0);
    tf.setBorderCollapse(true);
    int borderWidth = 0;
    QColor borderColor(Qt::black);
    for (const Place& s : places)
        if (s.cell && s.cell->def)
            for (const BorderDef& b : s.cell->def->borders)
                if (b.on) {
                    borderWidth = std::max(borderWidth, std::max(b.width, 10));
                    if (color(b.color).isValid())
                        borderColor = color(b.color);
                }
    const double borderPx = borderWidth ? std::max(1.0, twipsToPixels(borderWidth)) : 0.0;
    tf.setBorder(borderPx);
    tf.setBorderStyle(borderPx > 0 ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None);
    tf.setBorderBrush(borderColor);
    const int align = firstDef ? firstDef->align : -1;
    if (align == 2)
        tf.setAlignment(Qt::AlignHCenter);
    else if (align == 1 || (align < 0 && rtl))
        tf.setAlignment(Qt::AlignRight | Qt::AlignAbsolute);
    else
        tf.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute);
    if (rtl)
        tf.setProperty(TableRowsRightToLeft, true);
    if (t.pageBreak)
        tf.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);

    if (fresh) {
        // the document keeps an empty block before a table that starts it or follows another
        QTextBlockFormat neighbour = c.blockFormat();
        neighbour.setProperty(TableNeighbourBlock, true);
        c.setBlockFormat(neighbour);
    }
    QTextTable* table = c.insertTable(int(rowCount), columns, tf);

    for (size_t i = 0; i < places.size(); ++i) {
        const Place& s = places[i];
        if (!covered[i] && (s.rowSpan > 1 || s.columnSpan > 1) && merges < kMaxMerges) {
            table->mergeCells(s.row, s.column, s.rowSpan, s.columnSpan);
            ++merges;
        }
    }
    for (size_t i = 0; i < places.size(); ++i) {
        if (covered[i])
            continue;
        const Place& s = places[i];
        QTextTableCell cell = table->cellAt(s.row, s.column);
        if (!cell.isValid())
            continue;
        if (s.cell && s.cell->def) {
            const CellDef& d = *s.cell->def;
            QTextTableCellFormat cf = cell.format().toTableCellFormat();
            const BorderDef* b = d.borders;
            const auto side = [&](int k) { return b[k].on ? std::max(1.0, twipsToPixels(std::max(b[k].width, 10))) : 0.0; };
            const auto style = [&](int k) { return b[k].on ? QTextFrameFormat::BorderStyle_Solid : QTextFrameFormat::BorderStyle_None; };
            if (borderPx > 0) {
                cf.setTopBorder(side(0));
                cf.setLeftBorder(side(1));
                cf.setBottomBorder(side(2));
                cf.setRightBorder(side(3));
                cf.setTopBorderStyle(style(0));
                cf.setLeftBorderStyle(style(1));
                cf.setBottomBorderStyle(style(2));
                cf.setRightBorderStyle(style(3));
                cf.setBorderBrush(borderColor);
            }
            if (const QColor bg = color(d.background); bg.isValid())
                cf.setBackground(bg);
            if (d.valign == 1)
                cf.setVerticalAlignment(QTextCharFormat::AlignMiddle);
            else if (d.valign == 2)
                cf.setVerticalAlignment(QTextCharFormat::AlignBottom);
            cell.setFormat(cf);
        }
        QTextCursor cc = cell.firstCursorPosition();
        bool freshCell = true;
        for (const CellModel& range : content[i])
            for (int p = range.first; p < range.end && p < int(m.paras.size()); ++p) {
                paragraph(cc, m.paras[size_t(p)], freshCell, true);
                freshCell = false;
            }
    }
    c.movePosition(QTextCursor::End);
}

void Builder::run()
{
    charFormats.reserve(m.formats.size());
    for (const FormatKey& k : m.formats)
        charFormats.push_back(charFormat(k));
    blockFormats.reserve(m.paraFormats.size());
    for (const ParaFormat& p : m.paraFormats)
        blockFormats.push_back(blockFormat(p));
    if (progress)
        progress->setTotal(qint64(m.paras.size()));

    doc->clear();
    QTextCursor c(doc);
    c.beginEditBlock();
    bool fresh = true;     // the cursor's block holds no paragraph yet
    bool afterTable = false;
    for (size_t i = 0; i < m.paras.size();) {
        const ParaModel& p = m.paras[i];
        if (p.table >= 0 && p.table < int(m.tables.size()) && m.tables[size_t(p.table)].end > int(i)) {
            const TableModel& t = m.tables[size_t(p.table)];
            table(c, t, fresh);
            fresh = true;
            afterTable = true;
            i = size_t(t.end);
            continue;
        }
        paragraph(c, p, fresh, false);
        fresh = false;
        afterTable = false;
        ++i;
    }
    if (afterTable) {
        QTextBlockFormat neighbour = c.blockFormat();
        neighbour.setProperty(TableNeighbourBlock, true);
        c.setBlockFormat(neighbour);
    }
    c.endEditBlock();
}

} // namespace

void buildDocument(QTextDocument* doc, const DocumentModel& model, shell::Progress* progress)
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    Builder builder(doc, model, progress);
    builder.run();
    doc->setUndoRedoEnabled(undo);
}

} // namespace richtext
