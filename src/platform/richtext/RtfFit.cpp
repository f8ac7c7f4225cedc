#include "platform/richtext/Rtf.h"

#include "platform/richtext/RtfUnits.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextDocument>
#include <QTextLayout>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>
#include <vector>

namespace richtext {

namespace {

// The widths a table's columns have in the text: fixed ones, or none when any is not.
QList<QTextLength> naturalWidths(const QTextTableFormat& tf, int columns)
{
    QList<QTextLength> widths = tf.hasProperty(TableNaturalWidths) ? tf.lengthVectorProperty(TableNaturalWidths)
                                                                    : tf.columnWidthConstraints();
    if (widths.size() != columns)
        return {};
    for (const QTextLength& l : widths)
        if (l.type() != QTextLength::FixedLength)
            return {};
    return widths;
}

struct Fitted {
    QTextTable* table;
    QList<QTextLength> natural;
    double total;
    double percent = 99.9;
    double last = 0;
    bool done = false;
};

void setShares(Fitted& f)
{
    QList<QTextLength> shares;
    for (const QTextLength& l : f.natural)
        shares << QTextLength(QTextLength::PercentageLength,
                              f.total > 0 ? f.percent * l.rawValue() / f.total : f.percent / f.natural.size());
    QTextTableFormat tf = f.table->format();
    tf.setProperty(TableNaturalWidths, f.natural);
    tf.setColumnWidthConstraints(shares);
    f.table->setFormat(tf);
}

void fitFrame(QTextFrame* frame, double width, double scale, std::vector<Fitted>& fitted)
{
    for (QTextFrame* child : frame->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(child);
        if (!table) {
            fitFrame(child, width, scale, fitted);
            continue;
        }
        QTextTableFormat tf = table->format();
        const QList<QTextLength> natural = naturalWidths(tf, table->columns());
        if (natural.isEmpty())
            continue;
        double total = 0;
        for (const QTextLength& l : natural)
            total += l.rawValue();
        const double outer = 2 * (tf.border() + tf.margin() + tf.padding()) + (natural.size() + 1) * tf.cellSpacing();
        if ((total + outer) * scale <= width) {
            // the table fits as it is: its own widths again
            if (tf.hasProperty(TableNaturalWidths)) {
                tf.setColumnWidthConstraints(natural);
                tf.clearProperty(TableNaturalWidths);
                table->setFormat(tf);
            }
            continue;
        }
        // wider than the text: the columns share the width in the text's proportions
        fitted.push_back({table, natural, total});
        setShares(fitted.back());
    }
}

} // namespace

void fitTables(QTextDocument* doc, double width, double scale)
{
    if (!doc || width <= 0)
        return;
    std::vector<Fitted> fitted;
    fitFrame(doc->rootFrame(), width, scale, fitted);
    if (fitted.empty() || doc->textWidth() <= 0)
        return;
    // the cells' borders take room of their own, given back by smaller shares; each round
    // lays the document out once
    for (int round = 0; round < 3; ++round) {
        doc->size();
        bool again = false;
        for (Fitted& f : fitted) {
            if (f.done)
                continue;
            const double excess = doc->documentLayout()->frameBoundingRect(f.table).width() - width;
            // it fits, or its words allow it no narrower
            if (excess <= 0.5 || excess > 0.05 * width || (round > 0 && excess >= f.last - 0.5)) {
                f.done = true;
                continue;
            }
            f.last = excess;
            f.percent = std::max(10.0, f.percent - 100.0 * (excess + 0.5) / width);
            setShares(f);
            again = true;
        }
        if (!again)
            break;
    }
}

std::vector<std::pair<int, int>> tabLeaderPlaces(const QTextDocument& doc, double scale)
{
    // the stop a tab reaches is the first beyond where it starts, from the line's start
    std::vector<std::pair<int, int>> out;
    for (QTextBlock b = doc.begin(); b.isValid(); b = b.next()) {
        const QTextBlockFormat bf = b.blockFormat();
        if (!bf.hasProperty(TabLeaders))
            continue;
        const QList<QTextOption::Tab> stops = bf.tabPositions();
        const QList<int> leaders = tabLeaders(bf);
        const QTextLayout* tl = b.layout();
        if (!tl || stops.isEmpty())
            continue;
        const QString text = b.text();
        const bool rtl = tl->textOption().textDirection() == Qt::RightToLeft;
        for (int i = int(text.indexOf(QLatin1Char('\t'))); i >= 0; i = int(text.indexOf(QLatin1Char('\t'), i + 1))) {
            const QTextLine line = tl->lineForTextPosition(i);
            if (!line.isValid())
                continue;
            const double at = rtl ? line.x() + line.width() - line.cursorToX(i) : line.cursorToX(i) - line.x();
            for (qsizetype k = 0; k < stops.size(); ++k)
                if (stops[k].position * scale > at + 0.01) {
                    if (leaders[k])
                        out.emplace_back(b.position() + i, leaders[k]);
                    break;
                }
        }
    }
    return out;
}

} // namespace richtext
