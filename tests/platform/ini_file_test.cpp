// The ini file wrapper: defaults, case-insensitive names, keeping what it does
// not touch, code pages and safe saving.
#include "platform/ini/IniFile.h"
#include "platform/richtext/Windows1256.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using ini::IniFile;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

void writeAll(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

class IniFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString file(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
};

} // namespace

TEST_F(IniFileTest, MissingFileAndKeysGiveDefaults)
{
    IniFile ini(file("none.ini"));
    EXPECT_EQ(ini.readString("gen", "verType", "access"), QStringLiteral("access"));
    EXPECT_EQ(ini.readInteger("prn", "C_PaperSize", 9), 9);
    EXPECT_TRUE(ini.readBool("gen", "AutoShowHlp", true));
    EXPECT_DOUBLE_EQ(ini.readFloat("gen", "verNO", 0), 0.0);
    EXPECT_FALSE(QFile::exists(file("none.ini"))) << "reading alone creates no file";
}

TEST_F(IniFileTest, TypedValuesAsWritten)
{
    writeAll(file("t.ini"),
             "[gen]\r\n"
             "empty=\r\n"
             "n= 12 \r\n"
             "bad=12a\r\n"
             "b0=0\r\n"
             "b1=-1\r\n"
             "bt=True\r\n"
             "bx=yes\r\n"
             "f=9.45\r\n"
             "fcomma=9,45\r\n");
    IniFile ini(file("t.ini"));
    struct IntCase { const char* key; int def; int want; };
    for (const IntCase& c : {IntCase{"n", 0, 12}, IntCase{"bad", 7, 7}, IntCase{"empty", 5, 5},
                             IntCase{"b1", 0, -1}})
        EXPECT_EQ(ini.readInteger("gen", c.key, c.def), c.want) << c.key;
    struct BoolCase { const char* key; bool def; bool want; };
    for (const BoolCase& c : {BoolCase{"b0", true, false}, BoolCase{"b1", false, true},
                              BoolCase{"bt", false, true}, BoolCase{"bx", false, false},
                              BoolCase{"empty", true, true}, BoolCase{"n", false, true}})
        EXPECT_EQ(ini.readBool("gen", c.key, c.def), c.want) << c.key;
    EXPECT_DOUBLE_EQ(ini.readFloat("gen", "f", 0), 9.45);
    EXPECT_DOUBLE_EQ(ini.readFloat("gen", "fcomma", 3), 3.0);
    // A key present with an empty value is empty, not the default.
    EXPECT_EQ(ini.readString("gen", "empty", "access"), QString());
}

TEST_F(IniFileTest, NamesMatchWithoutCase)
{
    writeAll(file("c.ini"), "[PRN]\nC_Oriention_Inv=1\n");
    {
        IniFile ini(file("c.ini"));
        EXPECT_EQ(ini.readInteger("prn", "c_oriention_inv", 0), 1);
        EXPECT_EQ(ini.readInteger("Prn", "C_ORIENTION_INV", 0), 1);
        ini.writeInteger("prn", "C_Oriention_inv", 0);
        ASSERT_TRUE(ini.save());
    }
    const QByteArray text = readAll(file("c.ini"));
    EXPECT_EQ(text.count('='), 1) << text.constData();
    EXPECT_TRUE(text.contains("[PRN]")) << "the section keeps its spelling";
    EXPECT_EQ(IniFile(file("c.ini")).readInteger("prn", "c_oriention_inv", 9), 0);
}

