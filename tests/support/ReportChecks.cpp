#include "ReportChecks.h"

#include "platform/report/Fonts.h"
#include "platform/report/PreparedReport.h"

#include <QTextLayout>

namespace testing_support {

namespace {

// The line as a reader sees it: without the layout's word joiners and direction marks.
QString readable(QString line)
{
    static const QString marks = QStringLiteral("\u2060\u200E\u200F\u202A\u202B\u202C\u202D\u202E\u2066\u2067\u2068\u2069");
    line.removeIf([](QChar c) { return marks.contains(c); });
    return line;
}

struct Laid {
    QStringList lines;
    QList<int> starts;
    QList<double> widths;
    double height = 0;
};

Laid layOut(const report::ReportItem& item)
{
    Laid out;
    const QString s = report::layoutString(item.text);
    QTextLayout layout(s, item.font, report::layoutDevice());
    out.height = report::layoutText(layout, item.rect.width(), item.wordWrap, item.alignment, item.rightToLeft, item.breakWords);
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        out.lines << readable(s.mid(line.textStart(), line.textLength()));
        out.starts << line.textStart();
        out.widths << line.naturalTextWidth();
    }
    return out;
}

} // namespace

QStringList laidOutLines(const report::ReportItem& item)
{
    QStringList lines;
    for (const QString& l : layOut(item).lines)
        lines << l.trimmed();
    return lines;
}

QStringList textFaults(const report::ReportItem& item)
{
    QStringList faults;
    if (item.type != report::ReportItem::Type::Text)
        return faults;
    const Laid laid = layOut(item);
    // a line starting inside a word splits it
    const QString s = report::layoutString(item.text);
    for (int i = 1; i < laid.starts.size(); ++i) {
        const int at = laid.starts[i];
        if (at > 0 && !s[at - 1].isSpace() && s[at - 1] != QChar::LineSeparator && !s[at].isSpace())
            faults << QStringLiteral("split: \"%1\" | \"%2\"").arg(laid.lines[i - 1], laid.lines[i]);
    }
    for (int i = 0; i < laid.lines.size(); ++i)
        if (laid.widths[i] > item.rect.width() + 0.5)
            faults << QStringLiteral("wider than its box (%1 > %2): \"%3\"").arg(laid.widths[i]).arg(item.rect.width()).arg(laid.lines[i]);
    if (laid.lines.size() > 1 && laid.height > item.rect.height() + 0.5)
        faults << QStringLiteral("lines below the box (%1 > %2)").arg(laid.height).arg(item.rect.height());
    return faults;
}

QStringList reportTextFaults(const report::PreparedReport& report)
{
    QStringList faults;
    for (int p = 0; p < report.pages.size(); ++p)
        for (const report::ReportItem& item : report.pages[p].items)
            for (const QString& f : textFaults(item))
                faults << QStringLiteral("page %1, %2: %3").arg(p + 1).arg(item.name, f);
    return faults;
}

} // namespace testing_support
