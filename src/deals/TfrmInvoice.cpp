#include "deals/TfrmInvoice.h"

#include "core/AppGlobals.h"
#include "core/TPrefMng.h"
#include "platform/report/Fonts.h"
#include "platform/report/Report.h"
#include "platform/shell/Prompter.h"
#include "ui/TTools.h"

#include <cmath>

namespace {

const QString kCrLf = QStringLiteral("\r\n");

// The rows of the amounts table: caption element, caption, value element.
struct Row {
    const char* box;
    const char* caption;
    const char* text;
    const char* value;
    const char* rule;
};
const Row kRows[] = {
    {"QRShape1", "QRLabel1", "نوع معامله", "lblMoameleh", "QRShape8"},
    {"QRShape2", "QRLabel2", "حق بنگاه", "lblHaghebongah", "QRShape9"},
    {"QRShape3", "QRLabel3", "تخفيف", "lblTakhfif", "QRShape10"},
    {"QRShape4", "QRLabel4", "حق بنگاه با کسر تخفيف", "lblHagheTakhfif", "QRShape11"},
    {"QRShape5", "QRLabel5", "ماليات", "lblMaliyat", "QRShape12"},
    {"QRShape6", "QRLabel6", "عوارض", "lblAvarez", "QRShape13"},
    {"QRShape7", "QRLabel7", "مبلغ قابل پرداخت (با ماليات و عوارض)", "lblPayable", "QRShape14"},
};
const int kRowHeight = 90;     // 9 mm
const int kCaptionWidth = 800; // 80 mm
const int kValueGap = 20;      // 2 mm between a caption and its value

QString u(const char* s) { return QString::fromUtf8(s); }

} // namespace

double RoundWhole(double x) { return std::nearbyint(x); }

double RoundTo3(double x)
{
    const long double scaled = std::nearbyint(static_cast<long double>(x) / 0.001L);
    return double(scaled * 0.001L);
}

TInvoiceAmounts InvoiceAmounts(double commission, double discount, double vatRate, double levyRate)
{
    TInvoiceAmounts a;
    a.half = RoundTo3(commission / 2);
    a.discount = discount;
    a.after = RoundWhole(commission / 2) - discount;
    a.vat = RoundTo3(vatRate * a.after / 100);
    a.levy = RoundTo3(levyRate * a.after / 100);
    a.payable = a.after + a.levy + a.vat;
    return a;
}

TInvoiceSettings TInvoiceSettings::Current()
{
    TInvoiceSettings s;
    s.header = TPrefMng::GetInvoiceHeader();
    s.footer = TPrefMng::GetInvoiceFooter();
    s.economicCode = TPrefMng::GetEconomicCode();
    s.vatRate = TPrefMng::GetVATVal();
    s.levyRate = TPrefMng::GetMunicipalVal();
    s.paperOrdinal = PrintSettings.PaperSizeInvoice;
    s.orientation = PrintSettings.OrientationInvoice;
    return s;
}

QString InvoicePersonInfo(const TInvoiceParty& p)
{
    QString s = u("نام ") + p.label + u(": ") + p.name + kCrLf + u("کد/شناسه ملي: ") + p.nationalCode + u("   ") +
                u("کد اقتصادي: ") + p.economicCode;
    if (!p.address.isEmpty())
        s += kCrLf + u("آدرس: ") + p.address;
    if (!p.postalCode.isEmpty())
        s += kCrLf + u("کد پستي: ") + p.postalCode;
    if (!p.phone.isEmpty())
        s += kCrLf + u("تلفن: ") + p.phone;
    return s;
}

