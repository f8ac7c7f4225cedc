#include "registry/TFrmDarkhasti.h"

#include "core/TDm.h"
#include "platform/report/Report.h"
#include "registry/ListingReport.h"

namespace {

const char* const kTypes[3] = {"f1type", "f2type", "f3type"};
const char* const kAmounts[3] = {"f1", "f2", "f3"};
const char* const kAmounts2[3] = {"f1_2", "f2_2", "f3_2"};
const char* const kNotes[3] = {"f1shart", "f2shart", "f3shart"};

} // namespace

TFrmDarkhasti::TFrmDarkhasti(db::DataSet* ds) : ds_(ds ? ds : Dm->QNiyaz) {}

TFrmDarkhasti::~TFrmDarkhasti() = default;

QString TFrmDarkhasti::ForsText(const TListingRow& r)
{
    QString s;
    if (r.flag("kharid"))
        s = QStringLiteral("خريد ");
    if (r.flag("Rahn"))
        s += QStringLiteral("رهن") + QStringLiteral(" ");
    if (r.flag("Ejareh"))
        s += QStringLiteral("اجاره");
    return s;
}

QString TFrmDarkhasti::AddrText(const TListingRow& r)
{
    return QStringLiteral("آقاي ") + r.text("Esm") + QStringLiteral(" تلفن:") + r.text("hometel")
           + QStringLiteral(" ، ") + r.text("shoptel") + QStringLiteral(" ، ") + r.text("mobile");
}

QString TFrmDarkhasti::DetailText(const TListingRow& r)
{
    QString s = QStringLiteral("مساحت:") + r.text("masahat");
    if (r.number("zirbana") != 0)
        s += QStringLiteral(" زيربنا:") + r.text("zirbana");
    s += QStringLiteral(" ");
    if (!r.text("novmelk").isEmpty())
        s += QStringLiteral(" نوع ملک: ") + r.text("novmelk");
    if (r.number("tabagheh") != 0)
        s += QStringLiteral(" واقع در طبقه ") + r.text("tabagheh");
    if (r.number("tedadtel") != 0)
        s += QStringLiteral(" داراي ") + r.text("tedadtel") + QStringLiteral(" عدد خط تلفن");
    const struct {
        const char* field;
        const char* text;
    } utilities[] = {{"parking", " ، پارکينگ"}, {"hayat", " ، حياط"}, {"ab", " ، آب"}, {"bargh", " ، برق"},
                     {"gaz", " ، گاز"}};
    for (const auto& u : utilities)
        if (r.flag(u.field))
            s += QString::fromUtf8(u.text);
    s += QStringLiteral(" ، داراي ") + r.text("otagh") + QStringLiteral("عدد اتاق");
    s += QStringLiteral(" ، ") + r.text("Tozihat");
    s += ListingConditions(r, kTypes, kAmounts, kAmounts2, kNotes);
    return s;
}

std::unique_ptr<report::Report> TFrmDarkhasti::QuickRep1()
{
    TListingLayout layout;
    layout.title = QStringLiteral("مشخصات املاک درخواستي  ");
    layout.addrHeader = QStringLiteral("نام خريدار/آدرس و تلفن");
    layout.fors = &TFrmDarkhasti::ForsText;
    layout.detail = &TFrmDarkhasti::DetailText;
    layout.addr = &TFrmDarkhasti::AddrText;
    return BuildListingReport(*ds_, AllRows, layout);
}

bool TFrmDarkhasti::Preview()
{
    auto rep = QuickRep1();
    return PreviewListing(*rep, QStringLiteral("مشخصات املاک درخواستي"));
}
