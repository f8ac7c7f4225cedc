// Contract texts whatever their encoding: files and memo columns of the Windows code page,
// UTF-8 or RTF reach the editor as their bytes and show their Persian text; saving keeps it;
// texts too large are refused with a message; page breaks and tables reach the contract print.
#include "contract_fixture.h"

#include "deals/ContractActions.h"
#include "deals/DealContract.h"
#include "deals/TFrmPrnSanad.h"
#include "platform/richtext/Windows1256.h"

#include <QAbstractTextDocumentLayout>
#include <QFile>
#include <QTemporaryDir>
#include <QTextFrame>
#include <QTextTable>

namespace {

using ContractTexts = ContractTest;

const QString kOld = QStringLiteral("اين فايل قولنامه قديمي است، پلاک 12");

QByteArray codePage(const QString& text)
{
    bool complete = false;
    QByteArray bytes = richtext::encodeWindows1256(text, &complete);
    EXPECT_TRUE(complete);
    return bytes;
}

// RTF of an old editor: the letters as bytes of the font's code page, raw or escaped.
QByteArray oldRtf(bool escaped)
{
    QByteArray body;
    for (const char ch : codePage(kOld)) {
        if (escaped && static_cast<unsigned char>(ch) >= 0x80)
            body += "\\'" + QByteArray::number(static_cast<unsigned char>(ch), 16);
        else
            body += ch;
    }
    return "{\\rtf1\\ansi\\ansicpg1256\\deff0{\\fonttbl{\\f0\\fnil\\fcharset178 Tahoma;}}\n\\pard\\rtlpar\\qr\\f0\\fs24 " + body
        + "\\par\n}";
}

bool writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

QByteArray fileBytes(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Stored contract text: 7-bit RTF (no replacement character can hide in it) of this text.
void expectStored(const QString& stored, const QString& text)
{
    EXPECT_TRUE(stored.startsWith(QLatin1String("{\\rtf")));
    for (const QChar c : stored)
        ASSERT_LT(c.unicode(), 0x80);
    QTextDocument d;
    richtext::loadText(&d, stored.toLatin1());
    EXPECT_EQ(d.toPlainText().toStdString(), text.toStdString());
}

const struct { const char* name; QByteArray bytes; } kFiles[] = {
    {"old.txt", codePage(kOld)},
    {"utf8.txt", kOld.toUtf8()},
    {"raw.rtf", oldRtf(false)},
    {"escaped.rtf", oldRtf(true)},
};

TEST_P(ContractTexts, FilesOfEveryEncodingOpenWithTheirPersianTextAndSaveIt)
{
    QTemporaryDir dir;
    ed().FileNew();
    for (const auto& file : kFiles) {
        SCOPED_TRACE(file.name);
        const QString path = dir.filePath(QString::fromLatin1(file.name));
        ASSERT_TRUE(writeFile(path, file.bytes));

        // opened through the menu, then saved as a template
        prompter.answerFile(path);
        ed().FileOpen();
        EXPECT_EQ(text().toStdString(), kOld.toStdString());
        prompter.answerInput(QString::fromLatin1(file.name));
        ASSERT_TRUE(ed().FileSave());
        const int id = scalar(QStringLiteral("select max(ID) from T_Ghovl")).toInt();
        expectStored(scalar(QStringLiteral("select ghtxt from T_Ghovl where ID = %1").arg(id)).toString(), kOld);

        // dropped on the window: saved back to the file, as RTF
        ed().FilesDropped({path});
        EXPECT_EQ(text().toStdString(), kOld.toStdString());
        type(QStringLiteral(" ۲"));
        ASSERT_TRUE(ed().FileSave());
        expectStored(QString::fromLatin1(fileBytes(path)), kOld + QStringLiteral(" ۲"));
    }
}

TEST_P(ContractTexts, CommandLineFileOfTheWindowsCodePage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("old.txt"));
    ASSERT_TRUE(writeFile(path, codePage(kOld)));
    ed().CommandLineFile = path;
    ed().show();
    EXPECT_EQ(text().toStdString(), kOld.toStdString());
    EXPECT_EQ(ed().DocName, path);
    ed().hide();
}

TEST_P(ContractTexts, MemoColumnsOfEveryEncodingAreReadAndSavedBack)
{
    // the bytes a column holds: any of the files', stored as they are (the file database keeps
    // bytes that are no UTF-8; the server takes only UTF-8)
    ed().FileNew();
    int number = 0;
    for (const auto& file : kFiles) {
        ++number;
        const bool utf8 = QByteArrayView(file.bytes).isValidUtf8();
        if (!utf8 && !isFile())
            continue;
        SCOPED_TRACE(file.name);
        const QString name = QString::fromLatin1(file.name);
        const QString column = utf8 ? QStringLiteral("$2") : QStringLiteral("CAST($2 AS TEXT)");
        Dm->Conn->exec(QStringLiteral("insert into T_Ghovl (esm, ghtxt) values ($1, %1)").arg(column),
                       {name, utf8 ? QVariant(QString::fromUtf8(file.bytes)) : QVariant(file.bytes)});
        const int id = scalar(QStringLiteral("select max(ID) from T_Ghovl")).toInt();

        // a template picked, changed and saved back to its row
        answerPicker(name);
        ASSERT_TRUE(ed().ToolButton3Click());
        EXPECT_EQ(text().toStdString(), kOld.toStdString());
        type(QStringLiteral(" ۳"));
        ASSERT_TRUE(ed().FileSave()) << prompter.messages().join(QLatin1Char('\n')).toStdString();
        expectStored(scalar(QStringLiteral("select ghtxt from T_Ghovl where ID = %1").arg(id)).toString(),
                     kOld + QStringLiteral(" ۳"));

        // a deal's contract: loaded, and saved into the deal at once
        const int deal = addDeal(QString::number(number), QVariant());
        Dm->Conn->exec(QStringLiteral("update T_Sanad set ghovLnameh = %1 where SId = $2").arg(QString(column).replace(QLatin1String("$2"), QLatin1String("$1"))),
                       {utf8 ? QVariant(QString::fromUtf8(file.bytes)) : QVariant(file.bytes), deal});
        Dm->QSanad->Close();
        Dm->QSanad->Open();
        ASSERT_TRUE(Dm->QSanad->Locate(QStringLiteral("SId"), deal));
        closeEditorSoon();
        OpenDealContract();
        EXPECT_EQ(text().toStdString(), kOld.toStdString());
        expectStored(dealContract(deal).toString(), kOld);
    }
}

TEST_P(ContractTexts, TextsTooLargeAreRefusedWithAMessage)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("huge.rtf"));
    ASSERT_TRUE(writeFile(path, "{\\rtf1 " + QByteArray(int(richtext::MaxTextBytes), 'x') + "}"));
    ed().FileNew();
    type(QStringLiteral("بماند"));
    ed().Editor()->document()->setModified(false);

    // a file: the editor keeps its text and its name
    prompter.answerFile(path);
    ed().FileOpen();
    EXPECT_EQ(prompter.messages(), QStringList{richtext::tooLargeMessage() + QLatin1Char('\n') + path});
    EXPECT_EQ(text(), QStringLiteral("بماند"));
    EXPECT_EQ(ed().DocName, QStringLiteral("Untitled"));

    // a deal's contract too large: nothing is shown and the deal keeps its text
    QByteArray many;
    for (int i = 0; i <= richtext::MaxParagraphs; ++i)
        many += "\\par ";
    const QString stored = QStringLiteral("{\\rtf1 ") + QString::fromLatin1(many) + QStringLiteral("}");
    const int deal = addDeal(QStringLiteral("7"), stored);
    prompter.calls.clear();
    OpenDealContract();
    EXPECT_FALSE(ed().isVisible());
    EXPECT_FALSE(ed().DealMode);
    EXPECT_EQ(prompter.messages(), QStringList{richtext::tooLargeMessage()});
    EXPECT_EQ(dealContract(deal).toString(), stored);
    EXPECT_EQ(text(), QStringLiteral("بماند"));
}

