#include "platform/report/Fonts.h"

#include "platform/widgets/BidiText.h"

#include <QFont>
#include <QImage>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace report {

void installFontSubstitutions()
{
    const QStringList fallbacks{QStringLiteral("Noto Sans Arabic"), QStringLiteral("DejaVu Sans")};
    for (const char* family : {"tahoma", "arial"}) {
        const QString name = QString::fromLatin1(family);
        QFont::removeSubstitutions(name);
        QFont::insertSubstitutions(name, fallbacks);
    }
}

QPaintDevice* layoutDevice()
{
    static QImage device = [] {
        QImage img(1, 1, QImage::Format_ARGB32_Premultiplied);
        img.setDotsPerMeterX(10000);   // 254 dpi
        img.setDotsPerMeterY(10000);
        return img;
    }();
    return &device;
}

namespace {

// Letters (with their marks and the joining controls) never break from each other.
bool letter(QChar c) { return c.isLetter() || c.isMark() || c.category() == QChar::Other_Format; }

} // namespace

QString layoutString(const QString& text)
{
    // a negative amount reads "-3,000" in right-to-left lines too, as in the lists
    QString s = widgets::NegativeNumbersLeftToRight(text);
    s.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    s.replace(QLatin1Char('\r'), QChar::LineSeparator);
    s.replace(QLatin1Char('\n'), QChar::LineSeparator);
    // The line breaker would break "1,234,567" after "1," and "خريد/فروش" after the slash:
    // inside a word every character that is not a letter is joined to its neighbours.
    const int n = int(s.size());
    auto joined = [&](int i) { return !s[i].isSpace() && !s[i + 1].isSpace() && !(letter(s[i]) && letter(s[i + 1])); };
    int first = 0;
    while (first + 1 < n && !joined(first))
        ++first;
    if (first + 1 >= n)
        return s;
    QString out = s.left(first);
    out.reserve(n * 2);
    for (int i = first; i < n; ++i) {
        out += s[i];
        if (i + 1 < n && joined(i))
            out += QChar(0x2060);   // word joiner
    }
    return out;
}

double layoutText(QTextLayout& layout, double width, bool wrap, Qt::Alignment alignment, bool rightToLeft, bool breakWords)
{
    QTextOption option;
    option.setAlignment((alignment & Qt::AlignHorizontal_Mask) | Qt::AlignAbsolute);
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    option.setWrapMode(!wrap ? QTextOption::ManualWrap
                             : breakWords ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::WordWrap);
    layout.setTextOption(option);
    const double lineWidth = std::max(1.0, width);
    double y = 0;
    layout.beginLayout();
    for (;;) {
        QTextLine line = layout.createLine();
        if (!line.isValid())
            break;
        line.setLineWidth(lineWidth);
        line.setPosition(QPointF(0, y));
        y += line.height();
    }
    layout.endLayout();
    return y;
}

double widestLine(const QTextLayout& layout)
{
    double w = 0;
    for (int i = 0; i < layout.lineCount(); ++i)
        w = std::max(w, layout.lineAt(i).naturalTextWidth());
    return w;
}

QFont fontAtPoints(const QFont& font, double points)
{
    QFont f = font;
    f.setPointSizeF(points);
    return f;
}

double fontPoints(const QFont& font)
{
    if (font.pointSizeF() > 0)
        return font.pointSizeF();
    return font.pixelSize() > 0 ? font.pixelSize() * 72.0 / 254.0 : 11;
}

int textHeight(const QFont& font, const QString& text)
{
    QTextLayout layout(layoutString(text), font, layoutDevice());
    return int(std::ceil(layoutText(layout, 1e6, false, Qt::AlignLeft, true)));
}

int textWidth(const QFont& font, const QString& text)
{
    QTextLayout layout(layoutString(text), font, layoutDevice());
    layoutText(layout, 1e6, false, Qt::AlignLeft, true);
    return int(std::ceil(widestLine(layout)));
}

} // namespace report
