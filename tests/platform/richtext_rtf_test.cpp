// RTF reading and writing: round trips of text and formats, code pages, \uN with \ucN,
// skipped destinations, lists of both styles, and plain-text detection.
#include "platform/richtext/Rtf.h"
#include "platform/richtext/RtfUnits.h"
#include "platform/richtext/Windows1256.h"

#include <QColor>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <gtest/gtest.h>

#include <functional>

using namespace richtext;

namespace {

// What a paragraph looks like: its text and the formats a contract uses.
struct Para {
    QString text;
    Align align = Align::Left;
    bool rtl = false;
    bool bullet = false;
    bool numbered = false;
    bool bold = false;            // of the paragraph's first character
    double size = 0;
    QString family;

    bool operator==(const Para& o) const
    {
        return text == o.text && align == o.align && rtl == o.rtl && bullet == o.bullet && numbered == o.numbered
            && bold == o.bold && size == o.size && family == o.family;
    }
};

void PrintTo(const Para& p, std::ostream* os)
{
    *os << '"' << p.text.toStdString() << "\" align " << int(p.align) << (p.rtl ? " rtl" : " ltr")
        << (p.bullet ? " bullet" : "") << (p.numbered ? " numbered" : "") << (p.bold ? " bold" : "") << " size "
        << p.size << ' ' << p.family.toStdString();
}

QList<Para> paragraphs(const QTextDocument& doc)
{
    QList<Para> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        Para p;
        p.text = b.text();
        p.rtl = isRightToLeft(b);
        p.align = physicalAlignment(b.blockFormat(), p.rtl);
        if (QTextList* l = b.textList()) {
            p.bullet = l->format().style() == QTextListFormat::ListDisc;
            p.numbered = l->format().style() == QTextListFormat::ListDecimal;
        }
        QTextCursor c(b);
        c.movePosition(QTextCursor::NextCharacter);
        const QTextCharFormat f = b.length() > 1 ? c.charFormat() : b.charFormat();
        p.bold = f.fontWeight() >= QFont::Bold;
        p.size = f.fontPointSize();
        const QStringList fam = f.fontFamilies().toStringList();
        p.family = fam.isEmpty() ? QString() : fam.first();
        out << p;
    }
    return out;
}

QList<Para> read(const QByteArray& rtf)
{
    QTextDocument doc;
    readRtf(&doc, rtf);
    return paragraphs(doc);
}

const QString kPersian = QStringLiteral("اين قرارداد بين فروشنده و خريدار منعقد مي گردد");

// A document built as the editor builds it: one paragraph per row.
void addParagraph(QTextCursor& c, const Para& p, bool first)
{
    if (!first)
        c.insertBlock();
    QTextBlockFormat bf;
    bf.setLayoutDirection(p.rtl ? Qt::RightToLeft : Qt::LeftToRight);
    setPhysicalAlignment(bf, p.align);
    c.setBlockFormat(bf);
    if (p.bullet || p.numbered) {
        QTextListFormat lf;
        lf.setStyle(p.bullet ? QTextListFormat::ListDisc : QTextListFormat::ListDecimal);
        c.createList(lf);
    }
    QTextCharFormat f;
    f.setFontWeight(p.bold ? QFont::Bold : QFont::Normal);
    f.setFontPointSize(p.size);
    f.setFontFamilies({p.family});
    c.insertText(p.text, f);
    c.setBlockCharFormat(f);
}

