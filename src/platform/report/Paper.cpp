#include "platform/report/Paper.h"

#include <QPageSize>
#include <QPrinterInfo>
#include <cmath>

namespace report {

const QVector<PaperEntry>& paperList()
{
    static const QVector<PaperEntry> list = {
        {1, QStringLiteral("215.9 * 279.4 { Letter }"), 215.9, 279.4},
        {2, QStringLiteral("215.9 * 279.4 { Letter small }"), 215.9, 279.4},
        {3, QStringLiteral("279.4 * 431.8 { Tabloid }"), 279.4, 431.8},
        {4, QStringLiteral("431.8 * 279.4 { Ledger }"), 431.8, 279.4},
        {5, QStringLiteral("215.9 * 355.6 { Legal }"), 215.9, 355.6},
        {6, QStringLiteral("139.7 * 215.9 { Statement }"), 139.7, 215.9},
        {7, QStringLiteral("190.5 * 254.0 { Executive }"), 190.5, 254.0},
        {8, QStringLiteral("297.0 * 420.0 { A3 }"), 297.0, 420.0},
        {9, QStringLiteral("210.0 * 297.0 { A4 }"), 210.0, 297.0},
        {10, QStringLiteral("210.0 * 297.0 { A4 small }"), 210.0, 297.0},
        {11, QStringLiteral("148.0 * 210.0 { A5 }"), 148.0, 210.0},
        {12, QStringLiteral("250.0 * 354.0 { B4 }"), 250.0, 354.0},
        {13, QStringLiteral("182.0 * 257.0 { B5 }"), 182.0, 257.0},
        {14, QStringLiteral("215.9 * 330.2 { Folio }"), 215.9, 330.2},
        {15, QStringLiteral("215.0 * 275.0 { Quarto }"), 215.0, 275.0},
        {16, QStringLiteral("254.0 * 355.6 { 10X14 }"), 254.0, 355.6},
        {17, QStringLiteral("279.4 * 431.8 { 11X17 }"), 279.4, 431.8},
        {18, QStringLiteral("215.9 * 279.0 { Note }"), 215.9, 279.0},
        {19, QStringLiteral("98.43 * 225.4 { Envelope #9 }"), 98.43, 225.4},
        {20, QStringLiteral("104.8 * 241.3 { Envelope #10 }"), 104.8, 241.3},
        {21, QStringLiteral("114.3 * 263.5 { Envelope #11 }"), 114.3, 263.5},
        {22, QStringLiteral("101.6 * 279.4 { Envelope #12 - might be wrong !! }"), 101.6, 279.4},
        {23, QStringLiteral("127.0 * 292.1 { Envelope #14 }"), 127.0, 292.1},
        {24, QStringLiteral("100.0 * 100.0 {CSheet}"), 100.0, 100.0},
        {25, QStringLiteral("100.0 * 100.0 {DSheet}"), 100.0, 100.0},
        {26, QStringLiteral("100.0 * 100.0 {ESheet}"), 100.0, 100.0},
    };
    return list;
}

QSize paperSize(int ordinal, int orientation)
{
    QSizeF mm(210.0, 297.0);
    if (ordinal >= 1 && ordinal <= paperList().size()) {
        const PaperEntry& e = paperList().at(ordinal - 1);
        mm = QSizeF(e.widthMm, e.heightMm);
    } else if (ordinal == 0) {
        const QPrinterInfo def = QPrinterInfo::defaultPrinter();
        if (!def.isNull() && def.defaultPageSize().isValid())
            mm = def.defaultPageSize().size(QPageSize::Millimeter);
    }
    QSize units(int(std::lround(mm.width() * 10)), int(std::lround(mm.height() * 10)));
    // The table gives portrait sizes except where width exceeds height (Ledger); landscape swaps.
    if (orientation == Landscape)
        units.transpose();
    return units;
}

} // namespace report
