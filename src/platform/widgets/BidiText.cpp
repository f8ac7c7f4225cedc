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
            return text;
        if (d == QChar::DirL)
            break;
    }
    return LeftToRight(text);
}

} // namespace widgets
