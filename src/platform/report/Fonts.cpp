#include "platform/report/Fonts.h"

#include "platform/widgets/BidiText.h"

#include <QFont>
#include <QImage>
#include <QTextLayout>
#include <QTextOption>
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

QString layoutString(const QString& text)
{
    // a negative amount reads "-3,000" in right-to-left lines too, as in the lists
    QString s = widgets::NegativeNumbersLeftToRight(text);
    s.replace(QLatin1String("\r\n"), QString(QChar::LineSeparator));
    s.replace(QLatin1Char('\r'), QChar::LineSeparator);
    s.replace(QLatin1Char('\n'), QChar::LineSeparator);
    return s;
}

double layoutText(QTextLayout& layout, double width, bool wrap, Qt::Alignment alignment, bool rightToLeft)
{
    QTextOption option;
    option.setAlignment((alignment & Qt::AlignHorizontal_Mask) | Qt::AlignAbsolute);
    option.setTextDirection(rightToLeft ? Qt::RightToLeft : Qt::LeftToRight);
    option.setWrapMode(wrap ? QTextOption::WrapAtWordBoundaryOrAnywhere : QTextOption::ManualWrap);
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

int textHeight(const QFont& font, const QString& text)
{
    QTextLayout layout(layoutString(text), font, layoutDevice());
    return int(std::ceil(layoutText(layout, 1e6, false, Qt::AlignLeft, true)));
}

int textWidth(const QFont& font, const QString& text)
{
    QTextLayout layout(layoutString(text), font, layoutDevice());
    layoutText(layout, 1e6, false, Qt::AlignLeft, true);
    double w = 0;
    for (int i = 0; i < layout.lineCount(); ++i)
        w = std::max(w, layout.lineAt(i).naturalTextWidth());
    return int(std::ceil(w));
}

} // namespace report
