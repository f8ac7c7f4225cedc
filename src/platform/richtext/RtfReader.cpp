#include "platform/richtext/Rtf.h"

#include "platform/richtext/RtfDocument.h"
#include "platform/richtext/RtfUnits.h"
#include "platform/richtext/Windows1256.h"
#include "platform/shell/Progress.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringDecoder>
#include <QTextDocument>
#include <climits>

namespace richtext {

namespace {

// Windows-1252 bytes 0x80..0x9F (the rest is Latin-1).
constexpr char16_t k1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

// Bounds that keep memory in proportion to the text whatever a file holds.
constexpr int kMaxDepth = 1000;        // deeper groups share the state of the deepest kept one
constexpr int kMaxFonts = 4096;
constexpr int kMaxColors = 4096;
constexpr int kMaxLists = 4096;
constexpr int kMaxCellsInRow = 63;     // as many as word processors allow
constexpr int kMaxLinks = 100000;

// A text beyond any contract: it would take the document seconds and hundreds of megabytes.
struct TooLarge {};

QString decodeCodePage(const QByteArray& bytes, int codePage)
{
    if (codePage == 1256)
        return decodeWindows1256(bytes);
    QString out;
    out.reserve(bytes.size());
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        out.append(codePage == 1252 && b >= 0x80 && b < 0xA0 ? QChar(k1252[b - 0x80]) : QChar(b));
    }
    return out;
}

int codePageOfCharset(int charset, int ansi)
{
    switch (charset) {
    case 178: case 179: case 180: return 1256;
    case 0: case 1: return ansi;
    case 2: return 0;            // symbol: bytes as they are
    default: return 1252 == ansi ? 0 : ansi;
    }
}

bool isRtlChar(QChar c)
{
    const ushort u = c.unicode();
    return (u >= 0x0590 && u <= 0x08FF) || (u >= 0xFB1D && u <= 0xFDFF) || (u >= 0xFE70 && u <= 0xFEFF);
}

// Characters that are no text of a paragraph: controls other than the tab, and the marks the
// document uses for its own structure. A paragraph separator inside a run is a line break.
void cleanText(QString& s)
{
    s.removeIf([](QChar c) {
        const ushort u = c.unicode();
        return (u < 0x20 && u != '\t') || u == 0xFDD0 || u == 0xFDD1 || u == 0xFFFC;
    });
    s.replace(QChar::ParagraphSeparator, QChar::LineSeparator);
}

enum class Dest { Text, FontTable, ColorTable, ListTable, ListOverride, Pn, Upr, FieldInst, Skip };

// The control words the reader acts on.
enum class W {
    Unknown, Skipped,
    Fonttbl, Colortbl, Listtable, Listoverridetable, Pn, Upr, Ud, Fldrslt, Bin, Column, Sbknone,
    F, Fcharset, Red, Green, Blue, List, Listlevel, Levelnfc, Listid, Ls, Ilvl, Pnlvlblt, Pnlvlbody,
    Ansicpg, Ansi, Deff, Uc, U,
    Par, Sect, Line, Tab, Page, Cell, Row, Nestcell, Nestrow,
    Special,
    Plain, B, I, Ul, Ulnone, Strike, V, Fs, Cf, Highlight, Super, Sub, Nosupersub, CharClass, DirCh, Af, Afs, Ab, Ai,
    Pard, Ql, Qr, Qc, Qj, Rtlpar, Ltrpar, Li, Ri, Lin, Rin, Fi, Sb, Sa, Pagebb, Intbl, Itap,
    Trowd, Cellx, Rtlrow, Ltrrow, Trgaph, Trleft, Trqc, Trqr, Trql,
    Clvmgf, Clvmrg, Clmgf, Clmrg, Clbrdrt, Clbrdrl, Clbrdrb, Clbrdrr, Trbrdr, ParaBorder,
    BrdrStyle, BrdrNone, Brdrw, Brdrcf, Clcbpat, Clvertalt, Clvertalc, Clvertalb, Clpad, Trpadd,
    Caps, Expnd, Expndtw, Up, Dn, Sl, Slmult, Cbpat, Field, Fldinst,
};

struct WordInfo {
    W word = W::Unknown;
    char16_t ch = 0;      // special characters; the kind of an underline, capitals or border side
};

const QHash<QByteArray, WordInfo>& words()
{
    static const QHash<QByteArray, WordInfo> table = [] {
        QHash<QByteArray, WordInfo> t;
        // destinations whose content is no text of the document
        for (const char* n : {"info", "stylesheet", "pict", "header", "headerl", "headerr", "headerf", "footer", "footerl",
                              "footerr", "footerf", "footnote", "pntext", "pntxta", "pntxtb", "listtext", "object",
                              "objdata", "xe", "tc", "txe", "rxe", "bkmkstart", "bkmkend", "annotation", "atnid", "atnauthor",
                              "atndate", "atnref", "comment", "filetbl", "revtbl", "rsidtbl", "generator", "themedata",
                              "colorschememapping", "latentstyles", "datastore", "xmlnstbl", "mmathPr", "shp", "shpinst",
                              "nonshppict", "shppict", "userprops", "docvar", "ftnsep", "ftnsepc", "aftnsep", "aftnsepc",
                              "template", "private", "pgdsctbl", "do", "listpicture", "protusertbl", "wgrffmtfilter",
                              "operator", "author", "title", "subject", "keywords", "company", "creatim", "revtim", "printim",
                              "buptim", "fchars", "lchars", "pgptbl", "defchp", "defpap", "blipuid", "sp", "sn", "sv",
                              "nesttableprops", "listname", "leveltext", "levelnumbers", "nonesttables"})
            t.insert(n, {W::Skipped});
        const struct { const char* name; W word; } plain[] = {
            {"fonttbl", W::Fonttbl}, {"colortbl", W::Colortbl}, {"listtable", W::Listtable},
            {"listoverridetable", W::Listoverridetable}, {"pn", W::Pn}, {"upr", W::Upr}, {"ud", W::Ud},
            {"fldrslt", W::Fldrslt}, {"bin", W::Bin}, {"f", W::F}, {"fcharset", W::Fcharset}, {"red", W::Red},
            {"green", W::Green}, {"blue", W::Blue}, {"list", W::List}, {"listlevel", W::Listlevel},
            {"levelnfc", W::Levelnfc}, {"levelnfcn", W::Levelnfc}, {"listid", W::Listid}, {"ls", W::Ls},
            {"ilvl", W::Ilvl}, {"pnlvlblt", W::Pnlvlblt}, {"pnlvlbody", W::Pnlvlbody}, {"ansicpg", W::Ansicpg},
            {"ansi", W::Ansi}, {"deff", W::Deff}, {"uc", W::Uc}, {"u", W::U}, {"par", W::Par}, {"sect", W::Sect},
            {"line", W::Line}, {"tab", W::Tab}, {"page", W::Page}, {"column", W::Column},
            {"sbknone", W::Sbknone}, {"sbkcol", W::Sbknone}, {"cell", W::Cell}, {"row", W::Row},
            {"nestcell", W::Nestcell}, {"nestrow", W::Nestrow}, {"plain", W::Plain}, {"b", W::B}, {"i", W::I},
            {"ulnone", W::Ulnone}, {"strike", W::Strike}, {"striked", W::Strike}, {"v", W::V},
            {"fs", W::Fs}, {"cf", W::Cf}, {"highlight", W::Highlight}, {"cb", W::Highlight}, {"chcbpat", W::Highlight},
            {"super", W::Super}, {"sub", W::Sub}, {"nosupersub", W::Nosupersub}, {"hich", W::CharClass},
            {"dbch", W::CharClass}, {"loch", W::CharClass}, {"rtlch", W::DirCh}, {"ltrch", W::DirCh}, {"af", W::Af},
            {"afs", W::Afs}, {"ab", W::Ab}, {"ai", W::Ai}, {"pard", W::Pard}, {"ql", W::Ql}, {"qr", W::Qr},
            {"qc", W::Qc}, {"qj", W::Qj}, {"qd", W::Qj}, {"rtlpar", W::Rtlpar}, {"ltrpar", W::Ltrpar}, {"li", W::Li},
            {"ri", W::Ri}, {"lin", W::Lin}, {"rin", W::Rin}, {"fi", W::Fi}, {"sb", W::Sb}, {"sa", W::Sa},
            {"pagebb", W::Pagebb}, {"intbl", W::Intbl}, {"itap", W::Itap}, {"trowd", W::Trowd}, {"cellx", W::Cellx},
            {"rtlrow", W::Rtlrow}, {"ltrrow", W::Ltrrow}, {"trgaph", W::Trgaph}, {"trleft", W::Trleft},
            {"trqc", W::Trqc}, {"trqr", W::Trqr}, {"trql", W::Trql}, {"clvmgf", W::Clvmgf}, {"clvmrg", W::Clvmrg},
            {"clmgf", W::Clmgf}, {"clmrg", W::Clmrg}, {"clbrdrt", W::Clbrdrt}, {"clbrdrl", W::Clbrdrl},
            {"clbrdrb", W::Clbrdrb}, {"clbrdrr", W::Clbrdrr}, {"trbrdrt", W::Trbrdr}, {"trbrdrl", W::Trbrdr},
            {"trbrdrb", W::Trbrdr}, {"trbrdrr", W::Trbrdr}, {"trbrdrh", W::Trbrdr}, {"trbrdrv", W::Trbrdr},
            {"brdrbtw", W::ParaBorder}, {"brdrbar", W::ParaBorder}, {"brdrnone", W::BrdrNone},
            {"brdrnil", W::BrdrNone}, {"brdrtbl", W::BrdrNone}, {"brdrw", W::Brdrw}, {"brdrcf", W::Brdrcf},
            {"clcbpat", W::Clcbpat}, {"clvertalt", W::Clvertalt}, {"clvertalc", W::Clvertalc},
            {"clvertalb", W::Clvertalb}, {"clpadl", W::Clpad}, {"clpadt", W::Clpad}, {"clpadb", W::Clpad},
            {"clpadr", W::Clpad}, {"trpaddl", W::Trpadd}, {"trpaddt", W::Trpadd}, {"trpaddb", W::Trpadd},
            {"trpaddr", W::Trpadd},
        };
        for (const auto& p : plain)
            t.insert(p.name, {p.word});
        const struct { const char* name; W word; char16_t value; } valued[] = {
            {"ul", W::Ul, UnderlineSingle}, {"uld", W::Ul, UnderlineDotted}, {"uldash", W::Ul, UnderlineDash},
            {"uldashd", W::Ul, UnderlineDashDot}, {"uldashdd", W::Ul, UnderlineDashDotDot},
            {"uldb", W::Ul, UnderlineDouble}, {"ulth", W::Ul, UnderlineThick}, {"ulw", W::Ul, UnderlineWords},
            {"ulwave", W::Ul, UnderlineWave}, {"ulhwave", W::Ul, UnderlineWave}, {"ululdbwave", W::Ul, UnderlineWave},
            {"ulthd", W::Ul, UnderlineDotted}, {"ulthdash", W::Ul, UnderlineDash}, {"ulldash", W::Ul, UnderlineDash},
            {"ulthldash", W::Ul, UnderlineDash}, {"ulthdashd", W::Ul, UnderlineDashDot},
            {"ulthdashdd", W::Ul, UnderlineDashDotDot}, {"caps", W::Caps, 1}, {"scaps", W::Caps, 2},
            {"brdrt", W::ParaBorder, 1}, {"brdrl", W::ParaBorder, 2}, {"brdrb", W::ParaBorder, 3},
            {"brdrr", W::ParaBorder, 4}, {"box", W::ParaBorder, 5},
        };
        for (const auto& v : valued)
            t.insert(v.name, {v.word, v.value});
        for (const auto& p : std::initializer_list<std::pair<const char*, W>>{
                 {"expnd", W::Expnd}, {"expndtw", W::Expndtw}, {"up", W::Up}, {"dn", W::Dn}, {"sl", W::Sl},
                 {"slmult", W::Slmult}, {"cbpat", W::Cbpat}, {"field", W::Field}, {"fldinst", W::Fldinst}})
            t.insert(p.first, {p.second});
        for (const char* n : {"brdrs", "brdrth", "brdrsh", "brdrdb", "brdrdot", "brdrdash", "brdrhair", "brdrinset",
                              "brdroutset", "brdrtriple", "brdrdashsm", "brdrdashd", "brdrdashdd", "brdrwavy",
                              "brdrwavydb", "brdrengrave", "brdremboss", "brdrframe", "brdrthtnsg", "brdrtnthsg",
                              "brdrtnthtnsg", "brdrthtnmg", "brdrtnthmg", "brdrtnthtnmg", "brdrthtnlg", "brdrtnthlg",
                              "brdrtnthtnlg", "brdrdashdotstr"})
            t.insert(n, {W::BrdrStyle});
        const struct { const char* name; char16_t ch; } specials[] = {
            {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},
            {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002},
            {"qmspace", 0x2005}, {"zwj", 0x200D}, {"zwnj", 0x200C}, {"ltrmark", 0x200E}, {"rtlmark", 0x200F}};
        for (const auto& s : specials)
            t.insert(s.name, {W::Special, s.ch});
        return t;
    }();
    return table;
}

struct CharState {
    int font = -1;              // -1: the default font
    int size = 24;              // half-points
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;
    int color = 0;              // colour table index; 0 automatic
    int background = 0;
    int vertical = 0;           // 1 superscript, 2 subscript
    int underlineKind = 0, caps = 0, spacing = 0, raise = 0;   // as in FormatKey
    int link = -1;              // inside a link's shown text: its target in the model's links
    // properties of right-to-left runs; -1 when not given
    int afont = -1, asize = -1, abold = -1, aitalic = -1;
    bool fontOfCharClass = false;   // after \hich, \dbch or \loch an \af names no right-to-left font
    int uc = 1;
};

struct Group {
    CharState chr;
    ParaFormat par;
    Dest dest = Dest::Text;
    int pnOwner = -1;           // for Pn: the group whose paragraph gets the list
    int rowDef = -1;            // the table row definition in force
};

class Parser {
public:
    Parser(const QByteArray& data, shell::Progress* progress) : src(data), progress(progress) {}
    void run();
    DocumentModel model;

private:
    const QByteArray& src;
    shell::Progress* progress;
    int pos = 0;

