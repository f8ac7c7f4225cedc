#pragma once
// Lengths and paragraph looks shared by the RTF reader, the writer and the editor.
// Document lengths are screen pixels at 96 per inch (4/3 pixels per point).

#include <QTextBlock>
#include <QTextBlockFormat>
#include <cmath>

namespace richtext {

// Properties of our own that the reader leaves in the document for the writer and the print.
enum Property : int {
    // On a table: its rows run right to left. Column 0 is the leftmost on the page either way;
    // the first cell of such a row in RTF is its last column.
    TableRowsRightToLeft = QTextFormat::UserProperty + 0x100,
    // On a list: lists of the same identity continue one another's items.
    ListIdentity = QTextFormat::UserProperty + 0x101,
    // On a block: the empty block a document needs before or after a table, no paragraph of
    // the text.
    TableNeighbourBlock = QTextFormat::UserProperty + 0x102,
    // On characters: an underline kind Qt draws as a single line (double, thick, words only),
    // kept for the writer.
    UnderlineKindKept = QTextFormat::UserProperty + 0x120,
    // On a block: its borders, "top left bottom right" as "width:colour" each (twips, #rrggbb;
    // "-" none), kept for the writer.
    ParagraphBorders = QTextFormat::UserProperty + 0x121,
};

// Underlines as RTF tells them apart.
enum UnderlineKind : int {
    UnderlineSingle = 1, UnderlineDotted, UnderlineDash, UnderlineDashDot, UnderlineDashDotDot, UnderlineDouble,
    UnderlineThick, UnderlineWords, UnderlineWave,
};

inline double twipsToPixels(int twips) { return twips / 15.0; }
inline int pixelsToTwips(double pixels) { return int(std::lround(pixels * 15.0)); }

// Paragraph alignment as it looks on the page, whatever the paragraph's direction.
enum class Align { Left = 0, Right = 1, Centre = 2, Justify = 3 };

// The direction a paragraph is laid out in (its own, else by its text).
inline bool isRightToLeft(const QTextBlock& block)
{
    const Qt::LayoutDirection d = block.blockFormat().layoutDirection();
    if (d != Qt::LayoutDirectionAuto)
        return d == Qt::RightToLeft;
    return block.textDirection() == Qt::RightToLeft;
}

inline Align physicalAlignment(const QTextBlockFormat& format, bool rightToLeft)
{
    const Qt::Alignment a = format.alignment();
    if (a & Qt::AlignHCenter)
        return Align::Centre;
    if ((a & Qt::AlignJustify) == Qt::AlignJustify)
        return Align::Justify;
    const bool absolute = a & Qt::AlignAbsolute;
    const bool right = a & (Qt::AlignRight | Qt::AlignTrailing) && !(a & Qt::AlignLeft);
    if (absolute || !rightToLeft)
        return right ? Align::Right : Align::Left;
    return right ? Align::Left : Align::Right;
}

inline void setPhysicalAlignment(QTextBlockFormat& format, Align align)
{
    switch (align) {
    case Align::Left: format.setAlignment(Qt::AlignLeft | Qt::AlignAbsolute); break;
    case Align::Right: format.setAlignment(Qt::AlignRight | Qt::AlignAbsolute); break;
    case Align::Centre: format.setAlignment(Qt::AlignHCenter); break;
    case Align::Justify: format.setAlignment(Qt::AlignJustify); break;
    }
}

} // namespace richtext
