// The contract editor in template mode: saving templates (names, duplicates, deleted rows,
// refused rights), the picker, files (extensions, overwrite, open, drop, command line),
// the status bar and formatting.
#include "contract_fixture.h"

#include "deals/ContractActions.h"

#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QTemporaryDir>
#include <QRegularExpression>
#include <QTextBlock>
#include <QTextFrame>
#include <QTextTable>
#include <QTextList>
#include <QToolBar>

namespace {

using Editor = ContractTest;

TEST(ContractEditorRules, ExtensionsOfSavedFiles)
{
    const struct { const char* name; int filter; const char* expected; } cases[] = {
        {"/d/a", 0, "/d/a.rtf"},        {"/d/a", 1, "/d/a.txt"},        {"/d/b.TXT", 0, "/d/b.TXT"},
        {"/d/c.Rtf", 1, "/d/c.Rtf"},    {"/d/d.doc", 1, "/d/d.doc.txt"}, {"/d/e.rtf.bak", 0, "/d/e.rtf.bak.rtf"},
        {"/d.x/f", 0, "/d.x/f.rtf"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(TMainForm::FileNameWithExtension(QString::fromLatin1(c.name), c.filter), QString::fromLatin1(c.expected))
            << c.name << ' ' << c.filter;
}

TEST(ContractEditorRules, CaretText)
{
    EXPECT_EQ(TMainForm::CaretText(1, 1), QStringLiteral("خط:   1   ستون:   1"));
    EXPECT_EQ(TMainForm::CaretText(12, 305), QStringLiteral("خط:  12   ستون: 305"));
    EXPECT_EQ(TMainForm::CaretText(1234, 5), QStringLiteral("خط: 1234   ستون:   5"));
}

TEST_P(Editor, NewTemplateAsksItsNameOnceThenSavesToItsRow)
{
    ShowNewContractTemplate();
    EXPECT_TRUE(ed().isVisible());
    EXPECT_FALSE(ed().DealMode);
    EXPECT_EQ(ed().DocName, QStringLiteral("Untitled"));
    EXPECT_EQ(ed().windowTitle(), QStringLiteral("بدون نام"));   // the new text's caption in Persian
    type(QStringLiteral("متن قولنامه"));
    EXPECT_EQ(ed().StatusPanels[1]->text(), QStringLiteral("تغيير کرده"));

    prompter.answerInput(QStringLiteral("اجاره'نامه"));
    ASSERT_TRUE(ed().FileSave());
    ASSERT_EQ(prompter.calls.size(), 1);
    EXPECT_EQ(prompter.calls[0].what, QStringLiteral("inputBox"));
    EXPECT_EQ(prompter.calls[0].text, QStringLiteral("نام قولنامه را وارد کنيد"));
    const int id = scalar(QStringLiteral("select max(ID) from T_Ghovl")).toInt();
    EXPECT_EQ(ed().TemplateId, id);
    EXPECT_EQ(ed().windowTitle(), QStringLiteral("اجاره'نامه"));
    EXPECT_EQ(templateText(id), QStringLiteral("متن قولنامه"));
    EXPECT_FALSE(doc()->isModified());
    EXPECT_TRUE(ed().StatusPanels[1]->text().isEmpty());

    type(QStringLiteral(" دوم"));
    ASSERT_TRUE(ed().FileSave());
    EXPECT_EQ(prompter.calls.size(), 1) << "no second name question";
    EXPECT_EQ(templateText(id), QStringLiteral("متن قولنامه دوم"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from T_Ghovl")), 1);
    ed().hide();
}

TEST_P(Editor, NameQuestionsAndDuplicates)
{
    addTemplate(QStringLiteral("فروش"), QStringLiteral("قديمي"));
    const struct { std::optional<QString> name; int duplicateAnswer; bool saved; int rows; } cases[] = {
        {std::nullopt, 0, false, 1},                       // input box cancelled
        {QString(), 0, false, 1},                          // empty name
        {QStringLiteral("فروش"), shell::ResultNo, false, 1},
        {QStringLiteral("فروش"), shell::ResultYes, true, 2},   // names are not unique
        {QStringLiteral("رهن"), 0, true, 3},
    };
    for (const auto& c : cases) {
        ed().FileNew();
        type(QStringLiteral("متن"));
        prompter.calls.clear();
        prompter.answerInput(c.name);
        if (c.duplicateAnswer)
            prompter.answer(c.duplicateAnswer);
        EXPECT_EQ(ed().FileSave(), c.saved);
        EXPECT_EQ(count(QStringLiteral("select count(*) from T_Ghovl")), c.rows);
        EXPECT_EQ(doc()->isModified(), !c.saved);
        EXPECT_EQ(ed().TemplateId == -1, !c.saved);
        const QStringList messages = prompter.messages();
        EXPECT_EQ(messages.size(), c.duplicateAnswer ? 1 : 0);
        if (c.duplicateAnswer)
            EXPECT_EQ(messages.value(0), QStringLiteral("اين نام قبلا وارد شده \r\nآيا ادامه مي دهيد؟"));
    }
}

TEST_P(Editor, SaveOfADeletedTemplateOrWithoutRightsSavesNothing)
{
    const int id = addTemplate(QStringLiteral("الف"), QStringLiteral("اصل"));
    answerPicker(QStringLiteral("الف"));
    ASSERT_TRUE(ed().ToolButton3Click());
    type(QStringLiteral(" تغيير"));

    UserCanChange = false;
    EXPECT_FALSE(ed().FileSave());
    EXPECT_EQ(Dm->QGhovL->State(), db::DataSetState::Browse);
    EXPECT_EQ(templateText(id), QStringLiteral("اصل"));
    EXPECT_TRUE(prompter.messages().value(0).contains(QStringLiteral("امکان حذف يا تغيير دادن اطلاعات")));
    UserCanChange = true;

    Dm->Conn->exec(QStringLiteral("delete from T_Ghovl where ID = %1").arg(id));
    prompter.calls.clear();
    EXPECT_FALSE(ed().FileSave());
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("قولنامه مورد نظر حذف شده است")});
    EXPECT_TRUE(doc()->isModified());
    EXPECT_EQ(count(QStringLiteral("select count(*) from T_Ghovl")), 0);
}

TEST_P(Editor, PickerModesOrderAndCancel)
{
    const int first = addTemplate(QStringLiteral("همنام"), QStringLiteral("يک"));
    addTemplate(QStringLiteral("همنام"), QStringLiteral("دو"));
    addTemplate(QStringLiteral("ب"), QStringLiteral("سه"));

    bool pick = false, del = true;
    answerPicker(QStringLiteral("همنام"), &pick, &del);
    ASSERT_TRUE(ed().ToolButton3Click());
    EXPECT_TRUE(pick);
    EXPECT_FALSE(del);
    EXPECT_EQ(ed().TemplateId, first) << "the first of two equal names, by ID";
    EXPECT_EQ(text(), QStringLiteral("يک"));
    EXPECT_EQ(ed().DocName, QStringLiteral("همنام"));
    EXPECT_FALSE(doc()->isModified());
    QStringList names;
    for (Dm->QGhovL->First(); !Dm->QGhovL->Eof(); Dm->QGhovL->Next())
        names << Dm->QGhovL->FieldByName(QStringLiteral("esm"))->AsString();
    EXPECT_EQ(names, QStringList({QStringLiteral("همنام"), QStringLiteral("همنام"), QStringLiteral("ب")}));

    type(QStringLiteral("!"));
    answerPicker(QString());
    EXPECT_FALSE(ed().ToolButton3Click());
    EXPECT_EQ(text(), QStringLiteral("يک!"));
    EXPECT_EQ(ed().TemplateId, first);

    // manage mode: delete after the question, No keeps the row
    pick = true;
    del = false;
    when([] { return qobject_cast<TFrmSelGhovl*>(QApplication::activeModalWidget()) != nullptr; }, [&] {
        auto* picker = qobject_cast<TFrmSelGhovl*>(QApplication::activeModalWidget());
        pick = picker->form()->BitBtn1->isVisible();
        del = picker->form()->BitBtn3->isVisible();
        Dm->QGhovL->Locate(QStringLiteral("esm"), QStringLiteral("ب"));
        prompter.answer(shell::ResultNo);
        picker->BitBtn3Click();
        prompter.answer(shell::ResultYes);
        picker->BitBtn3Click();
        picker->form()->BitBtn2->click();
    });
    ed().DealMode = true;
    ShowManageContractTemplates();
    EXPECT_FALSE(pick);
    EXPECT_TRUE(del);
    EXPECT_FALSE(ed().DealMode);
    EXPECT_EQ(count(QStringLiteral("select count(*) from T_Ghovl")), 2);
    EXPECT_EQ(count(QStringLiteral("select count(*) from T_Ghovl where esm = 'ب'")), 0);
    EXPECT_EQ(prompter.messages().count(QStringLiteral("آيا عمليات حذف انجام شود؟")), 2);
}

// A template or file with a header and a footnote: each opening tells once what the editor
// leaves out; closing it unedited writes nothing back; a text without such parts says nothing.
TEST_P(Editor, PartsLeftOutAreToldOnceAndNothingIsRewritten)
{
    const QString stored = QStringLiteral("{\\rtf1\\ansi{\\header \\pard page 1\\par}\\pard text{\\footnote \\pard note\\par}\\par}");
    Dm->Conn->exec(QStringLiteral("insert into T_Ghovl (esm, ghtxt) values ($1, $2)"), {QStringLiteral("با سرصفحه"), stored});
    addTemplate(QStringLiteral("ساده"), QStringLiteral("متن ساده"));
    ed().show();

    answerPicker(QStringLiteral("با سرصفحه"));
    ASSERT_TRUE(ed().ToolButton3Click());
    EXPECT_EQ(text(), QStringLiteral("text"));
    EXPECT_EQ(prompter.messages(),
              QStringList{TMainForm::DroppedPartsMessage(richtext::DroppedHeadersFooters | richtext::DroppedNotes)});
    prompter.calls.clear();
    ed().close();
    EXPECT_FALSE(ed().isVisible());
    EXPECT_TRUE(prompter.calls.isEmpty()) << "no question, no second notice";
    EXPECT_EQ(scalar(QStringLiteral("select ghtxt from T_Ghovl where esm = 'با سرصفحه'")).toString(), stored);

    answerPicker(QStringLiteral("ساده"));
    ASSERT_TRUE(ed().ToolButton3Click());
    EXPECT_TRUE(prompter.calls.isEmpty());
    EXPECT_EQ(ed().DroppedParts, 0u);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("header.rtf"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(stored.toLatin1());
    file.close();
    ASSERT_TRUE(ed().LoadEditorFile(path));
    EXPECT_EQ(prompter.messages().size(), 1);
    EXPECT_TRUE(prompter.messages().value(0).contains(QStringLiteral("سرصفحه و پاصفحه")));
}

TEST_P(Editor, FilesSaveOpenAndDrop)
{
    QTemporaryDir dir;
    type(QStringLiteral("متن فايل"));
    QTextCursor c(doc());
    c.select(QTextCursor::Document);
    QTextCharFormat bold;
    bold.setFontWeight(QFont::Bold);
    c.mergeCharFormat(bold);

    // a name without extension gets the chosen filter's
    prompter.answerFile(dir.filePath(QStringLiteral("contract")));
    prompter.answerFileOptions(1, false);
    ASSERT_TRUE(ed().N7Click());
    const QString txt = dir.filePath(QStringLiteral("contract.txt"));
    QFile f(txt);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    f.close();
    EXPECT_TRUE(richtext::isRichText(written)) << "rich text also in .txt";
    EXPECT_EQ(ed().DocName, txt);
    EXPECT_EQ(ed().TemplateId, -1);

    // an existing file: No keeps it, Yes replaces it
    type(QStringLiteral(" دوم"));
    prompter.calls.clear();
    prompter.answerFile(txt);
    prompter.answer(shell::ResultNo);
    EXPECT_FALSE(ed().N7Click());
    EXPECT_EQ(prompter.messages(), QStringList{QStringLiteral("فايل مورد نظر در اين مسير موجود است ، آيا حذف شود؟\r") + txt});
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), written);
    f.close();
    prompter.answerFile(txt);
    prompter.answer(shell::ResultYes);
    EXPECT_TRUE(ed().N7Click());
    EXPECT_EQ(plainOf(QString::fromLatin1([&] { f.open(QIODevice::ReadOnly); QByteArray b = f.readAll(); f.close(); return b; }())),
              QStringLiteral("متن فايل دوم"));

    // opening a file makes it a new template: read-only when ticked, saving asks a name
    prompter.answerFile(txt);
    prompter.answerFileOptions(0, true);
    ed().FileOpen();
    EXPECT_EQ(text(), QStringLiteral("متن فايل دوم"));
    EXPECT_TRUE(doc()->begin().begin().fragment().charFormat().fontWeight() >= QFont::Bold);
    EXPECT_TRUE(ed().Editor()->isReadOnly());
    EXPECT_EQ(ed().DocName, QStringLiteral("Untitled"));
    prompter.answerFile(txt);
    ed().FileOpen();
    EXPECT_FALSE(ed().Editor()->isReadOnly());

    // a dropped file is saved back to itself; plain text loads as text
    const QString plain = dir.filePath(QStringLiteral("plain.txt"));
    QFile p(plain);
    ASSERT_TRUE(p.open(QIODevice::WriteOnly));
    p.write(QStringLiteral("سطر اول\r\nسطر دوم").toUtf8());
    p.close();
    ed().FilesDropped({plain, txt});
    EXPECT_EQ(text(), QStringLiteral("سطر اول\nسطر دوم"));
    EXPECT_EQ(ed().DocName, plain);
    type(QStringLiteral("!"));
    prompter.calls.clear();
    ASSERT_TRUE(ed().FileSave());
    EXPECT_EQ(prompter.calls.size(), 0);
    ASSERT_TRUE(p.open(QIODevice::ReadOnly));
    EXPECT_EQ(plainOf(QString::fromLatin1(p.readAll())), QStringLiteral("سطر اول\nسطر دوم!"));
}

TEST_P(Editor, SaveQuestionOnOpenDropAndClose)
{
    QTemporaryDir dir;
    const QString other = dir.filePath(QStringLiteral("o.rtf"));
    QFile f(other);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1 other}");
    f.close();
    ed().show();
    type(QStringLiteral("نو"));

    // Cancel stops the drop silently
    prompter.answer(shell::ResultCancel);
    ed().FilesDropped({other});
    EXPECT_EQ(text(), QStringLiteral("نو"));
    ASSERT_EQ(prompter.messages().size(), 1);
    EXPECT_EQ(prompter.messages()[0], QStringLiteral("آيا تغييرات ذخيره شوند؟\rبدون نام"));

    // Yes with a cancelled name: the close is refused, nothing is lost
    prompter.answer(shell::ResultYes);
    prompter.answerInput(std::nullopt);
    ed().close();
    EXPECT_TRUE(ed().isVisible());
    EXPECT_TRUE(doc()->isModified());

    // No closes without saving
    prompter.answer(shell::ResultNo);
    ed().close();
    EXPECT_FALSE(ed().isVisible());
    EXPECT_EQ(count(QStringLiteral("select count(*) from T_Ghovl")), 0);
}

TEST_P(Editor, CommandLineFileOnFirstShowOnly)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("start.rtf"));
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{\\rtf1\\ansi \\u1605?\\u1578?\\u1606?}");
    f.close();
    ed().CommandLineFile = path;
    ed().show();
    EXPECT_EQ(text(), QStringLiteral("متن"));
    EXPECT_EQ(ed().DocName, path);
    ed().FileNew();
    type(QStringLiteral("تازه"));
    ed().hide();
    ed().show();
    EXPECT_EQ(text(), QStringLiteral("تازه"));
    ed().hide();
}