TEST(Rtf, RoundTripKeepsTextAndFormats)
{
    const QList<Para> cases = {
        {kPersian, Align::Right, true, false, false, false, 12, QStringLiteral("Tahoma")},
        {QStringLiteral("ماده ۱ - موضوع قرارداد"), Align::Centre, true, false, false, true, 14, QStringLiteral("Tahoma")},
        {QStringLiteral("پرداخت نقدي {کامل} با \\ علامت"), Align::Right, true, true, false, false, 11, QStringLiteral("Arial")},
        {QStringLiteral("دومين بند"), Align::Right, true, true, false, true, 11, QStringLiteral("Arial")},
        {QStringLiteral("Left to right, justified"), Align::Justify, false, false, false, false, 10, QStringLiteral("DejaVu Sans")},
        {QStringLiteral("Numbered one"), Align::Left, false, false, true, false, 9.5, QStringLiteral("DejaVu Sans")},
        {QString(), Align::Left, true, false, false, false, 16, QStringLiteral("Tahoma")},
        {QStringLiteral("آخر: ۱۲٬۵۰۰٬۰۰۰ ريال"), Align::Left, true, false, false, false, 12, QStringLiteral("Tahoma")},
    };
    QTextDocument doc;
    QTextCursor c(&doc);
    for (int i = 0; i < cases.size(); ++i)
        addParagraph(c, cases[i], i == 0);
    const QByteArray rtf = writeRtf(&doc);
    for (const char ch : rtf)
        ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << "RTF is 7-bit";
    EXPECT_EQ(read(rtf), cases);
    // written again, it reads the same
    QTextDocument again;
    readRtf(&again, rtf);
    EXPECT_EQ(read(writeRtf(&again)), cases);
}

TEST(Rtf, CharacterFormatsWithinAParagraph)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    const struct { const char* text; bool italic, underline, strike; QColor color; } runs[] = {
        {"plain ", false, false, false, QColor()},
        {"italic ", true, false, false, QColor()},
        {"under ", false, true, false, QColor(200, 0, 0)},
        {"struck", false, false, true, QColor(0, 0, 255)},
    };
    for (const auto& r : runs) {
        QTextCharFormat f;
        f.setFontItalic(r.italic);
        f.setFontUnderline(r.underline);
        f.setFontStrikeOut(r.strike);
        if (r.color.isValid())
            f.setForeground(r.color);
        c.insertText(QString::fromLatin1(r.text), f);
    }
    QTextDocument back;
    readRtf(&back, writeRtf(&doc));
    ASSERT_EQ(back.blockCount(), 1);
    int i = 0;
    for (auto it = back.begin().begin(); !it.atEnd(); ++it, ++i) {
        ASSERT_LT(i, 4);
        const QTextCharFormat f = it.fragment().charFormat();
        EXPECT_EQ(it.fragment().text(), QString::fromLatin1(runs[i].text));
        EXPECT_EQ(f.fontItalic(), runs[i].italic) << i;
        EXPECT_EQ(f.fontUnderline(), runs[i].underline) << i;
        EXPECT_EQ(f.fontStrikeOut(), runs[i].strike) << i;
        EXPECT_EQ(f.hasProperty(QTextFormat::ForegroundBrush) ? f.foreground().color() : QColor(), runs[i].color) << i;
    }
    EXPECT_EQ(i, 4);
}

TEST(Rtf, IndentsSurviveOnTheirSides)
{
    QTextDocument doc;
    QTextCursor c(&doc);
    QTextBlockFormat bf;
    bf.setLayoutDirection(Qt::RightToLeft);
    bf.setLeftMargin(20);
    bf.setRightMargin(60);
    bf.setTextIndent(-12);
    c.setBlockFormat(bf);
    c.insertText(kPersian);
    QTextDocument back;
    readRtf(&back, writeRtf(&doc));
    const QTextBlockFormat got = back.begin().blockFormat();
    EXPECT_DOUBLE_EQ(got.leftMargin(), 20);
    EXPECT_DOUBLE_EQ(got.rightMargin(), 60);
    EXPECT_DOUBLE_EQ(got.textIndent(), -12);
}

