#pragma once
// What the RTF reader makes of a text: paragraphs of runs over one string, formats kept once
// each, and tables of rows of cells. The document is built from it in one pass afterwards,
// so that reading costs time in proportion to the text.

#include <QColor>
#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <algorithm>
#include <iterator>
#include <climits>
#include <vector>

class QTextDocument;

namespace shell { class Progress; }

namespace richtext {

// The look of a piece of text; equal keys give the same character format.
struct FormatKey {
    int font, size, color, background, vertical;   // size in half-points
    bool bold, italic, underline, strike;
    int underlineKind;          // UnderlineKind when underlined
    int caps;                   // 0 none, 1 capitals, 2 small capitals
    int spacing;                // between letters, twips
    int raise;                  // above the baseline (below when negative), half-points
    int link;                   // in DocumentModel::links; -1 none
    bool operator==(const FormatKey& o) const
    {
        return font == o.font && size == o.size && color == o.color && background == o.background
            && vertical == o.vertical && bold == o.bold && italic == o.italic && underline == o.underline
            && strike == o.strike && underlineKind == o.underlineKind && caps == o.caps && spacing == o.spacing
            && raise == o.raise && link == o.link;
    }
};

inline size_t qHash(const FormatKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.font, k.size, k.color, k.background, k.vertical, k.bold, k.italic, k.underline, k.strike,
                      k.underlineKind, k.caps, k.spacing, k.raise, k.link);
}

struct BorderDef {
    bool on = false;
    int width = 0;              // twips; 0: the thinnest line
    int color = 0;              // colour table index; 0 automatic
    bool operator==(const BorderDef& o) const { return on == o.on && width == o.width && color == o.color; }
};

// Paragraph properties as RTF gives them (lengths in twips).
struct ParaFormat {
    int align = -1;             // -1 not given, 0 left, 1 right, 2 centre, 3 justified
    int dir = 0;                // 0 not given, 1 left to right, 2 right to left
    int li = 0, ri = 0, fi = 0;
    int lin = INT_MIN, rin = INT_MIN;
    int sb = 0, sa = 0;
    int list = 0;               // lists of \pn groups: 0 none, 1 bullet, 2 numbered
    int ls = -1, ilvl = 0;      // lists of the list table
    bool pagebb = false;        // a page break before the paragraph
    bool intbl = false;         // the paragraph is in a table cell
    int sl = 0;                 // line spacing: 0 single; at least sl twips, exactly -sl when negative
    bool slmult = false;        // sl in 240ths of a single line
    int shading = 0;            // background colour table index; 0 none
    BorderDef borders[4];       // top, left, bottom, right
    bool operator==(const ParaFormat& o) const
    {
        return align == o.align && dir == o.dir && li == o.li && ri == o.ri && fi == o.fi && lin == o.lin
            && rin == o.rin && sb == o.sb && sa == o.sa && list == o.list && ls == o.ls && ilvl == o.ilvl
            && pagebb == o.pagebb && intbl == o.intbl && sl == o.sl && slmult == o.slmult && shading == o.shading
            && std::equal(std::begin(borders), std::end(borders), std::begin(o.borders));
    }
};

inline size_t qHash(const ParaFormat& p, size_t seed = 0)
{
    return qHashMulti(seed, p.align, p.dir, p.li, p.ri, p.fi, p.lin, p.rin, p.sb, p.sa, p.list, p.ls, p.ilvl, p.sl,
                      p.shading);
}

struct FontEntry {
    QString name;
    int charset = -1;
};

struct RunModel {
    int start;                  // in DocumentModel::text
    int length;
    int format;                 // in DocumentModel::formats
};

struct ParaModel {
    int runBegin = 0, runEnd = 0;
    int format = 0;             // in DocumentModel::paraFormats
    int mark = 0;               // the paragraph mark's look, in DocumentModel::formats
    int listKind = 0;           // 0 none, 1 bullet, 2 numbered
    qint64 listKey = -1;        // paragraphs of one key are items of one list; -1: items of
                                // adjacent paragraphs of the same kind
    bool pageBreak = false;     // starts a new page
    int table = -1;             // in DocumentModel::tables when in a table cell
};


struct CellDef {
    int right = 0;              // the cell's far edge from the row's start, twips
    BorderDef borders[4];       // top, left, bottom, right
    int vmerge = 0;             // 1 first of cells merged down, 2 merged into the one above
    int hmerge = 0;             // 1 first of cells merged across, 2 merged into the one before
    int background = 0;         // colour table index; 0 none
    int valign = 0;             // 0 top, 1 centre, 2 bottom
    int padding = -1;           // the widest of its sides, twips; -1 not given
};

struct RowDef {
    std::vector<CellDef> cells;
    bool rtl = false;           // the first cell is the rightmost
    int left = 0;
    int gaph = -1;              // half the space between cells; -1 not given
    int padding = -1;           // the cells' padding, the widest side; -1 not given
    int align = -1;             // -1 not given, 0 left, 1 right, 2 centre
    BorderDef border;
};

struct CellModel {
    int first, end;             // paragraphs
};

struct RowModel {
    int def = -1;               // in DocumentModel::rowDefs
    std::vector<CellModel> cells;
};

struct TableModel {
    std::vector<RowModel> rows;
    bool pageBreak = false;
    int first = 0, end = 0;     // its paragraphs
};

struct DocumentModel {
    QString text;
    std::vector<RunModel> runs;
    std::vector<ParaModel> paras;
    std::vector<FormatKey> formats;
    std::vector<ParaFormat> paraFormats;
    std::vector<RowDef> rowDefs;
    std::vector<TableModel> tables;
    QHash<int, FontEntry> fonts;
    int defaultFont = 0;
    QList<QColor> colors;       // index 0 of the table is "automatic" (invalid)
    QStringList links;          // targets of the text's links
};

// Replaces the document's content with the model's.
void buildDocument(QTextDocument* doc, const DocumentModel& model, shell::Progress* progress);

} // namespace richtext
