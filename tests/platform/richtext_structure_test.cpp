// RTF structure: page breaks, tables (right-to-left rows, merged and uneven cells, damaged
// rows), lists that continue over other paragraphs, the limits of what is read, and damaged
// files read without harm and written back stable.
#include "platform/richtext/ListLabels.h"
#include "platform/richtext/Rtf.h"
#include "platform/richtext/RtfUnits.h"
#include "platform/richtext/Windows1256.h"
#include "platform/shell/Progress.h"
#include "support/ScriptedPrompter.h"

#include <QFile>
#include <QFontMetricsF>
#include <QAbstractTextDocumentLayout>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextLayout>
#include <QTextList>
#include <QTextTable>
#include "RtfMutations.h"

#include <gtest/gtest.h>
#include <random>

using namespace richtext;

namespace {

QTextDocument* read(QTextDocument& doc, const QByteArray& rtf)
{
    EXPECT_EQ(readRtf(&doc, rtf), LoadResult::Loaded) << rtf.left(200).constData();
    return &doc;
}

// The document's paragraphs outside tables, and whether each starts a new page.
struct Paragraphs {
    QStringList texts;
    QList<bool> breaks;
};

Paragraphs paragraphs(const QTextDocument& doc)
{
    Paragraphs out;
    for (auto it = doc.rootFrame()->begin(); !it.atEnd(); ++it) {
        if (it.currentFrame())
            continue;
        const QTextBlock b = it.currentBlock();
        if (b.blockFormat().boolProperty(TableNeighbourBlock) && b.length() <= 1)
            continue;
        out.texts << b.text();
        out.breaks << bool(b.blockFormat().pageBreakPolicy() & QTextFormat::PageBreak_AlwaysBefore);
    }
    return out;
}

QList<QTextTable*> tables(const QTextDocument& doc)
{
    QList<QTextTable*> out;
    for (QTextFrame* f : doc.rootFrame()->childFrames())
        if (auto* t = qobject_cast<QTextTable*>(f))
            out << t;
    return out;
}

// Each row's cells from left to right, a cell's paragraphs joined by '|'; a cell covered by a
// merge shows as "^".
QList<QStringList> cells(const QTextTable* t)
{
    QList<QStringList> rows;
    for (int r = 0; r < t->rows(); ++r) {
        QStringList row;
        for (int c = 0; c < t->columns(); ++c) {
            const QTextTableCell cell = t->cellAt(r, c);
            if (cell.row() != r || cell.column() != c) {
                row << QStringLiteral("^");
                continue;
            }
            QStringList paras;
            for (auto it = cell.begin(); !it.atEnd(); ++it)
                if (!it.currentFrame())
                    paras << it.currentBlock().text();
            row << paras.join(QLatin1Char('|'));
        }
        rows << row;
    }
    return rows;
}

QByteArray persianEscaped(const QString& s)
{
    QByteArray out;
    for (const QChar c : s)
        out += c.unicode() < 0x80 ? QByteArray(1, char(c.unicode())) : "\\u" + QByteArray::number(c.unicode()) + '?';
    return out;
}

int occurrences(const QByteArray& hay, const char* needle)
{
    return int(hay.count(needle));
}

TEST(RtfPageBreaks, ReadWrittenAndReadAgain)
{
    const struct { QByteArray rtf; QStringList texts; QList<bool> breaks; } cases[] = {
        // the words on both sides of a break stay apart
        {"{\\rtf1 first\\page second\\par}", {"first", "second"}, {false, true}},
        {"{\\rtf1 first\\page second}", {"first", "second"}, {false, true}},
        {"{\\rtf1 a\\par\\page b\\par c\\par}", {"a", "b", "c"}, {false, true, false}},
        {"{\\rtf1 \\pard a\\par\\pard\\pagebb b\\par c\\par\\pard d\\par}", {"a", "b", "c", "d"}, {false, true, true, false}},
        {"{\\rtf1 a\\par\\page\\par b\\par}", {"a", "", "b"}, {false, true, false}},
        {"{\\rtf1 {\\b a\\page} b\\par}", {"a", " b"}, {false, true}},
        // a column break parts the words without a page; a section starts one unless \\sbknone
        {"{\\rtf1 one\\column two\\par}", {"one", "two"}, {false, false}},
        {"{\\rtf1 a\\par\\sect b\\par}", {"a", "b"}, {false, true}},
        {"{\\rtf1 a\\par\\sect\\sectd\\sbknone b\\par}", {"a", "b"}, {false, false}},
        {"{\\rtf1 a\\page\\sectd\\sbknone b\\par}", {"a", "b"}, {false, true}},
        {"{\\rtf1 a\\par\\sect}", {"a"}, {false}},
        {"{\\rtf1 a\\par{\\nonesttables\\par }b\\par}", {"a", "b"}, {false, false}},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        read(doc, c.rtf);
        const Paragraphs got = paragraphs(doc);
        EXPECT_EQ(got.texts, c.texts) << c.rtf.constData();
        EXPECT_EQ(got.breaks, c.breaks) << c.rtf.constData();
        const QByteArray written = writeRtf(&doc);
        EXPECT_EQ(occurrences(written, "\\pagebb"), int(c.breaks.count(true))) << written.constData();
        QTextDocument again;
        read(again, written);
        const Paragraphs back = paragraphs(again);
        EXPECT_EQ(back.texts, c.texts) << written.constData();
        EXPECT_EQ(back.breaks, c.breaks) << written.constData();
    }
}

// Headers, footers and notes add nothing to the text, whatever fields they hold.
TEST(RtfSkippedParts, AddNothingToTheText)
{
    const QString word = QStringLiteral("قرارداد");
    const QByteArray body = "\\pard\\rtlpar\\qr \\u1602?\\u1585?\\u1575?\\u1585?\\u1583?\\u1575?\\u1583?\\par}";
    const QByteArray parts[] = {
        "{\\header \\pard\\qc {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}}\\par}",
        "{\\footer \\pard\\qc {\\field{\\*\\fldinst PAGE}{\\fldrslt {\\b 3}}}\\par}",
        "{\\footnote \\pard {\\field{\\*\\fldinst HYPERLINK x}{\\fldrslt note}} 22\\par}",
        "{\\*\\pntext {\\upr{7}{\\*\\ud{8}}}}",
        "{\\field{\\*\\fldinst PAGE}{\\fldrslt {\\header 9}}}",
    };
    for (const QByteArray& part : parts) {
        QTextDocument doc;
        read(doc, "{\\rtf1\\ansi" + part + body);
        EXPECT_EQ(doc.toPlainText(), word) << part.constData();
    }
    // a field in the body still shows its result
    QTextDocument doc;
    read(doc, "{\\rtf1 {\\field{\\*\\fldinst PAGE}{\\fldrslt 5}} x\\par}");
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("5 x"));
}

