// Clause numbers drawn in the editor and in print: where the other word processor puts them,
// in the room made for them, in place of the document's own list markers.
#include "platform/report/Fonts.h"
#include "platform/report/Renderer.h"
#include "platform/report/Report.h"
#include "platform/richtext/ListLabels.h"
#include "platform/richtext/Rtf.h"
#include "platform/richtext/RtfUnits.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextEdit>
#include <QTextLayout>
#include <gtest/gtest.h>

using namespace richtext;

namespace {

int ink(const QImage& image, const QRectF& region)
{
    int n = 0;
    const QRect r = region.toAlignedRect().intersected(image.rect());
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            n += qGray(image.pixel(x, y)) < 128;
    return n;
}

// A left-to-right and a right-to-left clause without indents, and one with a hanging indent.
const QByteArray kClauses =
    "{\\rtf1\\ansi{\\fonttbl{\\f0 DejaVu Sans;}}{\\*\\listtable{\\list{\\listlevel\\levelnfc0\\levelstartat7"
    "{\\leveltext\\'02\\'00.;}}\\listid1}}{\\*\\listoverridetable{\\listoverride\\listid1\\ls1}}"
    "\\pard\\ls1\\f0\\fs24 clause\\par"
    "\\pard\\ls1\\rtlpar\\qr\\f0\\fs24 \\u1576?\\u1606?\\u1583?\\par"
    "\\pard\\ls1\\fi-360\\li720\\f0\\fs24 hanging\\par}";

// Where each paragraph's label must be drawn: between the start of its lines and the start
// of its first line's text.
QRectF labelPlace(const QTextDocument& doc, const QTextBlock& b)
{
    const QRectF br = doc.documentLayout()->blockBoundingRect(b);
    const QTextLine first = b.layout()->lineAt(0);
    const QTextBlockFormat f = b.blockFormat();
    const double start = f.doubleProperty(ListLabelIndent);
    if (isRightToLeft(b)) {
        const double right = br.left() + first.x() + first.width() + f.textIndent();
        return QRectF(right - f.textIndent(), br.top(), f.textIndent() - start, first.height());
    }
    const double left = br.left() + first.x() - f.textIndent() + start;
    return QRectF(left, br.top(), first.x() + br.left() - left, first.height());
}

} // namespace

TEST(ListLabels, DrawnInTheRoomMadeForThemInsteadOfTheDocumentsMarkers)
{
    report::installFontSubstitutions();
    QTextDocument doc;
    ASSERT_EQ(readRtf(&doc, kClauses), LoadResult::Loaded);
    doc.setDocumentMargin(0);
    doc.setTextWidth(400);
    EXPECT_EQ(listLabels(&doc).values().size(), 3);
    QImage plain(400, int(doc.size().height()) + 1, QImage::Format_RGB32);
    plain.fill(Qt::white);
    QImage labelled = plain;
    {
        QPainter p(&plain);
        doc.drawContents(&p);
    }
    {
        QPainter p(&labelled);
        doc.drawContents(&p);
        paintListLabels(&p, &doc, QRectF(labelled.rect()), Qt::black);
    }
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QRectF place = labelPlace(doc, b);
        ASSERT_GT(place.width(), 5) << b.text().toStdString();
        EXPECT_EQ(ink(plain, place), 0) << "the document's own marker is hidden: " << b.text().toStdString();
        EXPECT_GT(ink(labelled, place), 10) << "the label is drawn: " << b.text().toStdString();
    }
}

// The editor draws the same labels over its text, wherever it is scrolled.
TEST(ListLabels, TheEditorShowsThem)
{
    report::installFontSubstitutions();
    QTextEdit editor;
    editor.resize(500, 300);
    ASSERT_EQ(readRtf(editor.document(), kClauses), LoadResult::Loaded);
    showListLabels(&editor);
    editor.show();
    QApplication::processEvents();
    const QTextDocument& doc = *editor.document();
    const QImage shown = editor.viewport()->grab().toImage();
    int found = 0;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QRectF place = labelPlace(doc, b).translated(-editor.horizontalScrollBar()->value(), -editor.verticalScrollBar()->value());
        found += ink(shown, place) > 10;
    }
    EXPECT_EQ(found, 3);
    // a new clause typed after the first is numbered 8, the next ones go on
    QTextCursor c(doc.begin());
    c.movePosition(QTextCursor::EndOfBlock);
    c.insertBlock();
    c.insertText(QStringLiteral("new"));
    EXPECT_EQ(listLabel(doc.begin().next()), QStringLiteral("8."));
    EXPECT_EQ(listLabel(doc.begin().next().next()), QStringLiteral("9."));
}

// In print the labels are drawn as in the editor, scaled with the text.
TEST(ListLabels, PrintedAsInTheEditor)
{
    report::installFontSubstitutions();
    QTextDocument source;
    ASSERT_EQ(readRtf(&source, kClauses), LoadResult::Loaded);
    report::Report rep(10, report::Portrait);
    rep.band(report::BandType::Title, 0).addRichText(QStringLiteral("rt"), QRect(0, 0, rep.printableWidth(), 0), &source);
    const report::PreparedReport r = rep.prepare();
    const auto parts = r.findNamed(QStringLiteral("rt"));
    ASSERT_EQ(parts.size(), 1);
    const report::ReportItem& item = *parts[0].item;
    const QTextDocument& printed = *item.document;
    const QImage page = report::renderPageImage(r, 0, 254);   // one pixel per unit
    for (QTextBlock b = printed.begin(); b.isValid(); b = b.next()) {
        const QRectF place = labelPlace(printed, b).translated(item.rect.left(), item.rect.top() - item.documentTop);
        EXPECT_GT(place.width(), 20) << "room on paper: " << b.text().toStdString();
        EXPECT_GT(ink(page, place), 30) << "printed label: " << b.text().toStdString();
    }
    EXPECT_NEAR(printed.begin().blockFormat().textIndent(), source.begin().blockFormat().textIndent() * 254.0 / 96.0, 0.01);
}