// Hanging indents as editors write them: the first line stays inside the printed area.
TEST(Rtf, HangingIndentsStayOnThePage)
{
    const struct { QByteArray para; double left, right, indent; } cases[] = {
        // a small editor's right-to-left bullet: \li alone is the start of the lines
        {"\\pard\\fi-360\\li720\\rtlpar\\qr ", 0, twipsToPixels(720), twipsToPixels(-360)},
        // a word processor's: \lin says which side
        {"\\pard\\fi-360\\li0\\ri720\\lin720\\rin0\\rtlpar\\qr ", 0, twipsToPixels(720), twipsToPixels(-360)},
        {"\\pard\\fi-360\\li720\\ltrpar ", twipsToPixels(720), 0, twipsToPixels(-360)},
        // hanging past the edge: the first line starts at the edge
        {"\\pard\\fi-360\\rtlpar\\qr ", 0, 0, 0},
        {"\\pard\\fi-720\\li360\\ltrpar ", twipsToPixels(360), 0, twipsToPixels(-360)},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        readRtf(&doc, "{\\rtf1 " + c.para + "\\u1575?\\u1604?\\u1601? word\\par}");
        const QTextBlockFormat got = doc.begin().blockFormat();
        EXPECT_NEAR(got.leftMargin(), c.left, 0.01) << c.para.constData();
        EXPECT_NEAR(got.rightMargin(), c.right, 0.01) << c.para.constData();
        EXPECT_NEAR(got.textIndent(), c.indent, 0.01) << c.para.constData();
    }
}

// What an older program stored: bytes of the Arabic code page under charset 178.
TEST(Rtf, CodePageEscapesUnderArabicCharsetReadAsPersian)
{
    const QString text = QStringLiteral("قولنامه خريد و فروش، پلاک ۱۲");
    bool complete = false;
    const QByteArray bytes = encodeWindows1256(QStringLiteral("قولنامه خريد و فروش، پلاک "), &complete);
    ASSERT_TRUE(complete);
    QByteArray body;
    for (const char ch : bytes) {
        if (static_cast<unsigned char>(ch) < 0x80)
            body += ch;
        else
            body += "\\'" + QByteArray::number(static_cast<unsigned char>(ch), 16);
    }
    const QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fnil\\fcharset0 Arial;}"
                           "{\\f1\\fnil\\fcharset178 Tahoma;}}\n\\viewkind4\\uc1\\pard\\rtlpar\\qr\\lang1065\\f1\\fs20 "
        + body + "\\u1777?\\u1778?\\par\n}";
    const QList<Para> got = read(rtf);
    ASSERT_EQ(got.size(), 1);
    EXPECT_EQ(got[0].text, text);
    EXPECT_TRUE(got[0].rtl);
    EXPECT_EQ(got[0].align, Align::Right);
    EXPECT_EQ(got[0].family, QStringLiteral("Tahoma"));
    EXPECT_EQ(got[0].size, 10);
    // the same bytes under a Latin font are Latin letters
    EXPECT_EQ(read("{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset0 Arial;}}\\f0 \\'e9t\\'e9}").value(0).text, QStringLiteral("été"));
}

TEST(Rtf, NestedGroupsUnicodeSkipsAndUnknownDestinations)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0\\froman{\\*\\panose 02020603050405020304}Times New Roman;}}"
        "{\\*\\generator Hand 1.0;}{\\info{\\title secret title}{\\author someone}}"
        "{\\stylesheet{\\s0 Normal;}}{\\*\\unknowndest hidden {nested} text}"
        "\\pard\\plain A{\\b B{\\i C}D}E\\par "
        "\\uc2\\u1587\\'d3\\'d3\\u1604 xxmore{\\uc0\\u1605}\\par "
        "{\\*\\bkmkstart mark}keep{\\*\\bkmkend mark}{\\pict\\pngblip 89504e47}{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt link}}"
        "\\line tab\\tab end\\~\\{\\}\\\\\\par}";
    QTextDocument doc;
    readRtf(&doc, rtf);
    QStringList texts;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        texts << b.text();
    EXPECT_EQ(texts, QStringList({QStringLiteral("ABCDE"), QStringLiteral("سلmoreم"),
                                  QStringLiteral("keeplink\u2028tab\tend\u00A0{}\\")}));
    // B, C and D bold; C italic
    const QTextBlock first = doc.begin();
    QString bold, italic;
    for (auto it = first.begin(); !it.atEnd(); ++it) {
        if (it.fragment().charFormat().fontWeight() >= QFont::Bold)
            bold += it.fragment().text();
        if (it.fragment().charFormat().fontItalic())
            italic += it.fragment().text();
    }
    EXPECT_EQ(bold, QStringLiteral("BCD"));
    EXPECT_EQ(italic, QStringLiteral("C"));
}

