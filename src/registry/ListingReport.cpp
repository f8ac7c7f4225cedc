#include "registry/ListingReport.h"

#include "core/AppGlobals.h"
#include "core/TPrefMng.h"
#include "platform/db/DataSet.h"
#include "platform/report/Report.h"
#include "ui/TTools.h"

#include <QFontMetricsF>
#include <QImage>
#include <QtMath>

namespace {

const QString kRahnEjareh = QStringLiteral("رهن و اجاره");

int fieldIndex(db::DataSet& ds, const char* name)
{
    const db::Field* f = ds.FindField(QString::fromLatin1(name));
    return f ? f->Index() : -1;
}

QFont boldArial(int size)
{
    QFont f(QStringLiteral("Arial"), size);
    f.setBold(true);
    return f;
}

// The width of a text in the report's units (tenths of a millimetre).
int reportWidth(const QString& text, const QFont& font)
{
    QImage device(1, 1, QImage::Format_Mono);
    device.setDotsPerMeterX(10000);
    device.setDotsPerMeterY(10000);
    return qCeil(QFontMetricsF(font, &device).horizontalAdvance(text));
}

// Room between a column's text and the separators beside it.
const int kPad = 15;

QString today()
{
    if (Tools)
        return Tools->TodayShamsi();
    return TTools().TodayShamsi();
}

} // namespace

QString TListingRow::text(const char* field) const
{
    const int i = fieldIndex(ds_, field);
    if (i < 0)
        return QString();
    const QVariant v = ds_.ValueAt(row_, i);
    if (v.isNull())
        return QString();
    if (v.typeId() == QMetaType::Double)
        return TTools::FloatToStr(v.toDouble());
    return v.toString();
}

QString TListingRow::display(const char* field) const
{
    const int i = fieldIndex(ds_, field);
    return i < 0 ? QString() : ds_.DisplayTextAt(row_, i);
}

bool TListingRow::flag(const char* field) const
{
    const int i = fieldIndex(ds_, field);
    return i >= 0 && ds_.ValueAt(row_, i).toDouble() != 0;
}

double TListingRow::number(const char* field) const
{
    const int i = fieldIndex(ds_, field);
    return i < 0 ? 0 : ds_.ValueAt(row_, i).toDouble();
}

QString ListingConditions(const TListingRow& r, const char* const types[3], const char* const amounts[3],
                          const char* const amounts2[3], const char* const notes[3])
{
    QString s;
    for (int i = 0; i < 3; ++i) {
        const QString type = r.text(types[i]);
        if (type.isEmpty())
            continue;
        if (type != kRahnEjareh)
            s += QStringLiteral(" ، قيمت ") + type + QStringLiteral(" ") + r.display(amounts[i]) + QStringLiteral(" ")
                 + r.text(notes[i]);
        else
            s += QStringLiteral(" ، قيمت ") + QStringLiteral("رهن ") + QStringLiteral(" ") + r.display(amounts[i])
                 + QStringLiteral(" ") + QStringLiteral(" اجاره ") + r.display(amounts2[i]) + r.text(notes[i]);
    }
    return s;
}

