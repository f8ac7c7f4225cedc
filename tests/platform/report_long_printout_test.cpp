// A printout of thousands of pages keeps a small record per page in memory: its pages are
// read back when shown or printed, each the same as the page laid out in memory.
#include "platform/report/Fonts.h"
#include "platform/report/Renderer.h"
#include "platform/report/Report.h"
#include "support/ScriptedPrompter.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>
#include <QTextCursor>
#include <QTextDocument>
#include <gtest/gtest.h>
#include <limits>
#include <optional>

using namespace report;

namespace {

constexpr int kRows = 30000;   // ten rows a page: about 3,000 pages

// A list such as the grid printouts: title with a picture, framed column header, two cells
// (one wrapping to a second line on some rows) and a running total per row, page footer
// "n of m", and a rich-text summary.
struct LongList {
    Report rep;
    QTextDocument notes;
    double total = 0;

    LongList()
    {
        rep.title = QStringLiteral("ليست املاک موجود");
        QImage logo(40, 20, QImage::Format_RGB32);
        logo.fill(Qt::darkBlue);
        Band& title = rep.band(BandType::Title, 200);
        title.addText("title", QRect(0, 0, 1500, 150), QStringLiteral("ليست املاک موجود"));
        title.addPicture("logo", QRect(1600, 0, 200, 100), logo);
        Band& header = rep.band(BandType::PageHeader, 60);
        header.addPicture("mark", QRect(0, 0, 100, 50), logo);
        Band& columns = rep.band(BandType::ColumnHeader, 80);
        columns.frame = Frame::all(2);
        columns.addText("hdrName", QRect(1000, 0, 900, 80), QStringLiteral("نام مالک"));
        columns.addText("hdrPrice", QRect(0, 0, 1000, 80), QStringLiteral("قيمت"));
        Band& detail = rep.band(BandType::Detail, 230);
        detail.frame.left = detail.frame.right = true;
        auto& name = detail.addText("cellName", QRect(1000, 0, 900, 100));
        name.wordWrap = true;
        name.autoStretch = true;
        name.onPrint = [this] {
            const int row = rep.currentRow() + 1;
            return row % 7 == 0 ? QStringLiteral("مالک شماره %1 با نامي بلند که به سطر دوم مي رود و باز هم ادامه دارد").arg(row)
                                : QStringLiteral("مالک شماره %1").arg(row);
        };
        auto& price = detail.addText("cellPrice", QRect(0, 0, 1000, 100));
        price.alignment = Qt::AlignLeft | Qt::AlignTop;
        price.rightToLeft = false;
        price.onPrint = [this] {
            total += rep.currentRow() * 1000.0;
            return QString::number(total, 'f', 0);
        };
        detail.columnLines.push_back({1000, 5});
        detail.addLine("rule", QPoint(0, 220), QPoint(1900, 220), 2);
        QTextCursor(&notes).insertText(QStringLiteral("پايان فهرست"));
        rep.band(BandType::Summary, 100).addRichText("notes", QRect(0, 0, 1900, 100), &notes);
        rep.band(BandType::PageFooter, 60).addPageNumber("pageNo", QRect(0, 0, 1900, 60), QStringLiteral("صفحه %1 از %2"));
        rep.rowCount = kRows;
    }

    PreparedReport prepare(qsizetype itemsInMemory)
    {
        total = 0;
        rep.itemsInMemory = itemsInMemory;
        return rep.prepare();
    }
};

void expectSameItem(const ReportItem& a, const ReportItem& b)
{
    EXPECT_EQ(int(a.type), int(b.type));
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.rect, b.rect) << a.name.toStdString();
    EXPECT_EQ(a.text, b.text);
    EXPECT_EQ(a.font, b.font) << a.name.toStdString();
    EXPECT_EQ(a.font.pointSizeF(), b.font.pointSizeF());
    EXPECT_EQ(a.alignment, b.alignment);
    EXPECT_EQ(a.rightToLeft, b.rightToLeft);
    EXPECT_EQ(a.wordWrap, b.wordWrap);
    EXPECT_EQ(a.breakWords, b.breakWords);
    EXPECT_EQ(a.clip, b.clip);
    EXPECT_EQ(a.color, b.color);
    EXPECT_EQ(a.background, b.background);
    EXPECT_EQ(a.frame.left, b.frame.left);
    EXPECT_EQ(a.frame.top, b.frame.top);
    EXPECT_EQ(a.frame.right, b.frame.right);
    EXPECT_EQ(a.frame.bottom, b.frame.bottom);
    EXPECT_EQ(a.frame.width, b.frame.width);
    EXPECT_EQ(a.line, b.line);
    EXPECT_EQ(int(a.shape), int(b.shape));
    EXPECT_EQ(a.penWidth, b.penWidth);
    EXPECT_EQ(a.brush, b.brush);
    EXPECT_EQ(a.image, b.image);
    EXPECT_EQ(bool(a.document), bool(b.document));
    if (a.document && b.document)
        EXPECT_EQ(a.document->toPlainText(), b.document->toPlainText());
    EXPECT_EQ(a.documentTop, b.documentTop);
}