TEST_P(Editor, AToolBarButtonsHintShowsInTheStatusBarAlone)
{
    ShowNewContractTemplate();
    Ui::TMainForm* f = ed().form();
    QStatusBar* bar = f->StatusBar;
    const struct {
        QToolBar* toolBar;
        QAction* action;
        const char* hint;
    } cases[] = {
        {f->StandardToolBar, f->FileSaveItem, "ذخيره قولنامه"},
        {f->StandardToolBar, f->ToolButton3, "انتخاب فرم قرار داد"},
        {f->StandardToolBar, f->BoldButton, "پررنگ"},
        {f->StandardToolBar, f->RightAlign, "راست چين"},
    };
    for (const auto& c : cases) {
        QWidget* button = c.toolBar->widgetForAction(c.action);
        ASSERT_TRUE(button) << c.hint;
        // resting on the button
        c.action->showStatusText(button);
        EXPECT_EQ(bar->currentMessage(), QString::fromUtf8(c.hint));
        for (QLabel* panel : ed().StatusPanels)
            EXPECT_FALSE(panel->isVisible()) << c.hint;
        // moving off it: the panels again
        QStatusTipEvent off{QString()};
        QApplication::sendEvent(button, &off);
        EXPECT_TRUE(bar->currentMessage().isEmpty());
        EXPECT_TRUE(ed().StatusPanels[0]->isVisible());
    }
    // the font boxes too
    QStatusTipEvent onBox(ed().FontName->statusTip());
    QApplication::sendEvent(ed().FontName, &onBox);
    EXPECT_EQ(bar->currentMessage(), QStringLiteral("نوع خط"));
    ed().hide();
}

