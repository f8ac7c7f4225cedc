#include "platform/richtext/Rtf.h"

#include "platform/richtext/RtfUnits.h"

#include <QAbstractTextDocumentLayout>
#include <QTextDocument>
#include <QTextFrame>
#include <QTextTable>
#include <algorithm>

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

void fitFrame(QTextFrame* frame, double width, double scale)
{
    for (QTextFrame* child : frame->childFrames()) {
        auto* table = qobject_cast<QTextTable*>(child);
        if (!table) {
            fitFrame(child, width, scale);
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
        const bool fitted = tf.hasProperty(TableNaturalWidths);
        if ((total + outer) * scale <= width) {
            // the table fits as it is: its own widths again
            if (fitted) {
                tf.setColumnWidthConstraints(natural);
                tf.clearProperty(TableNaturalWidths);
                table->setFormat(tf);
            }
            continue;
        }
        // wider than the text: the columns share the width in the text's proportions; the
        // cells' borders take room of their own, given back by smaller shares
        tf.setProperty(TableNaturalWidths, natural);
        double percent = 99.9;
        double last = 0;
        for (int round = 0; round < 3; ++round) {
            QList<QTextLength> shares;
            for (const QTextLength& l : natural)
                shares << QTextLength(QTextLength::PercentageLength, total > 0 ? percent * l.rawValue() / total : percent / natural.size());
            tf.setColumnWidthConstraints(shares);
            table->setFormat(tf);
            QTextDocument* doc = table->document();
            if (doc->textWidth() <= 0)
                break;
            doc->size();
            const double excess = doc->documentLayout()->frameBoundingRect(table).width() - width;
            if (excess <= 0.5 || excess > 0.05 * width || (round > 0 && excess >= last - 0.5))
                break;      // it fits, or its words allow it no narrower
            last = excess;
            percent = std::max(10.0, percent - 100.0 * (excess + 0.5) / width);
        }
    }
}

} // namespace

void fitTables(QTextDocument* doc, double width, double scale)
{
    if (!doc || width <= 0)
        return;
    fitFrame(doc->rootFrame(), width, scale);
}

} // namespace richtext
