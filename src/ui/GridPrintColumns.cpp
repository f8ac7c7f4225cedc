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
        c.words.insert(w);
        c.numeric = c.numeric && std::all_of(w.begin(), w.end(), numberChar);
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

QVector<int> GridPrintColumns::distribute(const QVector<int>& minimum, int width) const
{
    const int count = int(cols_.size());
    qint64 screen = 0;
    for (const Column& c : cols_)
        screen += c.screenWidth;
    // the on-screen proportions first
    QVector<double> w(count);
    for (int c = 0; c < count; ++c)
        w[c] = screen > 0 ? double(width) * cols_[c].screenWidth / screen : double(width) / count;
    // columns narrower than their words take what they lack from the others' room above theirs
    double lack = 0, room = 0;
    for (int c = 0; c < count; ++c) {
        if (w[c] < minimum[c])
            lack += minimum[c] - w[c];
        else
            room += w[c] - minimum[c];
    }
    if (lack > room)   // they cannot all stand: each gets its minimum
        return minimum;
    QVector<int> out(count);
    for (int c = 0; c < count; ++c) {
        if (w[c] < minimum[c])
            w[c] = minimum[c];
        else if (room > 0)
            w[c] -= lack * (w[c] - minimum[c]) / room;
        out[c] = std::max(minimum[c], int(std::floor(w[c])));
    }
    return out;
}

GridPrintColumns::Layout GridPrintColumns::fit(int width, int padding) const
{
    const int count = int(cols_.size());
    // the widest words at the report's size; at a smaller size the widest is among them
    QVector<QStringList> candidates(count);
    for (int c = 0; c < count; ++c) {
        std::vector<std::pair<int, QString>> measured;
        measured.reserve(cols_[c].words.size());
        for (const QString& w : cols_[c].words)
            measured.emplace_back(report::textWidth(font_, w), w);
        const size_t keep = std::min<size_t>(kCandidates, measured.size());
        std::partial_sort(measured.begin(), measured.begin() + keep, measured.end(),
                          [](const auto& a, const auto& b) { return a.first > b.first; });
        for (size_t i = 0; i < keep; ++i)
            candidates[c].append(measured[i].second);
    }

    Layout out;
    out.breakWords.fill(false, count);
    out.breakTitles.fill(false, count);
    const double start = report::fontPoints(font_);
    const double smallest = std::min(start, report::kMinFontPoints);
    auto finish = [&](double points, const QVector<int>& minimum) {
        out.cellFont = report::fontAtPoints(font_, points);
        out.titleFont = titleFontOf(out.cellFont, kTitleLarger);
        out.widths = distribute(minimum, width);
        return out;
    };

    // every word whole: the report's size, else the largest smaller size where they stand
    QVector<int> minimum(count);
    for (double points = start;; points = std::max(smallest, points - kStep)) {
        const Needs n = needsAt(points, kTitleLarger, padding, candidates);
        for (int c = 0; c < count; ++c)
            minimum[c] = std::max(n.word[c], n.title[c]);
        if (sum(minimum) <= width)
            return finish(points, minimum);
        if (points <= smallest)
            break;
    }
    // at the smallest size the titles give up their larger size, then words of titles and
    // text columns give way, as few as can be; numbers and dates never do, and when even
    // they cannot stand side by side the font goes smaller still
    auto numeric = [this](int c) { return cols_[c].numeric && !cols_[c].words.isEmpty(); };
    for (double points = smallest;; points -= kStep) {
        const Needs n = needsAt(points, 0, padding, candidates);
        // a narrow number column keeps room for a few letters of its title where it can
        QVector<int> widths(count);
        for (int c = 0; c < count; ++c)
            widths[c] = numeric(c) ? std::max(n.word[c], std::min(n.sliver, n.title[c]))
                                   : std::min(n.sliver, std::max(n.word[c], n.title[c]));
        if (sum(widths) > width)
            for (int c = 0; c < count; ++c)
                if (numeric(c))
                    widths[c] = n.word[c];
        int spare = width - sum(widths);
        if (spare < 0 && points - kStep >= 1)
            continue;
        // the room left is shared out evenly: a column that lacks less than its share is
        // made whole, the others share what remains
        QVector<int> order(count);
        std::iota(order.begin(), order.end(), 0);
        auto lack = [&](int c) { return std::max(0, std::max(n.word[c], n.title[c]) - widths[c]); };
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return lack(a) < lack(b); });
        for (int i = 0; i < count && spare > 0; ++i) {
            const int c = order[i];
            const int give = std::min(lack(c), spare / (count - i));
            widths[c] += give;
            spare -= give;
        }
        out.cellFont = report::fontAtPoints(font_, points);
        out.titleFont = titleFontOf(out.cellFont, 0);
        out.widths = widths;
        for (int c = 0; c < count; ++c) {
            out.breakWords[c] = widths[c] < n.word[c];
            out.breakTitles[c] = widths[c] < n.title[c];
        }
        return out;
    }
}
