// The seasonal tax export: season bounds, names and amounts, the file copies, the statements
// and the window's steps down to the rows of the produced file.
#include "tax_fixture.h"
#include "WindowChecks.h"

#include "deals/TTMSExport.h"
#include "deals/TfrmTTMS2.h"
#include "platform/widgets/DBEdit.h"
#include "ui_TfrmTTMS2.h"

#include <QFile>
#include <QRegularExpression>
#include <QTemporaryDir>

namespace {

using namespace ttms;

TEST(TaxExportTexts, SeasonsYearsNamesAndAmounts)
{
    const struct {
        int season;
        const char *start, *end, *name;
    } seasons[] = {{1, "1402/01/01", "1402/03/31", "بهار"},
                   {2, "1402/04/01", "1402/06/31", "تابستان"},
                   {3, "1402/07/01", "1402/09/31", "پاييز"},
                   {4, "1402/10/01", "1402/12/31", "زمستان"},
                   {0, "", "", ""},
                   {5, "", "", ""}};
    for (const auto& s : seasons) {
        const SeasonRange r = SeasonBounds(QStringLiteral("1402"), s.season);
        EXPECT_EQ(r.start, QLatin1String(s.start)) << s.season;
        EXPECT_EQ(r.end, QLatin1String(s.end)) << s.season;
        EXPECT_EQ(SeasonName(s.season), QString::fromUtf8(s.name)) << s.season;
    }
    for (const char* ok : {"1402", "0999"})
        EXPECT_TRUE(YearTextOk(QString::fromUtf8(ok))) << ok;
    for (const char* bad : {"", "140", "14021", "14a2", "1402 ", "-402", "۱۴۰۲", "14.2"})
        EXPECT_FALSE(YearTextOk(QString::fromUtf8(bad))) << bad;
    EXPECT_EQ(DefaultFileName(QStringLiteral("1402"), 3), QStringLiteral("TTMS1402_3"));
    const char* const names[][2] = {{"/x/a", "/x/a.mdb"},        {"/x/a.mdb", "/x/a.mdb"},
                                    {"/x/a.MDB", "/x/a.MDB.mdb"}, {"/x/a.mdb.old", "/x/a.mdb.old"},
                                    {"/x/a.txt", "/x/a.txt.mdb"}};
    for (const auto& n : names)
        EXPECT_EQ(WithMdbExtension(QLatin1String(n[0])), QLatin1String(n[1]));
    const struct {
        double value;
        const char* text;
    } amounts[] = {{1234.5, "1234"},     {1235.5, "1236"},   {0, "0"},           {-0.4, "0"},
                   {130500.09, "130500"}, {14500.01, "14500"}, {1450001, "1450001"}, {99999999999.5, "100000000000"},
                   {2.5, "2"},           {-2.5, "-2"},       {0.5, "0"}};
    for (const auto& a : amounts)
        EXPECT_EQ(AmountText(a.value), QLatin1String(a.text)) << a.value;
    const QString g1 = NewGuidText(), g2 = NewGuidText();
    EXPECT_EQ(g1.size(), 38);
    EXPECT_TRUE(g1.startsWith(QLatin1Char('{')) && g1.endsWith(QLatin1Char('}')));
    EXPECT_EQ(g1, g1.toUpper());
    EXPECT_NE(g1, g2);
}

TEST(TaxExportTexts, StatementsAsWritten)
{
    EXPECT_EQ(ForoushSQL(QStringLiteral("{A-B}"), 2),
              QStringLiteral("insert into foroush (Code, HCFaslTypeCode, HCYearCode)  values('{A-B}',2, $1)"));
    EXPECT_EQ(ForoushDetailSQL({1450001.2, 130500.5, 14500.5}),
              QStringLiteral("insert into Foroush_Detail (KalaKhadamatName, KalaCode, BargashtType, Price, "
                             "MaliatArzeshAfzoodeh,AvarezArzeshAfzoodeh, HCKharidarTypeCode, KharidarPostCode, "
                             "KharidarPerCityCode, KharidarTell, KharidarAddress, KharidarName, "
                             "KharidarLastNameSherkatName, KharidarEconomicNO, KharidarNationalCode,HCKharidarType1Code, "
                             "StateCode, CityCode, Sarjam, takhfif) values ('',0,0,'1450001', '130500','14500', 0,"
                             "'','','','','','سر جمع', '', '',0,10,1001000, 1, 0)"));
}

class TaxFiles : public ::testing::Test {
protected:
    QString path(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
    void write(const char* name, const QByteArray& data) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(data);
    }
    QByteArray read(const char* name) const
    {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    QStringList entries() const { return QDir(dir.path()).entryList(QDir::Files, QDir::Name); }
    void makeTemplate() const
    {
        auto c = db::Connection::openSqlite(path("tpl.mdb"), true);
        c->exec(QStringLiteral("create table foroush (Code TEXT, HCFaslTypeCode INTEGER, HCYearCode INTEGER)"));
    }
    QTemporaryDir dir;
};

TEST_F(TaxFiles, CopiesReplaceOnlyWhenComplete)
{
    write("a", "new");
    write("b", "old");
    QString why;
    EXPECT_TRUE(CopyReplacing(path("a"), path("b"), &why)) << why.toStdString();
    EXPECT_EQ(read("b"), QByteArray("new"));
    // a missing source or an unwritable target: false, the target as it was, nothing left over
    EXPECT_FALSE(CopyReplacing(path("none"), path("b"), &why));
    EXPECT_FALSE(why.isEmpty());
    EXPECT_EQ(read("b"), QByteArray("new"));
    EXPECT_FALSE(CopyReplacing(path("a"), path("nofolder/b"), &why));
    EXPECT_EQ(entries(), (QStringList{"a", "b"}));
}

TEST_F(TaxFiles, WorkingCopyIsRenamedIntoPlaceOnlyWhenFilled)
{
    makeTemplate();
    write("TTMS.mdb", "previous");
    const auto insert = [](db::Connection& c) {
        c.exec(QStringLiteral("insert into foroush values ('x', 1, $1)"), {1402});
    };
    EXPECT_THROW(WriteWorkingCopy(path("missing.mdb"), path("TTMS.mdb"), insert), TemplateCopyError);
    EXPECT_THROW(WriteWorkingCopy(path("tpl.mdb"), path("TTMS.mdb"),
                                  [&](db::Connection& c) {
                                      insert(c);
                                      c.exec(QStringLiteral("insert into nosuchtable values (1)"));
                                  }),
                 db::DbError);
    EXPECT_EQ(read("TTMS.mdb"), QByteArray("previous"));
    EXPECT_EQ(entries(), (QStringList{"TTMS.mdb", "tpl.mdb"}));

    WriteWorkingCopy(path("tpl.mdb"), path("TTMS.mdb"), insert);
    auto c = db::Connection::openSqlite(path("TTMS.mdb"));
    EXPECT_EQ(c->scalar(QStringLiteral("select HCYearCode from foroush")).toInt(), 1402);
    // the template stays empty
    auto t = db::Connection::openSqlite(path("tpl.mdb"));
    EXPECT_EQ(t->scalar(QStringLiteral("select count(*) from foroush")).toInt(), 0);
    EXPECT_EQ(entries(), (QStringList{"TTMS.mdb", "tpl.mdb"}));
}

class TaxExport : public TaxTest {
protected:
    void SetUp() override
    {
        TaxTest::SetUp();
        if (IsSkipped())
            return;
        TPrefMng::SetVATVal(9);
        TPrefMng::SetMunicipalVal(1);
        w = std::make_unique<TfrmTTMS2>();
        w->FormShow();
        f = w->form();
    }
    void TearDown() override
    {
        w.reset();
        TaxTest::TearDown();
    }
    // The view step for a year and a season index (-1 none).
    void view(const char* year, int seasonIndex)
    {
        f->edtYear->setText(QLatin1String(year));
        f->cmbSeason->setCurrentIndex(seasonIndex);
        w->BitBtn2Click();
    }
    QString out(const char* name) const { return dir.path() + QLatin1Char('/') + QLatin1String(name); }
    // The texts of every call (a save dialog's is its default name).
    QString messages() const
    {
        QStringList texts;
        for (const auto& c : prompter.calls)
            texts << c.text;
        return texts.join(QLatin1Char('|'));
    }