    std::vector<Group> stack;
    int extraDepth = 0;                // groups opened beyond kMaxDepth
    int ansiCp = 1252;
    int tableFont = 0;                 // font being defined in the font table
    int red = -1, green = -1, blue = -1;
    QHash<int, int> listNfc;           // list id -> number format of its levels (first ones)
    std::vector<int> levelNfcs;        // of the list being defined
    QHash<int, int> overrideList;      // \ls number -> list id
    int listId = -1;
    int skipChars = 0;                 // characters still to skip after \uN

    QHash<FormatKey, int> formatIndex;
    QHash<ParaFormat, int> paraIndex;
    bool pieceRtl = false;             // direction of the last piece, for neutral characters
    bool paraHasContent = false;       // text or a mark since the last paragraph end
    int paraRuns = 0;                  // first run of the paragraph being read
    ParaFormat lastPar;
    bool pendingPageBreak = false;
    bool sectionBreak = false;         // pendingPageBreak came from \sect alone

    // the table being read
    int openTable = -1;
    RowModel openRow;
    int openCell = -1;                 // first paragraph of the cell being read; -1 none
    int usedRowDefs = 0;               // row definitions before this one belong to rows read
    CellDef pendingCell;
    enum class BorderTarget { None, CellTop, CellLeft, CellBottom, CellRight, Row, Para } borderTarget = BorderTarget::None;
    int paraBorderSide = 0;            // 1..4 top, left, bottom, right; 5 all four
    QString instText;                  // the instruction of the field being read

