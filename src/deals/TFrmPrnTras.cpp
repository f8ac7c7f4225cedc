#include "deals/TFrmPrnTras.h"

#include "platform/report/Fonts.h"

#include <QTreeWidget>

namespace {

const QString kSample = QStringLiteral("abcآبي ق غ");

QFont sized(QFont f, int points)
{
    f.setPointSize(points);
    return f;
}

QString rowText(const QTreeWidget* list, int row)
{
    const QTreeWidgetItem* item = list && row >= 0 && row < list->topLevelItemCount() ? list->topLevelItem(row) : nullptr;
    return item ? item->text(1) : QString();
}

} // namespace

void TFrmPrnTras::Build(int paperOrdinal, int orientation, const QFont& font)
{
    using namespace report;
    QuickRep1.setPaper(paperOrdinal, orientation);
    QuickRep1.font = font;
    const int W = QuickRep1.printableWidth();
    const int col = W / 2 - 1;

    const QFont titleFont = sized(font, 12);
    Band& title = QuickRep1.band(BandType::Title, textHeight(titleFont, kSample) + 40);
    title.name = QStringLiteral("TitleBand1");
    TextElement& tlt = title.addText(QStringLiteral("LblTlt"), QRect(0, 20, W - 1, textHeight(titleFont, kSample)));
    tlt.font = titleFont;
    tlt.alignment = Qt::AlignHCenter | Qt::AlignTop;
    tlt.onPrint = [this] { return Title; };
    Band& gap = title.addChild(60);
    gap.name = QStringLiteral("ChildBand1");
    gap.frame.bottom = true;

    const QFont detailFont = sized(font, 10);
    const int h = textHeight(font, kSample) - 3;
    Band& detail = QuickRep1.band(BandType::Detail, h);
    detail.name = QStringLiteral("DetailBand1");
    TextElement& left = detail.addText(QStringLiteral("LblDetL"), QRect(0, 0, col, h));
    left.font = detailFont;
    left.alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    left.onPrint = [this] { return rowText(ListLeft, RowIndex); };
    TextElement& right = detail.addText(QStringLiteral("LbldetR"), QRect(col + 2, 0, col, h));
    right.font = detailFont;
    right.alignment = Qt::AlignHCenter | Qt::AlignVCenter;
    right.onPrint = [this] { return rowText(ListRight, RowIndex); };
    detail.addLine(QStringLiteral("QRShape1"), QPoint(col + 1, 0), QPoint(col + 1, h + 1));
    detail.afterPrint = [this](bool printed) {
        if (printed)
            ++RowIndex;
    };

    const QFont summaryFont = sized(font, 11);
    const int sh = textHeight(summaryFont, kSample);
    Band& summary = QuickRep1.band(BandType::Summary, sh + 40);
    summary.name = QStringLiteral("SummaryBand1");
    summary.frame.top = true;
    TextElement& sl = summary.addText(QStringLiteral("LblSL"), QRect(0, 20, col, sh));
    sl.font = summaryFont;
    sl.alignment = Qt::AlignHCenter | Qt::AlignTop;
    sl.onPrint = [this] { return SummaryValue; };
    TextElement& sr = summary.addText(QStringLiteral("LblSR"), QRect(col + 2, 20, col, sh));
    sr.font = summaryFont;
    sr.alignment = Qt::AlignHCenter | Qt::AlignTop;
    sr.onPrint = [this] { return SummaryCaption; };

    QuickRep1.beforePrint = [this] { RowIndex = 0; };
    QuickRep1.moreData = [this] { return ListRight && RowIndex < ListRight->topLevelItemCount(); };
    QuickRep1.title = Title;
}

report::PreparedReport TFrmPrnTras::Prepare(int paperOrdinal, int orientation, const QFont& font)
{
    Build(paperOrdinal, orientation, font);
    return QuickRep1.prepare();
}

bool TFrmPrnTras::Preview(int paperOrdinal, int orientation, const QFont& font)
{
    Build(paperOrdinal, orientation, font);
    return QuickRep1.preview(Title);
}