// WordPad writes bullets as \pn groups; LibreOffice as list tables with \ls, and the
// sizes and boldness of Persian runs as associated properties.
TEST(Rtf, WordProcessorStyles)
{
    const QByteArray wordpad =
        "{\\rtf1\\ansi\\ansicpg1256\\deff0\\deflang1065{\\fonttbl{\\f0\\fnil\\fcharset178 Tahoma;}{\\f1\\fnil\\fcharset2 Symbol;}}\r\n"
        "{\\*\\generator Riched20 10.0.19041}\\viewkind4\\uc1 \r\n"
        "\\pard\\rtlpar\\qc\\b\\f0\\rtlch\\fs28\\'d3\\'e1\\'c7\\'e3\\b0\\par\r\n"
        "\\pard{\\pntext\\f1\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnf1\\pnindent0{\\pntxtb\\'b7}}\\rtlpar\\fi-360\\li720\\qr\\fs20 one\\par\r\n"
        "{\\pntext\\f1\\'b7\\tab}two\\par\r\n\\pard\\rtlpar\\qr after\\par\r\n}\r\n";
    const QList<Para> w = read(wordpad);
    ASSERT_EQ(w.size(), 4);
    EXPECT_EQ(w[0], (Para{QStringLiteral("سلام"), Align::Centre, true, false, false, true, 14, QStringLiteral("Tahoma")}));
    EXPECT_TRUE(w[1].bullet && w[2].bullet);
    EXPECT_EQ(w[1].text + w[2].text, QStringLiteral("onetwo"));
    EXPECT_FALSE(w[3].bullet);

    const QByteArray libre =
        "{\\rtf1\\ansi\\deff4\\adeflang1025\n{\\fonttbl{\\f0\\froman\\fprq2\\fcharset0 Times New Roman;}"
        "{\\f4\\fswiss\\fprq2\\fcharset0 Liberation Sans;}{\\f5\\fswiss\\fprq0\\fcharset0 Noto Sans Arabic;}}\n"
        "{\\colortbl;\\red0\\green0\\blue0;\\red128\\green0\\blue0;}\n"
        "{\\stylesheet{\\s0\\snext0\\rtlch\\af5\\afs24\\ltrch\\hich\\af4\\loch\\f4\\fs24 Normal;}}"
        "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc23\\leveljc0\\levelstartat1\\levelfollow0"
        "{\\leveltext \\'01\\u8226 ?;}{\\levelnumbers;}\\fi-360\\li720}{\\listlevel\\levelnfc0{\\leveltext \\'02\\'00.;}"
        "{\\levelnumbers\\'01;}}\\listid1}{\\list\\listtemplateid2{\\listlevel\\levelnfc0\\leveljc0\\levelstartat1"
        "{\\leveltext \\'02\\'00.;}{\\levelnumbers\\'01;}}\\listid2}}"
        "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}{\\listoverride\\listid2\\listoverridecount0\\ls2}}"
        "{\\*\\generator LibreOffice/7.4}{\\info{\\creatim\\yr2026}}{\\*\\pgdsctbl{\\pgdsc0\\pgdscuse451 Default;}}\n"
        "\\formshade\\paperh16838\\paperw11906\\margl1134\\margr1134\\sectd\\sbknone\\pgndec\\pard\\plain \\s0\\rtlpar\\qc"
        "{\\rtlch\\af5\\afs28\\ab \\ltrch\\hich\\af4\\loch\\f4\\fs24\\b\\cf2 \\u1605\\'3f\\u1575\\'3f\\u1583\\'3f\\u1607\\'3f}\n"
        "\\par \\pard\\plain \\s0\\ls1\\rtlpar\\qr{\\listtext\\pard\\plain \\u8226\\'3f\\tab}"
        "{\\rtlch\\af5\\afs24 \\ltrch\\loch\\f4 \\u1575\\'3f\\u1608\\'3f\\u1604\\'3f}\n"
        "\\par \\pard\\plain \\s0\\ls2\\ltrpar\\ql{\\listtext\\pard\\plain 1.\\tab}{\\ltrch\\loch\\f4 first}\n"
        "\\par }";
    const QList<Para> l = read(libre);
    ASSERT_EQ(l.size(), 3);
    EXPECT_EQ(l[0], (Para{QStringLiteral("ماده"), Align::Centre, true, false, false, true, 14, QStringLiteral("Noto Sans Arabic")}));
    EXPECT_EQ(l[1], (Para{QStringLiteral("اول"), Align::Right, true, true, false, false, 12, QStringLiteral("Noto Sans Arabic")}));
    EXPECT_EQ(l[2], (Para{QStringLiteral("first"), Align::Left, false, false, true, false, 12, QStringLiteral("Liberation Sans")}));
    QTextDocument doc;
    readRtf(&doc, libre);
    EXPECT_EQ(doc.begin().begin().fragment().charFormat().foreground().color(), QColor(128, 0, 0));
}