std::unique_ptr<report::Report> BuildListingReport(db::DataSet& ds, bool allRows, const TListingLayout& layout)
{
    using namespace report;
    auto rep = std::make_unique<Report>(PrintSettings.PaperSizeReport, PrintSettings.OrientationReport);
    Report* r = rep.get();
    r->font = PrintSettings.BodyFont;
    r->title = layout.title;
    r->pageFrame = Frame::all(3);
    const int w = r->printableWidth();

    // Columns from the left: address 40%, detail 43%, deal type 12%, row number (the rest,
    // at least its title's width; the detail gives up what the row number needs).
    const QString rowTitle = QStringLiteral("رديف");
    const int rowNeed = reportWidth(rowTitle, boldArial(11)) + 2 * kPad;
    const int addrW = w * 40 / 100;
    const int detailW = w * 43 / 100 - qMax(0, rowNeed - (w - w * 40 / 100 - w * 43 / 100 - w * 12 / 100));
    const int forsW = w * 12 / 100;
    const int detailX = addrW;
    const int forsX = detailX + detailW;
    const int rowX = forsX + forsW;
    const int rowW = w - rowX;

    QString title = TPrefMng::GetReportTitle();
    if (!title.isEmpty())
        title += QLatin1Char('\n');
    title += layout.title + today();
    Band& titleBand = r->band(BandType::Title, 110);
    TextElement& t = titleBand.addText(QStringLiteral("QRLabel1"), QRect(0, 10, w, 90), title);
    t.font = boldArial(14);
    t.alignment = Qt::AlignHCenter | Qt::AlignTop;
    t.wordWrap = true;
    t.autoStretch = true;

    Band& header = r->band(BandType::ColumnHeader, 80);
    header.name = QStringLiteral("ColumnHeaderBand1");
    header.frame = Frame{false, true, false, true, 3, Qt::black};
    const auto headerLabel = [&](const char* name, int x, int width, const QString& text) {
        TextElement& e = header.addText(QString::fromLatin1(name), QRect(x + kPad, 15, width - 2 * kPad, 55), text);
        e.font = boldArial(11);
        e.alignment = Qt::AlignRight | Qt::AlignVCenter;
    };
    headerLabel("QRHLblRow", rowX, rowW, rowTitle);
    headerLabel("QRHLblType", forsX, forsW, QStringLiteral("نوع معامله"));
    headerLabel("QRHLblDetail", detailX, detailW, QStringLiteral("مشخصات"));
    headerLabel("QRHLblAddr", 0, addrW, layout.addrHeader);

    auto counter = std::make_shared<int>(0);
    Band& detail = r->band(BandType::Detail, 60);
    detail.name = QStringLiteral("DetailBand1");
    detail.frame = Frame{false, true, false, true, 1, Qt::black};
    const auto cell = [&](const char* name, int x, int width, bool wrap) -> TextElement& {
        TextElement& e = detail.addText(QString::fromLatin1(name), QRect(x + kPad, 10, width - 2 * kPad, 45));
        e.wordWrap = wrap;
        e.autoStretch = wrap;
        e.alignment = Qt::AlignRight | Qt::AlignTop;
        return e;
    };
    cell("QLblRow", rowX, rowW, false).onPrint = [counter] { return QString::number(++*counter); };
    const auto rowText = [r, &ds](const std::function<QString(const TListingRow&)>& f) {
        return [r, &ds, f] { return f ? f(TListingRow(ds, r->currentRow())) : QString(); };
    };
    cell("QLblFors", forsX, forsW, true).onPrint = rowText(layout.fors);
    cell("QLblDetail", detailX, detailW, true).onPrint = rowText(layout.detail);
    cell("QLblAddr", 0, addrW, true).onPrint = rowText(layout.addr);
    detail.beforePrint = [r, &ds, allRows] { return allRows || ds.IsRowSelected(r->currentRow()); };
    for (int x : {addrW, forsX, rowX})
        detail.columnLines.push_back({x + 1, 3, Qt::black});

    Band& footer = r->band(BandType::PageFooter, 70);
    footer.frame = Frame{false, true, false, false, 3, Qt::black};
    PageNumberElement& page = footer.addPageNumber(QStringLiteral("QRSysData1"), QRect(0, 10, w, 55));
    page.font = boldArial(11);
    page.alignment = Qt::AlignHCenter | Qt::AlignVCenter;

    r->beforePrint = [counter, r, &ds] {
        *counter = 0;
        r->rowCount = ds.Active() ? ds.RecordCount() : 0;
    };
    return rep;
}

bool PreviewListing(report::Report& rep, const QString& caption)
{
    return rep.preview(caption);
}