TfrmInvoice::TfrmInvoice() : rep_(std::make_unique<report::Report>(9, report::Portrait))
{
    using namespace report;
    Report& r = *rep_;
    r.title = u("فاکتور فروش");

    Band& title = r.band(BandType::Title, 120);
    TextElement& shop = title.addText(QStringLiteral("lblShopName"), QRect(0, 20, 100, 80));
    shop.alignment = Qt::AlignHCenter | Qt::AlignTop;
    shop.wordWrap = true;
    shop.autoStretch = true;

    Band& kind = title.addChild(200);
    TextElement& inv = kind.addText(QStringLiteral("lblInvKind"), QRect(0, 10, 100, 70), u("فاکتور فروش"));
    inv.alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    kind.addText(QStringLiteral("lblNumDate"), QRect(0, 90, 100, 50));
    kind.addText(QStringLiteral("lblEconomicCode"), QRect(0, 140, 100, 50));

    Band& person = kind.addChild(80);
    TextElement& info = person.addText(QStringLiteral("lblPersonInfo"), QRect(0, 10, 100, 60));
    info.wordWrap = true;
    info.autoStretch = true;

    Band& detail = r.band(BandType::Detail, kRowHeight * int(std::size(kRows)));
    detail.frame = Frame::all(5);
    for (size_t i = 0; i < std::size(kRows); ++i) {
        const Row& row = kRows[i];
        const int y = int(i) * kRowHeight;
        ShapeElement& box = detail.addShape(QString::fromLatin1(row.box), QRect(0, y, 10, kRowHeight));
        box.brush = QColor(235, 235, 235);
        box.penWidth = 0;
        TextElement& caption = detail.addText(QString::fromLatin1(row.caption), QRect(0, y, 10, kRowHeight), u(row.text));
        caption.alignment = Qt::AlignRight | Qt::AlignVCenter;
        TextElement& value = detail.addText(QString::fromLatin1(row.value), QRect(0, y, 10, kRowHeight));
        value.alignment = Qt::AlignLeft | Qt::AlignVCenter;
        value.rightToLeft = false;
        detail.addLine(QString::fromLatin1(row.rule), QPoint(0, y + kRowHeight), QPoint(10, y + kRowHeight), 3);
    }
    detail.addLine(QStringLiteral("QRShapeDivider"), QPoint(0, 0), QPoint(0, 0), 3);
    r.rowCount = 1;

    Band& state = detail.addChild(260);
    state.addText(QStringLiteral("QRLabel8"), QRect(0, 20, 100, 55), u("وضعيت پرداخت:"));
    state.addText(QStringLiteral("lblTasviyeh"), QRect(0, 20, 100, 55));
    state.addText(QStringLiteral("QRLabel9"), QRect(0, 85, 100, 55), u("توضيحات:"));
    TextElement& remark = state.addText(QStringLiteral("lblTozihat"), QRect(0, 85, 100, 55));
    remark.wordWrap = true;
    remark.autoStretch = true;
    TextElement& seal = state.addText(QStringLiteral("QRLabel10"), QRect(0, 170, 100, 55), u("مهر و امضاء"));
    seal.alignment = Qt::AlignLeft | Qt::AlignTop;

    Band& summary = r.band(BandType::Summary, 100);
    TextElement& footer = summary.addText(QStringLiteral("lblFooter"), QRect(0, 10, 100, 80));
    footer.alignment = Qt::AlignHCenter | Qt::AlignTop;
    footer.wordWrap = true;
    footer.autoStretch = true;

    r.beforePrint = [this] { QuickRep1BeforePrint(); };
    FormCreate();
}

TfrmInvoice::~TfrmInvoice() = default;

void TfrmInvoice::FormCreate()
{
    rep_->font = PrintSettings.BodyFont;
    label("lblShopName")->font = PrintSettings.InvoiceHeaderFont;
    label("lblFooter")->font = PrintSettings.InvoiceFooterFont;
    QFont bold = PrintSettings.BodyFont;
    bold.setBold(true);
    bold.setPointSize(bold.pointSize() + 3);
    label("lblInvKind")->font = bold;
}

report::TextElement* TfrmInvoice::label(const char* name) const
{
    for (report::BandType t : {report::BandType::Title, report::BandType::Detail, report::BandType::Summary})
        for (report::Band* b = rep_->findBand(t); b; b = b->child())
            if (auto* e = dynamic_cast<report::TextElement*>(b->element(QString::fromLatin1(name))))
                return e;
    return nullptr;
}

QString TfrmInvoice::text(const QString& name) const
{
    const report::TextElement* e = label(name.toLatin1().constData());
    return e ? e->text : QString();
}