TEST_F(IniFileTest, SavingKeepsOtherSectionsKeysAndComments)
{
    writeAll(file("keep.ini"),
             "; settings of the agency\r\n"
             "\r\n"
             "[gen]\r\n"
             "; access or server\r\n"
             "verType=access\r\n"
             "verNO=9.4\r\n"
             "\r\n"
             "; paper\r\n"
             "[prn]\r\n"
             "C_PaperSize=3\r\n"
             "fntbodyn=Tahoma\r\n"
             "; last words\r\n");
    for (int round = 0; round < 2; ++round) {
        IniFile ini(file("keep.ini"));
        ini.writeFloat("gen", "verNO", 9.45);
        ini.writeString("bg", "path", "4");
        ASSERT_TRUE(ini.save());
    }
    const QByteArray text = readAll(file("keep.ini"));
    EXPECT_EQ(text.count("; last words"), 1);
    for (const char* piece : {"; settings of the agency", "; access or server", "; paper",
                              "verType=access", "verNO=9.45", "C_PaperSize=3", "fntbodyn=Tahoma",
                              "[bg]", "path=4"})
        EXPECT_TRUE(text.contains(piece)) << piece << "\n" << text.constData();
    EXPECT_LT(text.indexOf("[gen]"), text.indexOf("[prn]"));
    IniFile again(file("keep.ini"));
    EXPECT_DOUBLE_EQ(again.readFloat("gen", "verNO", 0), 9.45);
    EXPECT_EQ(again.readString("prn", "fntbodyn", ""), QStringLiteral("Tahoma"));
}

TEST_F(IniFileTest, Windows1256FileIsReadAndRewrittenAsUtf8)
{
    const QString title = QString::fromUtf8("عنوان گزارش");
    writeAll(file("old.ini"), "[gen]\r\nCReportTitle=" + richtext::encodeWindows1256(title) + "\r\n");
    {
        IniFile ini(file("old.ini"));
        EXPECT_EQ(ini.readString("gen", "CReportTitle", ""), title);
        ini.writeBool("gen", "AutoShowHlp", false);
        ASSERT_TRUE(ini.save());
    }
    const QByteArray text = readAll(file("old.ini"));
    EXPECT_TRUE(text.contains(title.toUtf8())) << text.constData();
    EXPECT_FALSE(text.startsWith("\xEF\xBB\xBF"));
    IniFile again(file("old.ini"));
    EXPECT_EQ(again.readString("gen", "CReportTitle", ""), title);
    EXPECT_FALSE(again.readBool("gen", "AutoShowHlp", true));
}

TEST_F(IniFileTest, PendingChangesAreSavedOnClose)
{
    {
        IniFile ini(file("close.ini"));
        ini.writeString("gen", "CProvinceId", "12");
    }
    EXPECT_EQ(IniFile(file("close.ini")).readString("gen", "CProvinceId", "0"), QStringLiteral("12"));
}

TEST_F(IniFileTest, ValuesStayOnOneLine)
{
    {
        IniFile ini(file("line.ini"));
        ini.writeString("gen", "a", "x\r\ny\nz");
        ini.writeString("gen", "b", "after");
    }
    IniFile ini(file("line.ini"));
    EXPECT_EQ(ini.readString("gen", "a", ""), QStringLiteral("x y z"));
    EXPECT_EQ(ini.readString("gen", "b", ""), QStringLiteral("after"));
}

TEST_F(IniFileTest, UnreadableFileIsNotOverwritten)
{
    // A path that exists but is no readable file is never overwritten.
    ASSERT_TRUE(QDir(dir.path()).mkdir("folder.ini"));
    IniFile folder(file("folder.ini"));
    folder.writeString("gen", "a", "1");
    EXPECT_FALSE(folder.save());
    EXPECT_FALSE(folder.errorString().isEmpty());
}

TEST_F(IniFileTest, FailedSaveKeepsTheOldFile)
{
    // A folder that cannot be written to: the old file stays whole.
    ASSERT_TRUE(QDir(dir.path()).mkdir("ro"));
    const QString path = dir.filePath("ro/x.ini");
    writeAll(path, "[gen]\nverNO=9.4\n");
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::ExeOwner);
    if (QFile(dir.filePath("ro/probe")).open(QIODevice::WriteOnly)) {
        QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        GTEST_SKIP() << "running with rights that ignore folder permissions";
    }
    {
        IniFile ini(path);
        ini.writeFloat("gen", "verNO", 9.45);
        EXPECT_FALSE(ini.save());
    }
    QFile::setPermissions(dir.filePath("ro"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(readAll(path), QByteArray("[gen]\nverNO=9.4\n"));
}