    std::unique_ptr<TfrmTTMS2> w;
    Ui::TfrmTTMS2* f = nullptr;
    QTemporaryDir dir;
};

TEST_P(TaxExport, SeasonSumsCountEveryDealOfTheSeasonAndOnlyThose)
{
    addOwnerInfo();
    addDeal("1402/03/31", "7000000");
    addDeal("1402/04/01", "1000001", "null, null");
    addDeal("1402/06/30", "500000", "25000, 25000");
    addDeal("1402/07/01", "9000000");
    view("1402", 1);
    EXPECT_EQ(messages(), QStringLiteral("گزارش از اطلاعات ذيل تهيه خواهد شد.\r\nسال گزارش: 1402\r\nفصل گزارش: تابستان\r\n"
                                         "آيا اطلاعات فوق صحيح مي باشند؟|گزارش ايجاد شد.\r\nبراي دريافت فايل خروجي مرحله 4 "
                                         "را انجام دهيد."));
    const SeasonSums sums = ReadSums(*Dm->QSumHagh2);
    EXPECT_DOUBLE_EQ(sums.commission, 1450001);
    EXPECT_NEAR(sums.vat, 130500.09, 1e-6);
    EXPECT_NEAR(sums.municipal, 14500.01, 1e-6);
    EXPECT_EQ(f->DBEdit1->text(), QStringLiteral("1,450,001"));
    EXPECT_TRUE(f->BitBtn1->isEnabled());
    EXPECT_TRUE(f->pnlVAT2->isVisibleTo(w.get()));
    EXPECT_EQ(f->Label9->text(), QStringLiteral("گزارش TTMS فصل تابستان سال 1402"));
    EXPECT_EQ(f->edtTotalPercent->text(), QStringLiteral("10"));
    // a changed year or season must be viewed again
    f->edtYear->setText(QStringLiteral("1403"));
    EXPECT_FALSE(f->BitBtn1->isEnabled());
    view("1402", 3);
    f->cmbSeason->setCurrentIndex(0);
    EXPECT_FALSE(f->BitBtn1->isEnabled());
    // a season without deals: every amount written as 0
    view("1401", 0);
    EXPECT_EQ(ForoushDetailSQL(ReadSums(*Dm->QSumHagh2)).count(QStringLiteral("'0'")), 3);
}

TEST_P(TaxExport, ARestoreFromMinimisedKeepsTheViewedSeason)
{
    addOwnerInfo();
    addDeal("1402/04/01", "1000001");
    w->show();
    EXPECT_EQ(f->edtYear->text(), QStringLiteral("1403"));
    view("1402", 1);
    ASSERT_TRUE(f->BitBtn1->isEnabled());
    testing_support::MinimiseAndRestore(w.get());
    EXPECT_EQ(f->edtYear->text(), QStringLiteral("1402"));
    EXPECT_EQ(f->cmbSeason->currentIndex(), 1);
    EXPECT_TRUE(f->BitBtn1->isEnabled());
    // opened again from the menu: the year of today, the export waits for a view
    w->close();
    w->show();
    EXPECT_EQ(f->edtYear->text(), QStringLiteral("1403"));
    EXPECT_FALSE(f->BitBtn1->isEnabled());
}

TEST_P(TaxExport, ViewRefusals)
{
    const struct {
        bool identity;
        const char* year;
        int season, answer;
        const char* message;  // the last message; empty: the question answered No
    } cases[] = {
        {false, "1402", 0, 6, "ابتدا با استفاده از دکمه «مشخصات شما» مشخصات خود را وارد نماييد."},
        {true, "140", 0, 6, "سال وارد شده صحيح نمي باشد."},
        {true, "14o2", 0, 6, "سال وارد شده صحيح نمي باشد."},
        {true, "1402", -1, 6, "لطفا فصل گزارشگيري را تعيين نماييد."},
        {true, "1402", 0, 7, "گزارش از اطلاعات ذيل تهيه خواهد شد.\r\nسال گزارش: 1402\r\nفصل گزارش: بهار\r\nآيا اطلاعات فوق صحيح مي باشند؟"},
    };
    for (const auto& c : cases) {
        if (c.identity && scalar(QStringLiteral("select count(*) from yourInfo")).toInt() == 0)
            addOwnerInfo();
        prompter.calls.clear();
        prompter.answer(c.answer);
        view(c.year, c.season);
        ASSERT_FALSE(prompter.calls.isEmpty());
        EXPECT_EQ(prompter.calls.last().text, QString::fromUtf8(c.message));
        EXPECT_EQ(prompter.calls.last().what, c.identity ? QStringLiteral("messageDlg") : QStringLiteral("plainMessage"));
        EXPECT_FALSE(f->BitBtn1->isEnabled());
        EXPECT_FALSE(Dm->QSumHagh2->Active());
    }
}

TEST_P(TaxExport, ExportWritesTheRowsAndCopiesUnderTheChosenName)
{
    addOwnerInfo(QStringLiteral("بنگاه O'Neil"));
    addDeal("1402/04/01", "1000001", "null, null");
    addDeal("1402/06/30", "500000", "25000, 25000");
    view("1402", 1);
    prompter.calls.clear();
    prompter.answerFile(out("season2"));
    w->BitBtn1Click();
    EXPECT_EQ(messages(), QStringLiteral("TTMS1402_2|عمليات کپي پايان يافت"));
    EXPECT_EQ(TPrefMng::GetTTMSDlgPath(), dir.path() + QLatin1Char('/'));

    auto c = db::Connection::openSqlite(out("season2.mdb"));
    const QString code = c->scalar(QStringLiteral("select Code from foroush")).toString();
    EXPECT_TRUE(QRegularExpression(QStringLiteral("^\\{[0-9A-F]{8}(-[0-9A-F]{4}){3}-[0-9A-F]{12}\\}$")).match(code).hasMatch());
    EXPECT_EQ(rows(*c, QStringLiteral("select typeof(Code), HCFaslTypeCode, HCYearCode from foroush")),
              QStringLiteral("text|2|1402"));
    EXPECT_EQ(rows(*c, QStringLiteral("select * from Foroush_Detail")),
              QStringLiteral("|0|0|1450001.0|130500.0|14500.0|0||||||سر جمع|||0|10|1001000|1|0.0"));
    EXPECT_EQ(rows(*c, QStringLiteral("select * from Moshakhasat")),
              QStringLiteral("بنگاه O'Neil|411|41100|0012345679|1|1345678913|04133334444|125|تبريز، خيابان امام، کوچه 12|"
                             "100001|1|amin|1|0|علي امين|0|09141234567"));
    // the working copy beside the program holds the same rows; the template none
    auto work = db::Connection::openSqlite(TTools::AppPath() + QStringLiteral("TTMS.mdb"));
    EXPECT_EQ(work->scalar(QStringLiteral("select Code from foroush")).toString(), code);
    auto tpl = db::Connection::openSqlite(TTools::AppPath() + QStringLiteral("TTMS_empty.mdb"));
    EXPECT_EQ(tpl->scalar(QStringLiteral("select count(*) from foroush")).toInt(), 0);

    // again, under an upper-case name: a new GUID, ".mdb" appended
    prompter.answerFile(out("again.MDB"));
    w->BitBtn1Click();
    auto again = db::Connection::openSqlite(out("again.MDB.mdb"));
    EXPECT_NE(again->scalar(QStringLiteral("select Code from foroush")).toString(), code);
}

TEST_P(TaxExport, FailuresSaySoAndLeaveNoFile)
{
    const QString failed = QStringLiteral("خطايي در روند برنامه پيش آمد\r\n");
    const QString work = TTools::AppPath() + QStringLiteral("TTMS.mdb");
    const auto workBytes = [&] {
        QFile f(work);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    addOwnerInfo();
    view("1402", 0);
    TPrefMng::SetTTMSDlgPath(QStringLiteral("/kept/"));
    prompter.calls.clear();
    w->BitBtn1Click();   // the save dialog cancelled: the folder of the last export stays
    EXPECT_EQ(messages(), QStringLiteral("TTMS1402_1"));
    EXPECT_EQ(TPrefMng::GetTTMSDlgPath(), QStringLiteral("/kept/"));

    prompter.calls.clear();
    prompter.answerFile(out("nofolder/x.mdb"));
    w->BitBtn1Click();   // a target that cannot be written: never the success message
    ASSERT_EQ(prompter.calls.size(), 2);
    EXPECT_TRUE(prompter.calls[1].text.startsWith(failed + out("nofolder/x.mdb"))) << messages().toStdString();

    const QByteArray before = workBytes();
    Dm->Conn->exec(QStringLiteral("update yourInfo set ShahrCode = null"));
    prompter.calls.clear();
    w->BitBtn1Click();   // a number column without a number: no file offered, the working copy as it was
    EXPECT_EQ(messages(), failed + QStringLiteral("مقدار «ShahrCode» در مشخصات مودي مالياتي عدد نمي باشد."));
    EXPECT_EQ(workBytes(), before);
    EXPECT_FALSE(QFile::exists(work + QStringLiteral(".new")));

    Dm->Conn->exec(QStringLiteral("delete from yourInfo"));
    prompter.calls.clear();
    w->BitBtn1Click();
    EXPECT_EQ(messages(), failed + QStringLiteral("مشخصات مودي مالياتي وارد نشده است.\r\nابتدا با استفاده از دکمه «مشخصات "
                                                  "شما» مشخصات خود را وارد نماييد."));

    addOwnerInfo();
    QFile::remove(TTools::AppPath() + QStringLiteral("TTMS_empty.mdb"));
    prompter.calls.clear();
    w->BitBtn1Click();
    EXPECT_EQ(messages(), QStringLiteral("خطايي در روند کپي کردن فايل خام پيش آمد"));
}

DOVIN_INSTANTIATE_ENGINES(TaxExport);

} // namespace