// Lays the bands out over the printable width: the labels span it; each amount row has its
// caption at the right edge, the value up to the divider and the rule under the row.
void TfrmInvoice::QuickRep1BeforePrint()
{
    using namespace report;
    const int w = rep_->printableWidth();
    for (BandType t : {BandType::Title, BandType::Summary})
        for (Band* b = rep_->findBand(t); b; b = b->child())
            for (const auto& e : b->elements())
                if (e->kind() == Element::Kind::Text)
                    e->rect.setLeft(0), e->rect.setWidth(w);
    Band* detail = rep_->findBand(BandType::Detail);
    const int captionX = w - kCaptionWidth;
    for (const Row& row : kRows) {
        Element* box = detail->element(QString::fromLatin1(row.box));
        box->rect.setLeft(captionX);
        box->rect.setWidth(kCaptionWidth);
        Element* caption = detail->element(QString::fromLatin1(row.caption));
        caption->rect.setLeft(captionX + 30);
        caption->rect.setWidth(kCaptionWidth - 60);
        Element* value = detail->element(QString::fromLatin1(row.value));
        value->rect.setLeft(30);
        value->rect.setWidth(captionX - 60);
        auto* rule = static_cast<LineElement*>(detail->element(QString::fromLatin1(row.rule)));
        rule->to.setX(w);
    }
    auto* divider = static_cast<LineElement*>(detail->element(QStringLiteral("QRShapeDivider")));
    divider->from = QPoint(captionX, 0);
    divider->to = QPoint(captionX, kRowHeight * int(std::size(kRows)));
    // the captions of the last band on the right, each value on its caption's line right after it
    if (Band* state = detail->child()) {
        const std::pair<const char*, const char*> pairs[] = {{"QRLabel8", "lblTasviyeh"}, {"QRLabel9", "lblTozihat"}};
        for (const auto& [c, v] : pairs) {
            auto* caption = static_cast<TextElement*>(state->element(QString::fromLatin1(c)));
            const int width = textWidth(caption->font ? *caption->font : rep_->font, caption->text) + 10;
            caption->rect.setLeft(w - width);
            caption->rect.setWidth(width);
            Element* value = state->element(QString::fromLatin1(v));
            value->rect.setLeft(0);
            value->rect.setWidth(w - width - kValueGap);
        }
        Element* seal = state->element(QStringLiteral("QRLabel10"));
        seal->rect.setLeft(50);
        seal->rect.setWidth(w / 3);
    }
}

void TfrmInvoice::Fill(const TInvoiceDeal& deal, const TInvoiceParty& party, const TInvoiceSettings& s)
{
    rep_->setPaper(s.paperOrdinal, s.orientation);
    label("lblShopName")->text = s.header;
    label("lblEconomicCode")->text = u("کد اقتصادي: ") + s.economicCode;
    label("lblNumDate")->text = u("شماره: ") + deal.number + u("   ") + u("تاريخ: ") + deal.date;
    report::TextElement* kind = label("lblInvKind");
    kind->text = kind->text + u(" - ") + u("نسخه ") + party.label;
    label("lblPersonInfo")->text = InvoicePersonInfo(party);
    const QString nov = deal.nov.toLower();
    label("lblMoameleh")->text = nov == QLatin1String("k") ? u("خريد/فروش") : nov == QLatin1String("j") ? u("رهن/اجاره") : u("---");
    const TInvoiceAmounts a = InvoiceAmounts(deal.commission, party.discount, s.vatRate, s.levyRate);
    label("lblHaghebongah")->text = TTools::FloatToThousands(a.half);
    label("lblTakhfif")->text = TTools::FloatToThousands(a.discount);
    label("lblHagheTakhfif")->text = TTools::FloatToThousands(a.after);
    label("lblMaliyat")->text = TTools::FloatToThousands(a.vat);
    label("lblAvarez")->text = TTools::FloatToThousands(a.levy);
    label("lblPayable")->text = TTools::FloatToThousands(a.payable);
    label("lblTasviyeh")->text = party.paymentState;
    label("lblTozihat")->text = deal.remark;
    label("lblFooter")->text = s.footer;
}

report::PreparedReport TfrmInvoice::Prepare() { return rep_->prepare(); }

bool TfrmInvoice::Preview()
{
    report::PreparedReport prepared = Prepare();
    return shell::prompter().preview(prepared, u("فاکتور"));
}
