#include "platform/report/PreparedReport.h"

#include <QStringList>
#include <algorithm>

namespace report {

QList<PreparedReport::Hit> PreparedReport::findText(const QString& text) const
{
    QList<Hit> hits;
    for (int p = 0; p < pages.size(); ++p)
        for (const ReportItem& item : pages[p].items)
            if (item.type == ReportItem::Type::Text && item.text.contains(text))
                hits.append({p, &item});
    return hits;
}

QList<PreparedReport::Hit> PreparedReport::findNamed(const QString& name) const
{
    QList<Hit> hits;
    for (int p = 0; p < pages.size(); ++p)
        for (const ReportItem& item : pages[p].items)
            if (item.name == name)
                hits.append({p, &item});
    return hits;
}

QStringList PreparedReport::pageTexts(int page) const
{
    QList<const ReportItem*> texts;
    if (page < 0 || page >= pages.size())
        return {};
    for (const ReportItem& item : pages[page].items)
        if (item.type == ReportItem::Type::Text)
            texts.append(&item);
    std::stable_sort(texts.begin(), texts.end(), [](const ReportItem* a, const ReportItem* b) {
        if (a->rect.top() != b->rect.top())
            return a->rect.top() < b->rect.top();
        return a->rect.right() > b->rect.right();
    });
    QStringList out;
    for (const ReportItem* item : texts)
        out << item->text;
    return out;
}

} // namespace report
