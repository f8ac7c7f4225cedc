#include "platform/richtext/Rtf.h"

#include "platform/richtext/RtfUnits.h"
#include "platform/richtext/Windows1256.h"

#include <QColor>
#include <QHash>
#include <QStringDecoder>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <climits>
#include <cstring>
#include <vector>

namespace richtext {

namespace {

// Windows-1252 bytes 0x80..0x9F (the rest is Latin-1).
constexpr char16_t k1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

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

enum class Dest { Text, FontTable, ColorTable, ListTable, ListOverride, Pn, Upr, Skip };

struct CharState {
    int font = -1;              // -1: the default font
    int size = 24;              // half-points
    bool bold = false, italic = false, underline = false, strike = false, hidden = false;
    int color = 0;              // colour table index; 0 automatic
    int background = 0;
    int vertical = 0;           // 1 superscript, 2 subscript
    // properties of right-to-left runs; -1 when not given
    int afont = -1, asize = -1, abold = -1, aitalic = -1;
    bool fontOfCharClass = false;   // after \hich, \dbch or \loch an \af names no right-to-left font
    int uc = 1;
};

struct ParaState {
    int align = -1;             // -1 not given, 0 left, 1 right, 2 centre, 3 justified
    int dir = 0;                // 0 not given, 1 left to right, 2 right to left
    int li = 0, ri = 0, fi = 0;
    int lin = INT_MIN, rin = INT_MIN;
    int sb = 0, sa = 0;
    int list = 0;               // 0 none, 1 bullet, 2 numbered
};

struct Group {
    CharState chr;
    ParaState par;
    Dest dest = Dest::Text;
    int pnOwner = -1;           // for Pn: the group whose paragraph gets the list
};

struct FontEntry {
    QString name;
    int charset = -1;
};

// The effective look of a piece of text; equal keys give the same char format.
struct FormatKey {
    int font, size, color, background, vertical;
    bool bold, italic, underline, strike;
    bool operator==(const FormatKey& o) const { return std::memcmp(this, &o, sizeof(FormatKey)) == 0; }
};

class Reader {
public:
    Reader(QTextDocument* doc, const QByteArray& data) : doc(doc), src(data), cursor(doc) {}
    void run();

private:
    QTextDocument* doc;
    const QByteArray& src;
    int pos = 0;
    QTextCursor cursor;

    std::vector<Group> stack;
    int ansiCp = 1252;
    int defaultFont = 0;
    QHash<int, FontEntry> fonts;
    int tableFont = 0;                 // font being defined in the font table
    QVector<QColor> colors;
    int red = -1, green = -1, blue = -1;
    QHash<int, int> listNfc;           // list id -> number format of its first level
    QHash<int, int> overrideNfc;       // \ls number -> number format
    int listId = -1, listLevels = 0, listLevelNfc = -1;
    int skipChars = 0;                 // characters still to skip after \uN

    QString run_;
    FormatKey runKey{};
    bool haveRun = false;
    bool pieceRtl = false;             // direction of the last piece, for neutral characters
    bool paraHasContent = false;       // text or a mark since the last \par
    ParaState lastPar;
    QTextList* list = nullptr;
    int listKind = 0;

    Group& top() { return stack.back(); }
    int codePage(int font) const;