TEST_P(Editor, StatusCaretAndFormattingTools)
{
    ed().resize(800, 500);
    ed().show();
    EXPECT_EQ(ed().StatusPanels[0]->text(), TMainForm::CaretText(1, 1));
    type(QStringLiteral("ab\ncde"));
    EXPECT_EQ(ed().CaretPos(), QPoint(4, 2));
    EXPECT_EQ(ed().StatusPanels[0]->text(), TMainForm::CaretText(2, 4));
    ed().Editor()->moveCursor(QTextCursor::Start);
    EXPECT_EQ(ed().CaretPos(), QPoint(1, 1));

    // tools act on the selection; the buttons follow the caret
    QTextCursor c(doc());
    c.movePosition(QTextCursor::EndOfBlock, QTextCursor::KeepAnchor);
    ed().Editor()->setTextCursor(c);
    ed().SetBold(true);
    ed().SetFontSize(14);
    ed().SetAlignment(2);
    ed().SetBullets(true);
    ed().Editor()->moveCursor(QTextCursor::Start);
    ed().Editor()->moveCursor(QTextCursor::Right);
    const Ui::TMainForm& f = *ed().form();
    EXPECT_TRUE(f.BoldButton->isChecked());
    EXPECT_TRUE(f.CenterAlign->isChecked());
    EXPECT_TRUE(f.BulletsButton->isChecked());
    EXPECT_EQ(ed().FontSize->value(), 14);
    EXPECT_EQ(ed().Edit1->value(), 14);
    ed().Editor()->moveCursor(QTextCursor::End);
    EXPECT_FALSE(f.BoldButton->isChecked());
    EXPECT_FALSE(f.BulletsButton->isChecked());
    EXPECT_FALSE(f.CenterAlign->isChecked());

    // what the tools set is what is stored
    const QString stored = ed().EditorContent();
    QTextDocument back;
    richtext::loadText(&back, stored.toUtf8());
    ASSERT_EQ(back.blockCount(), 2);
    EXPECT_NE(back.begin().textList(), nullptr);
    EXPECT_EQ(back.begin().next().textList(), nullptr);
    EXPECT_EQ(back.begin().blockFormat().alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
    const QTextCharFormat first = back.begin().begin().fragment().charFormat();
    EXPECT_GE(first.fontWeight(), QFont::Bold);
    EXPECT_EQ(first.fontPointSize(), 14);

    ed().Editor()->moveCursor(QTextCursor::Start);
    ed().SetBullets(false);
    EXPECT_EQ(doc()->begin().textList(), nullptr);

    // ruler markers set the paragraph's indents
    ed().DropMarker(f.LeftInd, 6 + 40 - f.LeftInd->width() / 2);
    EXPECT_NEAR(doc()->begin().blockFormat().leftMargin(), 40, 1.5);
    ed().UpdateRuler();
    EXPECT_NEAR(f.LeftInd->x(), 42, 1.5);
    doc()->setModified(false);
    ed().hide();
}

// A table wider than the editor shows whole, its columns narrowed in proportion, and the text
// keeps the table's own widths: nothing changed, nothing to undo, written back as read.
TEST_P(Editor, WideTablesShowWholeAndKeepTheirWidths)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("cheques.rtf"));
    QByteArray rtf = "{\\rtf1\\ansi ";
    for (int row = 1; row <= 6; ++row) {
        rtf += "\\trowd\\trgaph108\\rtlrow";
        for (int c = 1; c <= 12; ++c)
            rtf += "\\cellx" + QByteArray::number(c * 1500);
        for (int c = 1; c <= 12; ++c)
            rtf += "\\pard\\intbl\\rtlpar " + QByteArray::number(row * 100 + c) + "\\cell";
        rtf += "\\row\n";
    }
    rtf += "\\pard\\rtlpar\\par}";
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(rtf);
    f.close();
    prompter.answer(shell::ResultNo);   // the empty text is not saved
    ed().FilesDropped({path});
    QTextTable* table = nullptr;
    for (QTextFrame* frame : doc()->rootFrame()->childFrames())
        table = table ? table : qobject_cast<QTextTable*>(frame);
    ASSERT_NE(table, nullptr);
    ASSERT_LT(ed().Editor()->viewport()->width(), 1200) << "the table is wider than the editor";
    const QList<QTextLength> widths = table->format().columnWidthConstraints();
    ASSERT_EQ(widths.size(), 12);
    for (const QTextLength& w : widths)
        EXPECT_EQ(w.type(), QTextLength::PercentageLength);
    EXPECT_FALSE(doc()->isModified());
    EXPECT_FALSE(doc()->isUndoAvailable());
    EXPECT_EQ(table->cellAt(0, 11).firstCursorPosition().block().text(), QStringLiteral("101")) << "the first cell on the right";

    ASSERT_TRUE(ed().FileSave());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QString written = QString::fromLatin1(f.readAll());
    for (int c = 1; c <= 12; ++c)
        EXPECT_EQ(written.count(QRegularExpression(QStringLiteral("\\\\cellx%1(?!\\d)").arg(c * 1500))), 6) << c;
}

