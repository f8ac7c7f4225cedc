#pragma once
// Lengths and paragraph looks shared by the RTF reader, the writer and the editor.
// Document lengths are screen pixels at 96 per inch (4/3 pixels per point).

#include <QTextBlock>
#include <QTextBlockFormat>
#include <QVariant>
#include <algorithm>
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
    // On an image: the picture file's bytes (PNG or JPEG) it was read from, written back as
    // they are. Its name is that of the document's image resource made of them.
    PictureBytes = QTextFormat::UserProperty + 0x110,
    // On a block: what fills the space before each of its tab stops (a list of ints, one for
    // each of tabPositions()): 0 nothing, 1 dots, 2 hyphens, 3 underline, 4 thick line,
    // 5 equal signs, 6 middle dots.
    TabLeaders = QTextFormat::UserProperty + 0x130,
    // On a table fitted to a narrower width: its column widths as the text gives them.
    TableNaturalWidths = QTextFormat::UserProperty + 0x131,
    // On a right-to-left block: its decimal stops (a list of indexes of tabPositions()), laid
    // out as stops the text starts at (the layout places no decimal point right to left).
    TabDecimalStops = QTextFormat::UserProperty + 0x132,
    // On characters: an underline kind Qt draws as a single line (double, thick, words only),
    // kept for the writer.
    UnderlineKindKept = QTextFormat::UserProperty + 0x120,
    // On a block: its borders, "top left bottom right" as "width:colour" each (twips, #rrggbb;
    // "-" none), kept for the writer.
    ParagraphBorders = QTextFormat::UserProperty + 0x121,
    // On a list: its level (0 to 8) in the numbered list of its identity, and that list's
    // levels (a list of nine [number format, start, level text, Persian digits, no restart]).
    ListLevel = QTextFormat::UserProperty + 0x103,
    ListLevels = QTextFormat::UserProperty + 0x104,
    // On a block whose label we draw: where the label starts, from the start of the lines.
    ListLabelIndent = QTextFormat::UserProperty + 0x105,
    // On a hidden-text object: the text it keeps.
    HiddenText = QTextFormat::UserProperty + 0x106,
};

// Underlines as RTF tells them apart.
enum UnderlineKind : int {
    UnderlineSingle = 1, UnderlineDotted, UnderlineDash, UnderlineDashDot, UnderlineDashDotDot, UnderlineDouble,
    UnderlineThick, UnderlineWords, UnderlineWave,
};

// The object that keeps hidden text in the document: no size, nothing drawn.
constexpr int HiddenTextObject = QTextFormat::UserObject + 0x48;

// In a level text: the number of level n is QChar(ListPlaceholder + n).
constexpr char16_t ListPlaceholder = 0xF700;
constexpr int ListLevelCount = 9;

enum class TabLeader { None = 0, Dots, Hyphens, Underline, ThickLine, Equals, MiddleDots };

// The leader of each of a block's tab stops.
inline QList<int> tabLeaders(const QTextBlockFormat& format)
{
    QList<int> out;
    const QVariantList list = format.property(TabLeaders).toList();
    const qsizetype n = format.tabPositions().size();
    for (qsizetype i = 0; i < n; ++i)
        out.append(i < list.size() ? std::clamp(list[i].toInt(), 0, 6) : 0);
    return out;
}

// The underline a tab reaching a stop shows for the stop's leader.
inline QTextCharFormat::UnderlineStyle leaderUnderline(int leader)
{
    switch (TabLeader(leader)) {
    case TabLeader::None: return QTextCharFormat::NoUnderline;
    case TabLeader::Dots:
    case TabLeader::MiddleDots: return QTextCharFormat::DotLine;
    case TabLeader::Hyphens: return QTextCharFormat::DashUnderline;
    default: return QTextCharFormat::SingleUnderline;
    }
}

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