    Group& top() { return stack.back(); }
    int codePage(int font) const;
    int formatOf(const FormatKey& k);

    void controlWord(const QByteArray& word, bool hasParam, int param);
    void controlSymbol(char c);
    void text(const QString& s);
    void textPiece(const QString& s, bool rtl);
    void endParagraph(bool inTable, const ParaFormat* format = nullptr);
    int listKind(int ls, int ilvl) const;
    void endCell();
    void endRow();
    void closeTable();
    void finish();
    void readText();
    void readHexRun();
    RowDef* rowDef();
    BorderDef* border();
};

int Parser::codePage(int font) const
{
    const auto it = model.fonts.constFind(font < 0 ? model.defaultFont : font);
    if (it == model.fonts.constEnd() || it->charset < 0)
        return ansiCp;
    return codePageOfCharset(it->charset, ansiCp);
}

int Parser::formatOf(const FormatKey& k)
{
    const auto it = formatIndex.constFind(k);
    if (it != formatIndex.constEnd())
        return *it;
    model.formats.push_back(k);
    formatIndex.insert(k, int(model.formats.size()) - 1);
    return int(model.formats.size()) - 1;
}

void Parser::textPiece(const QString& s, bool rtl)
{
    const CharState& c = top().chr;
    FormatKey k{};
    k.font = rtl && c.afont >= 0 ? c.afont : c.font;
    k.size = rtl && c.asize > 0 ? c.asize : c.size;
    k.bold = rtl && c.abold >= 0 ? c.abold != 0 : c.bold;
    k.italic = rtl && c.aitalic >= 0 ? c.aitalic != 0 : c.italic;
    k.underline = c.underline;
    k.strike = c.strike;
    k.color = c.color;
    k.background = c.background;
    k.vertical = c.vertical;
    k.underlineKind = c.underline ? c.underlineKind : 0;
    k.caps = c.caps;
    k.spacing = c.spacing;
    k.raise = c.raise;
    k.link = c.link;
    const int f = formatOf(k);
    const int start = int(model.text.size());
    model.text += s;
    // identical adjacent formats make one run
    if (int(model.runs.size()) > paraRuns && model.runs.back().format == f) {
        model.runs.back().length += int(s.size());
    } else {
        if (model.runs.size() >= size_t(MaxRuns))
            throw TooLarge();
        model.runs.push_back({start, int(s.size()), f});
    }
}

void Parser::text(const QString& input)
{
    if (input.isEmpty() || top().dest == Dest::Skip)
        return;
    QString s = input;
    cleanText(s);
    if (s.isEmpty())
        return;
    Group& g = top();
    if (g.dest == Dest::FontTable) {
        if (!model.fonts.contains(tableFont) && model.fonts.size() >= kMaxFonts)
            return;
        FontEntry& f = model.fonts[tableFont];
        for (const QChar ch : s) {
            if (ch == QLatin1Char(';'))
                f.name = f.name.trimmed();
            else if (f.name.size() < 256)
                f.name += ch;
        }
        return;
    }
    if (g.dest == Dest::FieldInst) {
        if (instText.size() < 4096)
            instText += s;
        return;
    }
    if (g.dest != Dest::Text || g.chr.hidden)
        return;
    paraHasContent = true;
    lastPar = g.par;
    const CharState& c = g.chr;
    const bool split = (c.afont >= 0 && c.afont != c.font) || (c.asize > 0 && c.asize != c.size)
        || (c.abold >= 0 && (c.abold != 0) != c.bold) || (c.aitalic >= 0 && (c.aitalic != 0) != c.italic);
    if (!split) {
        textPiece(s, false);
        return;
    }
    // Right-to-left letters take the associated properties; neutral characters stay with
    // the piece they follow.
    int start = 0;
    bool rtl = pieceRtl;
    bool decided = false;
    for (int i = 0; i < s.size(); ++i) {
        const QChar ch = s[i];
        if (!ch.isLetter())
            continue;
        const bool r = isRtlChar(ch);
        if (!decided) {
            rtl = r;
            decided = true;
        } else if (r != rtl) {
            textPiece(s.mid(start, i - start), rtl);
            start = i;
            rtl = r;
        }
    }
    textPiece(s.mid(start), rtl);
    pieceRtl = rtl;
}

// Bullet (1) or numbers (2) of a level of a list of the list table; unknown lists are bullets.
int Parser::listKind(int ls, int ilvl) const
{
    const int kinds = listNfc.value(overrideList.value(ls, -1), 1);
    const int kind = (kinds >> (4 * std::min(ilvl, 6))) & 0xF;
    return kind ? kind : (kinds & 0xF) ? kinds & 0xF : 1;
}

// Ends the paragraph being read; inTable puts it into the cell being read.
void Parser::endParagraph(bool inTable, const ParaFormat* format)
{
    const ParaFormat p = format ? *format : top().dest == Dest::Text ? top().par : lastPar;
    if (model.paras.size() >= size_t(MaxParagraphs))
        throw TooLarge();
    ParaModel para;
    para.runBegin = paraRuns;
    para.runEnd = int(model.runs.size());
    if (p.ls >= 0) {
        para.listKind = listKind(p.ls, p.ilvl);
        para.listKey = (qint64(p.ls) << 4) | p.ilvl;
    } else {
        para.listKind = p.list;
    }
    {
        // the paragraph's look without its place in lists, tables and pages
        ParaFormat key = p;
        key.pagebb = false;
        key.intbl = false;
        key.list = 0;
        key.ls = -1;
        key.ilvl = 0;
        const auto it = paraIndex.constFind(key);
        if (it != paraIndex.constEnd()) {
            para.format = *it;
        } else {
            model.paraFormats.push_back(key);
            para.format = int(model.paraFormats.size()) - 1;
            paraIndex.insert(key, para.format);
        }
    }
    // the paragraph mark's look gives an empty line its height
    FormatKey mark{};
    mark.link = -1;
    mark.font = top().chr.font;
    mark.size = top().chr.size;
    para.mark = formatOf(mark);
    const bool breakBefore = pendingPageBreak || p.pagebb;
    pendingPageBreak = false;
    sectionBreak = false;
    if (inTable) {
        if (openTable < 0) {
            model.tables.emplace_back();
            openTable = int(model.tables.size()) - 1;
            model.tables.back().first = int(model.paras.size());
            model.tables.back().pageBreak = breakBefore;
        }
        if (openCell < 0)
            openCell = int(model.paras.size());
        para.table = openTable;
    } else {
        closeTable();
        para.pageBreak = breakBefore;
    }
    model.paras.push_back(para);
    paraRuns = int(model.runs.size());
    paraHasContent = false;
}

void Parser::endCell()
{
    endParagraph(true);
    const int end = int(model.paras.size());
    if (int(openRow.cells.size()) >= kMaxCellsInRow)
        openRow.cells.back().end = end;   // no more columns: the text joins the last cell
    else
        openRow.cells.push_back({openCell, end});
    openCell = -1;
}

void Parser::endRow()
{
    // text after the last cell mark is a cell of its own
    if (paraHasContent || openCell >= 0)
        endCell();
    if (openRow.cells.empty())
        return;
    openRow.def = top().rowDef;
    usedRowDefs = std::max(usedRowDefs, openRow.def + 1);
    model.tables[size_t(openTable)].rows.push_back(std::move(openRow));
    openRow = RowModel();
}

void Parser::closeTable()
{
    if (openTable < 0)
        return;
    if (openCell >= 0) {
        openRow.cells.push_back({openCell, int(model.paras.size())});
        openCell = -1;
    }
    if (!openRow.cells.empty()) {
        openRow.def = top().rowDef;
        usedRowDefs = std::max(usedRowDefs, openRow.def + 1);
        model.tables[size_t(openTable)].rows.push_back(std::move(openRow));
        openRow = RowModel();
    }
    model.tables[size_t(openTable)].end = int(model.paras.size());
    openTable = -1;
}

void Parser::finish()
{
    if (paraHasContent)
        endParagraph(lastPar.intbl || openCell >= 0, &lastPar);
    closeTable();
}

RowDef* Parser::rowDef()
{
    Group& g = top();
    if (g.rowDef < 0) {
        model.rowDefs.emplace_back();
        g.rowDef = int(model.rowDefs.size()) - 1;
    }
    return &model.rowDefs[size_t(g.rowDef)];
}

BorderDef* Parser::border()
{
    switch (borderTarget) {
    case BorderTarget::CellTop: return &pendingCell.borders[0];
    case BorderTarget::CellLeft: return &pendingCell.borders[1];
    case BorderTarget::CellBottom: return &pendingCell.borders[2];
    case BorderTarget::CellRight: return &pendingCell.borders[3];
    case BorderTarget::Row: return &rowDef()->border;
    case BorderTarget::Para: return &top().par.borders[std::clamp(paraBorderSide, 1, 4) - 1];
    case BorderTarget::None: break;
    }
    return nullptr;
}

void Parser::controlSymbol(char c)
{
    switch (c) {
    case '\\': case '{': case '}': text(QString(QLatin1Char(c))); break;
    case '~': text(QString(QChar(0x00A0))); break;
    case '_': text(QString(QChar(0x2011))); break;
    case '-': break;              // optional hyphen
    case '\n': case '\r':
        if (top().dest == Dest::Text)
            endParagraph(top().par.intbl);
        break;
    case '\t': text(QString(QLatin1Char('\t'))); break;
    default: break;
    }
}

void Parser::controlWord(const QByteArray& w, bool hasParam, int param)
{
    Group& g = top();
    const int on = hasParam ? param : 1;
    const WordInfo info = words().value(w);

    // destinations; nothing inside a skipped one is read
    if (g.dest == Dest::Skip && info.word != W::Bin)
        return;
    switch (info.word) {
    case W::Fonttbl: g.dest = Dest::FontTable; return;
    case W::Colortbl: g.dest = Dest::ColorTable; model.colors.clear(); red = green = blue = -1; return;
    case W::Listtable: g.dest = Dest::ListTable; return;
    case W::Listoverridetable: g.dest = Dest::ListOverride; return;
    case W::Pn: g.dest = Dest::Pn; g.pnOwner = int(stack.size()) - 2; return;
    case W::Upr: g.dest = Dest::Upr; return;
    case W::Ud: g.dest = Dest::Text; return;
    case W::Fldrslt: {
        g.dest = Dest::Text;
        // the shown text of a link carries its target
        static const QRegularExpression link(QStringLiteral("^\\s*HYPERLINK\\s+(?:\\\\[a-z]\\s+)*\"([^\"]*)\""));
        const QRegularExpressionMatch m = link.match(instText);
        if (m.hasMatch() && model.links.size() < kMaxLinks) {
            model.links.append(m.captured(1));
            g.chr.link = int(model.links.size()) - 1;
        }
        return;
    }
    case W::Field: instText.clear(); return;
    case W::Fldinst: g.dest = Dest::FieldInst; instText.clear(); return;
    case W::Skipped: g.dest = Dest::Skip; return;
    case W::Bin: pos += std::max(0, std::min(param, int(src.size()) - pos)); return;
    default: break;
    }
    if (g.dest == Dest::Skip)
        return;

    switch (g.dest) {
    case Dest::FontTable:
        if (info.word == W::U || info.word == W::Uc)
            break;              // a font's name in \uN
        if (info.word == W::F) {
            tableFont = param;
            if (model.fonts.size() < kMaxFonts)
                model.fonts[param];
        } else if (info.word == W::Fcharset && model.fonts.contains(tableFont)) {
            model.fonts[tableFont].charset = param;
        }
        return;
    case Dest::FieldInst:
        return;
    case Dest::ColorTable:
        if (info.word == W::Red) red = param;
        else if (info.word == W::Green) green = param;
        else if (info.word == W::Blue) blue = param;
        return;
    case Dest::ListTable:
        if (info.word == W::List) {
            levelNfcs.clear();
        } else if (info.word == W::Listlevel) {
            if (levelNfcs.size() < 9)
                levelNfcs.push_back(-1);
        } else if (info.word == W::Levelnfc && !levelNfcs.empty()) {
            levelNfcs.back() = param;
        } else if (info.word == W::Listid && listNfc.size() < kMaxLists) {
            // the formats of the first levels, four bits each
            int packed = 0;
            for (size_t i = 0; i < levelNfcs.size() && i < 7; ++i)
                packed |= ((levelNfcs[i] == 23 || levelNfcs[i] == 255 || levelNfcs[i] < 0) ? 1 : 2) << (4 * i);
            listNfc.insert(param, packed);
        }
        return;
    case Dest::ListOverride:
        if (info.word == W::Listid) listId = param;
        else if (info.word == W::Ls && overrideList.size() < kMaxLists) overrideList.insert(param, listId);
        return;
    case Dest::Pn:
        if (g.pnOwner >= 0 && g.pnOwner < int(stack.size())) {
            ParaFormat& owner = stack[size_t(g.pnOwner)].par;
            if (owner.ls < 0) {
                if (info.word == W::Pnlvlblt) owner.list = 1;
                else if (info.word == W::Pnlvlbody) owner.list = 2;
            }
        }
        return;
    default:
        break;
    }

    CharState& c = g.chr;
    ParaFormat& p = g.par;
    switch (info.word) {
    // document
    case W::Ansicpg: ansiCp = param; return;
    case W::Ansi: ansiCp = 1252; return;
    case W::Deff: model.defaultFont = param; return;
    case W::Uc: c.uc = std::clamp(param, 0, 1000); return;
    case W::U:
        text(QString(QChar(char16_t(param < 0 ? param + 65536 : param))));
        skipChars = c.uc;
        return;

    // special characters
    case W::Par:
        if (g.dest == Dest::Text)
            endParagraph(p.intbl);
        return;
    case W::Sect:
        // a section ends the paragraph it is in and starts a page unless \sbknone follows
        if (g.dest == Dest::Text) {
            if (paraHasContent)
                endParagraph(p.intbl);
            if (!p.intbl) {
                sectionBreak = !pendingPageBreak;
                pendingPageBreak = true;
            }
        }
        return;
    case W::Sbknone:
        if (sectionBreak)
            pendingPageBreak = false;
        sectionBreak = false;
        return;
    case W::Column:
        // a column break ends the paragraph as a page break does, without a new page
        if (g.dest == Dest::Text && paraHasContent)
            endParagraph(p.intbl);
        return;
    case W::Page:
        // a page break ends the paragraph; the next one starts a new page
        if (g.dest == Dest::Text) {
            if (paraHasContent)
                endParagraph(p.intbl);
            if (!p.intbl)
                pendingPageBreak = true;
        }
        return;
    case W::Cell:
        if (g.dest == Dest::Text)
            endCell();
        return;
    case W::Row:
        if (g.dest == Dest::Text)
            endRow();
        return;
    case W::Nestcell: case W::Nestrow:
        // a table inside a cell: its cells become paragraphs of the cell
        if (g.dest == Dest::Text && (paraHasContent || info.word == W::Nestcell))
            endParagraph(true);
        return;
    case W::Line: text(QString(QChar::LineSeparator)); return;
    case W::Tab: text(QStringLiteral("\t")); return;
    case W::Special: text(QString(QChar(info.ch))); return;

    // character properties
    case W::Plain: { const int uc = c.uc, link = c.link; c = CharState(); c.uc = uc; c.link = link; return; }
    case W::B: c.bold = on != 0; return;
    case W::I: c.italic = on != 0; return;
    case W::Ul: c.underline = on != 0; c.underlineKind = on ? info.ch : 0; return;
    case W::Caps: c.caps = on ? info.ch : 0; return;
    case W::Expnd: c.spacing = std::clamp(param, -2000, 2000) * 5; return;
    case W::Expndtw: c.spacing = std::clamp(param, -10000, 10000); return;
    case W::Up: c.raise = hasParam ? std::clamp(param, 0, 3276) : 6; return;
    case W::Dn: c.raise = -(hasParam ? std::clamp(param, 0, 3276) : 6); return;
    case W::Ulnone: c.underline = false; return;
    case W::Strike: c.strike = on != 0; return;
    case W::V: c.hidden = on != 0; return;
    case W::F: c.font = param; return;
    case W::Fs: if (param > 0) c.size = std::min(param, 3276); return;
    case W::Cf: c.color = param; return;
    case W::Highlight: c.background = param; return;
    case W::Super: c.vertical = 1; return;
    case W::Sub: c.vertical = 2; return;
    case W::Nosupersub: c.vertical = 0; return;
    case W::CharClass: c.fontOfCharClass = true; return;
    case W::DirCh: c.fontOfCharClass = false; return;
    case W::Af: if (!c.fontOfCharClass) c.afont = param; return;
    case W::Afs: c.asize = std::min(param, 3276); return;
    case W::Ab: c.abold = on != 0; return;
    case W::Ai: c.aitalic = on != 0; return;

    // paragraph properties
    case W::Pard: p = ParaFormat(); return;
    case W::Ql: p.align = 0; return;
    case W::Qr: p.align = 1; return;
    case W::Qc: p.align = 2; return;
    case W::Qj: p.align = 3; return;
    case W::Rtlpar: p.dir = 2; return;
    case W::Ltrpar: p.dir = 1; return;
    case W::Li: p.li = param; return;
    case W::Ri: p.ri = param; return;
    case W::Lin: p.lin = param; return;
    case W::Rin: p.rin = param; return;
    case W::Fi: p.fi = param; return;
    case W::Sb: p.sb = param; return;
    case W::Sa: p.sa = param; return;
    case W::Pagebb: p.pagebb = on != 0; return;
    case W::Intbl: p.intbl = true; return;
    case W::Itap: p.intbl = param > 0; return;
    case W::Ls: p.ls = std::clamp(param, 0, 1 << 24); return;
    case W::Ilvl: p.ilvl = std::clamp(param, 0, 8); return;

    // tables
    case W::Trowd: {
        // a definition no row took yet is defined anew
        if (g.rowDef >= usedRowDefs) {
            model.rowDefs[size_t(g.rowDef)] = RowDef();
        } else {
            model.rowDefs.emplace_back();
            g.rowDef = int(model.rowDefs.size()) - 1;
        }
        pendingCell = CellDef();
        borderTarget = BorderTarget::None;
        return;
    }
    case W::Cellx: {
        RowDef* r = rowDef();
        pendingCell.right = param;
        if (int(r->cells.size()) < kMaxCellsInRow)
            r->cells.push_back(pendingCell);
        pendingCell = CellDef();
        borderTarget = BorderTarget::None;
        return;
    }
    case W::Rtlrow: rowDef()->rtl = true; return;
    case W::Ltrrow: rowDef()->rtl = false; return;
    case W::Trgaph: rowDef()->gaph = std::clamp(param, 0, 14400); return;
    case W::Trleft: rowDef()->left = param; return;
    case W::Trqc: rowDef()->align = 2; return;
    case W::Trqr: rowDef()->align = 1; return;
    case W::Trql: rowDef()->align = 0; return;
    case W::Clvmgf: pendingCell.vmerge = 1; return;
    case W::Clvmrg: pendingCell.vmerge = 2; return;
    case W::Clmgf: pendingCell.hmerge = 1; return;
    case W::Clmrg: pendingCell.hmerge = 2; return;
    case W::Clbrdrt: borderTarget = BorderTarget::CellTop; return;
    case W::Clbrdrl: borderTarget = BorderTarget::CellLeft; return;
    case W::Clbrdrb: borderTarget = BorderTarget::CellBottom; return;
    case W::Clbrdrr: borderTarget = BorderTarget::CellRight; return;
    case W::Trbrdr: borderTarget = BorderTarget::Row; return;
    case W::ParaBorder:
        borderTarget = info.ch ? BorderTarget::Para : BorderTarget::None;
        paraBorderSide = info.ch;
        if (info.ch == 5)
            for (BorderDef& b : p.borders)
                b.on = true;
        return;
    case W::BrdrStyle: case W::BrdrNone: case W::Brdrw: case W::Brdrcf: {
        // \box gives all four sides the same line
        BorderDef* b = border();
        for (int side = 0; b && side < (borderTarget == BorderTarget::Para && paraBorderSide == 5 ? 4 : 1); ++side) {
            BorderDef& d = borderTarget == BorderTarget::Para && paraBorderSide == 5 ? p.borders[side] : *b;
            if (info.word == W::BrdrStyle) d.on = true;
            else if (info.word == W::BrdrNone) d.on = false;
            else if (info.word == W::Brdrw) d.width = std::clamp(param, 0, 1000);
            else d.color = param;
        }
        return;
    }
    case W::Sl: p.sl = std::clamp(param, -31680, 31680); return;
    case W::Slmult: p.slmult = on != 0; return;
    case W::Cbpat: p.shading = param; return;
    case W::Clcbpat: pendingCell.background = param; return;
    case W::Clvertalt: pendingCell.valign = 0; return;
    case W::Clvertalc: pendingCell.valign = 1; return;
    case W::Clvertalb: pendingCell.valign = 2; return;
    case W::Clpad: pendingCell.padding = std::max(pendingCell.padding, std::clamp(param, 0, 2880)); return;
    case W::Trpadd: { RowDef* r = rowDef(); r->padding = std::max(r->padding, std::clamp(param, 0, 2880)); return; }
    default: return;
    }
}

void Parser::readText()
{
    const int start = pos;
    bool high = false;
    while (pos < src.size()) {
        const char ch = src[pos];
        if (ch == '\\' || ch == '{' || ch == '}' || ch == '\r' || ch == '\n' || ch == '\t')
            break;
        if (static_cast<unsigned char>(ch) >= 0x80)
            high = true;
        ++pos;
    }
    int from = start;
    if (skipChars > 0) {
        const int n = std::min(skipChars, pos - start);
        from += n;
        skipChars -= n;
    }
    if (from >= pos || top().dest == Dest::Skip)
        return;
    const QByteArrayView bytes(src.constData() + from, pos - from);
    if (!high) {
        text(QString::fromLatin1(bytes));
        return;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    const int font = top().dest == Dest::FontTable ? tableFont : top().chr.font;
    text(utf8.hasError() ? decodeCodePage(bytes.toByteArray(), codePage(font)) : decoded);
}

// A run of \'hh escapes, decoded together in the current font's code page.
void Parser::readHexRun()
{
    QByteArray bytes;
    while (pos + 1 < src.size() && src[pos] == '\\' && src[pos + 1] == '\'') {
        const QByteArray hex = src.mid(pos + 2, 2);
        bool ok = false;
        const int v = hex.toInt(&ok, 16);
        pos += 2 + int(hex.size());
        if (!ok)
            continue;
        if (skipChars > 0) {
            --skipChars;
            continue;
        }
        bytes.append(char(v));
    }
    if (bytes.isEmpty() || top().dest == Dest::Skip)
        return;
    const int font = top().dest == Dest::FontTable ? tableFont : top().chr.font;
    text(decodeCodePage(bytes, codePage(font)));
}

void Parser::run()
{
    stack.reserve(64);
    stack.push_back(Group());
    stack.back().dest = Dest::Text;
    bool starred = false;
    int nextStep = 0;

    while (pos < src.size()) {
        if (progress && pos >= nextStep) {
            progress->step(pos);
            nextStep = pos + 65536;
        }
        const char ch = src[pos];
        if (ch == '{') {
            ++pos;
            skipChars = 0;
            if (int(stack.size()) >= kMaxDepth) {
                ++extraDepth;
                continue;
            }
            Group g = top();
            g.pnOwner = -1;
            stack.push_back(g);
            continue;
        }
        if (ch == '}') {
            ++pos;
            skipChars = 0;
            if (extraDepth > 0) {
                --extraDepth;
                continue;
            }
            if (top().dest == Dest::ColorTable && (red >= 0 || green >= 0 || blue >= 0) && model.colors.size() < kMaxColors)
                model.colors.append(QColor(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255)));
            if (stack.size() > 1)
                stack.pop_back();
            continue;
        }
        if (ch == '\r' || ch == '\n') {
            ++pos;
            continue;
        }
        if (ch == '\t') {
            ++pos;
            if (skipChars > 0) { --skipChars; continue; }
            text(QStringLiteral("\t"));
            continue;
        }
        if (ch != '\\') {
            if (top().dest == Dest::ColorTable) {
                ++pos;
                if (ch == ';') {
                    if (model.colors.size() < kMaxColors)
                        model.colors.append(red < 0 && green < 0 && blue < 0
                                                ? QColor()
                                                : QColor(std::clamp(red, 0, 255), std::clamp(green, 0, 255), std::clamp(blue, 0, 255)));
                    red = green = blue = -1;
                }
                continue;
            }
            readText();
            continue;
        }
        // a backslash
        if (pos + 1 >= src.size())
            break;
        const char next = src[pos + 1];
        if (next == '\'') {
            readHexRun();
            continue;
        }
        if (!((next >= 'a' && next <= 'z') || (next >= 'A' && next <= 'Z'))) {
            pos += 2;
            if (next == '*') {
                starred = true;
                continue;
            }
            if (skipChars > 0) { --skipChars; continue; }
            controlSymbol(next);
            continue;
        }
        int p = pos + 1;
        while (p < src.size() && ((src[p] >= 'a' && src[p] <= 'z') || (src[p] >= 'A' && src[p] <= 'Z')))
            ++p;
        const QByteArray word = src.mid(pos + 1, std::min(p - pos - 1, 64));
        bool hasParam = false;
        long param = 0;
        bool negative = false;
        if (p < src.size() && src[p] == '-' && p + 1 < src.size() && src[p + 1] >= '0' && src[p + 1] <= '9') {
            negative = true;
            ++p;
        }
        while (p < src.size() && src[p] >= '0' && src[p] <= '9') {
            hasParam = true;
            if (param < 100000000)
                param = param * 10 + (src[p] - '0');
            ++p;
        }
        if (p < src.size() && src[p] == ' ')
            ++p;
        pos = p;
        const int value = int(negative ? -param : param);
        if (skipChars > 0) {
            --skipChars;
            continue;
        }
        if (starred) {
            starred = false;
            const W known = words().value(word).word;
            if (known != W::Pn && known != W::Listtable && known != W::Listoverridetable && known != W::Ud
                && known != W::Fldrslt && known != W::Fldinst) {
                top().dest = Dest::Skip;
                continue;
            }
        }
        controlWord(word, hasParam, value);
    }
    finish();
}

} // namespace