// A contract's party block as a word processor writes it: right-to-left rows whose first
// cell is the rightmost, borders, a bold cell and a cell of two paragraphs.
const QString kSeller = QStringLiteral("فروشنده");
const QString kBuyer = QStringLiteral("خريدار");
const QString kSecond = QStringLiteral("نفر دوم");
const QString kWitness = QStringLiteral("شاهد");

QByteArray rightToLeftTable()
{
    QByteArray row = "\\trowd\\trgaph108\\trleft0\\rtlrow";
    for (int c = 1; c <= 3; ++c)
        row += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx"
            + QByteArray::number(c * 2000);
    return "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 Tahoma;}}\n"
           "\\pard\\rtlpar before\\par\n"
        + row + "\n\\pard\\intbl\\rtlpar{\\b " + persianEscaped(kSeller) + "}\\cell\\pard\\intbl\\rtlpar "
        + persianEscaped(kBuyer) + "\\par " + persianEscaped(kSecond) + "\\cell\\pard\\intbl\\rtlpar " + persianEscaped(kWitness)
        + "\\cell\\row\n" + row + "\n\\pard\\intbl 1\\cell\\pard\\intbl 2\\cell\\pard\\intbl 3\\cell\\row\n"
        + "\\pard\\rtlpar after\\par}";
}

TEST(RtfTables, RightToLeftRowsReadWrittenAndReadAgain)
{
    QTextDocument doc;
    read(doc, rightToLeftTable());
    QByteArray written = writeRtf(&doc);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const QList<QTextTable*> ts = tables(doc);
        ASSERT_EQ(ts.size(), 1);
        const QTextTable* t = ts[0];
        // the first cell of a row stands on the right
        EXPECT_EQ(cells(t), (QList<QStringList>{{kWitness, kBuyer + QLatin1Char('|') + kSecond, kSeller},
                                                 {QStringLiteral("3"), QStringLiteral("2"), QStringLiteral("1")}}));
        EXPECT_TRUE(t->format().boolProperty(TableRowsRightToLeft));
        EXPECT_EQ(t->format().alignment() & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter), Qt::AlignRight) << "it stands on the right";
        EXPECT_GT(t->format().border(), 0);
        const QList<QTextLength> widths = t->format().columnWidthConstraints();
        ASSERT_EQ(widths.size(), 3);
        for (const QTextLength& w : widths)
            EXPECT_NEAR(w.rawValue(), twipsToPixels(2000), 0.01);
        QTextCursor bold = t->cellAt(0, 2).firstCursorPosition();
        bold.movePosition(QTextCursor::NextCharacter);
        EXPECT_EQ(bold.charFormat().fontWeight(), QFont::Bold);
        EXPECT_EQ(paragraphs(doc).texts, (QStringList{QStringLiteral("before"), QStringLiteral("after")}));
        EXPECT_FALSE(doc.toPlainText().contains(QLatin1Char('\t'))) << "no text is added";

        // written as rows of cells, first cell first
        EXPECT_EQ(occurrences(written, "\\row"), 2);
        EXPECT_EQ(occurrences(written, "\\cell\n"), 6);
        EXPECT_EQ(occurrences(written, "\\rtlrow"), 2);
        EXPECT_EQ(occurrences(written, "\\cellx2000"), 2);
        EXPECT_EQ(occurrences(written, "\\cellx6000"), 2);
        const auto firstLetter = [&](const QString& w) { return written.indexOf("\\u" + QByteArray::number(w[0].unicode())); };
        EXPECT_LT(firstLetter(kSeller), firstLetter(kWitness));
        EXPECT_GE(firstLetter(kSeller), 0);
        read(doc, written);
        written = writeRtf(&doc);
    }
}