    void controlWord(const QByteArray& word, bool hasParam, int param);
    void controlSymbol(char c);
    void text(const QString& s);
    void textPiece(const QString& s, bool rtl);
    void flushRun();
    void endParagraph();
    void finish();
    void applyBlock(const ParaState& p);
    QTextCharFormat formatOf(const FormatKey& k) const;
    void readText();
    void readHexRun();
};

int Reader::codePage(int font) const
{
    const auto it = fonts.constFind(font < 0 ? defaultFont : font);
    if (it == fonts.constEnd() || it->charset < 0)
        return ansiCp;
    return codePageOfCharset(it->charset, ansiCp);
}

QTextCharFormat Reader::formatOf(const FormatKey& k) const
{
    QTextCharFormat f;
    const auto it = fonts.constFind(k.font < 0 ? defaultFont : k.font);
    if (it != fonts.constEnd() && !it->name.isEmpty())
        f.setFontFamilies(QStringList{it->name});
    f.setFontPointSize(k.size / 2.0);
    f.setFontWeight(k.bold ? QFont::Bold : QFont::Normal);
    f.setFontItalic(k.italic);
    f.setFontUnderline(k.underline);
    f.setFontStrikeOut(k.strike);
    if (k.color > 0 && k.color < colors.size() && colors[k.color].isValid())
        f.setForeground(colors[k.color]);
    if (k.background > 0 && k.background < colors.size() && colors[k.background].isValid())
        f.setBackground(colors[k.background]);
    if (k.vertical == 1)
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (k.vertical == 2)
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    return f;
}

void Reader::flushRun()
{
    if (!haveRun || run_.isEmpty())
        return;
    cursor.insertText(run_, formatOf(runKey));
    run_.clear();
}

void Reader::textPiece(const QString& s, bool rtl)
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
    if (!haveRun || !(k == runKey)) {
        flushRun();
        runKey = k;
        haveRun = true;
    }
    run_ += s;
}

void Reader::text(const QString& input)
{
    if (input.isEmpty() || top().dest == Dest::Skip)
        return;
    // control characters other than the tab have no place in the text
    QString s = input;
    s.removeIf([](QChar c) { return c.unicode() < 0x20 && c != QLatin1Char('\t'); });
    if (s.isEmpty())
        return;
    Group& g = top();
    if (g.dest == Dest::FontTable) {
        FontEntry& f = fonts[tableFont];
        for (const QChar ch : s) {
            if (ch == QLatin1Char(';'))
                f.name = f.name.trimmed();
            else
                f.name += ch;
        }
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
        const bool strong = ch.isLetter();
        if (!strong)
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

void Reader::applyBlock(const ParaState& p)
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
    bf.setLeftMargin(twipsToPixels(left));
    bf.setRightMargin(twipsToPixels(right));
    bf.setTextIndent(twipsToPixels(p.fi));
    if (p.sb)
        bf.setTopMargin(twipsToPixels(p.sb));
    if (p.sa)
        bf.setBottomMargin(twipsToPixels(p.sa));
    cursor.setBlockFormat(bf);

    if (p.list) {
        const QTextListFormat::Style style = p.list == 1 ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal;
        if (list && listKind == p.list) {
            list->add(cursor.block());
        } else {
            QTextListFormat lf;
            lf.setStyle(style);
            lf.setIndent(0);
            list = cursor.createList(lf);
            listKind = p.list;
        }
    } else {
        list = nullptr;
        listKind = 0;
    }
}

void Reader::endParagraph()
{
    flushRun();
    const ParaState p = top().dest == Dest::Text ? top().par : lastPar;
    // the paragraph mark's look gives an empty line its height
    const CharState& c = top().chr;
    FormatKey k{};
    k.font = c.font;
    k.size = c.size;
    cursor.setBlockCharFormat(formatOf(k));
    applyBlock(p);
    cursor.insertBlock();
    haveRun = false;
    paraHasContent = false;
}

void Reader::finish()
{
    flushRun();
    if (paraHasContent) {
        applyBlock(lastPar);
        return;
    }
    // the text ended with a paragraph mark: the empty block after it is no paragraph
    if (cursor.block().length() <= 1 && cursor.block().previous().isValid()) {
        cursor.deletePreviousChar();
    }
}

void Reader::controlSymbol(char c)
{
    switch (c) {
    case '\\': case '{': case '}': text(QString(QLatin1Char(c))); break;
    case '~': text(QString(QChar(0x00A0))); break;
    case '_': text(QString(QChar(0x2011))); break;
    case '-': break;              // optional hyphen
    case '\n': case '\r': if (top().dest == Dest::Text) endParagraph(); break;
    case '\t': text(QString(QLatin1Char('\t'))); break;
    default: break;
    }
}

// Destinations whose content is not text of the document.
bool skippedDestination(const QByteArray& w)
{
    static const char* const names[] = {
        "info", "stylesheet", "pict", "header", "headerl", "headerr", "headerf", "footer", "footerl", "footerr",
        "footerf", "footnote", "pntext", "pntxta", "pntxtb", "listtext", "fldinst", "object", "objdata", "xe", "tc",
        "txe", "rxe", "bkmkstart", "bkmkend", "annotation", "atnid", "atnauthor", "atndate", "atnref", "comment",
        "filetbl", "revtbl", "rsidtbl", "generator", "themedata", "colorschememapping", "latentstyles", "datastore",
        "xmlnstbl", "mmathPr", "shp", "shpinst", "nonshppict", "shppict", "userprops", "docvar", "ftnsep",
        "ftnsepc", "aftnsep", "aftnsepc", "template", "private", "pgdsctbl", "do", "listpicture", "protusertbl",
        "wgrffmtfilter", "operator", "author", "title", "subject", "keywords", "company", "creatim", "revtim",
        "printim", "buptim", "fchars", "lchars", "pgptbl", "defchp", "defpap", "blipuid", "sp", "sn", "sv"};
    for (const char* n : names)
        if (w == n)
            return true;
    return false;
}

void Reader::controlWord(const QByteArray& w, bool hasParam, int param)
{
    Group& g = top();
    const int on = hasParam ? param : 1;

    // destinations
    if (w == "fonttbl") { g.dest = Dest::FontTable; return; }
    if (w == "colortbl") { g.dest = Dest::ColorTable; colors.clear(); red = green = blue = -1; return; }
    if (w == "listtable") { g.dest = Dest::ListTable; return; }
    if (w == "listoverridetable") { g.dest = Dest::ListOverride; return; }
    if (w == "pn") {
        g.dest = Dest::Pn;
        g.pnOwner = int(stack.size()) - 2;
        return;
    }
    if (w == "upr") { g.dest = Dest::Upr; return; }
    if (w == "ud" || w == "fldrslt") { g.dest = Dest::Text; return; }
    if (skippedDestination(w)) { g.dest = Dest::Skip; return; }
    if (w == "bin") {
        pos += std::max(0, param);
        return;
    }
    if (g.dest == Dest::Skip)
        return;

    switch (g.dest) {
    case Dest::FontTable:
        if (w == "f") {
            tableFont = param;
            fonts[param];
        } else if (w == "fcharset") {
            fonts[tableFont].charset = param;
        }
        return;
    case Dest::ColorTable:
        if (w == "red") red = param;
        else if (w == "green") green = param;
        else if (w == "blue") blue = param;
        return;
    case Dest::ListTable:
        if (w == "list") { listLevels = 0; listLevelNfc = -1; }
        else if (w == "listlevel") ++listLevels;
        else if ((w == "levelnfc" || w == "levelnfcn") && listLevels == 1) listLevelNfc = param;
        else if (w == "listid") listNfc.insert(param, listLevelNfc);
        return;
    case Dest::ListOverride:
        if (w == "listid") listId = param;
        else if (w == "ls") overrideNfc.insert(param, listNfc.value(listId, 23));
        return;
    case Dest::Pn:
        if (g.pnOwner >= 0 && g.pnOwner < int(stack.size())) {
            if (w == "pnlvlblt") stack[size_t(g.pnOwner)].par.list = 1;
            else if (w == "pnlvlbody") stack[size_t(g.pnOwner)].par.list = 2;
        }
        return;
    default:
        break;
    }

    // document
    if (w == "ansicpg") { ansiCp = param; return; }
    if (w == "ansi") { ansiCp = 1252; return; }
    if (w == "deff") { defaultFont = param; return; }
    if (w == "uc") { g.chr.uc = std::max(0, param); return; }
    if (w == "u") {
        text(QString(QChar(char16_t(param < 0 ? param + 65536 : param))));
        skipChars = g.chr.uc;
        return;
    }

    // special characters
    if (w == "par" || w == "sect" || w == "row" || w == "nestrow") {
        if (g.dest == Dest::Text)
            endParagraph();
        return;
    }
    if (w == "line") { text(QString(QChar::LineSeparator)); return; }
    if (w == "tab" || w == "cell" || w == "nestcell") { text(QStringLiteral("\t")); return; }
    static const struct { const char* word; char16_t ch; } specials[] = {
        {"emdash", 0x2014}, {"endash", 0x2013}, {"bullet", 0x2022}, {"lquote", 0x2018}, {"rquote", 0x2019},
        {"ldblquote", 0x201C}, {"rdblquote", 0x201D}, {"emspace", 0x2003}, {"enspace", 0x2002},
        {"qmspace", 0x2005}, {"zwj", 0x200D}, {"zwnj", 0x200C}, {"ltrmark", 0x200E}, {"rtlmark", 0x200F}};
    for (const auto& s : specials)
        if (w == s.word) {
            text(QString(QChar(s.ch)));
            return;
        }

    // character properties
    CharState& c = g.chr;
    if (w == "plain") { const int uc = c.uc; c = CharState(); c.uc = uc; return; }
    if (w == "b") { c.bold = on != 0; return; }
    if (w == "i") { c.italic = on != 0; return; }
    if (w == "ul" || w == "uld" || w == "uldb" || w == "ulw" || w == "uldash" || w == "ulth" || w == "ulwave") { c.underline = on != 0; return; }
    if (w == "ulnone") { c.underline = false; return; }
    if (w == "strike" || w == "striked") { c.strike = on != 0; return; }
    if (w == "v") { c.hidden = on != 0; return; }
    if (w == "f") { c.font = param; return; }
    if (w == "fs") { if (param > 0) c.size = param; return; }
    if (w == "cf") { c.color = param; return; }
    if (w == "highlight" || w == "cb" || w == "chcbpat") { c.background = param; return; }
    if (w == "super") { c.vertical = 1; return; }
    if (w == "sub") { c.vertical = 2; return; }
    if (w == "nosupersub") { c.vertical = 0; return; }
    if (w == "hich" || w == "dbch" || w == "loch") { c.fontOfCharClass = true; return; }
    if (w == "rtlch" || w == "ltrch") { c.fontOfCharClass = false; return; }
    if (w == "af") { if (!c.fontOfCharClass) c.afont = param; return; }
    if (w == "afs") { c.asize = param; return; }
    if (w == "ab") { c.abold = on != 0; return; }
    if (w == "ai") { c.aitalic = on != 0; return; }

    // paragraph properties
    ParaState& p = g.par;
    if (w == "pard") { p = ParaState(); return; }
    if (w == "ql") { p.align = 0; return; }
    if (w == "qr") { p.align = 1; return; }
    if (w == "qc") { p.align = 2; return; }
    if (w == "qj" || w == "qd") { p.align = 3; return; }
    if (w == "rtlpar") { p.dir = 2; return; }
    if (w == "ltrpar") { p.dir = 1; return; }
    if (w == "li") { p.li = param; return; }
    if (w == "ri") { p.ri = param; return; }
    if (w == "lin") { p.lin = param; return; }
    if (w == "rin") { p.rin = param; return; }
    if (w == "fi") { p.fi = param; return; }
    if (w == "sb") { p.sb = param; return; }
    if (w == "sa") { p.sa = param; return; }
    if (w == "ls") { const int nfc = overrideNfc.value(param, 23); p.list = nfc == 23 || nfc == 255 ? 1 : 2; return; }
}

void Reader::readText()
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
    QByteArray bytes = src.mid(start, pos - start);
    if (skipChars > 0) {
        const int n = std::min<int>(skipChars, int(bytes.size()));
        bytes.remove(0, n);
        skipChars -= n;
    }
    if (bytes.isEmpty() || top().dest == Dest::Skip)
        return;
    if (!high) {
        text(QString::fromLatin1(bytes));
        return;
    }
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString decoded = utf8.decode(bytes);
    const int font = top().dest == Dest::FontTable ? tableFont : top().chr.font;
    text(utf8.hasError() ? decodeCodePage(bytes, codePage(font)) : decoded);
}

// A run of \'hh escapes, decoded together in the current font's code page.
void Reader::readHexRun()
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

void Reader::run()
{
    doc->clear();
    cursor = QTextCursor(doc);
    stack.push_back(Group());
    stack.back().dest = Dest::Text;
    bool starred = false;

    while (pos < src.size()) {
        const char ch = src[pos];
        if (ch == '{') {
            ++pos;
            skipChars = 0;
            Group g = top();
            g.pnOwner = -1;
            stack.push_back(g);
            continue;
        }
        if (ch == '}') {
            ++pos;
            skipChars = 0;
            if (top().dest == Dest::ColorTable && (red >= 0 || green >= 0 || blue >= 0))
                colors.append(QColor(std::max(red, 0), std::max(green, 0), std::max(blue, 0)));
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
                    colors.append(red < 0 && green < 0 && blue < 0 ? QColor() : QColor(std::max(red, 0), std::max(green, 0), std::max(blue, 0)));
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
        const QByteArray word = src.mid(pos + 1, p - pos - 1);
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
            static const char* const known[] = {"pn", "listtable", "listoverridetable", "ud", "fldrslt"};
            bool isKnown = false;
            for (const char* k : known)
                isKnown = isKnown || word == k;
            if (!isKnown) {
                top().dest = Dest::Skip;
                continue;
            }
        }
        if (word == "bin") {
            pos += std::max(0, value);
            continue;
        }
        controlWord(word, hasParam, value);
    }
    finish();
}

} // namespace

bool isRichText(const QByteArray& data) { return data.startsWith("{\\rtf"); }

void readRtf(QTextDocument* doc, const QByteArray& rtf)
{
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    Reader reader(doc, rtf);
    reader.run();
    doc->setUndoRedoEnabled(undo);
}

void readPlainText(QTextDocument* doc, const QByteArray& text)
{
    QByteArray bytes = text;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString s = utf8.decode(bytes);
    if (utf8.hasError())
        s = decodeWindows1256(bytes);
    s.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    s.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    const bool undo = doc->isUndoRedoEnabled();
    doc->setUndoRedoEnabled(false);
    doc->setPlainText(s);
    doc->setUndoRedoEnabled(undo);
}

void loadText(QTextDocument* doc, const QByteArray& data)
{
    if (isRichText(data))
        readRtf(doc, data);
    else
        readPlainText(doc, data);
}

} // namespace richtext
