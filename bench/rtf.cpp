// A 100-page Persian contract: reading and writing its RTF, and flowing it into the pages of
// the contract print, against Qt's own HTML reading and writing of the same document. Then
// texts that grow without bound: 100,000 runs of alternate bold and italic, a numbered list of
// 20,000 items, a large table and a colour table of 19 MB, each read against the same text
// without its formats.
#include "platform/report/Fonts.h"
#include "platform/report/Report.h"
#include "platform/richtext/Rtf.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QTextCursor>
#include <QTextEdit>
#include <QTextDocument>
#include <QTextList>
#include <cstdio>
#include <sys/resource.h>

namespace {

// Articles of a contract: a bold centred heading, two right-to-left paragraphs, two bullets.
void buildContract(QTextDocument& doc, int articles)
{
    QTextCursor c(&doc);
    QTextCharFormat body;
    body.setFontFamilies({QStringLiteral("Tahoma")});
    body.setFontPointSize(12);
    QTextCharFormat heading = body;
    heading.setFontWeight(QFont::Bold);
    heading.setFontPointSize(14);
    const QString text = QStringLiteral(
        "طرفين قرارداد با آگاهي کامل از مفاد آن متعهد مي شوند که مبلغ %1 ريال را در موعد مقرر پرداخت نموده و "
        "در صورت تاخير، خسارت آن را مطابق شرايط مندرج در اين قرارنامه جبران نمايند؛ ساير شرايط به قوت خود باقي است.");
    bool first = true;
    const auto paragraph = [&](const QString& s, const QTextCharFormat& f, Qt::Alignment align, bool bullet) {
        if (!first)
            c.insertBlock();
        first = false;
        QTextBlockFormat bf;
        bf.setLayoutDirection(Qt::RightToLeft);
        bf.setAlignment(align);
        c.setBlockFormat(bf);
        if (bullet) {
            QTextListFormat lf;
            lf.setStyle(QTextListFormat::ListDisc);
            c.createList(lf);
        }
        c.insertText(s, f);
    };
    for (int i = 1; i <= articles; ++i) {
        paragraph(QStringLiteral("ماده %1 - تعهدات طرفين").arg(i), heading, Qt::AlignHCenter, false);
        paragraph(text.arg(i * 1250000), body, Qt::AlignRight | Qt::AlignAbsolute, false);
        paragraph(text.arg(i * 730000), body, Qt::AlignJustify, false);
        paragraph(QStringLiteral("پرداخت نقدي در دفتر بنگاه"), body, Qt::AlignRight | Qt::AlignAbsolute, true);
        paragraph(QStringLiteral("تحويل کليدها پس از تسويه"), body, Qt::AlignRight | Qt::AlignAbsolute, true);
    }
}

// The best of `runs` calls of f, in seconds.
template <class F>
double bestOf(int runs, F f)
{
    return bench::best(runs, f) / 1e3;
}

const QByteArray kHeader = "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 Tahoma;}}\n";
const QByteArray kWord = "\\u1605?\\u1575?\\u1583?\\u1607? ";   // a Persian word

// Runs of alternate bold and italic, 50 to a paragraph; without formats the same words.
QByteArray alternatingRuns(int runs, bool formats)
{
    QByteArray out = kHeader + "\\pard\\rtlpar\\qr\\f0\\fs24 ";
    for (int i = 0; i < runs; ++i) {
        if (formats)
            out += i % 2 ? "{\\b " : "{\\i ";
        out += kWord + QByteArray::number(i) + ' ';
        if (formats)
            out += '}';
        if (i % 50 == 49)
            out += "\\par\n";
    }
    return out + "\\par}";
}

// A numbered list as word processors write it; without formats the same paragraphs.
QByteArray numberedList(int items, bool formats)
{
    QByteArray out = kHeader;
    if (formats)
        out += "{\\*\\listtable{\\list\\listtemplateid1{\\listlevel\\levelnfc0\\levelstartat1{\\leveltext\\'02\\'00.;}"
               "{\\levelnumbers\\'01;}\\fi-360\\li720}\\listid1}}"
               "{\\*\\listoverridetable{\\listoverride\\listid1\\listoverridecount0\\ls1}}\n";
    for (int i = 1; i <= items; ++i) {
        out += "\\pard";
        if (formats)
            out += "\\ls1\\ilvl0\\fi-360\\li720{\\listtext " + QByteArray::number(i) + ".\\tab}";
        out += "\\rtlpar\\qr\\f0\\fs24 " + kWord + QByteArray::number(i) + "\\par\n";
    }
    return out + "}";
}

// A right-to-left table of bordered cells; without formats the same paragraphs.
QByteArray table(int rows, int columns, bool formats)
{
    QByteArray def = "\\trowd\\trgaph108\\rtlrow";
    for (int c = 1; c <= columns; ++c)
        def += "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx"
            + QByteArray::number(c * 1800);
    QByteArray out = kHeader;
    for (int r = 0; r < rows; ++r) {
        if (formats)
            out += def + '\n';
        for (int c = 0; c < columns; ++c)
            out += (formats ? "\\pard\\intbl\\rtlpar\\qr " : "\\pard\\rtlpar\\qr ") + kWord + QByteArray::number(r * columns + c)
                + (formats ? "\\cell\n" : "\\par\n");
        if (formats)
            out += "\\row\n";
    }
    return out + "}";
}

long peakKilobytes()
{
    rusage u{};
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

int pagesOf(const QTextDocument& doc, double* seconds)
{
    report::Report rep(10, report::Landscape);
    rep.band(report::BandType::Title, 0).addRichText(QStringLiteral("QRRichText1"), QRect(0, 0, rep.printableWidth(), 0), &doc);
    int pages = 0;
    *seconds = bestOf(3, [&] { pages = rep.prepare().pageCount(); });
    return pages;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    report::installFontSubstitutions();

    // first, while the peak memory is low: a colour table of 19 MB of ';' keeps no entry per ';'
    // beyond a few thousand
    double colourSeconds = 0;
    long colourKilobytes = 0;
    {
        const QByteArray colours = "{\\rtf1{\\colortbl" + QByteArray(19 << 20, ';') + "}x}";
        const long before = peakKilobytes();
        QTextDocument d;
        colourSeconds = bench::seconds([&] { richtext::readRtf(&d, colours); });
        colourKilobytes = peakKilobytes() - before;
    }

    // as many articles as fill 100 pages of the default contract paper
    QTextDocument doc;
    doc.setUndoRedoEnabled(false);
    int articles = 250;
    for (double unused = 0;; articles += 10) {
        doc.clear();
        buildContract(doc, articles);
        if (pagesOf(doc, &unused) >= 100)
            break;
    }

    QByteArray rtf;
    const double write = bestOf(3, [&] { rtf = richtext::writeRtf(&doc); });
    QTextDocument back;
    back.setUndoRedoEnabled(false);
    const double read = bestOf(3, [&] { richtext::readRtf(&back, rtf); });
    QString html;
    const double htmlWrite = bestOf(3, [&] { html = doc.toHtml(); });
    QTextDocument htmlBack;
    htmlBack.setUndoRedoEnabled(false);
    const double htmlRead = bestOf(3, [&] { htmlBack.setHtml(html); });
    double flow = 0;
    const int pages = pagesOf(back, &flow);

    const bool same = back.toPlainText() == doc.toPlainText();
    std::printf("contract: %d articles, %d characters, %d paragraphs, RTF %.1f KB, %d landscape A4 pages\n", articles,
                doc.characterCount(), doc.blockCount(), rtf.size() / 1024.0, pages);
    std::printf("write RTF   %7.3f s   (Qt HTML write %7.3f s, ratio %.2f)   bar 0.2 s: %s\n", write, htmlWrite,
                write / htmlWrite, write < 0.2 ? "ok" : "OVER");
    std::printf("read RTF    %7.3f s   (Qt HTML read  %7.3f s, ratio %.2f)   bar 0.2 s: %s\n", read, htmlRead,
                read / htmlRead, read < 0.2 ? "ok" : "OVER");
    std::printf("flow pages  %7.3f s   (%d pages, %.1f ms a page)              bar 1 s:   %s\n", flow, pages,
                flow * 1000 / std::max(1, pages), flow < 1.0 ? "ok" : "OVER");
    std::printf("text read back %s\n", same ? "identical" : "DIFFERENT");

    // growing texts: the cost of their formats against the same text without them
    struct Case {
        const char* name;
        QByteArray formatted, plain;
    };
    const Case cases[] = {
        {"100,000 bold/italic runs", alternatingRuns(100000, true), alternatingRuns(100000, false)},
        {"20,000-item numbered list", numberedList(20000, true), numberedList(20000, false)},
        {"2,000-row table of 3 cells", table(2000, 3, true), table(2000, 3, false)},
    };
    bool fast = true;
    for (const Case& c : cases) {
        QTextDocument d;
        const double withFormats = bestOf(3, [&] { richtext::readRtf(&d, c.formatted); });
        const int blocks = d.blockCount();
        const double without = bestOf(3, [&] { richtext::readRtf(&d, c.plain); });
        // into the editor's box, as the contract editor reads it
        QTextEdit edit;
        const double intoEditor = bestOf(1, [&] { richtext::readRtf(edit.document(), c.formatted); });
        std::printf("%-27s %6.1f KB  read %7.3f s, without formats %7.3f s, ratio %5.2f, into an edit box %7.3f s, "
                    "%d blocks   bar 2 s: %s\n",
                    c.name, c.formatted.size() / 1024.0, withFormats, without, withFormats / without, intoEditor, blocks,
                    withFormats < 2.0 && intoEditor < 2.0 ? "ok" : "OVER");
        fast = fast && withFormats < 2.0;
    }
    std::printf("19 MB colour table          read %7.3f s, peak memory grew by %ld KB (%.3f of the text)\n", colourSeconds,
                colourKilobytes, colourKilobytes * 1024.0 / (19 << 20));
    return same && fast ? 0 : 1;
}