qsizetype itemsOf(const PreparedReport& r)
{
    qsizetype n = 0;
    for (const ReportPage& p : r.pages)
        n += p.items.size();
    return n;
}

// Temporary files go to the given folder while it lives.
class TemporaryFolder {
public:
    explicit TemporaryFolder(const QString& path) : saved(qgetenv("TMPDIR")), wasSet(qEnvironmentVariableIsSet("TMPDIR"))
    {
        qputenv("TMPDIR", path.toLocal8Bit());
    }
    ~TemporaryFolder()
    {
        if (wasSet)
            qputenv("TMPDIR", saved);
        else
            qunsetenv("TMPDIR");
    }

private:
    QByteArray saved;
    bool wasSet;
};

class LongPrintout : public ::testing::Test {
protected:
    void SetUp() override { installFontSubstitutions(); }
};

} // namespace

TEST_F(LongPrintout, PagesReadBackAreThePagesLaidOutInMemory)
{
    LongList list;
    const PreparedReport eager = list.prepare(std::numeric_limits<qsizetype>::max());
    const int pages = eager.pageCount();
    ASSERT_GE(pages, 2500);
    ASSERT_FALSE(eager.pages.spilled());
    const qsizetype everyItem = itemsOf(eager);
    EXPECT_EQ(eager.pages.heldItems(), everyItem);
    const qsizetype perPage = everyItem / pages + 10;

    // From the first page to the file; and kept in memory at first, then moved there.
    for (const qsizetype budget : {qsizetype(0), PageStore::kItemsInMemory}) {
        SCOPED_TRACE(budget);
        LongList again;
        const PreparedReport spilled = again.prepare(budget);
        ASSERT_TRUE(spilled.pages.spilled());
        ASSERT_EQ(spilled.pageCount(), pages);
        EXPECT_LE(spilled.pages.heldItems(), 4 * perPage);
        EXPECT_GT(spilled.pages.spilledBytes(), 0);
        EXPECT_LT(spilled.pages.spilledBytes(), everyItem * 40) << "a few bytes an item, not the item";

        for (const int p : {0, 1, pages / 2, pages - 2, pages - 1}) {
            SCOPED_TRACE(p);
            const auto a = eager.pages.page(p);
            const auto b = spilled.pages.page(p);
            ASSERT_EQ(a->items.size(), b->items.size());
            for (qsizetype i = 0; i < a->items.size(); ++i)
                expectSameItem(a->items[i], b->items[i]);
        }
        EXPECT_EQ(spilled.pages[pages / 2].items.size(), eager.pages[pages / 2].items.size());
        // the whole walk, as printing does, still holds a few pages only
        EXPECT_EQ(itemsOf(spilled), everyItem);
        EXPECT_LE(spilled.pages.heldItems(), 4 * perPage);

        // drawn the same
        for (const int p : {0, pages - 1})
            EXPECT_EQ(renderPageImage(spilled, p, 40), renderPageImage(eager, p, 40)) << p;

        // page numbers of every page, totals carried from page to page
        const auto numbers = spilled.findNamed(QStringLiteral("pageNo"));
        ASSERT_EQ(numbers.size(), pages);
        EXPECT_EQ(numbers.first().item->text, QStringLiteral("صفحه 1 از %1").arg(pages));
        EXPECT_EQ(numbers.last().item->text, QStringLiteral("صفحه %1 از %1").arg(pages));
        EXPECT_EQ(spilled.pageTexts(pages - 1), eager.pageTexts(pages - 1));
        EXPECT_EQ(spilled.findText(QStringLiteral("مالک شماره %1").arg(kRows)).size(), 1);
    }
}