TEST(RtfTables, UnevenMergedAndDamagedRows)
{
    const struct { const char* name; QByteArray rtf; QList<QStringList> cells; } cases[] = {
        {"cell edges that differ between rows make a grid; wide cells span its columns",
         "{\\rtf1\\trowd\\cellx3000\\cellx6000\\intbl a\\cell b\\cell\\row"
         "\\trowd\\cellx2000\\cellx4000\\cellx6000\\intbl c\\cell d\\cell e\\cell\\row\\pard x\\par}",
         {{"a", "^", "b", "^"}, {"c", "d", "^", "e"}}},
        {"a cell merged into the one above",
         "{\\rtf1\\trowd\\clvmgf\\cellx2000\\cellx4000\\intbl a\\cell b\\cell\\row"
         "\\trowd\\clvmrg\\cellx2000\\cellx4000\\intbl\\cell c\\cell\\row}",
         {{"a", "b"}, {"^", "c"}}},
        {"cells merged across, the old way (an edge no row keeps makes no column)",
         "{\\rtf1\\trowd\\clmgf\\cellx2000\\clmrg\\cellx4000\\cellx6000\\intbl a\\cell\\cell b\\cell\\row}",
         {{"a", "b"}}},
        {"a table that never ends its row keeps its text",
         "{\\rtf1\\trowd\\cellx2000\\cellx4000\\intbl a\\cell b}", {{"a", "b"}}},
        {"a row ended by a paragraph outside the table",
         "{\\rtf1\\trowd\\cellx2000\\cellx4000\\intbl a\\cell b\\cell\\pard after\\par}", {{"a", "b"}}},
        {"text after the last cell mark is a cell of its own",
         "{\\rtf1\\trowd\\cellx2000\\intbl a\\cell b\\row}", {{"a", "b"}}},
        {"a cell mark without \\intbl and a row without definitions",
         "{\\rtf1 a\\cell b\\cell\\row}", {{"a", "b"}}},
        {"a table in a cell gives its cells to the cell",
         "{\\rtf1\\trowd\\cellx3000\\cellx6000\\intbl\\itap2 n1\\nestcell n2\\nestcell{\\*\\nesttableprops\\trowd\\cellx1000"
         "\\nestrow}\\itap1 end\\cell z\\cell\\row}",
         {{"n1|n2|end", "z"}}},
        {"a row of fewer cells than its definition",
         "{\\rtf1\\trowd\\cellx2000\\cellx4000\\cellx6000\\intbl a\\cell\\row}", {{"a", "", ""}}},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        read(doc, c.rtf);
        const QList<QTextTable*> ts = tables(doc);
        ASSERT_EQ(ts.size(), 1) << c.name;
        EXPECT_EQ(cells(ts[0]), c.cells) << c.name;
        EXPECT_FALSE(doc.toPlainText().contains(QLatin1Char('\t'))) << c.name;
        // what is written reads as the same table
        QTextDocument again;
        read(again, writeRtf(&doc));
        ASSERT_EQ(tables(again).size(), 1) << c.name;
        EXPECT_EQ(cells(tables(again)[0]), c.cells) << c.name << '\n' << writeRtf(&doc).constData();
    }

    // more cells than a row may have: the rest of the text joins the last one
    QByteArray wide = "{\\rtf1\\trowd";
    for (int i = 1; i <= 70; ++i)
        wide += "\\cellx" + QByteArray::number(i * 100);
    wide += "\\intbl ";
    for (int i = 1; i <= 70; ++i)
        wide += 'w' + QByteArray::number(i) + "\\cell ";
    wide += "\\row}";
    QTextDocument doc;
    read(doc, wide);
    ASSERT_EQ(tables(doc).size(), 1);
    EXPECT_EQ(tables(doc)[0]->columns(), 63);
    const QString plain = doc.toPlainText();
    for (int i = 1; i <= 70; ++i)
        EXPECT_EQ(plain.count(QRegularExpression(QStringLiteral("\\bw%1\\b").arg(i))), 1) << i;
}

TEST(RtfTables, WhereATableStandsSurvivesWriting)
{
    const struct { const char* row; Qt::Alignment align; } cases[] = {
        {"\\rtlrow\\trql", Qt::AlignLeft}, {"\\rtlrow", Qt::AlignRight}, {"\\rtlrow\\trqc", Qt::AlignHCenter},
        {"\\ltrrow", Qt::AlignLeft}, {"\\ltrrow\\trqr", Qt::AlignRight},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        read(doc, "{\\rtf1\\trowd" + QByteArray(c.row) + "\\cellx2000\\intbl x\\cell\\row}");
        for (int round = 0; round < 2; ++round) {
            ASSERT_EQ(tables(doc).size(), 1);
            EXPECT_EQ(tables(doc)[0]->format().alignment() & (Qt::AlignLeft | Qt::AlignRight | Qt::AlignHCenter), c.align) << c.row << ' ' << round;
            read(doc, writeRtf(&doc));
        }
    }
}

