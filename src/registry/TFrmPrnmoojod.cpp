#include "registry/TFrmPrnmoojod.h"

#include "core/TDm.h"
#include "platform/report/Report.h"
#include "registry/ListingReport.h"

namespace {

// The amenities printed after the rooms, in this order; each prints its own stored title.
const char* const kAmenities[] = {
    "Ayfon",          "Asansor",        "Sona",      "jakozi",      "stakhr",   "mobl",         "doblex",
    "kitchen",        "darcontoroly",   "shoomineh", "jaroobarghi", "anten",    "noorpardazi",  "shofazh",
    "vambanki",       "shomali",        "jonobi",    "package",     "saloonbiliyard", "saloonejtemaat",
    "badansazi",      "ketabkhaneh",    "komod",     "doozdgir",    "mojavez",  "mostaghel",    "elamharigh",
    "etfaeharigh",    "pelehezterari",  "teras",     "balkon",      "shirvani", "bokhary",      "radiyator",
    "moshtarak"};

const char* const kTypes[3] = {"F1type", "F2Type", "F3Type"};
const char* const kAmounts[3] = {"F1", "F2", "F3"};
const char* const kAmounts2[3] = {"f1_2", "f2_2", "f3_2"};
const char* const kNotes[3] = {"F1Shart", "F2Shart", "F3Shart"};

QString titleField(const char* amenity)
{
    if (qstrcmp(amenity, "Ayfon") == 0)
        return QStringLiteral("ayfon_s");
    return QString::fromLatin1(amenity) + QStringLiteral("_s");
}

} // namespace

TFrmPrnmoojod::TFrmPrnmoojod(db::DataSet* ds) : ds_(ds ? ds : Dm->QMelk) {}

TFrmPrnmoojod::~TFrmPrnmoojod() = default;

QString TFrmPrnmoojod::ForsText(const TListingRow& r)
{
    QString s;
    if (r.flag("ForSell"))
        s = QStringLiteral("فروش ");
    if (r.flag("ForRahn"))
        s += QStringLiteral("رهن") + QStringLiteral(" ");
    if (r.flag("ForEjareh"))
        s += QStringLiteral("اجاره");
    return s;
}

QString TFrmPrnmoojod::AddrText(const TListingRow& r, bool printPhones)
{
    QString s = QStringLiteral("آقاي ") + r.text("MalekEsm") + QStringLiteral(" - ") + r.text("Mahal")
                + QStringLiteral("  ") + r.text("Addr");
    if (printPhones)
        s += QStringLiteral(" تلفن:") + r.text("MalekHomeTel") + QStringLiteral(" ، ") + r.text("MalekTelJob")
             + QStringLiteral(" ، ") + r.text("MalekMobile");
    return s;
}

QString TFrmPrnmoojod::DetailText(const TListingRow& r)
{
    const QString sep = QStringLiteral(" ، ");
    QString s;
    if (!r.text("mo").isEmpty())
        s += r.text("mo") + QStringLiteral(": ");
    s += QStringLiteral("مساحت:") + r.text("Masahat");
    if (r.number("ZirBana") != 0)
        s += QStringLiteral(" زيربنا:") + r.text("ZirBana");
    s += QStringLiteral(" ");
    const struct {
        const char* field;
        const char* caption;
    } labelled[] = {{"NovMelk", " نوع ملک: "}, {"NovSanad", " نوع سند: "}, {"Vaziyat", " وضعيت ملک: "},
                    {"zabeteh", " ضابطه: "}};
    for (const auto& l : labelled)
        if (!r.text(l.field).isEmpty())
            s += QString::fromUtf8(l.caption) + r.text(l.field);
    s += QStringLiteral(" واقع در طبقه ") + r.text("Tabagheh");
    if (r.number("tedadtel") != 0)
        s += QStringLiteral(" داراي ") + r.text("tedadtel") + QStringLiteral(" عدد خط تلفن");
    if (r.flag("azhayat"))
        s += sep + r.text("azhayat_s");
    if (r.flag("azsakhteman"))
        s += sep + r.text("azsakhteman_s");
    const struct {
        const char* field;
        const char* text;
    } utilities[] = {{"parking", " ، پارکينگ"}, {"hayat", " ، حياط"}, {"Ab", " ، آب"}, {"Bargh", " ، برق"},
                     {"gaz", " ، گاز"}};
    for (const auto& u : utilities)
        if (r.flag(u.field))
            s += QString::fromUtf8(u.text);
    if (r.flag("pardeh"))
        s += sep + r.text("pardeh_S");
    if (r.flag("loster"))
        s += sep + r.text("loster_s");
    if (r.flag("parvanehsakht"))
        s += sep + r.text("parvanehsakht_s");
    s += QStringLiteral(" ، داراي ") + r.text("TedadOtagh") + QStringLiteral("عدد اتاق");
    if (r.flag("anbary"))
        s += QStringLiteral(" ، انباري");
    for (const char* a : kAmenities)
        if (r.flag(a))
            s += sep + r.text(titleField(a).toLatin1().constData());
    s += QStringLiteral("، ") + r.text("SayerEmkanat");
    s += sep + r.text("Tozihat");
    s += ListingConditions(r, kTypes, kAmounts, kAmounts2, kNotes);
    return s;
}

std::unique_ptr<report::Report> TFrmPrnmoojod::QuickRep1()
{
    TListingLayout layout;
    layout.title = QStringLiteral("مشخصات املاک موجود  ");
    layout.addrHeader = QStringLiteral("نام مالک/آدرس و تلفن");
    layout.fors = &TFrmPrnmoojod::ForsText;
    layout.detail = &TFrmPrnmoojod::DetailText;
    const bool phones = PrintPhones;
    layout.addr = [phones](const TListingRow& r) { return AddrText(r, phones); };
    return BuildListingReport(*ds_, AllRows, layout);
}

bool TFrmPrnmoojod::Preview()
{
    auto rep = QuickRep1();
    return PreviewListing(*rep, QStringLiteral("مشخصات املاک موجود"));
}
