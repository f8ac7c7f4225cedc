// The preview window: page counter, paging buttons, zoom, printer set-up, print and cancel.
#include "platform/report/Fonts.h"
#include "platform/report/PreviewView.h"
#include "platform/report/Report.h"
#include "platform/report/TCustPreview.h"
#include "platform/report/TQRCustomPreviewInterface.h"
#include "support/ScriptedPrompter.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QPrinter>
#include <QPrinterInfo>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace report;

namespace {

PreparedReport preparedPages(int rows)
{
    installFontSubstitutions();
    Report rep;
    rep.title = "list";
    rep.band(BandType::Title, 100).addText("t", QRect(0, 0, 1900, 100), QStringLiteral("گزارش ماهانه"));
    Band& detail = rep.band(BandType::Detail, 100);
    detail.frame = Frame::all(2);
    detail.addText("c", QRect(0, 0, 1880, 100)).onPrint = [&rep] { return QStringLiteral("رديف %1").arg(rep.currentRow() + 1); };
    rep.rowCount = rows;
    return rep.prepare();
}

template <typename T>
T* child(QWidget& w, const char* name)
{
    T* c = w.findChild<T*>(QString::fromLatin1(name));
    EXPECT_NE(c, nullptr) << name;
    return c;
}

QString counter(TCustPreview& w) { return child<QLabel>(w, "Panel2")->text(); }

} // namespace

TEST(ReportPreview, PagingUpdatesCounterAndButtons)
{
    testing_support::ScriptedPrompter prompter;
    PreparedReport r = preparedPages(60);
    ASSERT_EQ(r.pageCount(), 3);
    TCustPreview w(nullptr, r);
    w.resize(1000, 700);
    w.show();
    auto* prior = child<QPushButton>(w, "BitBtn4");
    auto* next = child<QPushButton>(w, "BitBtn3");
    auto* view = child<PreviewView>(w, "QRPreview1");

    EXPECT_EQ(counter(w), QStringLiteral("صفحه 1 از 3"));
    EXPECT_FALSE(prior->isEnabled());
    EXPECT_TRUE(next->isEnabled());
    EXPECT_TRUE(view->isFitted());

    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(counter(w), QStringLiteral("صفحه 2 از 3"));
    EXPECT_TRUE(prior->isEnabled());
    QTest::mouseClick(next, Qt::LeftButton);
    EXPECT_EQ(counter(w), QStringLiteral("صفحه 3 از 3"));
    EXPECT_FALSE(next->isEnabled());
    next->click();   // at the end nothing changes
    EXPECT_EQ(view->pageNumber(), 3);
    EXPECT_EQ(counter(w), QStringLiteral("صفحه 3 از 3"));
    QTest::mouseClick(prior, Qt::LeftButton);
    EXPECT_EQ(counter(w), QStringLiteral("صفحه 2 از 3"));
    view->setPageNumber(0);
    view->setPageNumber(4);
    EXPECT_EQ(view->pageNumber(), 2);

    // Actual size, then fit again.
    const int fitted = view->zoom();
    QTest::mouseClick(child<QPushButton>(w, "BitBtn5"), Qt::LeftButton);
    EXPECT_EQ(view->zoom(), 100);
    EXPECT_FALSE(view->isFitted());
    QTest::mouseClick(child<QPushButton>(w, "BitBtn6"), Qt::LeftButton);
    EXPECT_EQ(view->zoom(), fitted);
    EXPECT_LT(fitted, 100);

    // Printer set-up goes through the prompter.
    QTest::mouseClick(child<QPushButton>(w, "BitBtn7"), Qt::LeftButton);
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].what, QStringLiteral("printSetup"));
    EXPECT_TRUE(w.isVisible());

    // Tool bar order: the five at the left, cancel and print at the right, print rightmost.
    const char* order[] = {"BitBtn4", "BitBtn3", "BitBtn5", "BitBtn6", "BitBtn7", "BitBtn1", "BitBtn2"};
    for (int i = 1; i < 7; ++i)
        EXPECT_LT(child<QPushButton>(w, order[i - 1])->x(), child<QPushButton>(w, order[i])->x()) << order[i];
    QTest::qWait(20);
    w.grab().save(QDir::temp().filePath("report_preview.png"));
}