TEST(RtfTables, TablesAtTheEdgesOfTheDocumentAddNoParagraphs)
{
    const QByteArray row = "\\trowd\\cellx2000\\intbl x\\cell\\row";
    for (const QByteArray& rtf : {"{\\rtf1 " + row + "}", "{\\rtf1 " + row + "\\pard between\\par " + row + "}",
                                  "{\\rtf1 " + row + "\\pard\\par " + row + "}"}) {
        QTextDocument doc;
        read(doc, rtf);
        const QByteArray written = writeRtf(&doc);
        QTextDocument again;
        read(again, written);
        EXPECT_EQ(writeRtf(&again), written) << rtf.constData();
        EXPECT_EQ(paragraphs(again).texts, paragraphs(doc).texts) << rtf.constData();
        EXPECT_EQ(occurrences(written, "\\par\n"), int(paragraphs(doc).texts.size())) << written.constData();
    }
}

TEST(RtfLists, ItemsOfOneListGoOnOverOtherParagraphs)
{
    const QByteArray listTable =
        "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid7}"
        "{\\list{\\listlevel\\levelnfc23{\\leveltext\\'01\\u8226 ?;}}\\listid8}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}{\\listoverride\\listid7\\ls2}{\\listoverride\\listid8\\ls3}}";
    QTextDocument doc;
    read(doc, "{\\rtf1" + listTable + "\\pard\\ls1 a\\par b\\par\\pard note\\par\\pard\\ls1 c\\par\\pard\\ls2 x\\par"
                                      "\\pard\\ls3 dot\\par}");
    QTextBlock b = doc.begin();
    QTextList* first = b.textList();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->format().style(), QTextListFormat::ListDecimal);
    b = b.next().next();
    EXPECT_EQ(b.text(), QStringLiteral("note"));
    EXPECT_EQ(b.textList(), nullptr);
    b = b.next();
    EXPECT_EQ(b.textList(), first) << "numbering goes on after the note";
    EXPECT_EQ(first->itemNumber(b), 2);
    b = b.next();
    ASSERT_NE(b.textList(), nullptr);
    EXPECT_NE(b.textList(), first) << "another list";
    EXPECT_EQ(b.next().textList()->format().style(), QTextListFormat::ListDisc);

    // written back, each list is a list of its own and the numbers go on
    const QByteArray written = writeRtf(&doc);
    EXPECT_EQ(occurrences(written, "\\listoverride\\"), 3) << written.constData();
    EXPECT_TRUE(written.contains("{\\pntext 3.\\tab}"));
    QTextDocument again;
    read(again, written);
    const QTextBlock c = again.begin().next().next().next();
    ASSERT_NE(c.textList(), nullptr);
    EXPECT_EQ(c.textList(), again.begin().textList());
    EXPECT_NE(c.next().textList(), c.textList());
}

// Second-level clauses count again under each first-level clause.
TEST(RtfLists, LowerLevelsRestartUnderANewParent)
{
    const QByteArray listTable =
        "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}"
        "{\\listlevel\\levelnfc0{\\leveltext\\'04\\'00.\\'01.;}}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}";
    QTextDocument doc;
    read(doc, "{\\rtf1" + listTable + "\\pard\\ls1 one\\par\\pard\\ls1\\ilvl1 a\\par b\\par"
                                      "\\pard\\ls1 two\\par\\pard\\ls1\\ilvl1 c\\par d\\par\\pard\\ls1 three\\par}");
    QList<int> numbers;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        numbers << (b.textList() ? b.textList()->itemNumber(b) + 1 : 0);
    EXPECT_EQ(numbers, (QList<int>{1, 1, 2, 2, 1, 2, 3}));
    QTextDocument again;
    read(again, writeRtf(&doc));
    QList<int> back;
    for (QTextBlock b = again.begin(); b.isValid(); b = b.next())
        back << (b.textList() ? b.textList()->itemNumber(b) + 1 : 0);
    EXPECT_EQ(back, numbers);
}

TEST(RtfLists, LongListsKeepEveryItem)
{
    QByteArray rtf = "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0}\\listid1}}"
                     "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}";
    for (int i = 1; i <= 1200; ++i)
        rtf += "\\pard\\ls1 item" + QByteArray::number(i) + "\\par ";
    rtf += "}";
    QTextDocument doc;
    read(doc, rtf);
    int items = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        items += b.textList() && b.textList()->format().style() == QTextListFormat::ListDecimal;
    EXPECT_EQ(items, 1200);
    // written as one list, numbered to its end
    const QByteArray written = writeRtf(&doc);
    EXPECT_EQ(occurrences(written, "\\listoverride\\"), 1);
    EXPECT_TRUE(written.contains("{\\pntext 1200.\\tab}"));
}

// Each paragraph's drawn label ("" for none), in document order.
QStringList labelsOf(const QTextDocument& doc)
{
    QStringList out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next())
        out << listLabel(b);
    return out;
}

QStringList labels(std::initializer_list<const char*> utf8)
{
    QStringList out;
    for (const char* s : utf8)
        out << QString::fromUtf8(s);
    return out;
}

