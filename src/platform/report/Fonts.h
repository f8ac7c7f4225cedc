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

// Lays text out in a box of the given width (wrapping at words when wrap is set) and
// returns the height of the laid-out lines. Alignment is absolute (left means left).
double layoutText(QTextLayout& layout, double width, bool wrap, Qt::Alignment alignment, bool rightToLeft);

// The text with its CR LF, CR and LF line breaks as the layout's line separators, and its
// negative numbers kept left to right.
QString layoutString(const QString& text);

// Height and width of a text in the font, in tenths of a millimetre (one line, no wrap).
int textHeight(const QFont& font, const QString& text);
int textWidth(const QFont& font, const QString& text);

} // namespace report
