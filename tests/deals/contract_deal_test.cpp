// The contract of a deal (entry, pick, save, close, print) and the contract print flowing
// over pages on the contract paper.
#include "contract_fixture.h"

#include "deals/DealContract.h"
#include "deals/TFrmPrnSanad.h"
#include "ui/Dialogs.h"
#include "platform/report/PreparedReport.h"

#include <QBuffer>
#include <QImage>
#include <QTextCursor>

namespace {

using DealContract = ContractTest;

TEST_P(DealContract, StoredContractIsLoadedSavedAndShownModally)
{
    QTextDocument d;
    d.setPlainText(QStringLiteral("قرارداد ثبت شده"));
    const int deal = addDeal(QStringLiteral("12"), QString::fromLatin1(richtext::writeRtf(&d)));
    bool modalSeen = false;
    bool templateCommands = true;
    inModalEditor([&] {
        modalSeen = MainForm->isVisible() && MainForm->isModal();
        templateCommands = MainForm->form()->FileSaveItem->isEnabled() || MainForm->form()->FileNewItem->isEnabled()
            || MainForm->form()->FileOpenItem->isEnabled() || MainForm->form()->FilePrintItem->isEnabled();
        MainForm->close();
    });
    EXPECT_FALSE(ContractEditorVisible());
    OpenDealContract();
    EXPECT_TRUE(modalSeen);
    EXPECT_FALSE(templateCommands);
    EXPECT_FALSE(ContractEditorVisible());
    EXPECT_TRUE(ed().DealMode);
    EXPECT_TRUE(ed().DealSaved);
    EXPECT_FALSE(ed().form()->StandardToolBar->isVisibleTo(&ed()));
    EXPECT_TRUE(ed().form()->ToolBar1->isVisibleTo(&ed()));
    EXPECT_FALSE(ed().form()->FileMenu2->menuAction()->isVisible());
    EXPECT_TRUE(ed().form()->N8->menuAction()->isVisible());
    EXPECT_EQ(text(), QStringLiteral("قرارداد ثبت شده"));
    EXPECT_EQ(plainOf(dealContract(deal).toString()), QStringLiteral("قرارداد ثبت شده"));
    EXPECT_EQ(Dm->QSanad->State(), db::DataSetState::Browse);
    EXPECT_EQ(callsOf("messageDlg") + callsOf("plainMessage"), 0);

    // the template entry puts the template commands back
    ed().PrepareTemplateMode();
    EXPECT_TRUE(ed().form()->FileSaveItem->isEnabled());
    EXPECT_FALSE(ed().DealMode);
}

TEST_P(DealContract, ADealWithoutContractStartsFromAPickedTemplate)
{
    addTemplate(QStringLiteral("اجاره"), QStringLiteral("متن اجاره"));
    const int deal = addDeal(QStringLiteral("7"), QVariant());

    // cancelling the pick saves nothing and shows nothing
    ed().SetEditorContent(QStringLiteral("مانده از قبل").toUtf8());
    answerPicker(QString());
    OpenDealContract();
    EXPECT_TRUE(dealContract(deal).isNull());
    EXPECT_FALSE(ed().DealMode);
    EXPECT_EQ(callsOf("messageDlg") + callsOf("plainMessage"), 0);

    answerPicker(QStringLiteral("اجاره"));
    closeEditorSoon();
    OpenDealContract();
    EXPECT_TRUE(ed().DealMode);
    EXPECT_EQ(plainOf(dealContract(deal).toString()), QStringLiteral("متن اجاره"));
    EXPECT_EQ(ed().DocName, QStringLiteral("اجاره"));
}

TEST_P(DealContract, CloseQuestionNamesTheDealAndSavesIntoIt)
{
    const int tmpl = addTemplate(QStringLiteral("فروش"), QStringLiteral("الگو"));
    const int deal = addDeal(QStringLiteral("31"), QVariant());
    answerPicker(QStringLiteral("فروش"));
    bool refused = false;
    inModalEditor([&] {
        QTextCursor c(MainForm->Editor()->document());
        c.movePosition(QTextCursor::End);
        c.insertText(QStringLiteral(" با شرط"));
        prompter.answer(shell::ResultCancel);
        MainForm->close();
        refused = MainForm->isVisible();
        prompter.answer(shell::ResultYes);
        MainForm->close();
    });
    OpenDealContract();
    EXPECT_TRUE(refused) << "Cancel keeps the window open";
    EXPECT_FALSE(ed().isVisible());
    const QStringList messages = prompter.messages();
    ASSERT_EQ(messages.size(), 2);
    EXPECT_EQ(messages[0], QStringLiteral("آيا تغييرات ذخيره شوند؟\rقرار داد شماره 31"));
    EXPECT_EQ(plainOf(dealContract(deal).toString()), QStringLiteral("الگو با شرط"));
    EXPECT_EQ(templateText(tmpl), QStringLiteral("الگو")) << "the template is untouched";
}

TEST_P(DealContract, PickingAnotherTemplateInDealModeLeavesTheDealUntilSaved)
{
    addTemplate(QStringLiteral("يک"), QStringLiteral("متن يک"));
    addTemplate(QStringLiteral("دو"), QStringLiteral("متن دو"));
    const int deal = addDeal(QStringLiteral("5"), QVariant());
    answerPicker(QStringLiteral("يک"));
    inModalEditor([this] {
        answerPicker(QStringLiteral("دو"));
        MainForm->form()->ToolButton6->trigger();
        closeEditorSoon();
    });
    OpenDealContract();
    EXPECT_EQ(text(), QStringLiteral("متن دو"));
    EXPECT_EQ(plainOf(dealContract(deal).toString()), QStringLiteral("متن يک"));
    EXPECT_EQ(callsOf("plainMessage"), 0) << "a picked text is not modified";
}

TEST_P(DealContract, FailedSaveIntoTheDealCancelsItsEditAndKeepsTheWindow)
{
    QTextDocument d;
    d.setPlainText(QStringLiteral("قبلي"));
    const QString before = QString::fromLatin1(richtext::writeRtf(&d));
    const int deal = addDeal(QStringLiteral("9"), before);
    ed().SetEditorContent(before.toLatin1());
    ed().PrepareDealMode();
    UserCanChange = false;
    EXPECT_FALSE(ed().ToolButton7Click());
    EXPECT_FALSE(ed().DealSaved);
    EXPECT_EQ(Dm->QSanad->State(), db::DataSetState::Browse);
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.messages()[0].startsWith(QStringLiteral("خطايي در روند برنامه پيش آمد\n")));