// Clause numbers as the other word processor shows them: level texts with the numbers of the
// parents, start values, restarts under a new parent, number formats, Persian digits; and the
// same labels after the document is written and read again, twice.
TEST(RtfLists, LabelsAreThoseTheFileAsksFor)
{
    const QByteArray twoLevels =
        "{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}{\\levelnumbers\\'01;}}"
        "{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'04\\'00.\\'01.;}{\\levelnumbers\\'01\\'03;}}\\listid7}}"
        "{\\*\\listoverridetable{\\listoverride\\listid7\\ls1}}";
    const auto oneLevel = [](const char* level) {
        return "{\\*\\listtable{\\list{\\listlevel" + QByteArray(level) + "}\\listid3}}"
               "{\\*\\listoverridetable{\\listoverride\\listid3\\ls1}}";
    };
    const struct {
        const char* name;
        QByteArray rtf;
        QStringList labels;
    } cases[] = {
        {"parents in the level text, restarted under each parent",
         "{\\rtf1" + twoLevels + "\\pard\\ls1 one\\par\\pard\\ls1\\ilvl1 a\\par b\\par\\pard\\ls1 two\\par"
                                 "\\pard\\ls1\\ilvl1 c\\par\\pard note\\par\\pard\\ls1\\ilvl1 d\\par\\pard\\ls1 three\\par}",
         labels({"1.", "1.1.", "1.2.", "2.", "2.1.", "", "2.2.", "3."})},
        {"a start value of the list table",
         "{\\rtf1" + oneLevel("\\levelnfc0\\levelstartat3{\\leveltext\\'02\\'00);}") + "\\pard\\ls1 a\\par b\\par}",
         labels({"3)", "4)"})},
        {"a list counted again from a start of its own",
         "{\\rtf1" + twoLevels.left(twoLevels.indexOf("{\\*\\listoverridetable")) +
             "{\\*\\listoverridetable{\\listoverride\\listid7\\listoverridecount0\\ls1}{\\listoverride\\listid7"
             "\\listoverridecount2{\\lfolevel\\listoverridestartat\\levelstartat4}{\\lfolevel}\\ls2}}"
             "\\pard\\ls1 a\\par b\\par\\pard\\ls2 c\\par\\pard\\ls2\\ilvl1 d\\par}",
         labels({"1.", "2.", "4.", "4.1."})},
        {"a level counting on under new parents",
         "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}{\\listlevel\\levelnfc0"
         "\\levelnorestart1{\\leveltext\\'04\\'00.\\'01.;}}\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
         "\\pard\\ls1 one\\par\\pard\\ls1\\ilvl1 a\\par\\pard\\ls1 two\\par\\pard\\ls1\\ilvl1 b\\par}",
         labels({"1.", "1.1.", "2.", "2.2."})},
        {"a start value of a \\pn group",
         QByteArray("{\\rtf1\\pard{\\pntext 5.\\tab}{\\*\\pn\\pnlvlbody\\pndec\\pnstart5{\\pntxta .}}a\\par"
                    "{\\pntext 6.\\tab}b\\par\\pard plain\\par"
                    "\\pard{\\*\\pn\\pnlvlbody\\pnucrm\\pnstart1{\\pntxtb (}{\\pntxta )}}c\\par}"),
         labels({"5.", "6.", "", "(I)"})},
        {"Persian digits of a Persian level",
         "{\\rtf1" + oneLevel("\\levelnfc51\\levelstartat9{\\leveltext\\'02\\'00-;}\\lang1065") + "\\pard\\ls1 a\\par b\\par}",
         labels({"۹-", "۱۰-"})},
        {"Arabic digits of a level in no Persian language",
         "{\\rtf1\\deflang1033" + oneLevel("\\levelnfc51{\\leveltext\\'01\\'00;}") + "\\pard\\ls1 a\\par}",
         labels({"١"})},
        {"letters, Roman numbers, leading zeros",
         "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc4{\\leveltext\\'02\\'00);}}{\\listlevel\\levelnfc2"
         "{\\leveltext\\'03\\'00.\\'01;}}{\\listlevel\\levelnfc22{\\leveltext\\'01\\'02;}}\\listid1}}"
         "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
         "\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1 b\\par\\pard\\ls1\\ilvl1 c\\par\\pard\\ls1\\ilvl2 d\\par"
         "\\pard\\ls1 e\\par}",
         labels({"a)", "a.i", "a.ii", "01", "b)"})},
        {"Arabic letters of \\pnbidib, and a bullet level left to the editor's markers",
         "{\\rtf1\\pard{\\*\\pn\\pnlvlbody\\pnbidib{\\pntxta -}}\\rtlpar x\\par y\\par" + oneLevel("\\levelnfc23") +
             "\\pard\\ls1 dot\\par}",
         labels({"أ-", "ب-", ""})},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        read(doc, c.rtf);
        EXPECT_EQ(labelsOf(doc), c.labels) << c.name;
        QByteArray written = writeRtf(&doc);
        for (int round = 1; round <= 2; ++round) {
            QTextDocument again;
            read(again, written);
            EXPECT_EQ(labelsOf(again), c.labels) << c.name << " round " << round << '\n' << written.constData();
            EXPECT_EQ(paragraphs(again).texts, paragraphs(doc).texts) << c.name;
            const QByteArray rewritten = writeRtf(&again);
            EXPECT_EQ(rewritten, written) << c.name << " writing is stable";
            written = rewritten;
        }
        // readers without list tables see the same labels as text
        for (const QString& label : c.labels)
            if (!label.isEmpty() && label.front().unicode() < 0x80)
                EXPECT_TRUE(written.contains("{\\pntext " + label.toLatin1() + "\\tab}")) << c.name << ' ' << label.toStdString();
    }
}