TEST_P(ContractTexts, ThePrintStartsNewPagesAtBreaksAndDrawsTables)
{
    const QByteArray rtf =
        "{\\rtf1\\ansi{\\fonttbl{\\f0\\fcharset178 Tahoma;}}\\pard\\rtlpar\\f0 \\u1605?\\u1575?\\u1583?\\u1607? 1\\par"
        "\\trowd\\rtlrow\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\cellx3000\\clbrdrt\\brdrs\\brdrw10\\clbrdrb\\brdrs"
        "\\brdrw10\\cellx6000\\pard\\intbl a\\cell b\\cell\\row"
        "\\pard\\rtlpar\\page \\u1605?\\u1575?\\u1583?\\u1607? 2\\par}";
    ASSERT_TRUE(ed().SetEditorContent(rtf));
    TFrmPrnSanad print(ed().Editor()->document());
    const report::PreparedReport prepared = print.Prepare();
    ASSERT_EQ(prepared.pageCount(), 2);
    const auto parts = prepared.findNamed(QStringLiteral("QRRichText1"));
    ASSERT_EQ(parts.size(), 2);
    const QTextDocument& printed = *parts[0].item->document;
    QTextTable* table = nullptr;
    for (QTextFrame* f : printed.rootFrame()->childFrames())
        table = table ? table : qobject_cast<QTextTable*>(f);
    ASSERT_NE(table, nullptr);
    EXPECT_GT(table->format().border(), 0) << "the table is drawn with its lines";
    const QTextBlock last = printed.lastBlock();
    EXPECT_EQ(last.text(), QStringLiteral("ماده 2"));
    EXPECT_NEAR(parts[1].item->documentTop, printed.documentLayout()->blockBoundingRect(last).top(), 1.0);
}

DOVIN_INSTANTIATE_ENGINES(ContractTexts);

} // namespace