TEST_F(LongPrintout, CopiesShareThePagesAndTheFileGoesWithTheLastCopyOrACancel)
{
    LongList list;
    list.rep.rowCount = 300;
    QTemporaryDir folder;
    std::optional<TemporaryFolder> there(std::in_place, folder.path());
    // files open in the folder (a temporary file may have no name there)
    const auto files = [&] {
        const QString there = QDir(folder.path()).canonicalPath() + QLatin1Char('/');
        int n = 0;
        for (const QFileInfo& fd : QDir(QStringLiteral("/proc/self/fd")).entryInfoList(QDir::System | QDir::Files))
            n += fd.symLinkTarget().startsWith(there);
        return n;
    };
    {
        PreparedReport copy;
        {
            const PreparedReport r = list.prepare(0);
            ASSERT_TRUE(r.pages.spilled());
            EXPECT_EQ(files(), 1);
            copy = r;
        }
        EXPECT_EQ(files(), 1);
        EXPECT_FALSE(copy.pages[copy.pageCount() - 1].items.isEmpty());
        EXPECT_EQ(copy.findText(QStringLiteral("مالک شماره 300")).size(), 1);
    }
    EXPECT_EQ(files(), 0);

    // cancelled once its pages have gone to the file: no preview, and the file goes
    testing_support::ScriptedPrompter prompter;
    list.rep.rowCount = kRows;
    list.rep.itemsInMemory = 0;
    prompter.onProgress = [&] {
        if (files() == 1)
            prompter.cancelWork = true;
    };
    EXPECT_FALSE(list.rep.preview(QStringLiteral("ليست املاک موجود")));
    EXPECT_TRUE(prompter.cancelWork);
    EXPECT_EQ(prompter.previewCount, 0);
    EXPECT_EQ(files(), 0);
    prompter.onProgress = nullptr;
    list.rep.rowCount = 300;
    there.reset();
    // a short report stays in memory
    const PreparedReport small = list.prepare(PageStore::kItemsInMemory);
    EXPECT_FALSE(small.pages.spilled());
    EXPECT_EQ(small.findText(QStringLiteral("مالک شماره 300")).size(), 1);
}

TEST_F(LongPrintout, WithoutATemporaryFolderThePagesStayInMemory)
{
    LongList list;
    list.rep.rowCount = 500;
    const PreparedReport eager = list.prepare(std::numeric_limits<qsizetype>::max());
    QTemporaryDir folder;
    PreparedReport kept;
    {
        const TemporaryFolder missing(folder.path() + QStringLiteral("/missing"));
        kept = list.prepare(0);
    }
    EXPECT_FALSE(kept.pages.spilled());
    ASSERT_EQ(kept.pageCount(), eager.pageCount());
    const auto a = eager.pages.page(kept.pageCount() - 1);
    const auto b = kept.pages.page(kept.pageCount() - 1);
    ASSERT_EQ(a->items.size(), b->items.size());
    for (qsizetype i = 0; i < a->items.size(); ++i)
        expectSameItem(a->items[i], b->items[i]);
}

TEST_F(LongPrintout, PagesCutIntoPartsAreCutAlikeFromMemoryAndFromTheFile)
{
    // the left column's items print on pages of their own, after every page's right part
    const auto cut = [](const ReportPage& whole, int part, ReportPage& out) {
        for (const ReportItem& item : whole.items) {
            const int in = item.name == QLatin1String("cellPrice") || item.name == QLatin1String("hdrPrice") ? 1 : 0;
            if (item.name.startsWith(QLatin1String("cell")) || item.name.startsWith(QLatin1String("hdr"))) {
                if (in != part)
                    continue;
            }
            out.items.append(item);
            out.items.last().rect.translate(part * 500, 0);
        }
    };
    LongList list;
    list.rep.rowCount = 3000;
    PreparedReport eager = list.prepare(std::numeric_limits<qsizetype>::max());
    PreparedReport spilled = list.prepare(0);
    const int laid = eager.pageCount();
    ASSERT_TRUE(spilled.pages.spilled());
    eager.pages.splitInto(2, cut);
    spilled.pages.splitInto(2, cut);
    ASSERT_EQ(eager.pageCount(), 2 * laid);
    ASSERT_EQ(spilled.pageCount(), 2 * laid);

    // every name of the first part, then every price; the rest of each page on both
    EXPECT_EQ(spilled.findNamed(QStringLiteral("cellName")).first().page, 0);
    EXPECT_EQ(spilled.findNamed(QStringLiteral("cellName")).last().page, laid - 1);
    EXPECT_EQ(spilled.findNamed(QStringLiteral("cellPrice")).first().page, laid);
    EXPECT_EQ(spilled.findNamed(QStringLiteral("cellPrice")).size(), 3000);
    EXPECT_EQ(spilled.findNamed(QStringLiteral("pageNo")).size(), 2 * laid);
    const qsizetype perPage = itemsOf(eager) / eager.pageCount() + 10;
    EXPECT_LE(spilled.pages.heldItems(), 8 * perPage);
    for (const int p : {0, laid - 1, laid, 2 * laid - 1}) {
        SCOPED_TRACE(p);
        // two pages held at once, as the preview's pages side by side
        const ReportPage& a = eager.pages[p];
        const ReportPage& b = spilled.pages[p];
        const ReportPage& other = spilled.pages[(p + laid) % (2 * laid)];
        ASSERT_EQ(a.items.size(), b.items.size());
        EXPECT_NE(other.items.size(), 0);
        for (qsizetype i = 0; i < a.items.size(); ++i)
            expectSameItem(a.items[i], b.items[i]);
        EXPECT_EQ(renderPageImage(spilled, p, 40), renderPageImage(eager, p, 40));
    }
}