// A file of clauses made by the other word processor: each paragraph shows the label and the
// words that program shows for it (its plain-text export), before and after writing; Persian
// digits it gives only in the labels' text stay Persian.
TEST(RtfLists, ClausesOfTheOtherWordProcessorShowItsLabels)
{
    const QString dir = QStringLiteral(DOVIN_SOURCE_DIR "/tests/platform/rtf_corpus/");
    QFile rtf(dir + QStringLiteral("clauses_numbered.rtf")), txt(dir + QStringLiteral("clauses_numbered.txt"));
    ASSERT_TRUE(rtf.open(QIODevice::ReadOnly));
    ASSERT_TRUE(txt.open(QIODevice::ReadOnly));
    QStringList expected;
    for (QString line : QString::fromUtf8(txt.readAll()).split(QLatin1Char('\n'))) {
        line.remove(QChar(0xFEFF));
        if (!line.trimmed().isEmpty())
            expected << line.trimmed();
    }
    QTextDocument doc;
    read(doc, rtf.readAll());
    QTextDocument again;
    read(again, writeRtf(&doc));
    for (const QTextDocument* d : {&doc, &again}) {
        QStringList shown;
        for (QTextBlock b = d->begin(); b.isValid(); b = b.next())
            if (!b.text().trimmed().isEmpty())
                shown << (listLabel(b).isEmpty() ? b.text() : listLabel(b) + QLatin1Char(' ') + b.text()).trimmed();
        EXPECT_EQ(shown, expected) << (d == &doc ? "read" : "written and read again");
    }
}

// Every level of a list is written with its format, start and text, so that other word
// processors number the clauses the same way.
TEST(RtfLists, WrittenListTablesCarryEveryLevel)
{
    QTextDocument doc;
    read(doc, "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat4{\\leveltext\\'02\\'00.;}}"
              "{\\listlevel\\levelnfc4\\levelstartat2{\\leveltext\\'04\\'00.\\'01);}}\\listid9}}"
              "{\\*\\listoverridetable{\\listoverride\\listid9\\ls1}}\\pard\\ls1 a\\par\\pard\\ls1\\ilvl1 b\\par}");
    const QByteArray written = writeRtf(&doc);
    EXPECT_EQ(occurrences(written, "{\\listlevel"), 9) << written.constData();
    EXPECT_TRUE(written.contains("\\levelnfc0\\levelnfcn0\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat4{\\leveltext\\'02\\'00.;}"
                                 "{\\levelnumbers\\'01;}"))
        << written.constData();
    EXPECT_TRUE(written.contains("\\levelnfc4\\levelnfcn4\\leveljc0\\leveljcn0\\levelfollow0\\levelstartat2"
                                 "{\\leveltext\\'04\\'00.\\'01);}{\\levelnumbers\\'01\\'03;}"))
        << written.constData();
    EXPECT_TRUE(written.contains("\\ls1\\ilvl1{\\pntext 4.b)\\tab}")) << written.constData();
}

// A numbered paragraph without any indent keeps room for its number, and the other word
// processor's indents come back when it is written.
TEST(RtfLists, NumbersHaveRoomWhateverTheIndent)
{
    const QByteArray table = "{\\*\\listtable{\\list{\\listlevel\\levelnfc0{\\leveltext\\'02\\'00.;}}\\listid1}}"
                             "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}";
    const struct {
        const char* paragraph;
        int fi, li;
        bool hanging;   // the text starts at the paragraph's indent
    } cases[] = {
        {"\\pard\\ls1", 0, 0, false},
        {"\\pard\\ls1\\fi-360\\li720", -360, 720, true},
        {"\\pard\\ls1\\rtlpar\\qr", 0, 0, false},
        {"\\pard\\ls1\\rtlpar\\qr\\fi-360\\li720\\lin720", -360, 720, true},
        {"\\pard\\ls1\\fi-20\\li20", -20, 20, false},     // a label wider than the hanging indent
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        read(doc, "{\\rtf1" + table + c.paragraph + " clause\\par}");
        const QTextBlock b = doc.begin();
        ASSERT_EQ(listLabel(b), QStringLiteral("1.")) << c.paragraph;
        const QTextBlockFormat f = b.blockFormat();
        const double margin = isRightToLeft(b) ? f.rightMargin() : f.leftMargin();
        const double label = QFontMetricsF(b.charFormat().font()).horizontalAdvance(QStringLiteral("1."));
        if (c.hanging)
            EXPECT_DOUBLE_EQ(f.textIndent(), 0) << c.paragraph;
        else
            EXPECT_GE(margin + f.textIndent(), margin + twipsToPixels(c.fi) + label) << c.paragraph;
        const QByteArray written = writeRtf(&doc);
        EXPECT_TRUE(written.contains("\\fi" + QByteArray::number(c.fi))) << c.paragraph << '\n' << written.constData();
        EXPECT_TRUE(written.contains("\\li" + QByteArray::number(c.li)) || isRightToLeft(b)) << c.paragraph;
    }
}

