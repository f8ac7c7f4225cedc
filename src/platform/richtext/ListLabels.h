#pragma once
// Labels of numbered paragraphs as other word processors show them: the level's text with the
// numbers of the item and of its parents, counted from each level's start, in each level's
// number format. The document's own list markers cannot say "1.2." or start at 5, so these
// paragraphs hide them and the editor and the print draw these labels instead.

#include <QHash>
#include <QString>

class QColor;
class QPainter;
class QRectF;
class QTextBlock;
class QTextDocument;
class QTextEdit;

namespace richtext {

// A number in an RTF number format (\levelnfc): 0 decimal, 1 and 2 Roman, 3 and 4 letters,
// 22 and 62-64 with leading zeros, 46 Arabic letters, 48 abjad order, 51 Arabic-Indic digits
// (Persian ones when asked), 23 a bullet, 255 nothing.
QString formatListNumber(int number, int nfc, bool persianDigits);

// The labels of the paragraphs whose labels are drawn, by block number; kept until the
// document changes.
const QHash<int, QString>& listLabels(const QTextDocument* doc);
QString listLabel(const QTextBlock& block);

// Each labelled paragraph's first line starts after its label, at the next tab stop, or at the
// paragraph's indent when a hanging label fits before it.
void makeRoomForLabels(QTextDocument* doc);

// Draws the labels of the paragraphs within clip (document coordinates).
void paintListLabels(QPainter* painter, const QTextDocument* doc, const QRectF& clip, const QColor& text);

// Has the editor draw the labels of its document.
void showListLabels(QTextEdit* editor);

} // namespace richtext