    prompter.calls.clear();
    ed().ToolButton8Click();
    EXPECT_EQ(prompter.previewCount, 0);
    EXPECT_EQ(prompter.messages().last(), QStringLiteral("امکان حذف يا تغيير دادن اطلاعات براي کاربر فعلي وجود ندارد"));

    // a failed save asked by the close question keeps the window open
    ed().show();
    QTextCursor(doc()).insertText(QStringLiteral("تازه "));
    prompter.answer(shell::ResultYes);
    ed().close();
    EXPECT_TRUE(ed().isVisible());
    EXPECT_EQ(dealContract(deal).toString(), before);
    UserCanChange = true;
    prompter.answer(shell::ResultYes);
    ed().close();
    EXPECT_FALSE(ed().isVisible());
    EXPECT_EQ(plainOf(dealContract(deal).toString()), QStringLiteral("تازه قبلي"));

    // printing the deal's contract saves it first, then previews it
    prompter.calls.clear();
    ed().ToolButton8Click();
    EXPECT_EQ(prompter.previewCount, 1);
}

TEST_P(DealContract, ALongContractFlowsOverPagesOfTheContractPaper)
{
    QTextDocument d;
    QTextCursor c(&d);
    for (int i = 1; i <= 150; ++i) {
        if (i > 1)
            c.insertBlock();
        QTextBlockFormat bf;
        bf.setLayoutDirection(Qt::RightToLeft);
        c.setBlockFormat(bf);
        c.insertText(QStringLiteral("ماده %1: طرفين قرارداد متعهد مي شوند که مفاد اين قرارداد را رعايت نمايند.").arg(i));
    }
    ed().SetEditorContent(richtext::writeRtf(&d));

    const struct { int orientation; } papers[] = {{1}, {0}};
    int landscapeWidth = 0;
    for (const auto& p : papers) {
        PrintSettings.PaperSizeContract = 10;
        PrintSettings.OrientationContract = quint8(p.orientation);
        int pages = 0, width = 0, printable = 0;
        QString lastText;
        prompter.onPreview = [&](report::PreparedReport& r) {
            pages = r.pageCount();
            const auto parts = r.findNamed(QStringLiteral("QRRichText1"));
            ASSERT_EQ(parts.size(), pages) << "one piece of the text on every page";
            width = parts.first().item->rect.width();
            printable = r.paperSize.width() - 200;
            for (const auto& part : parts)
                EXPECT_LE(part.item->rect.bottom(), r.paperSize.height() - 100);
        };
        ed().FilePrint();
        EXPECT_EQ(prompter.calls.last().what, QStringLiteral("preview"));
        EXPECT_EQ(prompter.calls.last().caption, TFrmPrnSanad::Caption);
        EXPECT_EQ(width, printable) << "the text spans the printable width";
        EXPECT_GT(pages, 2);
        if (p.orientation == 1)
            landscapeWidth = width;
        else
            EXPECT_LT(width, landscapeWidth) << "portrait lays the text out over the narrower width";
    }
    EXPECT_EQ(FrmPrnSanad, nullptr);
}