TEST(Rtf, MalformedInputReadsWhatItCan)
{
    const struct { QByteArray rtf; QString text; } cases[] = {
        {"{\\rtf1 abc", QStringLiteral("abc")},                        // never closed
        {"{\\rtf1 a}}}b", QStringLiteral("ab")},                      // closed too often
        {"{\\rtf1 x\\'", QStringLiteral("x")},                        // cut escape
        {"{\\rtf1 x\\'4", QStringLiteral("x")},                       // a control byte
        {"{\\rtf1 x\\u1 y}", QStringLiteral("x")},                     // a control character, then its fallback
        {"{\\rtf1 \\bin999 z}", QString()},                         // binary past the end
        {"{\\rtf1 {\\*\\unknown {{{ deep }}} a}b}", QStringLiteral("b")},
        {"{\\rtf1 \\fs-5 \\li99999999999 big\\par}", QStringLiteral("big")},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        readRtf(&doc, c.rtf);
        EXPECT_EQ(doc.toPlainText(), c.text) << c.rtf.constData();
    }
}

TEST(Rtf, PlainTextDetectionAndDecoding)
{
    const struct { QByteArray data; bool rich; QString text; } cases[] = {
        {"{\\rtf1 hello}", true, QStringLiteral("hello")},
        {"{\\rtf hello\\par world}", true, QStringLiteral("hello\nworld")},
        {" {\\rtf1 x}", false, QStringLiteral(" {\\rtf1 x}")},
        {"{\\pict}", false, QStringLiteral("{\\pict}")},
        {"line one\r\nline two", false, QStringLiteral("line one\nline two")},
        {QStringLiteral("متن ساده").toUtf8(), false, QStringLiteral("متن ساده")},
        {"\xEF\xBB\xBF" + QStringLiteral("با نشانه").toUtf8(), false, QStringLiteral("با نشانه")},
        {encodeWindows1256(QStringLiteral("متن قديمي")), false, QStringLiteral("متن قديمي")},
        {QByteArray(), false, QString()},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(isRichText(c.data), c.rich) << c.data.constData();
        QTextDocument doc;
        loadText(&doc, c.data);
        EXPECT_EQ(doc.toPlainText(), c.text) << c.data.constData();
    }
}

