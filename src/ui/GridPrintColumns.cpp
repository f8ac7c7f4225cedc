#include "ui/GridPrintColumns.h"

#include "platform/report/Fonts.h"

#include <QRegularExpression>

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

constexpr int kCandidates = 12;   // the widest words, measured again at each smaller size
constexpr int kSlack = 2;         // rounding between measuring a word and laying its line out
constexpr double kStep = 0.5;     // points
constexpr double kTitleLarger = 2;   // points the titles print larger than the cells
constexpr int kRoom = 6;             // the part of a group's width left to the text columns' room
constexpr double kRoomierBy = 2;     // points a group of columns may shrink for that room

bool numberChar(QChar c)
{
    static const QString marks = QStringLiteral(",./-+:()%٫٬");
    return c.isDigit() || marks.contains(c);
}

int sum(const QVector<int>& v) { return std::accumulate(v.begin(), v.end(), 0); }

// The words of a text: what stands between blanks.
QStringList wordsOf(const QString& text)
{
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    return text.split(blanks, Qt::SkipEmptyParts);
}

} // namespace

GridPrintColumns::GridPrintColumns(const QFont& cellFont) : font_(cellFont), wideDigit_(QLatin1Char('0'))
{
    // digits are folded into the widest one: one measured width stands for every number of its shape
    int widest = -1;
    for (char d = '0'; d <= '9'; ++d) {
        const int w = report::textWidth(font_, QString(QLatin1Char(d)));
        if (w > widest) {
            widest = w;
            wideDigit_ = QLatin1Char(d);
        }
    }
}

QFont GridPrintColumns::titleFontOf(const QFont& cellFont, double larger)
{
    QFont f = report::fontAtPoints(cellFont, report::fontPoints(cellFont) + larger);
    f.setBold(true);
    return f;
}

void GridPrintColumns::addColumn(int screenWidth, const QString& title)
{
    Column c;
    c.screenWidth = std::max(0, screenWidth);
    c.title = title;
    cols_.append(std::move(c));
}

void GridPrintColumns::addText(int column, const QString& text)
{
    Column& c = cols_[column];
    QString folded = text;
    for (QChar& ch : folded)
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            ch = wideDigit_;
    if (c.seen.contains(folded))
        return;
    c.seen.insert(folded);
    for (const QString& w : wordsOf(folded)) {
        if (c.words.contains(w))
            continue;
        c.words.insert(w);
        c.numeric = c.numeric && std::all_of(w.begin(), w.end(), numberChar);
        // among the widest: the first seen of equally wide words stays
        const int width = report::textWidth(font_, w);
        if (c.widest.size() == size_t(kCandidates) && width <= c.widest.back().first)
            continue;
        const auto at = std::upper_bound(c.widest.begin(), c.widest.end(), width,
                                         [](int v, const std::pair<int, QString>& e) { return v > e.first; });
        c.widest.insert(at, {width, w});
        if (c.widest.size() > size_t(kCandidates))
            c.widest.pop_back();
    }
}

GridPrintColumns::Needs GridPrintColumns::needsAt(double points, double titleLarger, int padding,
                                                  const QVector<QStringList>& candidates) const
{
    const QFont cell = report::fontAtPoints(font_, points);
    const QFont title = titleFontOf(cell, titleLarger);
    Needs n;
    for (int c = 0; c < cols_.size(); ++c) {
        int word = 0;
        for (const QString& w : candidates[c])
            word = std::max(word, report::textWidth(cell, w));
        n.word.append(word + 2 * padding + kSlack);
        int widest = 0;
        for (const QString& w : wordsOf(cols_[c].title))
            widest = std::max(widest, report::textWidth(title, w));
        n.title.append(widest + 2 * padding + kSlack);
    }
    n.sliver = report::textWidth(cell, QStringLiteral("0000")) + 2 * padding;
    return n;
}