// Numbers the user adds in the editor follow the clauses read.
TEST(RtfLists, ItemsAddedInTheEditorAreNumbered)
{
    QTextDocument doc;
    read(doc, "{\\rtf1{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat7{\\leveltext\\'02\\'00.;}}\\listid1}}"
              "{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}\\pard\\ls1 a\\par b\\par}");
    EXPECT_EQ(labelsOf(doc), (QStringList{"7.", "8."}));
    QTextCursor c(doc.begin());
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertBlock();
    c.insertText(QStringLiteral("new"));
    EXPECT_EQ(labelsOf(doc), (QStringList{"7.", "8.", "9."}));
    QTextDocument again;
    read(again, writeRtf(&doc));
    EXPECT_EQ(labelsOf(again), (QStringList{"7.", "8.", "9."}));
    EXPECT_EQ(again.begin().next().text(), QStringLiteral("new"));
}

TEST(RtfLimits, TextsBeyondAnyContractAreRefusedAndTheDocumentKept)
{
    const auto lines = [](int n, const QByteArray& line) {
        QByteArray out;
        out.reserve(n * line.size());
        for (int i = 0; i < n; ++i)
            out += line;
        return out;
    };
    const struct { const char* name; QByteArray data; LoadResult result; } cases[] = {
        {"more than 20 MB", "{\\rtf1 " + QByteArray(int(MaxTextBytes), 'x') + "}", LoadResult::TooLarge},
        {"more paragraphs than any contract", "{\\rtf1 " + lines(MaxParagraphs + 1, "\\par ") + "}", LoadResult::TooLarge},
        {"more table cells than any contract", "{\\rtf1 " + lines(MaxParagraphs + 1, "\\intbl x\\cell ") + "}", LoadResult::TooLarge},
        {"more runs than any contract", "{\\rtf1 " + lines(MaxRuns / 2 + 1, "{\\b x}{\\i y}") + "}", LoadResult::TooLarge},
        {"plain text of more lines than any contract", lines(MaxParagraphs + 1, "x\r\n"), LoadResult::TooLarge},
        // what only takes memory in the file is read in little
        {"19 MB of colours", "{\\rtf1{\\colortbl" + QByteArray(19 << 20, ';') + "}kept}", LoadResult::Loaded},
        {"19 MB of groups", "{\\rtf1 " + QByteArray(19 << 20, '{') + "kept}", LoadResult::Loaded},
        {"a million fonts", "{\\rtf1{\\fonttbl" + lines(1 << 20, "{\\f99999 A;}") + "}kept}", LoadResult::Loaded},
        {"a million row definitions", "{\\rtf1 " + lines(1 << 20, "\\trowd\\cellx9 ") + "kept}", LoadResult::Loaded},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        doc.setPlainText(QStringLiteral("before"));
        EXPECT_EQ(loadText(&doc, c.data), c.result) << c.name;
        EXPECT_EQ(doc.toPlainText(), c.result == LoadResult::Loaded ? QStringLiteral("kept") : QStringLiteral("before")) << c.name;
    }
    EXPECT_FALSE(tooLargeMessage().isEmpty());
}

TEST(RtfLimits, CancelledReadingLeavesTheDocument)
{
    testing_support::ScriptedPrompter prompter;
    prompter.cancelWork = true;
    QTextDocument doc;
    doc.setPlainText(QStringLiteral("before"));
    shell::Progress progress(QStringLiteral("خواندن"), true);
    EXPECT_EQ(readRtf(&doc, "{\\rtf1 " + QByteArray(1 << 20, 'x') + "}", &progress), LoadResult::Cancelled);
    EXPECT_EQ(doc.toPlainText(), QStringLiteral("before"));
}

// Word processors' files damaged every way a file gets damaged: bytes changed, cut short,
// parts lost or repeated, stray marks of groups, tables and lists. Each reads without harm,
// holds no control characters, and what is written of it reads back as the same text.
TEST(RtfDamagedFiles, ThreeThousandReadWithoutHarm)
{
    QTextDocument built;
    QTextCursor c(&built);
    c.insertText(QStringLiteral("قرارداد"));
    c.insertBlock();
    QTextListFormat lf;
    lf.setStyle(QTextListFormat::ListDecimal);
    c.createList(lf);
    c.insertText(QStringLiteral("بند اول"));
    QTextBlockFormat broken;
    broken.setPageBreakPolicy(QTextFormat::PageBreak_AlwaysBefore);
    c.insertBlock(broken);
    c.insertText(QStringLiteral("صفحه دوم"));
    const QList<QByteArray> seeds = {
        rightToLeftTable(),
        writeRtf(&built),
        "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}{\\colortbl;\\red255\\green0\\blue0;}"
        "\\pard\\qr\\f0\\cf1 \\'d3\\'e1\\'c7\\'e3\\par{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt}\\uc2\\u1587\\'d3\\'d3 x\\par}",
        "{\\rtf1\\trowd\\clvmgf\\cellx2000\\cellx4000\\intbl a\\cell b\\cell\\row\\trowd\\clvmrg\\cellx2000\\cellx4000"
        "\\intbl\\cell c\\cell\\row\\pard\\page d\\par}",
    };
    const std::vector<const char*> marks = {"{", "}", "\\", "\\par ", "\\cell ", "\\row ", "\\trowd ", "\\cellx-5 ", "\\cellx99999999 ",
                                 "\\intbl ", "\\page ", "\\clvmrg ", "\\clvmgf ", "\\ls99 ", "\\u-1 ", "\\uc9 ", "\\bin99999 ",
                                 "\\'ff", "\\*", "\\nestcell ", "\\itap3 ", "\\pard ", "\\sect ", "\\u64976 ", "\\u8233 "};
    std::mt19937 random(20240601);
    for (int i = 0; i < 3000; ++i) {
        const QByteArray data = testing_support::mutatedRtf(seeds[i % seeds.size()], random, 6, marks);
        QTextDocument doc;
        ASSERT_EQ(readRtf(&doc, data), LoadResult::Loaded) << i;
        const QString text = doc.toPlainText();
        for (const QChar ch : text)
            ASSERT_TRUE(ch.unicode() >= 0x20 || ch == QLatin1Char('\t') || ch == QLatin1Char('\n')) << i << ' ' << ch.unicode();
        const QByteArray written = writeRtf(&doc);
        for (const char ch : written)
            ASSERT_LT(static_cast<unsigned char>(ch), 0x80) << i;
        QTextDocument again;
        ASSERT_EQ(readRtf(&again, written), LoadResult::Loaded) << i;
        ASSERT_EQ(again.toPlainText(), text) << i << '\n' << data.constData() << '\n' << written.constData();
        ASSERT_EQ(tables(again).size(), tables(doc).size()) << i;
    }
}

} // namespace

