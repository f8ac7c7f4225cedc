#pragma once
// RTF for QTextDocument: the text, character and paragraph formats a contract needs
// (fonts, sizes, bold, italic, underline, strike, colours, alignment, indents, right-to-left
// paragraphs, bullets). What the reader does not know it skips; what it reads it keeps.

#include <QByteArray>
#include <QString>

class QTextDocument;

namespace richtext {

// True when the data is RTF (it starts with "{\rtf"); anything else is plain text.
bool isRichText(const QByteArray& data);

// Replaces the document's content with the RTF's. Raw bytes above 127 in the text are taken
// as UTF-8 when they form it, else in the current font's code page.
void readRtf(QTextDocument* doc, const QByteArray& rtf);

// Replaces the document's content with plain text (UTF-8 when valid, else Windows-1256).
void readPlainText(QTextDocument* doc, const QByteArray& text);

// RTF or plain text, by isRichText.
void loadText(QTextDocument* doc, const QByteArray& data);

// The document as RTF (7-bit: every other character as \uN with a Windows-1256 fallback).
QByteArray writeRtf(const QTextDocument* doc);

} // namespace richtext
