#pragma once
// RTF for QTextDocument: the text, character and paragraph formats a contract needs
// (fonts, sizes, bold, italic, underline, strike, colours, alignment, indents, right-to-left
// paragraphs, lists, tables with right-to-left rows, page breaks). What the reader does not
// know it skips; what it reads it keeps. Reading costs time and memory in proportion to the
// text; texts beyond any contract's size are refused.

#include <QByteArray>
#include <QString>
#include <utility>
#include <vector>

class QTextDocument;

namespace shell { class Progress; }

namespace richtext {

// The largest text read: no contract comes near it. Beyond these a document would take
// seconds and hundreds of megabytes.
constexpr qint64 MaxTextBytes = 20LL * 1024 * 1024;
constexpr int MaxParagraphs = 100000;      // table cells included
constexpr int MaxRuns = 1000000;           // pieces of text in a format of their own
inline bool fitsLimit(qint64 bytes) { return bytes <= MaxTextBytes; }
// The message for a text beyond the limits.
QString tooLargeMessage();

enum class LoadResult { Loaded, TooLarge, Cancelled };

// Parts of a text the document cannot hold: the reader skips them and tells which it met.
enum Dropped : unsigned {
    DroppedNotes = 1,              // footnotes and endnotes
    DroppedHeadersFooters = 2,
    DroppedPictures = 4,           // pictures other than PNG and JPEG
    DroppedObjects = 8,            // drawing shapes and embedded objects
    DroppedComments = 16,
};

// True when the data is RTF (it starts with "{\rtf"); anything else is plain text.
bool isRichText(const QByteArray& data);

// Each reader replaces the document's content, unless it refuses the text (too large) or the
// user cancels the progress given (the document is then left as it was).

// Raw bytes above 127 in the text are taken as UTF-8 when they form it, else in the
// current font's code page. PNG and JPEG pictures become images of the document (see
// PictureBytes); dropped, when given, receives the Dropped parts skipped.
LoadResult readRtf(QTextDocument* doc, const QByteArray& rtf, shell::Progress* progress = nullptr,
                   unsigned* dropped = nullptr);

// Plain text: UTF-8 when valid, else Windows-1256.
LoadResult readPlainText(QTextDocument* doc, const QByteArray& text);

// RTF or plain text, by isRichText.
LoadResult loadText(QTextDocument* doc, const QByteArray& data, shell::Progress* progress = nullptr,
                    unsigned* dropped = nullptr);

// Tables wider than width (in the document's units, scale of them to a table's lengths)
// take the width with their columns in proportion; narrower ones keep or get back their own
// widths. The writer writes a table's own widths either way.
void fitTables(QTextDocument* doc, double width, double scale = 1.0);

// The tabs of a laid-out document that reach a stop with a leader: their positions and the
// leaders (TabLeader), for the editor and the print to draw. scale: the layout's lengths to
// the document's (its device's dots per inch over 96).
std::vector<std::pair<int, int>> tabLeaderPlaces(const QTextDocument& doc, double scale = 1.0);

// The document as RTF (7-bit: every other character as \uN with a Windows-1256 fallback).
QByteArray writeRtf(const QTextDocument* doc);

} // namespace richtext