namespace {

// A cheque table of twelve columns, 18000 twips wide, its first cell the rightmost.
QByteArray chequeTable(const char* rowWord)
{
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1256{\\fonttbl{\\f0\\fcharset178 Tahoma;}}\\pard\\rtlpar before\\par";
    for (int row = 1; row <= 6; ++row) {
        rtf += "\\trowd\\trgaph60";
        rtf += rowWord;
        for (int c = 1; c <= 12; ++c)
            rtf += "\\clbrdrt\\brdrs\\clbrdrl\\brdrs\\clbrdrb\\brdrs\\clbrdrr\\brdrs\\cellx" + QByteArray::number(c * 1500);
        for (int c = 1; c <= 12; ++c)
            rtf += "\\pard\\intbl\\rtlpar\\qr\\f0 " + persianEscaped(QStringLiteral("خ")) + QByteArray::number(row * 100 + c)
                + "\\cell";
        rtf += "\\row\n";
    }
    return rtf + "\\pard\\rtlpar after\\par}";
}

// The rectangle of a table cell's text, in the document's coordinates.
QRectF cellText(const QTextDocument& doc, const QTextTableCell& cell)
{
    QTextBlock b = cell.firstCursorPosition().block();
    const QTextLine line = b.layout()->lineAt(0);
    const QRectF br = doc.documentLayout()->blockBoundingRect(b);
    return QRectF(br.left() + line.naturalTextRect().left(), br.top() + line.y(), line.naturalTextWidth(), line.height());
}

} // namespace

// A table wider than the text is narrowed to it, its columns in their proportions, its first
// cell on the right; the text keeps the table's own widths.
TEST(RtfTables, WideTablesFitTheWidthAndKeepTheirWidthsInTheText)
{
    for (const char* word : {"\\rtlrow", "\\taprtl"}) {
        SCOPED_TRACE(word);
        QTextDocument doc;
        read(doc, chequeTable(word));
        doc.setDocumentMargin(0);
        ASSERT_EQ(tables(doc).size(), 1);
        QTextTable* t = tables(doc)[0];
        ASSERT_EQ(t->columns(), 12);
        const double width = 600;
        doc.setTextWidth(width);
        EXPECT_GT(doc.documentLayout()->frameBoundingRect(t).width(), width) << "too wide as it is";

        fitTables(&doc, width);
        const QList<QTextLength> shares = t->format().columnWidthConstraints();
        ASSERT_EQ(shares.size(), 12);
        for (const QTextLength& l : shares) {
            EXPECT_EQ(l.type(), QTextLength::PercentageLength);
            EXPECT_NEAR(l.rawValue(), 100.0 / 12, 0.05);
        }
        EXPECT_LE(doc.documentLayout()->frameBoundingRect(t).width(), width + 0.5);
        for (int r = 0; r < t->rows(); ++r)
            for (int c = 0; c < t->columns(); ++c) {
                const QRectF text = cellText(doc, t->cellAt(r, c));
                EXPECT_GE(text.left(), 0) << r << ',' << c;
                EXPECT_LE(text.right(), width) << r << ',' << c;
                // the first cell of each row, its number, on the right
                EXPECT_TRUE(t->cellAt(r, c).firstCursorPosition().block().text().endsWith(QString::number((r + 1) * 100 + 12 - c)));
            }
        EXPECT_GT(cellText(doc, t->cellAt(0, 11)).right(), width - 60) << "the first column stands on the right";

        // the text keeps its own widths, and a wide enough page gets them back
        const QByteArray written = writeRtf(&doc);
        for (int c = 1; c <= 12; ++c)
            EXPECT_EQ(QString::fromLatin1(written).count(QRegularExpression(QStringLiteral("\\\\cellx%1(?!\\d)").arg(c * 1500))), 6) << c;
        fitTables(&doc, 2000);
        for (const QTextLength& l : t->format().columnWidthConstraints()) {
            EXPECT_EQ(l.type(), QTextLength::FixedLength);
            EXPECT_NEAR(l.rawValue(), 100, 0.01);
        }
        EXPECT_FALSE(t->format().hasProperty(TableNaturalWidths));
        EXPECT_EQ(writeRtf(&doc), written);
    }
}
