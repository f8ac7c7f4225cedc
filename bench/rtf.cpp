// A 100-page Persian contract: reading and writing its RTF, and flowing it into the pages of
// the contract print, against Qt's own HTML reading and writing of the same document.
#include "platform/report/Fonts.h"
#include "platform/report/Report.h"
#include "platform/richtext/Rtf.h"

#include "BenchSupport.h"

#include <QApplication>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextList>
#include <cstdio>

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
    return same ? 0 : 1;
}