QVector<int> GridPrintColumns::distribute(const QVector<int>& columns, const QVector<int>& minimum, int width) const
{
    const int count = int(columns.size());
    qint64 screen = 0;
    for (int c : columns)
        screen += cols_[c].screenWidth;
    // the on-screen proportions first
    QVector<double> w(count);
    for (int i = 0; i < count; ++i)
        w[i] = screen > 0 ? double(width) * cols_[columns[i]].screenWidth / screen : double(width) / count;
    // columns narrower than their words take what they lack from the others' room above theirs
    double lack = 0, room = 0;
    for (int i = 0; i < count; ++i) {
        if (w[i] < minimum[i])
            lack += minimum[i] - w[i];
        else
            room += w[i] - minimum[i];
    }
    if (lack > room)   // they cannot all stand: each gets its minimum
        return minimum;
    QVector<int> out(count);
    for (int i = 0; i < count; ++i) {
        if (w[i] < minimum[i])
            w[i] = minimum[i];
        else if (room > 0)
            w[i] -= lack * (w[i] - minimum[i]) / room;
        out[i] = std::max(minimum[i], int(std::floor(w[i])));
    }
    return out;
}

GridPrintColumns::Group GridPrintColumns::whole(const QVector<int>& columns, double points, double titleLarger,
                                                const Needs& n, int width) const
{
    Group g;
    g.columns = columns;
    g.cellFont = report::fontAtPoints(font_, points);
    g.titleFont = titleFontOf(g.cellFont, titleLarger);
    QVector<int> minimum;
    for (int c : columns)
        minimum.append(n.least(c));
    g.widths = distribute(columns, minimum, width);
    g.breakWords.fill(false, columns.size());
    g.breakTitles.fill(false, columns.size());
    return g;
}

QVector<QVector<int>> GridPrintColumns::groupsAt(const Needs& n, int width) const
{
    // from the right: a column that does not fit beside the ones before it opens the next group
    const int kept = repeated_ >= 0 && repeated_ < cols_.size() ? repeated_ : -1;
    const int base = kept >= 0 ? n.least(kept) : 0;
    QVector<QVector<int>> groups;
    QVector<int> current;
    int used = base;
    for (int c = int(cols_.size()) - 1; c >= 0; --c) {
        if (c == kept)
            continue;
        if (!current.isEmpty() && used + n.least(c) > width) {
            groups.append(current);
            current.clear();
            used = base;
        }
        current.append(c);
        used += n.least(c);
    }
    if (!current.isEmpty() || groups.isEmpty())
        groups.append(current);
    for (QVector<int>& g : groups) {
        if (kept >= 0)
            g.append(kept);
        std::sort(g.begin(), g.end());
    }
    return groups;
}

