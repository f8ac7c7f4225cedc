#pragma once
// Fonts and text measuring of the report layer. Lengths are tenths of a millimetre.

#include <Qt>

class QFont;
class QPaintDevice;
class QString;
class QTextLayout;

namespace report {

// Maps "tahoma" and "arial" to Noto Sans Arabic, then DejaVu Sans. Call once at start.
void installFontSubstitutions();

// A paint device of 254 dots per inch: one device pixel is 0.1 mm. Reports lay out text on it.
QPaintDevice* layoutDevice();

// The smallest size, in points, that printed text shrinks to so that it fits its box.
constexpr double kMinFontPoints = 7;

// Lays text out in a box of the given width and returns the height of the laid-out lines.
// With wrap set, lines break between words only: a word, number or date stays whole even
// when it is wider than the box; breakWords lets such a word break inside as a last resort.
// Alignment is absolute (left means left).
double layoutText(QTextLayout& layout, double width, bool wrap, Qt::Alignment alignment, bool rightToLeft,
                  bool breakWords = false);

// The width of the widest laid-out line (after layoutText).
double widestLine(const QTextLayout& layout);

// The font at another size in points (fractions allowed).
QFont fontAtPoints(const QFont& font, double points);
// The font's size in points (a pixel-sized font counts as its size on the report's device).
double fontPoints(const QFont& font);

// The text as it is laid out: its CR LF, CR and LF line breaks as line separators, its
// negative numbers kept left to right, and inside every word (what stands between blanks)
// its digits and signs joined to their neighbours, so that lines break between words only.
QString layoutString(const QString& text);

// Height and width of a text in the font, in tenths of a millimetre (one line, no wrap).
int textHeight(const QFont& font, const QString& text);
int textWidth(const QFont& font, const QString& text);

} // namespace report