TEST(ReportPreview, OnePageDocument)
{
    testing_support::ScriptedPrompter prompter;
    PreparedReport r = preparedPages(3);
    TCustPreview w(nullptr, r);
    w.show();
    EXPECT_EQ(counter(w), QStringLiteral("صفحه 1 از 1"));
    EXPECT_FALSE(child<QPushButton>(w, "BitBtn4")->isEnabled());
    EXPECT_FALSE(child<QPushButton>(w, "BitBtn3")->isEnabled());
    child<QPushButton>(w, "BitBtn3")->click();
    EXPECT_EQ(counter(w), QStringLiteral("صفحه 1 از 1"));
}

TEST(ReportPreview, PrintWritesEveryPageAndAccepts)
{
    testing_support::ScriptedPrompter prompter;
    PreparedReport r = preparedPages(60);
    QTemporaryDir dir;
    TCustPreview w(nullptr, r);
    w.printer().setOutputFormat(QPrinter::PdfFormat);
    w.printer().setOutputFileName(dir.filePath("out.pdf"));
    w.show();
    QTest::mouseClick(child<QPushButton>(w, "BitBtn2"), Qt::LeftButton);
    EXPECT_EQ(w.result(), QDialog::Accepted);
    QFile pdf(dir.filePath("out.pdf"));
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray data = pdf.readAll();
    EXPECT_TRUE(data.startsWith("%PDF"));
    EXPECT_EQ(data.count("/Type /Page\n") + data.count("/Type /Page\r") + data.count("/Type /Page "), 3);
    EXPECT_TRUE(prompter.calls.isEmpty());
}

TEST(ReportPreview, PrintFailureIsReportedAndWindowStays)
{
    testing_support::ScriptedPrompter prompter;
    PreparedReport r = preparedPages(3);
    TCustPreview w(nullptr, r);
    w.printer().setOutputFormat(QPrinter::PdfFormat);
    w.printer().setOutputFileName("/nonexistent-dir/out.pdf");
    w.show();
    child<QPushButton>(w, "BitBtn2")->click();
    EXPECT_TRUE(w.isVisible());
    EXPECT_NE(w.result(), QDialog::Accepted);
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("چاپ انجام نشد")});
}

// Show through the interface: cancel, close box and print answer the caller's flag.
TEST(ReportPreview, InterfaceTellsWhetherPrinted)
{
    if (!QPrinterInfo::availablePrinters().isEmpty())
        GTEST_SKIP() << "a real printer is installed";
    PreparedReport r = preparedPages(3);
    QTemporaryDir dir;
    struct Case { const char* button; QString file; bool printed; };
    const Case cases[] = {
        {"BitBtn1", {}, false},                      // "انصراف ازچاپ"
        {nullptr, {}, false},                        // close box
        {"BitBtn2", {}, false},                      // print, PDF file question cancelled, then closed
        {"BitBtn2", dir.filePath("p.pdf"), true},    // print to the PDF file chosen
    };
    for (const Case& c : cases) {
        testing_support::ScriptedPrompter prompter;
        if (!c.file.isEmpty())
            prompter.answerFile(c.file);
        bool printed = !c.printed;
        QTimer::singleShot(0, [&c] {
            auto* w = qobject_cast<TCustPreview*>(QApplication::activeModalWidget());
            ASSERT_NE(w, nullptr);
            EXPECT_TRUE(w->windowState() & Qt::WindowMaximized);
            if (c.button)
                w->findChild<QPushButton*>(c.button)->click();
            if (w->isVisible())
                w->close();
        });
        TQRCustomPreviewInterface preview(nullptr, &printed);
        preview.Show(r, QStringLiteral("پيش نمايش"));
        EXPECT_EQ(printed, c.printed) << (c.button ? c.button : "close");
        EXPECT_EQ(QFile::exists(c.file), c.printed);
        const bool askedForFile = !prompter.calls.isEmpty() && prompter.calls[0].what == QStringLiteral("saveFile");
        EXPECT_EQ(askedForFile, c.button && QByteArray(c.button) == "BitBtn2");
        EXPECT_TRUE(prompter.messages().isEmpty());
    }
}