GridPrintColumns::Layout GridPrintColumns::fit(int width, int padding) const
{
    const int count = int(cols_.size());
    // the widest words at the report's size; at a smaller size the widest is among them
    QVector<QStringList> candidates(count);
    for (int c = 0; c < count; ++c)
        for (const auto& [width, word] : cols_[c].widest)
            candidates[c].append(word);
    QVector<int> all(count);
    std::iota(all.begin(), all.end(), 0);
    auto fits = [&](const QVector<int>& columns, const Needs& n) {
        int total = 0;
        for (int c : columns)
            total += n.least(c);
        return total <= width;
    };

    Layout out;
    const double start = report::fontPoints(font_);
    const double smallest = std::min(start, report::kMinFontPoints);
    // every word whole in one table: the report's size, else the largest smaller size where
    // they stand, at the smallest with the titles at the cells' size
    for (double points = start;; points = std::max(smallest, points - kStep)) {
        const Needs n = needsAt(points, kTitleLarger, padding, candidates);
        if (fits(all, n)) {
            out.groups.append(whole(all, points, kTitleLarger, n, width));
            return out;
        }
        if (points <= smallest)
            break;
    }
    if (const Needs n = needsAt(smallest, 0, padding, candidates); fits(all, n)) {
        out.groups.append(whole(all, smallest, 0, n, width));
        return out;
    }
    if (count < 2) {
        out.groups.append(broken(all, width, padding, candidates));
        return out;
    }

    // groups of columns: as few as the smallest size needs (a column too wide for the paper by
    // itself even there is left out of the count), at the largest size that needs no more
    const Needs least = needsAt(smallest, kTitleLarger, padding, candidates);
    const qsizetype fewest = groupsAt(least, width).size();
    auto stand = [&](const QVector<QVector<int>>& groups, const Needs& n, int capacity) {
        return groups.size() <= fewest && std::all_of(groups.begin(), groups.end(), [&](const QVector<int>& g) {
            int total = 0;
            for (int c : g)
                total += n.least(c);
            return total <= capacity || (g.size() <= (repeated_ >= 0 ? 2 : 1) && !fits(g, least));
        });
    };
    // a size whose groups leave the text columns no room beside their widest words wraps them
    // into tall rows: down to kRoomierBy points smaller, a size that leaves them room is taken
    const int roomy = width - width / kRoom;
    double chosen = -1, tight = -1;
    for (double points = start;; points = std::max(smallest, points - kStep)) {
        const Needs n = needsAt(points, kTitleLarger, padding, candidates);
        if (stand(groupsAt(n, roomy), n, roomy)) {
            chosen = points;
            break;
        }
        if (tight < 0 && stand(groupsAt(n, width), n, width))
            tight = points;
        if (points <= smallest || (tight >= 0 && points <= tight - kRoomierBy))
            break;
    }
    if (chosen < 0)
        chosen = tight >= 0 ? tight : smallest;

    // the columns shared out so that the fullest group is as little filled as can be
    const Needs n = needsAt(chosen, kTitleLarger, padding, candidates);
    QVector<QVector<int>> groups = groupsAt(n, width);
    if (stand(groups, n, width)) {
        int low = 0, high = width;
        while (low < high) {
            const int capacity = (low + high) / 2;
            if (stand(groupsAt(n, capacity), n, capacity))
                high = capacity;
            else
                low = capacity + 1;
        }
        groups = groupsAt(n, high);
    }
    for (const QVector<int>& columns : groups)
        out.groups.append(fits(columns, n) ? whole(columns, chosen, kTitleLarger, n, width)
                                           : broken(columns, width, padding, candidates));
    return out;
}

GridPrintColumns::Group GridPrintColumns::broken(const QVector<int>& columns, int width, int padding,
                                                 const QVector<QStringList>& candidates) const
{
    // at the smallest size the titles give up their larger size, then words of titles and
    // text columns give way, as few as can be; numbers and dates never do, and when even
    // they cannot stand side by side the font goes smaller still
    const int count = int(columns.size());
    const double smallest = std::min(report::fontPoints(font_), report::kMinFontPoints);
    auto numeric = [this](int c) { return cols_[c].numeric && !cols_[c].words.isEmpty(); };
    for (double points = smallest;; points -= kStep) {
        const Needs n = needsAt(points, 0, padding, candidates);
        // a narrow number column keeps room for a few letters of its title where it can
        QVector<int> widths(count);
        for (int i = 0; i < count; ++i) {
            const int c = columns[i];
            widths[i] = numeric(c) ? std::max(n.word[c], std::min(n.sliver, n.title[c])) : std::min(n.sliver, n.least(c));
        }
        if (sum(widths) > width)
            for (int i = 0; i < count; ++i)
                if (numeric(columns[i]))
                    widths[i] = n.word[columns[i]];
        int spare = width - sum(widths);
        if (spare < 0 && points - kStep >= 1)
            continue;
        // the room left is shared out evenly: a column that lacks less than its share is
        // made whole, the others share what remains
        QVector<int> order(count);
        std::iota(order.begin(), order.end(), 0);
        auto lack = [&](int i) { return std::max(0, n.least(columns[i]) - widths[i]); };
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return lack(a) < lack(b); });
        for (int k = 0; k < count && spare > 0; ++k) {
            const int i = order[k];
            const int give = std::min(lack(i), spare / (count - k));
            widths[i] += give;
            spare -= give;
        }
        Group g;
        g.columns = columns;
        g.cellFont = report::fontAtPoints(font_, points);
        g.titleFont = titleFontOf(g.cellFont, 0);
        g.widths = widths;
        for (int i = 0; i < count; ++i) {
            g.breakWords.append(widths[i] < n.word[columns[i]]);
            g.breakTitles.append(widths[i] < n.title[columns[i]]);
        }
        return g;
    }
}
