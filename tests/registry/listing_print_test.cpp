// The detailed listings of properties and demands: title, deal type, descriptions, name
// and phones, row numbers of printed rows only, and the current row left where it was.
#include "matching_fixture.h"

#include "core/TPrefMng.h"
#include "platform/report/Fonts.h"
#include "platform/report/Renderer.h"
#include "platform/report/Report.h"
#include "registry/TFrmDarkhasti.h"
#include "registry/TFrmPrnmoojod.h"
#include "support/ReportChecks.h"

namespace {

class Listing : public RegistryDbTest {
protected:
    void SetUp() override
    {
        RegistryDbTest::SetUp();
        if (IsSkipped())
            return;
        report::installFontSubstitutions();
        PrintSettings = TPrintSettings{};
        PrintSettings.BodyFont = QFont("Arial", 11);
        TPrefMng::SetReportTitle("");
    }

    qint64 melk(const QStringList& cols, const QStringList& values)
    {
        return insert("T_Melk", "MID", QStringList{"Hazfshodeh"} + cols, QStringList{"0"} + values);
    }
    qint64 niyaz(const QStringList& cols, const QStringList& values)
    {
        return insert("T_niyaz", "NizId", QStringList{"hazfshodeh"} + cols, QStringList{"0"} + values);
    }
    void reopen(db::DataSet* ds)
    {
        ds->Close();
        ds->Open();
    }
    static QStringList texts(const report::PreparedReport& r, const char* name)
    {
        QStringList out;
        for (const auto& hit : r.findNamed(name))
            out << hit.item->text;
        return out;
    }
};

TEST_P(Listing, PropertyTexts)
{
    const QStringList cols = {"MalekEsm", "Mahal", "Addr", "MalekHomeTel", "MalekTelJob", "MalekMobile", "ForSell",
                              "ForRahn", "ForEjareh", "mo", "Masahat", "ZirBana", "NovMelk", "NovSanad", "Tabagheh",
                              "tedadtel", "parking", "gaz", "Ayfon", "ayfon_s", "Asansor", "Asansor_s", "azhayat",
                              "azhayat_s", "TedadOtagh", "anbary", "SayerEmkanat", "Tozihat", "F1type", "F1",
                              "F1Shart", "F2Type", "F2", "f2_2", "F2Shart"};
    melk(cols, {db::Q("رضايي"), db::Q("ونک"), db::Q("خيابان اول"), db::Q("111"), db::Q("222"), db::Q("0912"), t(), t(),
                t(), db::Q("الف"), "120.5", "90", db::Q("آپارتمان"), db::Q("سند"), "0", "2", t(), t(), t(),
                db::Q("آيفون تصويري"), t(), db::Q("آسانسور"), t(), db::Q("حياط اختصاصي"), "3", t(), db::Q("انباري بزرگ"),
                db::Q("نوساز"), db::Q("فروش"), "1500000000", db::Q("قطعي"), db::Q("رهن و اجاره"), "200000000",
                "15000000", db::Q("توافقي")});
    melk({"MalekEsm", "ForRahn", "Masahat", "TedadOtagh", "Tabagheh"}, {db::Q("کريمي"), t(), "80", "2", "0"});
    reopen(Dm->QMelk);
    TPrefMng::SetReportTitle("آژانس نمونه");

    TFrmPrnmoojod form;
    form.AllRows = true;
    form.PrintPhones = true;
    const report::PreparedReport r = form.QuickRep1()->prepare();
    EXPECT_EQ(texts(r, "QRLabel1"), QStringList({"آژانس نمونه\nمشخصات املاک موجود  1403/04/11"}));
    EXPECT_EQ(texts(r, "QLblRow"), QStringList({"1", "2"}));
    EXPECT_EQ(texts(r, "QLblFors"), QStringList({"فروش رهن اجاره", "رهن "}));
    EXPECT_EQ(texts(r, "QLblAddr"),
              QStringList({"آقاي رضايي - ونک  خيابان اول تلفن:111 ، 222 ، 0912", "آقاي کريمي -    تلفن: ،  ، "}));
    const QStringList details = texts(r, "QLblDetail");
    ASSERT_EQ(details.size(), 2);
    EXPECT_EQ(details[0].toStdString(), "الف: مساحت:120.5 زيربنا:90  نوع ملک: آپارتمان نوع سند: سند واقع در طبقه 0 داراي 2 عدد خط "
                          "تلفن ، حياط اختصاصي ، پارکينگ ، گاز ، داراي 3عدد اتاق ، انباري ، آيفون تصويري ، آسانسور، "
                          "انباري بزرگ ، نوساز ، قيمت فروش 1,500,000,000 قطعي ، قيمت رهن  200,000,000  اجاره "
                          "15,000,000توافقي");
    EXPECT_EQ(details[1].toStdString(), "مساحت:80  واقع در طبقه 0 ، داراي 2عدد اتاق،  ، ");
    // the three separators run from the column titles down over the rows
    const auto lines = r.findNamed("columnLine");
    const auto titleRow = r.findNamed("QRHLblRow");
    const auto lastRow = r.findNamed("QLblRow");
    ASSERT_EQ(lines.size(), 3);
    ASSERT_EQ(titleRow.size(), 1);
    for (const auto& l : lines) {
        EXPECT_LE(l.item->rect.top(), titleRow[0].item->rect.top());
        EXPECT_GE(l.item->rect.bottom(), lastRow.last().item->rect.bottom());
    }
    // the column titles keep clear of them: "رديف" and "نوع معامله" never touch
    for (const char* title : {"QRHLblRow", "QRHLblType", "QRHLblDetail", "QRHLblAddr"}) {
        const QRect box = r.findNamed(title).value(0).item->rect;
        for (const auto& l : lines)
            EXPECT_FALSE(box.adjusted(-5, 0, 5, 0).contains(QPoint(l.item->rect.left(), box.center().y()))) << title;
    }
    // every word, amount and phone whole inside its column
    const QStringList faults = testing_support::reportTextFaults(r);
    EXPECT_TRUE(faults.isEmpty()) << faults.join('\n').toStdString();
    if (qEnvironmentVariableIsSet("DOVIN_SHOTS"))
        report::renderPageImage(r, 0, 100).save(qEnvironmentVariable("DOVIN_SHOTS") + "/property_listing.png");

    // without phones, and an empty title setting gives no leading line
    TPrefMng::SetReportTitle("");
    form.PrintPhones = false;
    const report::PreparedReport r2 = form.QuickRep1()->prepare();
    EXPECT_EQ(texts(r2, "QRLabel1"), QStringList({"مشخصات املاک موجود  1403/04/11"}));
    EXPECT_EQ(texts(r2, "QLblAddr").value(0), "آقاي رضايي - ونک  خيابان اول");
    EXPECT_EQ(texts(r2, "QRHLblAddr"), QStringList({"نام مالک/آدرس و تلفن"}));
}

TEST_P(Listing, SelectedRowsAreNumberedFromOneAndTheCurrentRowStays)
{
    QList<qint64> ids;
    for (int i = 1; i <= 6; ++i)
        ids << niyaz({"Esm", "kharid", "masahat", "otagh", "tabagheh"},
                     {db::Q(QStringLiteral("مشتري %1").arg(i)), t(), QString::number(50 + i), "1", "0"});
    reopen(Dm->QNiyaz);
    Dm->QNiyaz->SelectRow(1, true);
    Dm->QNiyaz->SelectRow(4, true);
    Dm->QNiyaz->SetRecNo(4);
    int scrolls = 0;
    QObject::connect(Dm->QNiyaz, &db::DataSet::currentChanged, [&] { ++scrolls; });

    TFrmDarkhasti form;
    const report::PreparedReport r = form.QuickRep1()->prepare();
    EXPECT_EQ(texts(r, "QLblRow"), QStringList({"1", "2"}));
    EXPECT_EQ(texts(r, "QLblAddr"), QStringList({"آقاي مشتري 2 تلفن: ،  ، ", "آقاي مشتري 5 تلفن: ،  ، "}));
    EXPECT_EQ(Dm->QNiyaz->RecNo(), 4);
    EXPECT_EQ(scrolls, 0);

    // no row selected: no detail at all
    Dm->QNiyaz->ClearSelection();
    EXPECT_TRUE(texts(form.QuickRep1()->prepare(), "QLblRow").isEmpty());

    // through the preview
    form.AllRows = true;
    report::PreparedReport shown;
    prompter.onPreview = [&](report::PreparedReport& p) { shown = p; };
    form.Preview();
    EXPECT_EQ(prompter.previewCount, 1);
    EXPECT_EQ(texts(shown, "QLblRow").size(), 6);
    EXPECT_EQ(Dm->QNiyaz->RecNo(), 4);
}

TEST_P(Listing, DemandTexts)
{
    niyaz({"Esm", "hometel", "shoptel", "mobile", "kharid", "Rahn", "Ejareh", "masahat", "zirbana", "novmelk",
           "tabagheh", "tedadtel", "parking", "ab", "bargh", "otagh", "Tozihat", "f1type", "f1", "f1_2", "f1shart",
           "f3type", "f3", "f3shart"},
          {db::Q("احمدي"), db::Q("123"), db::Q("456"), db::Q("0935"), t(), t(), t(), "100", "85.25",
           db::Q("ويلايي"), "2", "1", t(), t(), t(), "4", db::Q("فوري"), db::Q("رهن و اجاره"), "50000000",
           "2000000", db::Q(""), db::Q("خريد"), "900000000", db::Q("نقد")});
    niyaz({"Esm", "Rahn", "masahat", "otagh", "tabagheh"}, {db::Q("صادقي"), t(), "0", "0", "0"});
    reopen(Dm->QNiyaz);
    TFrmDarkhasti form;
    form.AllRows = true;
    const report::PreparedReport r = form.QuickRep1()->prepare();
    EXPECT_EQ(texts(r, "QRLabel1"), QStringList({"مشخصات املاک درخواستي  1403/04/11"}));
    EXPECT_EQ(texts(r, "QRHLblAddr"), QStringList({"نام خريدار/آدرس و تلفن"}));
    EXPECT_EQ(texts(r, "QLblFors"), QStringList({"خريد رهن اجاره", "رهن "}));
    EXPECT_EQ(texts(r, "QLblAddr").value(0), "آقاي احمدي تلفن:123 ، 456 ، 0935");
    EXPECT_EQ(texts(r, "QLblDetail"),
              QStringList({"مساحت:100 زيربنا:85.25  نوع ملک: ويلايي واقع در طبقه 2 داراي 1 عدد خط تلفن ، پارکينگ ، "
                           "آب ، برق ، داراي 4عدد اتاق ، فوري ، قيمت رهن  50,000,000  اجاره 2,000,000 ، قيمت خريد "
                           "900,000,000 نقد",
                           "مساحت:0  ، داراي 0عدد اتاق ، "}));

    if (qEnvironmentVariableIsSet("DOVIN_LISTING_PNG"))
        report::renderPageImage(r, 0, 100).save(qEnvironmentVariable("DOVIN_LISTING_PNG"));
}

DOVIN_INSTANTIATE_ENGINES(Listing);

} // namespace
