#include "platform/richtext/Rtf.h"

#include "platform/richtext/RtfUnits.h"
#include "platform/richtext/Windows1256.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <QTextTable>
#include <cmath>
#include <vector>

namespace richtext {

namespace {

class Writer {
public:
    explicit Writer(const QTextDocument* doc) : doc(doc) {}
    QByteArray run();

private:
    const QTextDocument* doc;
    QStringList fonts;
    QHash<QString, int> fontIndex;
    QList<QColor> colors;              // index 0 of the table is "automatic"
    QHash<QRgb, int> colorIndex;
    QByteArray body;

    // Each list of the document is a list of the list table; lists of one identity (one list
    // read in parts) are one.
    struct ListOut {
        bool bullet;
        int items = 0;
    };
    std::vector<ListOut> lists;        // \ls N is lists[N - 1]
    QHash<qint64, int> listOf;         // identity -> \ls
    bool breakNext = false;            // a page break after the block written last

    int fontOf(const QString& family);
    int colorOf(const QColor& c);
    QString familyOf(const QTextCharFormat& f) const;
    double sizeOf(const QTextCharFormat& f) const;
    void num(const char* word, long value);
    void escape(const QString& text);
    void frame(const QTextFrame* f);
    void table(const QTextTable* t);
    void cellContent(QTextFrame::iterator it, const QTextFrame::iterator& end, std::vector<QTextBlock>& blocks) const;
    void block(const QTextBlock& b, bool inCell, bool pageBreak, const char* end);
    void fragment(const QTextFragment& f);
    void underline(const QTextCharFormat& f);
    void border(const char* side, double width, QTextFrameFormat::BorderStyle style, const QBrush& brush);
};

int Writer::fontOf(const QString& family)
{
    const auto it = fontIndex.constFind(family);
    if (it != fontIndex.constEnd())
        return *it;
    fonts.append(family);
    fontIndex.insert(family, int(fonts.size()) - 1);
    return int(fonts.size()) - 1;
}

int Writer::colorOf(const QColor& c)
{
    const QRgb key = c.rgb();
    const auto it = colorIndex.constFind(key);
    if (it != colorIndex.constEnd())
        return *it;
    colors.append(c);
    colorIndex.insert(key, int(colors.size()));
    return int(colors.size());
}

QString Writer::familyOf(const QTextCharFormat& f) const
{
    const QStringList families = f.fontFamilies().toStringList();
    if (!families.isEmpty() && !families.first().isEmpty())
        return families.first();
    return doc->defaultFont().family();
}

double Writer::sizeOf(const QTextCharFormat& f) const
{
    if (f.hasProperty(QTextFormat::FontPointSize) && f.fontPointSize() > 0)
        return f.fontPointSize();
    const QFont d = doc->defaultFont();
    return d.pointSizeF() > 0 ? d.pointSizeF() : d.pixelSize() * 0.75;
}

void Writer::num(const char* word, long value)
{
    body += '\\';
    body += word;
    body += QByteArray::number(qlonglong(value));
}

void Writer::escape(const QString& text)
{
    bool space = true;   // a control word before the text needs a delimiter
    auto plain = [&](char c) {
        if (space) {
            body += ' ';
            space = false;
        }
        body += c;
    };
    for (const QChar ch : text) {
        const char16_t u = ch.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            body += '\\';
            body += char(u);
            space = false;
        } else if (u == '\t') {
            body += "\\tab";
            space = true;
        } else if (u == QChar::LineSeparator || u == '\n' || u == QChar::ParagraphSeparator) {
            body += "\\line";
            space = true;
        } else if (u == 0x00A0) {
            body += "\\~";
            space = false;
        } else if (u >= 0x20 && u < 0x80) {
            plain(char(u));
        } else if (u < 0x20) {
            // other control characters have no place in the text
        } else {
            num("u", u > 32767 ? long(u) - 65536 : long(u));
            unsigned char b = '?';
            unicodeToWindows1256(u, &b);
            if (b < 0x80) {
                body += char(b);
            } else {
                body += "\\'";
                body += QByteArray::number(b, 16).rightJustified(2, '0');
            }
            space = false;
        }
    }
}

void Writer::fragment(const QTextFragment& frag)
{
    const QTextCharFormat f = frag.charFormat();
    const QString text = frag.text();
    const int font = fontOf(familyOf(f));
    const long halfPoints = std::lround(sizeOf(f) * 2);
    const bool bold = f.fontWeight() >= QFont::DemiBold;
    // the text in runs of one direction: Latin words inside right-to-left text are written as
    // left-to-right runs, or other readers give them the right-to-left run's looks
    QList<std::pair<bool, QString>> runs;
    bool rtl = false;
    for (const QChar c : text)
        if (c.isLetter()) {
            rtl = c.direction() == QChar::DirAL || c.direction() == QChar::DirR;
            break;
        }
    for (const QChar c : text) {
        const QChar::Direction d = c.direction();
        bool r = rtl;
        if (d == QChar::DirAL || d == QChar::DirR)
            r = true;
        else if (d == QChar::DirL)
            r = false;
        if (runs.isEmpty() || runs.back().first != r)
            runs.append({r, QString()});
        runs.back().second += c;
        rtl = r;
    }
    if (runs.isEmpty())
        runs.append({rtl, QString()});
    // a link's text inside its field
    const bool link = f.isAnchor() && !f.anchorHref().isEmpty();
    if (link) {
        body += "{\\field{\\*\\fldinst HYPERLINK";
        escape(QLatin1Char('"') + f.anchorHref() + QLatin1Char('"'));
        body += "}{\\fldrslt ";
    }
    for (const auto& [runRtl, runText] : runs) {
        body += '{';
        // right-to-left runs carry the associated properties as well
        body += runRtl ? "\\rtlch" : "\\ltrch";
        num("af", font);
        num("afs", halfPoints);
        if (bold)
            body += "\\ab";
        if (f.fontItalic())
            body += "\\ai";
        num("f", font);
        num("fs", halfPoints);
        if (bold)
            body += "\\b";
        if (f.fontItalic())
            body += "\\i";
        underline(f);
        if (f.fontStrikeOut())
            body += "\\strike";
        if (f.hasProperty(QTextFormat::ForegroundBrush) && f.foreground().style() != Qt::NoBrush)
            num("cf", colorOf(f.foreground().color()));
        if (f.hasProperty(QTextFormat::BackgroundBrush) && f.background().style() != Qt::NoBrush)
            num("highlight", colorOf(f.background().color()));
        if (f.verticalAlignment() == QTextCharFormat::AlignSuperScript)
            body += "\\super";
        else if (f.verticalAlignment() == QTextCharFormat::AlignSubScript)
            body += "\\sub";
        if (f.fontCapitalization() == QFont::AllUppercase)
            body += "\\caps";
        else if (f.fontCapitalization() == QFont::SmallCaps)
            body += "\\scaps";
        if (f.fontLetterSpacingType() == QFont::AbsoluteSpacing && f.fontLetterSpacing() != 0) {
            const int twips = pixelsToTwips(f.fontLetterSpacing());
            num("expnd", twips / 5);
            num("expndtw", twips);
        }
        if (const long raise = std::lround(f.baselineOffset() * halfPoints / 100.0); raise > 0)
            num("up", raise);
        else if (raise < 0)
            num("dn", -raise);
        escape(runText);
        body += '}';
    }
    if (link)
        body += "}}";
}

void Writer::underline(const QTextCharFormat& f)
{
    switch (f.underlineStyle()) {
    case QTextCharFormat::SingleUnderline:
        switch (f.intProperty(UnderlineKindKept)) {
        case UnderlineDouble: body += "\\uldb"; break;
        case UnderlineThick: body += "\\ulth"; break;
        case UnderlineWords: body += "\\ulw"; break;
        default: body += "\\ul"; break;
        }
        break;
    case QTextCharFormat::DotLine: body += "\\uld"; break;
    case QTextCharFormat::DashUnderline: body += "\\uldash"; break;
    case QTextCharFormat::DashDotLine: body += "\\uldashd"; break;
    case QTextCharFormat::DashDotDotLine: body += "\\uldashdd"; break;
    case QTextCharFormat::WaveUnderline: body += "\\ulwave"; break;
    default: break;
    }
}

void Writer::block(const QTextBlock& b, bool inCell, bool pageBreak, const char* end)
{
    const QTextBlockFormat bf = b.blockFormat();
    const bool rtl = isRightToLeft(b);
    body += "\\pard";
    if (inCell)
        body += "\\intbl";
    if (pageBreak || breakNext || (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore))
        body += "\\pagebb";
    breakNext = !inCell && (bf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysAfter);
    body += rtl ? "\\rtlpar" : "\\ltrpar";
    switch (physicalAlignment(bf, rtl)) {
    case Align::Left: body += "\\ql"; break;
    case Align::Right: body += "\\qr"; break;
    case Align::Centre: body += "\\qc"; break;
    case Align::Justify: body += "\\qj"; break;
    }
    double left = bf.leftMargin();
    double right = bf.rightMargin();
    QTextList* list = b.textList();
    if (list) {
        const double listIndent = list->format().indent() * doc->indentWidth();
        (rtl ? right : left) += listIndent;
    }
    const int li = pixelsToTwips(left), ri = pixelsToTwips(right);
    num("li", li);
    num("ri", ri);
    num("lin", rtl ? ri : li);
    num("rin", rtl ? li : ri);
    num("fi", pixelsToTwips(bf.textIndent()));
    if (bf.topMargin() > 0)
        num("sb", pixelsToTwips(bf.topMargin()));
    if (bf.bottomMargin() > 0)
        num("sa", pixelsToTwips(bf.bottomMargin()));
    switch (bf.hasProperty(QTextFormat::LineHeight) ? bf.lineHeightType() : int(QTextBlockFormat::SingleHeight)) {
    case QTextBlockFormat::ProportionalHeight:
        num("sl", std::lround(bf.lineHeight() * 240 / 100));
        body += "\\slmult1";
        break;
    case QTextBlockFormat::MinimumHeight:
        num("sl", pixelsToTwips(bf.lineHeight()));
        body += "\\slmult0";
        break;
    case QTextBlockFormat::FixedHeight:
        num("sl", -pixelsToTwips(bf.lineHeight()));
        body += "\\slmult0";
        break;
    default: break;
    }
    if (bf.hasProperty(QTextFormat::BackgroundBrush) && bf.background().style() != Qt::NoBrush)
        num("cbpat", colorOf(bf.background().color()));
    const QStringList sides = bf.stringProperty(ParagraphBorders).split(QLatin1Char(' '), Qt::SkipEmptyParts);
    for (int i = 0; i < sides.size() && i < 4; ++i) {
        const QStringList parts = sides[i].split(QLatin1Char(':'));
        if (parts.size() != 2)
            continue;
        static const char* const names[] = {"\\brdrt\\brdrs", "\\brdrl\\brdrs", "\\brdrb\\brdrs", "\\brdrr\\brdrs"};
        body += names[i];
        num("brdrw", parts[0].toInt());
        if (const QColor c(parts[1]); c.isValid())
            num("brdrcf", colorOf(c));
    }
    if (list) {
        const QTextListFormat lf = list->format();
        const bool bullet = lf.style() == QTextListFormat::ListDisc || lf.style() == QTextListFormat::ListCircle
            || lf.style() == QTextListFormat::ListSquare;
        const int identity = lf.intProperty(ListIdentity);
        // lists without an identity of their own are told apart by their objects
        const qint64 key = identity > 0 ? identity : -qint64(list->objectIndex()) - 1;
        int& ls = listOf[key];
        if (!ls) {
            lists.push_back({bullet});
            ls = int(lists.size());
        }
        const int number = ++lists[size_t(ls - 1)].items;
        const int symbol = fontOf(QStringLiteral("Symbol"));
        // list tables for Word and LibreOffice, a \pn group for WordPad's bullets; numbers get
        // none (LibreOffice would number on through every list with one) and show as text to
        // readers without list tables
        num("ls", ls);
        body += "\\ilvl0";
        if (bullet) {
            body += "{\\pntext";
            num("f", symbol);
            body += "\\'b7\\tab}{\\*\\pn\\pnlvlblt";
            num("pnf", symbol);
            body += "\\pnindent0{\\pntxtb\\'b7}}";
        } else {
            body += "{\\pntext ";
            body += QByteArray::number(number);
            body += ".\\tab}";
        }
    }
    // the paragraph mark's look (an empty line keeps its height)
    const QTextCharFormat mark = b.charFormat();
    num("f", fontOf(familyOf(mark)));
    num("fs", std::lround(sizeOf(mark) * 2));
    body += '\n';
    for (auto it = b.begin(); !it.atEnd(); ++it) {
        const QTextFragment frag = it.fragment();
        if (frag.isValid())
            fragment(frag);
    }
    body += end;
    body += '\n';
}

// The blocks of a cell, those of anything nested in it included.
void Writer::cellContent(QTextFrame::iterator it, const QTextFrame::iterator& end, std::vector<QTextBlock>& blocks) const
{
    for (; it != end; ++it) {
        if (QTextFrame* f = it.currentFrame())
            cellContent(f->begin(), f->end(), blocks);
        else if (it.currentBlock().isValid())
            blocks.push_back(it.currentBlock());
    }
}

void Writer::border(const char* side, double width, QTextFrameFormat::BorderStyle style, const QBrush& brush)
{
    if (width <= 0 || style == QTextFrameFormat::BorderStyle_None)
        return;
    body += side;
    switch (style) {
    case QTextFrameFormat::BorderStyle_Dotted: body += "\\brdrdot"; break;
    case QTextFrameFormat::BorderStyle_Dashed: body += "\\brdrdash"; break;
    case QTextFrameFormat::BorderStyle_Double: body += "\\brdrdb"; break;
    default: body += "\\brdrs"; break;
    }
    num("brdrw", std::max(1, pixelsToTwips(width)));
    if (brush.style() != Qt::NoBrush && brush.color() != QColor(Qt::black))
        num("brdrcf", colorOf(brush.color()));
}

void Writer::table(const QTextTable* t)
{
    const QTextTableFormat tf = t->format();
    const bool rtl = tf.property(TableRowsRightToLeft).toBool();
    const int rows = t->rows(), columns = t->columns();
    if (rows <= 0 || columns <= 0)
        return;
    // column widths: fixed ones as they are, the rest share the page's width
    const QList<QTextLength> constraints = tf.columnWidthConstraints();
    const double page = doc->textWidth() > 0 ? doc->textWidth() : 624.0;
    std::vector<double> widths(size_t(columns), 0.0);
    double fixed = 0;
    int loose = 0;
    for (int c = 0; c < columns; ++c) {
        const QTextLength l = c < constraints.size() ? constraints[c] : QTextLength();
        if (l.type() == QTextLength::FixedLength)
            widths[size_t(c)] = l.rawValue();
        else if (l.type() == QTextLength::PercentageLength)
            widths[size_t(c)] = page * l.rawValue() / 100.0;
        else
            ++loose;
        fixed += widths[size_t(c)];
    }
    for (int c = 0; c < columns; ++c)
        if (widths[size_t(c)] <= 0)
            widths[size_t(c)] = std::max(24.0, (page - fixed) / std::max(1, loose));
    const int gap = pixelsToTwips(tf.cellPadding());
    const bool breakFirst = breakNext || (tf.pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    breakNext = false;

    struct Out {
        QTextTableCell cell;
        double width;
        bool continued;          // merged into the cell above
    };
    for (int r = 0; r < rows; ++r) {
        std::vector<Out> cells;
        for (int c = 0; c < columns;) {
            const QTextTableCell cell = t->cellAt(r, c);
            const int first = cell.isValid() ? cell.column() : c;
            const int span = cell.isValid() ? std::max(1, cell.columnSpan()) : 1;
            double w = 0;
            for (int k = first; k < first + span && k < columns; ++k)
                w += widths[size_t(k)];
            cells.push_back({cell, w, cell.isValid() && cell.row() < r});
            c = std::max(c + 1, first + span);
        }
        if (rtl)
            std::reverse(cells.begin(), cells.end());
        body += "\\trowd";
        num("trgaph", gap);
        // the same padding on every side, for word processors that read it so
        for (const char* side : {"l", "t", "b", "r"}) {
            body += "\\trpaddf";
            body += side;
            body += '3';
            body += "\\trpadd";
            body += side;
            body += QByteArray::number(gap);
        }
        body += "\\trleft0";
        body += rtl ? "\\rtlrow" : "\\ltrrow";
        // where the table stands; none given, a right-to-left one stands on the right
        const Qt::Alignment align = tf.alignment();
        const bool right = (align & Qt::AlignRight) || (!(align & Qt::AlignLeft) && rtl);
        body += align & Qt::AlignHCenter ? "\\trqc" : right ? "\\trqr" : "\\trql";
        double edge = 0;
        for (const Out& o : cells) {
            const QTextTableCellFormat cf = o.cell.isValid() ? o.cell.format().toTableCellFormat() : QTextTableCellFormat();
            if (o.continued)
                body += "\\clvmrg";
            else if (o.cell.isValid() && o.cell.rowSpan() > 1)
                body += "\\clvmgf";
            if (cf.verticalAlignment() == QTextCharFormat::AlignMiddle)
                body += "\\clvertalc";
            else if (cf.verticalAlignment() == QTextCharFormat::AlignBottom)
                body += "\\clvertalb";
            const auto width = [&](QTextFormat::Property p) { return cf.hasProperty(p) ? cf.doubleProperty(p) : tf.border(); };
            const auto style = [&](QTextFormat::Property p) {
                return cf.hasProperty(p) ? QTextFrameFormat::BorderStyle(cf.intProperty(p)) : tf.borderStyle();
            };
            const QBrush brush = cf.hasProperty(QTextFormat::TableCellTopBorderBrush) ? cf.topBorderBrush() : tf.borderBrush();
            // the sides of the cell as written: a right-to-left row's first cell is its rightmost
            border("\\clbrdrt", width(QTextFormat::TableCellTopBorder), style(QTextFormat::TableCellTopBorderStyle), brush);
            border("\\clbrdrl", width(QTextFormat::TableCellLeftBorder), style(QTextFormat::TableCellLeftBorderStyle), brush);
            border("\\clbrdrb", width(QTextFormat::TableCellBottomBorder), style(QTextFormat::TableCellBottomBorderStyle), brush);
            border("\\clbrdrr", width(QTextFormat::TableCellRightBorder), style(QTextFormat::TableCellRightBorderStyle), brush);
            if (cf.hasProperty(QTextFormat::BackgroundBrush) && cf.background().style() != Qt::NoBrush)
                num("clcbpat", colorOf(cf.background().color()));
            edge += o.width;
            num("cellx", pixelsToTwips(edge));
        }
        body += '\n';
        bool firstParagraph = r == 0;
        for (const Out& o : cells) {
            std::vector<QTextBlock> blocks;
            if (o.cell.isValid() && !o.continued)
                cellContent(o.cell.begin(), o.cell.end(), blocks);
            if (blocks.empty()) {
                body += "\\pard\\intbl";
                if (firstParagraph && breakFirst)
                    body += "\\pagebb";
                body += "\\cell\n";
                firstParagraph = false;
                continue;
            }
            for (size_t i = 0; i < blocks.size(); ++i) {
                block(blocks[i], true, firstParagraph && breakFirst, i + 1 == blocks.size() ? "\\cell" : "\\par");
                firstParagraph = false;
            }
        }
        body += "\\row\n";
    }
}

void Writer::frame(const QTextFrame* f)
{
    // the document's own parts in order: blocks, tables, and blocks of other frames
    struct Item {
        QTextBlock block;
        QTextFrame* frame;
    };
    std::vector<Item> items;
    for (auto it = f->begin(); !it.atEnd(); ++it)
        items.push_back({it.currentBlock(), it.currentFrame()});
    const auto isTable = [&](size_t i) { return i < items.size() && qobject_cast<QTextTable*>(items[i].frame) != nullptr; };
    for (size_t i = 0; i < items.size(); ++i) {
        const Item& item = items[i];
        if (item.frame) {
            if (const auto* t = qobject_cast<const QTextTable*>(item.frame))
                table(t);
            else
                frame(item.frame);
            continue;
        }
        if (!item.block.isValid())
            continue;
        // the empty block the document keeps beside a table is no paragraph of the text
        const bool prevSide = i == 0 || isTable(i - 1);
        const bool nextSide = i + 1 == items.size() || isTable(i + 1);
        if (item.block.blockFormat().boolProperty(TableNeighbourBlock) && item.block.length() <= 1 && prevSide && nextSide
            && (isTable(i + 1) || (i > 0 && isTable(i - 1))))
            continue;
        block(item.block, false, false, "\\par");
    }
}

QByteArray Writer::run()
{
    fontOf(doc->defaultFont().family());
    body.reserve(doc->characterCount() * 8 + 1024);
    frame(doc->rootFrame());

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1065{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + (fonts[i] == QLatin1String("Symbol") ? "\\ftech\\fcharset2 " : "\\fnil\\fcharset178 ");
        for (const QChar c : fonts[i]) {
            // a Persian name in the font's own code page: not every reader takes \\uN here
            unsigned char b = 0;
            if (c.unicode() < 0x80 && c != QLatin1Char(';') && c != QLatin1Char('\\') && c != QLatin1Char('{') && c != QLatin1Char('}'))
                out += char(c.unicode());
            else if (c.unicode() >= 0x80 && unicodeToWindows1256(c.unicode(), &b) && b >= 0x80)
                out += "\\'" + QByteArray::number(b, 16).rightJustified(2, '0');
            else
                out += "\\u" + QByteArray::number(c.unicode() > 32767 ? int(c.unicode()) - 65536 : int(c.unicode())) + '?';
        }
        out += ";}";
    }
    out += "}\n{\\colortbl ;";
    for (const QColor& c : colors)
        out += "\\red" + QByteArray::number(c.red()) + "\\green" + QByteArray::number(c.green()) + "\\blue"
            + QByteArray::number(c.blue()) + ';';
    out += "}\n";
    if (!lists.empty()) {
        out += "{\\*\\listtable";
        for (size_t i = 0; i < lists.size(); ++i) {
            const QByteArray id = QByteArray::number(qulonglong(i + 1));
            out += "{\\list\\listtemplateid" + id + "\\listsimple";
            out += lists[i].bullet
                ? "{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1"
                  "{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720\\lin720}"
                : "{\\listlevel\\levelnfc0\\levelnfcn0\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat1"
                  "{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720\\lin720}";
            out += "\\listid" + id + "}";
        }
        out += "}\n{\\*\\listoverridetable";
        for (size_t i = 0; i < lists.size(); ++i) {
            const QByteArray id = QByteArray::number(qulonglong(i + 1));
            out += "{\\listoverride\\listid" + id + "\\listoverridecount0\\ls" + id + "}";
        }
        out += "}\n";
    }
    out += "\\viewkind4\\uc1\n";
    out += body;
    out += "}\n";
    return out;
}

} // namespace

QByteArray writeRtf(const QTextDocument* doc)
{
    Writer w(doc);
    return w.run();
}

} // namespace richtext