// The dotted lines of a signature line's tab stops show over its tabs in the editor, and are no
// part of the text saved.
TEST_P(Editor, TabLeadersShowOverTheirTabs)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("signatures.rtf"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(DOVIN_SOURCE_DIR "/tests/platform/rtf_corpus/signature_tabs.rtf"), path));
    QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
    ed().show();   // a shown editor lays its text out
    QCoreApplication::processEvents();
    prompter.answer(shell::ResultNo);   // the empty text is not saved
    ed().FilesDropped({path});
    QCoreApplication::processEvents();
    const QList<QTextEdit::ExtraSelection> marks = ed().Editor()->extraSelections();
    ASSERT_EQ(marks.size(), 2);
    for (const QTextEdit::ExtraSelection& m : marks) {
        EXPECT_EQ(m.cursor.selectedText(), QStringLiteral("\t"));
        EXPECT_EQ(m.format.underlineStyle(), QTextCharFormat::DotLine);
    }
    EXPECT_FALSE(doc()->isModified());
    // typing before the first tab moves its mark with it
    QTextCursor c(doc());
    c.insertText(QStringLiteral("*"));
    QCoreApplication::processEvents();
    ASSERT_EQ(ed().Editor()->extraSelections().size(), 2);
    EXPECT_EQ(ed().Editor()->extraSelections()[0].cursor.selectedText(), QStringLiteral("\t"));
    ASSERT_TRUE(ed().FileSave());
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    const QByteArray written = f.readAll();
    EXPECT_TRUE(written.contains("\\tldot")) << "the leaders are written with their stops";
    EXPECT_FALSE(written.contains("\\uld")) << "and not as underlined text";
    ed().hide();
}

DOVIN_INSTANTIATE_ENGINES(Editor);

} // namespace
