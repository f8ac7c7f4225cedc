// Pictures in RTF: PNG and JPEG read as images of their size on the page, written back with
// their bytes unchanged; the copy for non-shape readers is not read twice; the parts the
// document cannot hold are reported, never added to the text.
#include "platform/report/Fonts.h"
#include "platform/report/Renderer.h"
#include "platform/report/Report.h"
#include "platform/richtext/Rtf.h"
#include "platform/richtext/RtfUnits.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextTable>
#include <QUrl>
#include "RtfMutations.h"

#include <gtest/gtest.h>
#include <random>

using namespace richtext;

namespace {

// A picture file of one colour with a black frame, in the given format.
QByteArray pictureFile(const char* format, QSize size, QColor fill)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    image.setDotsPerMeterX(3780);     // 96 to the inch
    image.setDotsPerMeterY(3780);
    QPainter p(&image);
    p.setPen(Qt::black);
    p.drawRect(0, 0, size.width() - 1, size.height() - 1);
    p.end();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

const QByteArray kPng = pictureFile("PNG", {40, 20}, Qt::red);
const QByteArray kJpeg = pictureFile("JPEG", {30, 60}, Qt::blue);

// A picture group: words and sizes before the data in hex.
QByteArray pict(const QByteArray& words, const QByteArray& data)
{
    return "{\\pict" + words + "\n" + data.toHex() + "}";
}

struct Image {
    QByteArray bytes;
    double width, height;     // document pixels
};

// The document's images in order, with the bytes they keep.
std::vector<Image> images(const QTextDocument& doc)
{
    std::vector<Image> out;
    QTextCursor c(const_cast<QTextDocument*>(&doc));
    while (!c.atEnd()) {
        c.movePosition(QTextCursor::NextCharacter);
        const QTextCharFormat f = c.charFormat();
        if (f.isImageFormat() && doc.characterAt(c.position() - 1) == QChar::ObjectReplacementCharacter) {
            const QTextImageFormat i = f.toImageFormat();
            out.push_back({i.property(PictureBytes).toByteArray(), i.width(), i.height()});
        }
    }
    return out;
}

const QByteArray kBody = "\\pard\\rtlpar\\qr \\u1602?\\u1585?\\u1575?\\u1585?\\u1583?\\u1575?\\u1583?\\par}";
const QString kWord = QStringLiteral("قرارداد");

TEST(RtfPictures, ReadInTheirSizeAndOtherPartsReported)
{
    const QString obj(QChar::ObjectReplacementCharacter);
    const struct {
        const char* what;
        QByteArray part;
        QByteArray bytes;        // of the one picture expected; empty: none
        double width, height;
        unsigned dropped;
    } cases[] = {
        {"png with its goal", pict("\\pngblip\\picw40\\pich20\\picwgoal1440\\pichgoal720", kPng), kPng, 96, 48, 0},
        {"jpeg scaled", pict("\\jpegblip\\picwgoal900\\pichgoal1800\\picscalex50\\picscaley200", kJpeg), kJpeg, 30, 240, 0},
        {"no goal: its own size", pict("\\pngblip", kPng), kPng, 40, 20, 0},
        {"one side: the other in proportion", pict("\\pngblip\\picwgoal1200", kPng), kPng, 80, 40, 0},
        {"shape picture taken, its copy for other readers not",
         "{\\*\\shppict" + pict("{\\*\\picprop{\\sp{\\sn x}{\\sv 1}}}\\pngblip\\picwgoal600\\pichgoal300", kPng)
             + "}{\\nonshppict" + pict("\\wmetafile8\\picwgoal600\\pichgoal300", "0100090000") + "}",
         kPng, 40, 20, 0},
        {"as LibreOffice writes it: goal and scale",
         "{\\*\\shppict{\\pict{\\*\\picprop{\\sp{\\sn wzDescription}{\\sv }}{\\sp{\\sn wzName}{\\sv }}}\\picscalex480"
         "\\picscaley480\\piccropl0\\piccropr0\\piccropt0\\piccropb0\\picw40\\pich20\\picwgoal600\\pichgoal300\\pngblip\n"
             + kPng.toHex() + "}}{\\nonshppict" + pict("\\picscalex480\\picscaley480\\wmetafile8", "0100090000") + "}",
         kPng, 192, 96, 0},
        {"binary data", "{\\pict\\pngblip\\picwgoal600\\pichgoal300\\bin" + QByteArray::number(kPng.size()) + " " + kPng + "}",
         kPng, 40, 20, 0},
        {"a metafile", pict("\\wmetafile8\\picwgoal600\\pichgoal300", "010009000003"), {}, 0, 0, DroppedPictures},
        {"an enhanced metafile", pict("\\emfblip", "0100000000"), {}, 0, 0, DroppedPictures},
        {"damaged png data", pict("\\pngblip\\picwgoal600", "89504e47ffff"), {}, 0, 0, DroppedPictures},
        {"jpeg data called png", pict("\\pngblip", kJpeg), {}, 0, 0, DroppedPictures},
        {"header", "{\\header \\pard\\qc 1 " + pict("\\pngblip", kPng) + "\\par}", {}, 0, 0, DroppedHeadersFooters},
        {"first-page footer", "{\\footerf \\pard page 2\\par}", {}, 0, 0, DroppedHeadersFooters},
        {"footnote", "{\\super\\chftn}{\\footnote \\pard\\plain {\\super\\chftn} tracking 22\\par}", {}, 0, 0, DroppedNotes},
        {"endnote", "{\\footnote\\ftnalt \\pard note\\par}", {}, 0, 0, DroppedNotes},
        {"comment", "{\\*\\atnid x}{\\*\\atnauthor y}{\\*\\annotation note}", {}, 0, 0, DroppedComments},
        {"floating picture shape",
         "{\\shp{\\*\\shpinst{\\sp{\\sn pib}{\\sv " + pict("\\pngblip", kPng) + "}}}{\\shprslt{\\*\\do\\dobxcolumn}}}", {}, 0, 0,
         DroppedObjects},
        {"embedded object", "{\\object\\objemb{\\*\\objdata 0105}{\\result " + pict("\\pngblip", kPng) + "}}", {}, 0, 0,
         DroppedObjects},
        {"picture in the plain copy of a unicode group",
         "{\\upr{" + pict("\\pngblip", kPng) + "}{\\*\\ud{" + pict("\\pngblip", kPng) + "}}}", kPng, 40, 20, 0},
        {"stylesheet and info are no loss", "{\\stylesheet{\\s0 Normal;}}{\\info{\\title t}}", {}, 0, 0, 0},
    };
    for (const auto& c : cases) {
        QTextDocument doc;
        unsigned dropped = 99;
        ASSERT_EQ(readRtf(&doc, "{\\rtf1\\ansi " + c.part + kBody, nullptr, &dropped), LoadResult::Loaded) << c.what;
        EXPECT_EQ(dropped, c.dropped) << c.what;
        const std::vector<Image> got = images(doc);
        if (c.bytes.isEmpty()) {
            EXPECT_TRUE(got.empty()) << c.what;
            EXPECT_EQ(doc.toPlainText(), kWord) << c.what;
            continue;
        }
        ASSERT_EQ(got.size(), 1u) << c.what;
        EXPECT_EQ(got[0].bytes, c.bytes) << c.what;
        EXPECT_NEAR(got[0].width, c.width, 0.05) << c.what;
        EXPECT_NEAR(got[0].height, c.height, 0.05) << c.what;
        EXPECT_EQ(doc.toPlainText(), obj + kWord) << c.what;
        const QTextImageFormat f = doc.begin().begin().fragment().charFormat().toImageFormat();
        EXPECT_FALSE(doc.resource(QTextDocument::ImageResource, QUrl(f.name())).value<QImage>().isNull()) << c.what;
    }
    // plain text and a text without dropped parts report none
    QTextDocument doc;
    unsigned dropped = 99;
    loadText(&doc, "plain {\\header x}", nullptr, &dropped);
    EXPECT_EQ(dropped, 0u);
}

// Files LibreOffice saved: the stamp picture shows once in its scaled size, the metafile copy
// beside it is not read; the lease's header, footer and footnote are reported, its words kept.
TEST(RtfPictures, FilesOfAnotherWordProcessor)
{
    const struct { const char* file; int pictures; double width, height; unsigned dropped; } cases[] = {
        {"picture_stamp", 1, 900 * 1.89 / 15, 600 * 1.89 / 15, 0},
        {"lease_header_footnote", 0, 0, 0, DroppedHeadersFooters | DroppedNotes},
    };
    for (const auto& c : cases) {
        const QString base = QStringLiteral(DOVIN_SOURCE_DIR "/tests/platform/rtf_corpus/") + QLatin1String(c.file);
        QFile rtf(base + QStringLiteral(".rtf")), txt(base + QStringLiteral(".txt"));
        ASSERT_TRUE(rtf.open(QIODevice::ReadOnly) && txt.open(QIODevice::ReadOnly)) << c.file;
        QTextDocument doc;
        unsigned dropped = 0;
        ASSERT_EQ(readRtf(&doc, rtf.readAll(), nullptr, &dropped), LoadResult::Loaded) << c.file;
        EXPECT_EQ(dropped, c.dropped) << c.file;
        const std::vector<Image> got = images(doc);
        ASSERT_EQ(int(got.size()), c.pictures) << c.file;
        for (const Image& image : got) {
            EXPECT_TRUE(image.bytes.startsWith("\x89PNG")) << c.file;
            EXPECT_NEAR(image.width, c.width, 0.1) << c.file;
            EXPECT_NEAR(image.height, c.height, 0.1) << c.file;
        }
        // the words LibreOffice shows, the picture aside
        QString shown = QString::fromUtf8(txt.readAll());
        shown.remove(QChar(0xFEFF));
        QStringList lines;
        for (const QString& line : doc.toPlainText().remove(QChar::ObjectReplacementCharacter).split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                lines << line.trimmed();
        QStringList expected;
        for (const QString& line : shown.split(QLatin1Char('\n')))
            if (!line.trimmed().isEmpty())
                expected << line.trimmed();
        // (the lease's note mark after a name is no word of the text)
        if (!c.pictures)
            expected.replaceInStrings(QStringLiteral("احمدی1"), QStringLiteral("احمدی"));
        EXPECT_EQ(lines, expected) << c.file;
    }
}

// Pictures between words, in a table cell and twice in a row: written, read again and written
// again with the same bytes, sizes and places.
TEST(RtfPictures, WrittenBackWithTheirBytes)
{
    const QByteArray rtf = "{\\rtf1\\ansi a" + pict("\\pngblip\\picwgoal1440\\pichgoal720", kPng) + "b"
        + pict("\\jpegblip\\picwgoal450\\pichgoal900", kJpeg) + pict("\\jpegblip\\picwgoal450\\pichgoal900", kJpeg)
        + "\\par\\trowd\\cellx3000\\cellx6000\\pard\\intbl x\\cell\\pard\\intbl "
        + pict("\\pngblip\\picwgoal300\\pichgoal150", kPng) + "\\cell\\row\\pard after\\par}";
    QTextDocument doc;
    readRtf(&doc, rtf);
    const std::vector<Image> first = images(doc);
    ASSERT_EQ(first.size(), 4u);
    const QByteArray written = writeRtf(&doc);
    EXPECT_EQ(written.count("{\\pict\\pngblip"), 2) << "PNG stays PNG";
    EXPECT_EQ(written.count("{\\pict\\jpegblip"), 2) << "JPEG stays JPEG";
    EXPECT_TRUE(written.contains("\\picwgoal1440\\pichgoal720"));
    EXPECT_TRUE(written.contains(kJpeg.toHex().left(128)));
    QTextDocument back;
    readRtf(&back, written);
    EXPECT_EQ(back.toPlainText(), doc.toPlainText());
    const std::vector<Image> again = images(back);
    ASSERT_EQ(again.size(), first.size());
    for (size_t i = 0; i < first.size(); ++i) {
        EXPECT_EQ(again[i].bytes, first[i].bytes) << i;
        EXPECT_NEAR(again[i].width, first[i].width, 0.1) << i;
        EXPECT_NEAR(again[i].height, first[i].height, 0.1) << i;
    }
    EXPECT_EQ(writeRtf(&back), written) << "writing is stable";
    if (qEnvironmentVariableIsSet("DOVIN_TEST_SHOTS")) {
        QFile out(QStringLiteral("/tmp/picture-written.rtf"));
        if (out.open(QIODevice::WriteOnly))
            out.write(written);
    }

    // an image the document holds without the bytes of a file goes out as PNG
    QTextDocument made;
    QImage green(10, 5, QImage::Format_RGB32);
    green.fill(Qt::green);
    made.addResource(QTextDocument::ImageResource, QUrl(QStringLiteral("green")), green);
    QTextImageFormat f;
    f.setName(QStringLiteral("green"));
    f.setWidth(20);
    f.setHeight(10);
    QTextCursor(&made).insertImage(f);
    QTextDocument read;
    readRtf(&read, writeRtf(&made));
    const std::vector<Image> one = images(read);
    ASSERT_EQ(one.size(), 1u);
    EXPECT_TRUE(one[0].bytes.startsWith("\x89PNG"));
    EXPECT_NEAR(one[0].width, 20, 0.1);
    EXPECT_EQ(QImage::fromData(one[0].bytes).pixelColor(2, 2), QColor(Qt::green));
}

// The print shows the picture where the text has it, in its size on paper, on a copy of the
// editor's document.
TEST(RtfPictures, PrintedInTheirPlaceAndSize)
{
    report::installFontSubstitutions();
    const QByteArray rtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}\\pard\\qc\\fs24 top line\\par\\pard\\qc "
        + pict("\\pngblip\\picwgoal2880\\pichgoal1440", pictureFile("PNG", {200, 100}, Qt::red)) + "\\par\\pard after\\par}";
    QTextDocument source;
    readRtf(&source, rtf);
    report::Report rep(10, report::Portrait);
    rep.band(report::BandType::Title, 0).addRichText(QStringLiteral("rt"), QRect(0, 0, rep.printableWidth(), 0), &source);
    const report::PreparedReport r = rep.prepare();
    constexpr double dpi = 100;
    const QImage page = report::renderPageImage(r, 0, dpi);
    ASSERT_FALSE(page.isNull());
    if (qEnvironmentVariableIsSet("DOVIN_TEST_SHOTS"))
        page.save(QStringLiteral("/tmp/picture-page.png"));
    QRect red;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x) {
            const QColor c = page.pixelColor(x, y);
            if (c.red() > 200 && c.green() < 60 && c.blue() < 60)
                red |= QRect(x, y, 1, 1);
        }
    ASSERT_FALSE(red.isEmpty()) << "the picture is printed";
    // two inches by one on paper, less its one-pixel frame
    EXPECT_NEAR(red.width(), 2 * dpi, 4);
    EXPECT_NEAR(red.height(), 1 * dpi, 4);
    EXPECT_NEAR(red.center().x(), page.width() / 2.0, 0.05 * page.width()) << "centred as its paragraph";
    EXPECT_LT(red.top(), page.height() / 3);
}

