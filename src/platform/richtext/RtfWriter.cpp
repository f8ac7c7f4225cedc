#include "platform/richtext/Rtf.h"

#include "platform/richtext/RtfUnits.h"
#include "platform/richtext/Windows1256.h"

#include <QColor>
#include <QHash>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextFragment>
#include <QTextList>
#include <cmath>

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
    bool lists = false;

    int fontOf(const QString& family);
    int colorOf(const QColor& c);
    QString familyOf(const QTextCharFormat& f) const;
    double sizeOf(const QTextCharFormat& f) const;
    void num(const char* word, long value);
    void escape(const QString& text);
    void block(const QTextBlock& b, bool last);
    void fragment(const QTextFragment& f);
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
    body += '{';
    // right-to-left runs carry the associated properties as well
    bool rtl = false;
    for (const QChar c : text)
        if (c.isLetter()) {
            rtl = c.direction() == QChar::DirAL || c.direction() == QChar::DirR;
            break;
        }
    body += rtl ? "\\rtlch" : "\\ltrch";
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
    if (f.fontUnderline())
        body += "\\ul";
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
    escape(text);
    body += '}';
}

void Writer::block(const QTextBlock& b, bool last)
{
    const QTextBlockFormat bf = b.blockFormat();
    const bool rtl = isRightToLeft(b);
    body += "\\pard";
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
    if (list) {
        lists = true;
        const bool bullet = list->format().style() == QTextListFormat::ListDisc
            || list->format().style() == QTextListFormat::ListCircle || list->format().style() == QTextListFormat::ListSquare;
        const int symbol = fontOf(QStringLiteral("Symbol"));
        // list tables for Word and LibreOffice, \pn groups for WordPad
        body += bullet ? "\\ls1\\ilvl0" : "\\ls2\\ilvl0";
        if (bullet) {
            body += "{\\pntext";
            num("f", symbol);
            body += "\\'b7\\tab}{\\*\\pn\\pnlvlblt";
            num("pnf", symbol);
            body += "\\pnindent0{\\pntxtb\\'b7}}";
        } else {
            body += "{\\pntext ";
            body += QByteArray::number(list->itemNumber(b) + 1);
            body += ".\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart1\\pnindent0{\\pntxta .}}";
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
    body += "\\par\n";
    Q_UNUSED(last);
}

QByteArray Writer::run()
{
    fontOf(doc->defaultFont().family());
    body.reserve(doc->characterCount() * 8 + 1024);
    const QTextBlock lastBlock = doc->lastBlock();
    for (QTextBlock b = doc->begin(); b.isValid(); b = b.next())
        block(b, b == lastBlock);

    QByteArray out = "{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1065{\\fonttbl";
    for (int i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + QByteArray::number(i) + (fonts[i] == QLatin1String("Symbol") ? "\\ftech\\fcharset2 " : "\\fnil\\fcharset178 ");
        for (const QChar c : fonts[i]) {
            if (c.unicode() < 0x80 && c != QLatin1Char(';') && c != QLatin1Char('\\') && c != QLatin1Char('{') && c != QLatin1Char('}'))
                out += char(c.unicode());
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
    if (lists)
        out += "{\\*\\listtable{\\list\\listtemplateid1\\listsimple{\\listlevel\\levelnfc23\\levelnfcn23\\leveljc0"
               "\\leveljcn0\\levelfollow0\\levelstartat1{\\leveltext\\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720\\lin720}"
               "\\listid1}{\\list\\listtemplateid2\\listsimple{\\listlevel\\levelnfc0\\levelnfcn0\\leveljc0\\leveljcn0"
               "\\levelfollow0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}\\fi-360\\li720\\lin720}\\listid2}}\n"
               "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}"
               "{\\listoverride\\listid2\\listoverridecount0\\ls2}}\n";
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