TEST(Rtf, EmptyDocumentAndTrailingEmptyParagraphs)
{
    for (const QString& text : {QString(), QStringLiteral("a"), QStringLiteral("a\n"), QStringLiteral("a\n\n"), QStringLiteral("\na")}) {
        QTextDocument doc;
        doc.setPlainText(text);
        QTextDocument back;
        readRtf(&back, writeRtf(&doc));
        EXPECT_EQ(back.toPlainText(), text);
        EXPECT_EQ(back.blockCount(), doc.blockCount());
    }
}

} // namespace

// Latin words inside right-to-left text are written as left-to-right runs with the same looks,
// and a Persian font name is written in the font's code page; both read back as they were.
TEST(Rtf, MixedDirectionRunsAndPersianFontNames)
{
    const QString family = QStringLiteral("نازنین");
    const QString text = QStringLiteral("قرارداد doc 12 اجاره");
    QTextDocument doc;
    QTextCursor cursor(&doc);
    QTextCharFormat f;
    f.setFontFamilies({family});
    f.setFontPointSize(16);
    f.setFontWeight(QFont::Bold);
    cursor.insertText(text, f);
    const QByteArray written = writeRtf(&doc);
    const int latin = written.indexOf(" doc");
    ASSERT_GE(latin, 0) << written.constData();
    const int runStart = written.lastIndexOf('{', latin);
    const QByteArray run = written.mid(runStart, latin - runStart);
    EXPECT_TRUE(run.startsWith("{\\ltrch")) << run.constData();
    EXPECT_TRUE(run.contains("\\fs32") && run.contains("\\b")) << run.constData();
    EXPECT_EQ(written.count("\\rtlch"), 2) << written.constData();
    const QByteArray table = written.left(written.indexOf("{\\colortbl"));
    EXPECT_EQ(table.count("\\u"), 1) << table.constData();   // only the Persian yeh has no byte
    EXPECT_TRUE(table.contains("\\'")) << table.constData();

    QTextDocument back;
    readRtf(&back, written);
    EXPECT_EQ(back.toPlainText(), text);
    for (QTextBlock::iterator it = back.begin().begin(); !it.atEnd(); ++it) {
        const QTextCharFormat g = it.fragment().charFormat();
        EXPECT_EQ(g.fontFamilies().toStringList().value(0), family) << it.fragment().text().toStdString();
        EXPECT_EQ(g.fontPointSize(), 16) << it.fragment().text().toStdString();
        EXPECT_GE(g.fontWeight(), QFont::DemiBold) << it.fragment().text().toStdString();
    }
}