QString tooLargeMessage()
{
    return QStringLiteral("متن بزرگتر از حد مجاز است (بيش از ۲۰ مگابايت يا ۱۰۰٬۰۰۰ بند) و باز نمي شود");
}

bool isRichText(const QByteArray& data) { return data.startsWith("{\\rtf"); }

LoadResult readRtf(QTextDocument* doc, const QByteArray& rtf, shell::Progress* progress)
{
    if (!fitsLimit(rtf.size()))
        return LoadResult::TooLarge;
    if (progress)
        progress->setTotal(rtf.size());
    Parser parser(rtf, progress);
    try {
        parser.run();
    } catch (const shell::Cancelled&) {
        return LoadResult::Cancelled;
    } catch (const TooLarge&) {
        return LoadResult::TooLarge;
    }
    if (progress)
        progress->setCancellable(false);
    buildDocument(doc, parser.model, progress);
    return LoadResult::Loaded;
}

LoadResult readPlainText(QTextDocument* doc, const QByteArray& text)
{
    if (!fitsLimit(text.size()))
        return LoadResult::TooLarge;
    QByteArrayView bytes = text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes = bytes.sliced(3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(bytes);
    if (utf8.hasError())
        s = decodeWindows1256(bytes.toByteArray());
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    s.removeIf([](QChar c) {
        const ushort u = c.unicode();
        return (u < 0x20 && u != '\t' && u != '\n') || u == 0xFDD0 || u == 0xFDD1;
    });
    if (s.count(QLatin1Char('\n')) >= MaxParagraphs)
        return LoadResult::TooLarge;
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->setPlainText(s);
    doc->setUndoRedoEnabled(undo);
    return LoadResult::Loaded;
}

LoadResult loadText(QTextDocument* doc, const QByteArray& data, shell::Progress* progress)
{
    return isRichText(data) ? readRtf(doc, data, progress) : readPlainText(doc, data);
}

} // namespace richtext
