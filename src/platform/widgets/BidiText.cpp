#include "platform/widgets/BidiText.h"

namespace widgets {

// Qt's text layout honours the embedding marks
const QChar LRE(0x202A);
const QChar PDF(0x202C);

QString LeftToRight(const QString& text) { return LRE + text + PDF; }

QString Isolated(const QString& text)
{
    for (const QChar c : text) {
        const QChar::Direction d = c.direction();
        if (d == QChar::DirR || d == QChar::DirAL)
            return NegativeNumbersLeftToRight(text);
        if (d == QChar::DirL)
            break;
    }
    return LeftToRight(text);
}

QString NegativeNumbersLeftToRight(const QString& text)
{
    const auto digit = [&](qsizetype i) { return i >= 0 && i < text.size() && text[i].isDigit(); };
    QString out;
    qsizetype copied = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // a minus before digits that does not join two numbers (1403-1404) or a word
        if (text[i] != QLatin1Char('-') || !digit(i + 1) || (i > 0 && text[i - 1].isLetterOrNumber()))
            continue;
        qsizetype end = i + 1;
        while (digit(end)
               || (end < text.size() && (text[end] == QLatin1Char(',') || text[end] == QLatin1Char('.')) && digit(end + 1)))
            ++end;
        out += QStringView(text).mid(copied, i - copied);
        out += LRE;
        out += QStringView(text).mid(i, end - i);
        out += PDF;
        copied = end;
        i = end - 1;
    }
    if (copied == 0)
        return text;
    out += QStringView(text).mid(copied);
    return out;
}

} // namespace widgets