namespace {

// The looks of the text's second word ("b"), and of its paragraph.
struct Looks {
    QTextCharFormat chr;
    QTextBlockFormat par;
};

Looks looksOf(const QByteArray& rtf)
{
    QTextDocument doc;
    readRtf(&doc, rtf);
    const QTextBlock b = doc.begin();
    const int at = int(b.text().indexOf(QLatin1Char('b')));
    QTextCursor c(&doc);
    c.setPosition(b.position() + std::max(at, 0) + 1);
    return {c.charFormat(), b.blockFormat()};
}

// Other looks a contract's author gives the text: read, shown and written back as they were.
TEST(Rtf, UnderlinesCapsSpacingRaiseLinesShadingBordersAndLinks)
{
    const struct {
        const char* rtf;
        std::function<bool(const Looks&)> check;
        const char* what;
    } cases[] = {
        {"a {\\uld b}", [](const Looks& l) { return l.chr.underlineStyle() == QTextCharFormat::DotLine; }, "dotted"},
        {"a {\\uldash b}", [](const Looks& l) { return l.chr.underlineStyle() == QTextCharFormat::DashUnderline; }, "dash"},
        {"a {\\ulwave b}", [](const Looks& l) { return l.chr.underlineStyle() == QTextCharFormat::WaveUnderline; }, "wave"},
        {"a {\\uldb b}",
         [](const Looks& l) {
             return l.chr.underlineStyle() == QTextCharFormat::SingleUnderline
                 && l.chr.intProperty(UnderlineKindKept) == UnderlineDouble;
         },
         "double"},
        {"a {\\ul\\ul0 b}", [](const Looks& l) { return l.chr.underlineStyle() == QTextCharFormat::NoUnderline; }, "off"},
        {"a {\\caps b}", [](const Looks& l) { return l.chr.fontCapitalization() == QFont::AllUppercase; }, "caps"},
        {"a {\\scaps b}", [](const Looks& l) { return l.chr.fontCapitalization() == QFont::SmallCaps; }, "small caps"},
        {"a {\\expndtw60 b}",
         [](const Looks& l) {
             return l.chr.fontLetterSpacingType() == QFont::AbsoluteSpacing && l.chr.fontLetterSpacing() == 4.0;
         },
         "spacing in twips"},
        {"a {\\expnd4 b}", [](const Looks& l) { return qFuzzyCompare(l.chr.fontLetterSpacing(), 20 / 15.0); }, "in quarter points"},
        {"a {\\fs24\\up6 b}", [](const Looks& l) { return qFuzzyCompare(l.chr.baselineOffset(), 25.0); }, "raised"},
        {"a {\\fs24\\dn12 b}", [](const Looks& l) { return qFuzzyCompare(l.chr.baselineOffset(), -50.0); }, "lowered"},
        {"{\\field{\\*\\fldinst HYPERLINK \"https://example.org/a\"}{\\fldrslt a b}}",
         [](const Looks& l) { return l.chr.isAnchor() && l.chr.anchorHref() == QStringLiteral("https://example.org/a"); },
         "link"},
        {"{\\field{\\*\\fldinst PAGE}{\\fldrslt a b}}", [](const Looks& l) { return !l.chr.isAnchor(); }, "no link"},
        {"\\sl360\\slmult1 a b",
         [](const Looks& l) {
             return l.par.lineHeightType() == QTextBlockFormat::ProportionalHeight && l.par.lineHeight() == 150.0;
         },
         "one and a half lines"},
        {"\\sl-300\\slmult0 a b",
         [](const Looks& l) { return l.par.lineHeightType() == QTextBlockFormat::FixedHeight && l.par.lineHeight() == 20.0; },
         "exactly"},
        {"\\cbpat2 a b", [](const Looks& l) { return l.par.background().color() == QColor(255, 255, 0); }, "shading"},
        {"\\brdrb\\brdrs\\brdrw30\\brdrcf1 a b",
         [](const Looks& l) { return l.par.stringProperty(ParagraphBorders) == QStringLiteral("- - 30:#ff0000 -"); },
         "bottom border"},
        {"\\box\\brdrs\\brdrw10 a b",
         [](const Looks& l) { return l.par.stringProperty(ParagraphBorders) == QStringLiteral("10: 10: 10: 10:"); },
         "box"},
    };
    for (const auto& c : cases) {
        const QByteArray rtf = QByteArray("{\\rtf1\\ansi{\\colortbl;\\red255\\green0\\blue0;\\red255\\green255\\blue0;}\\pard ")
            + c.rtf + "\\par}";
        const Looks read = looksOf(rtf);
        EXPECT_TRUE(c.check(read)) << c.what;
        QTextDocument doc;
        readRtf(&doc, rtf);
        const QByteArray written = writeRtf(&doc);
        EXPECT_TRUE(c.check(looksOf(written))) << c.what << " written back: " << written.toStdString();
    }
    // the text itself is untouched, the field instruction is no text
    QTextDocument doc;
    readRtf(&doc, "{\\rtf1\\ansi{\\field{\\*\\fldinst HYPERLINK \"x\"}{\\fldrslt \\u1604?\\u1740?\\u1606?\\u1705?}}\\par}");
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("لینک"));
}

} // namespace