// Texts with pictures damaged every way: bytes changed, cut, lost or repeated, stray marks.
// Each reads without harm, and what is written of it reads back with the same text and the
// same pictures.
TEST(RtfPictures, DamagedPicturesReadWithoutHarm)
{
    const QList<QByteArray> seeds = {
        "{\\rtf1\\ansi a" + pict("\\pngblip\\picwgoal1440\\pichgoal720", kPng) + "b\\par}",
        "{\\rtf1{\\*\\shppict" + pict("\\jpegblip\\picscalex50", kJpeg) + "}{\\nonshppict" + pict("\\wmetafile8", "0100")
            + "}\\par{\\header " + pict("\\pngblip", kPng) + "}x\\par}",
        "{\\rtf1\\trowd\\cellx2000\\pard\\intbl {\\pict\\pngblip\\bin" + QByteArray::number(kPng.size()) + " " + kPng
            + "}\\cell\\row}",
    };
    const std::vector<const char*> marks = {"{", "}", "\\", "{\\pict ", "\\pngblip ", "\\jpegblip ", "\\picwgoal-5 ",
                                 "\\pichgoal99999999 ", "\\picscalex0 ", "\\bin7 ", "\\bin99999 ", "\\*\\shppict ",
                                 "\\nonshppict ", "\\par ", "\\v ", "ff"};
    QLoggingCategory::setFilterRules(QStringLiteral("qt.gui.imageio*=false"));   // the decoders' complaints
    std::mt19937 random(20261210);
    for (int i = 0; i < 1000; ++i) {
        const QByteArray data = testing_support::mutatedRtf(seeds[i % seeds.size()], random, 4, marks);
        QTextDocument doc;
        ASSERT_EQ(readRtf(&doc, data), LoadResult::Loaded) << i;
        const std::vector<Image> first = images(doc);
        for (const Image& image : first)
            ASSERT_TRUE(image.width >= 1 && image.width <= 2112 && image.height >= 1 && image.height <= 2112) << i;
        QTextDocument again;
        const QByteArray written = writeRtf(&doc);
        ASSERT_EQ(readRtf(&again, written), LoadResult::Loaded) << i;
        ASSERT_EQ(again.toPlainText(), doc.toPlainText()) << i << '\n' << data.constData();
        const std::vector<Image> back = images(again);
        ASSERT_EQ(back.size(), first.size()) << i;
        for (size_t k = 0; k < back.size(); ++k)
            ASSERT_EQ(back[k].bytes, first[k].bytes) << i;
    }
    QLoggingCategory::setFilterRules(QString());
}

} // namespace
