#include "app/HelpPictures.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>

namespace {

constexpr int kWidth = 720;
constexpr int kStepHeight = 190;
constexpr int kTitleHeight = 90;

QFont font(int pixelSize, bool bold = false)
{
    QFont f(QStringLiteral("tahoma"));
    f.setPixelSize(pixelSize);
    f.setBold(bold);
    return f;
}

// A small window as the version draws it: a title bar and a list of entries.
void drawWindow(QPainter& p, const QRect& r, const QColor& colour, const THelpStep& step)
{
    p.setPen(QPen(colour.darker(150), 1));
    p.setBrush(QColor(250, 250, 250));
    p.drawRoundedRect(r, 4, 4);
    const QRect bar(r.left(), r.top(), r.width(), 24);
    QLinearGradient g(bar.topLeft(), bar.bottomLeft());
    g.setColorAt(0, colour.lighter(130));
    g.setColorAt(1, colour);
    p.setBrush(g);
    p.drawRoundedRect(bar, 4, 4);
    p.setPen(Qt::white);
    p.setFont(font(12, true));
    p.drawText(bar.adjusted(8, 0, -8, 0), Qt::AlignVCenter | Qt::AlignLeft, step.window);
    int y = bar.bottom() + 8;
    p.setFont(font(12));
    for (const QString& entry : step.items) {
        const bool picked = entry.startsWith(QLatin1Char('*'));
        const QString text = picked ? entry.mid(1) : entry;
        const QRect line(r.left() + 8, y, r.width() - 16, 20);
        if (picked) {
            p.setPen(Qt::NoPen);
            p.setBrush(colour.lighter(170));
            p.drawRect(line);
            p.setPen(QPen(QColor(200, 30, 30), 2));
            p.setBrush(Qt::NoBrush);
            p.drawEllipse(line.adjusted(-4, -3, 4, 3));
        }
        p.setPen(Qt::black);
        p.drawText(line.adjusted(6, 0, -6, 0), Qt::AlignVCenter | Qt::AlignLeft, text);
        y += 24;
        if (y > r.bottom() - 20)
            break;
    }
}

} // namespace

QPixmap DrawVersionTile(const QString& version, const QColor& colour)
{
    QPixmap pic(150, 110);
    pic.fill(Qt::transparent);
    QPainter p(&pic);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, 0, 110);
    g.setColorAt(0, colour.lighter(140));
    g.setColorAt(1, colour.darker(120));
    p.setPen(QPen(colour.darker(160), 2));
    p.setBrush(g);
    p.drawRoundedRect(QRectF(3, 3, 144, 104), 10, 10);
    // a four-pane window mark
    const QRectF mark(52, 14, 46, 40);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 220));
    p.drawRect(QRectF(mark.left(), mark.top(), 21, 18));
    p.drawRect(QRectF(mark.left() + 25, mark.top(), 21, 18));
    p.drawRect(QRectF(mark.left(), mark.top() + 22, 21, 18));
    p.drawRect(QRectF(mark.left() + 25, mark.top() + 22, 21, 18));
    p.setPen(Qt::white);
    p.setFont(font(16, true));
    p.drawText(QRectF(0, 62, 150, 40), Qt::AlignCenter, version);
    return pic;
}

QPixmap DrawChooserBackground(const QSize& size)
{
    QPixmap pic(size);
    QPainter p(&pic);
    QLinearGradient g(0, 0, 0, size.height());
    g.setColorAt(0, QColor(235, 242, 252));
    g.setColorAt(1, QColor(180, 200, 230));
    p.fillRect(pic.rect(), g);
    p.setPen(QColor(40, 60, 110));
    p.setFont(font(18, true));
    p.drawText(QRect(0, 10, size.width(), 40), Qt::AlignCenter, QStringLiteral("راهنماي تنظيم زبان فارسي در ويندوز"));
    p.setFont(font(13));
    p.drawText(QRect(0, 44, size.width(), 30), Qt::AlignCenter, QStringLiteral("ويندوز رايانه خود را انتخاب کنيد"));
    return pic;
}

QPixmap DrawPictureHelp(const QString& title, const QColor& colour, const QList<THelpStep>& steps)
{
    QPixmap pic(kWidth, kTitleHeight + kStepHeight * int(steps.size()) + 20);
    pic.fill(Qt::white);
    QPainter p(&pic);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient g(0, 0, kWidth, 0);
    g.setColorAt(0, colour.darker(130));
    g.setColorAt(1, colour.lighter(130));
    p.fillRect(QRect(0, 0, kWidth, kTitleHeight - 20), g);
    p.setPen(Qt::white);
    p.setFont(font(22, true));
    p.drawText(QRect(0, 0, kWidth, kTitleHeight - 20), Qt::AlignCenter, title);

    int y = kTitleHeight;
    for (int i = 0; i < steps.size(); ++i) {
        const THelpStep& step = steps[i];
        // number and instruction on the right, the window on the left
        const QRect badge(kWidth - 52, y + 8, 36, 36);
        p.setPen(Qt::NoPen);
        p.setBrush(colour);
        p.drawEllipse(badge);
        p.setPen(Qt::white);
        p.setFont(font(18, true));
        p.drawText(badge, Qt::AlignCenter, QString::number(i + 1));
        p.setPen(QColor(30, 30, 30));
        p.setFont(font(15));
        QTextOption option(Qt::AlignRight | Qt::AlignTop);
        option.setTextDirection(Qt::RightToLeft);
        option.setWrapMode(QTextOption::WordWrap);
        p.drawText(QRectF(kWidth - 330, y + 10, 270, kStepHeight - 30), step.text, option);
        drawWindow(p, QRect(20, y + 6, 350, kStepHeight - 24), colour, step);
        p.setPen(QPen(QColor(220, 220, 220), 1));
        p.drawLine(20, y + kStepHeight - 4, kWidth - 20, y + kStepHeight - 4);
        y += kStepHeight;
    }
    return pic;
}