// A stored contract with a footnote, a page-number footer, a PNG logo and a metafile stamp:
// opening it tells once what would not be kept, shows the logo, and leaves the stored text
// as it is until the user saves; the save keeps the logo.
TEST_P(DealContract, PartsTheEditorCannotHoldAreToldOfAndKeptUntilSaved)
{
    QImage logo(24, 12, QImage::Format_RGB32);
    logo.fill(Qt::red);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    logo.save(&buffer, "PNG");
    const QString stored = QString::fromLatin1(
        "{\\rtf1\\ansi{\\footer \\pard\\qc {\\field{\\*\\fldinst PAGE}{\\fldrslt 3}}\\par}"
        "\\pard\\qc{\\*\\shppict{\\pict\\pngblip\\picwgoal720\\pichgoal360 " + png.toHex() + "}}"
        "{\\nonshppict{\\pict\\wmetafile8\\picwgoal720\\pichgoal360 0100}}\\par"
        "\\pard\\rtlpar\\qr \\u1602?\\u1585?\\u1575?\\u1585?{\\super\\chftn}{\\footnote \\pard code 22\\par}\\par"
        "\\pard{\\pict\\wmetafile8\\picwgoal720\\pichgoal360 0100}\\par}");
    const int deal = addDeal(QStringLiteral("44"), stored);
    QStringList seen;
    int kind = -1;
    inModalEditor([&] {
        seen = prompter.messages();
        for (const auto& c : prompter.calls)
            if (c.what == QLatin1String("messageDlg"))
                kind = c.kind;
        MainForm->close();
    });
    OpenDealContract();
    ASSERT_EQ(seen.size(), 1) << "told once, when the text is opened";
    EXPECT_EQ(seen[0], TMainForm::DroppedPartsMessage(richtext::DroppedNotes | richtext::DroppedHeadersFooters
                                                      | richtext::DroppedPictures));
    for (const char16_t* part : {u"پانويس‌ها", u"سرصفحه و پاصفحه", u"تصاويري از نوعي که نگه داشته نمي‌شود"})
        EXPECT_TRUE(seen[0].contains(QString::fromUtf16(part))) << QString::fromUtf16(part).toStdString();
    EXPECT_FALSE(seen[0].contains(QStringLiteral("اشيا")));
    EXPECT_EQ(kind, dkInfo);
    EXPECT_EQ(callsOf("plainMessage"), 0) << "nothing modified, no save question";
    EXPECT_EQ(dealContract(deal).toString(), stored) << "opening and closing rewrites nothing";
    EXPECT_EQ(text(), QString(QChar::ObjectReplacementCharacter) + QStringLiteral("\nقرار\n"));

    // printing shows the text as it is and leaves it stored as it is
    prompter.calls.clear();
    ed().FilePrint();
    EXPECT_EQ(prompter.previewCount, 1);
    EXPECT_EQ(dealContract(deal).toString(), stored);

    // the user's save writes what the editor holds: the logo with its bytes, no footer or note
    ASSERT_TRUE(ed().ToolButton7Click());
    const QByteArray saved = dealContract(deal).toString().toLatin1();
    EXPECT_TRUE(saved.contains("\\pngblip")) << saved.constData();
    EXPECT_TRUE(saved.contains(png.toHex().left(64)));
    EXPECT_FALSE(saved.contains("wmetafile") || saved.contains("footnote") || saved.contains("code 22"));
    EXPECT_EQ(plainOf(QString::fromLatin1(saved)), text());

    // the saved text opens without a word, and the entry saves it as before
    prompter.calls.clear();
    closeEditorSoon();
    OpenDealContract();
    EXPECT_EQ(callsOf("messageDlg"), 0);
    EXPECT_EQ(ed().DroppedParts, 0u);
}

DOVIN_INSTANTIATE_ENGINES(DealContract);

} // namespace
