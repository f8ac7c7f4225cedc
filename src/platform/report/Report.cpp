#include "platform/report/Report.h"

#include "platform/report/Fonts.h"
#include "platform/report/RichTextFlow.h"
#include "platform/shell/Progress.h"
#include "platform/shell/Prompter.h"

#include <QAbstractTextDocumentLayout>
#include <QHash>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

namespace report {

// ---- Band ----

TextElement& Band::addText(const QString& n, const QRect& r, const QString& t)
{
    auto e = std::make_unique<TextElement>();
    e->name = n;
    e->rect = r;
    e->text = t;
    items.push_back(std::move(e));
    return static_cast<TextElement&>(*items.back());
}

PageNumberElement& Band::addPageNumber(const QString& n, const QRect& r, const QString& format)
{
    auto e = std::make_unique<PageNumberElement>();
    e->name = n;
    e->rect = r;
    e->text = format;
    items.push_back(std::move(e));
    return static_cast<PageNumberElement&>(*items.back());
}

LineElement& Band::addLine(const QString& n, const QPoint& from, const QPoint& to, int penWidth)
{
    auto e = std::make_unique<LineElement>();
    e->name = n;
    e->from = from;
    e->to = to;
    e->rect = QRect(from, to).normalized();
    e->penWidth = penWidth;
    items.push_back(std::move(e));
    return static_cast<LineElement&>(*items.back());
}

ShapeElement& Band::addShape(const QString& n, const QRect& r, ShapeKind shape)
{
    auto e = std::make_unique<ShapeElement>();
    e->name = n;
    e->rect = r;
    e->shape = shape;
    items.push_back(std::move(e));
    return static_cast<ShapeElement&>(*items.back());
}

PictureElement& Band::addPicture(const QString& n, const QRect& r, const QImage& image)
{
    auto e = std::make_unique<PictureElement>();
    e->name = n;
    e->rect = r;
    e->image = image;
    items.push_back(std::move(e));
    return static_cast<PictureElement&>(*items.back());
}

RichTextElement& Band::addRichText(const QString& n, const QRect& r, const QTextDocument* document)
{
    auto e = std::make_unique<RichTextElement>();
    e->name = n;
    e->rect = r;
    e->document = document;
    items.push_back(std::move(e));
    return static_cast<RichTextElement&>(*items.back());
}

Band& Band::addChild(int h)
{
    if (!childBand)
        childBand = std::make_unique<Band>(BandType::Child, h);
    return *childBand;
}

Element* Band::element(const QString& n) const
{
    for (const auto& e : items)
        if (e->name == n)
            return e.get();
    return nullptr;
}

// ---- Report ----

Report::Report(int paperOrdinal, int orientation)
    : ordinal(paperOrdinal), orient(orientation)
{
    font = QFont(QStringLiteral("arial"), 11);
}

void Report::setPaper(int paperOrdinal, int orientation)
{
    ordinal = paperOrdinal;
    orient = orientation == Landscape ? Landscape : Portrait;
}

QSize Report::pageSize() const { return paperSize(ordinal, orient); }

Band& Report::band(BandType type, int height)
{
    if (Band* b = findBand(type))
        return *b;
    bands.push_back(std::make_unique<Band>(type, height));
    return *bands.back();
}

Band* Report::findBand(BandType type) const
{
    for (const auto& b : bands)
        if (b->type == type)
            return b.get();
    return nullptr;
}

namespace {

constexpr qsizetype kFitsKept = 20000;

struct Resolved {
    const Element* element;
    QString text;
    int height;                  // laid-out height of a stretching text, else the element's
    QFont font;                  // text: the size it fits in
    bool breakWords = false;
    bool clip = true;
};

QFont fontOf(const TextElement& t, const QFont& reportFont) { return t.font ? *t.font : reportFont; }

// How a text fits its element: the font it prints in and the height of its lines.
struct Fit {
    QFont font;
    double height = 0;
    bool breakWords = false;
    bool fits = true;
    QList<QFont> smaller;   // the smaller sizes tried
};

Fit fitText(const TextElement& t, const QString& text, const QFont& font)
{
    const QString s = layoutString(text);
    const double width = t.rect.width();
    const double height = t.rect.height();
    // the height of the lines, and in ratio how far the text is from fitting (1 when it fits)
    auto lay = [&](const QFont& f, bool breakWords, double& ratio) {
        QTextLayout layout(s, f, layoutDevice());
        const double h = layoutText(layout, width, t.wordWrap, t.alignment, t.rightToLeft, breakWords);
        ratio = 1;
        const double widest = widestLine(layout);
        if (widest > width + 0.5)
            ratio = width / widest;
        // one line taller than a fixed box is centred on it; more lines must fit in it
        if (!t.autoStretch && layout.lineCount() > 1 && h > height + 0.5)
            ratio = std::min(ratio, height / h);
        return h;
    };
    Fit fit{font};
    double ratio = 1;
    fit.height = lay(font, false, ratio);
    if (ratio >= 1)
        return fit;
    double points = fontPoints(font);
    const double smallest = std::min(points, kMinFontPoints);
    while (ratio < 1 && points > smallest) {
        // the size the overflow asks for, in half points, at least half a point smaller
        points = std::max(smallest, std::min(std::floor(points * ratio * 2) / 2, points - 0.5));
        fit.font = fontAtPoints(font, points);
        fit.smaller.append(fit.font);
        fit.height = lay(fit.font, false, ratio);
    }
    if (ratio < 1 && t.breakLongWords && t.wordWrap) {
        fit.breakWords = true;
        fit.height = lay(fit.font, true, ratio);
    }
    fit.fits = ratio >= 1;
    return fit;
}

// What a text's fit depends on: texts repeat down a list (kinds, names, dates) and each is
// measured once.
struct FitKey {
    const TextElement* element;
    QString text;
    QFont font;
    QSize size;
    int flags;

    FitKey(const TextElement& t, const QString& text, const QFont& font)
        : element(&t), text(text), font(font), size(t.rect.size()),
          flags(int(t.alignment) | (t.rightToLeft << 16) | (t.wordWrap << 17) | (t.autoStretch << 18) | (t.breakLongWords << 19))
    {
    }
    bool operator==(const FitKey& o) const
    {
        return element == o.element && size == o.size && flags == o.flags && text == o.text && font == o.font;
    }
};

size_t qHash(const FitKey& k, size_t seed = 0)
{
    return qHashMulti(seed, k.element, k.text, k.size.width(), k.size.height(), k.flags);
}

// Numbers rarely repeat down a list (amounts, telephones, codes), but where a font's digits
// are all as wide as each other and none of them is kerned against its neighbours any
// differently, a text lays out exactly as the same text with every digit 0: such texts are
// measured once for every number of one shape. Each font is checked once, and each
// character that stands beside digits once, by laying the pairs out.
class DigitFold {
public:
    // The text with its digits as 0 when it lays out as the text itself; else a null string.
    QString fold(const QString& text, const QFont& font, bool rightToLeft)
    {
        const qsizetype n = text.size();
        qsizetype first = 0;
        while (first < n && !ascii(text[first]))
            ++first;
        if (first == n)
            return text.isNull() ? QString(QLatin1String("")) : text;   // no digit: the text is its own key
        Check& check = checkOf(font, rightToLeft);
        if (!check.digitsAlike)
            return {};
        QString out = text;
        for (qsizetype i = first; i < n; ++i) {
            if (!ascii(text[i]))
                continue;
            // the characters on either side of a run of digits
            if (i > 0 && !ascii(text[i - 1]) && !alikeBeside(check, font, rightToLeft, text[i - 1]))
                return {};
            if (i + 1 < n && !ascii(text[i + 1]) && !alikeBeside(check, font, rightToLeft, text[i + 1]))
                return {};
            out[i] = QLatin1Char('0');
        }
        return out;
    }

private:
    struct Check {
        bool digitsAlike = false;
        QHash<QChar, bool> beside;   // whether every digit lays out alike beside the character
    };
    struct Size {
        double width;
        double height;
        bool operator==(const Size& o) const { return width == o.width && height == o.height; }
    };

    static bool ascii(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }
    static Size measure(const QString& text, const QFont& font, bool rightToLeft)
    {
        QTextLayout layout(layoutString(text), font, layoutDevice());
        const double h = layoutText(layout, 1e6, false, Qt::AlignLeft, rightToLeft);
        return {widestLine(layout), h};
    }

    Check& checkOf(const QFont& font, bool rightToLeft)
    {
        const auto key = std::make_pair(font, rightToLeft);
        auto it = checks.find(key);
        if (it != checks.end())
            return *it;
        Check c;
        const Size zero = measure(QStringLiteral("0"), font, rightToLeft);
        const Size zeros = measure(QStringLiteral("00"), font, rightToLeft);
        c.digitsAlike = true;
        for (char a = '0'; a <= '9' && c.digitsAlike; ++a) {
            c.digitsAlike = measure(QString(QLatin1Char(a)), font, rightToLeft) == zero;
            for (char b = '0'; b <= '9' && c.digitsAlike; ++b)
                c.digitsAlike = measure(QString(QLatin1Char(a)) + QLatin1Char(b), font, rightToLeft) == zeros;
        }
        return *checks.insert(key, std::move(c));
    }

    bool alikeBeside(Check& check, const QFont& font, bool rightToLeft, QChar c)
    {
        auto it = check.beside.constFind(c);
        if (it != check.beside.constEnd())
            return *it;
        const Size before = measure(QString(c) + QLatin1Char('0'), font, rightToLeft);
        const Size after = measure(QLatin1Char('0') + QString(c), font, rightToLeft);
        bool alike = true;
        for (char d = '1'; d <= '9' && alike; ++d)
            alike = measure(QString(c) + QLatin1Char(d), font, rightToLeft) == before
                    && measure(QLatin1Char(d) + QString(c), font, rightToLeft) == after;
        check.beside.insert(c, alike);
        return alike;
    }

    QHash<std::pair<QFont, bool>, Check> checks;
};

ReportItem textItem(const TextElement& t, const Resolved& r, const QRect& rect)
{
    ReportItem item;
    item.type = ReportItem::Type::Text;
    item.name = t.name;
    item.rect = rect;
    item.text = r.text;
    item.font = r.font;
    item.alignment = t.alignment;
    item.rightToLeft = t.rightToLeft;
    item.wordWrap = t.wordWrap;
    item.breakWords = r.breakWords;
    item.clip = r.clip;
    item.color = t.color;
    item.background = t.background;
    item.frame = t.frame;
    return item;
}

} // namespace

class Report::Layout {
public:
    Layout(Report& r, shell::Progress& progress) : rep(r), page(r.pageSize()), progress(progress) {}

    PreparedReport run();

private:
    Report& rep;
    QSize page;
    shell::Progress& progress;
    PreparedReport out;
    int y = 0;
    int bodyTop = 0;             // first position below the page's headers
    int contentBottom = 0;
    int columnTop = -1;
    int columnBottom = -1;
    // texts measured: the recent ones, and those of before the recent ones filled up
    mutable QHash<FitKey, Fit> fits;
    mutable QHash<FitKey, Fit> olderFits;
    mutable DigitFold digits;
    ReportPage current;          // the page being laid out
    QList<int> currentNumbers;   // its page numbers
    int started = 0;             // pages started
    qsizetype lastSize = 0;      // items of the page before

    int left() const { return rep.margins.left(); }
    int width() const { return rep.printableWidth(); }
    QList<ReportItem>& items() { return current.items; }

    void startPage();
    void finishPage(bool last);
    void newPage()
    {
        finishPage(false);
        startPage();
    }
    bool printBand(Band* band, bool mayBreak);
    int resolve(const Band& band, std::vector<Resolved>& resolved, int& extra) const;
    Fit fitOf(const TextElement& t, const QString& text, const QFont& font) const;
    const Fit* known(const FitKey& key) const;
    void remember(FitKey&& key, const Fit& fit) const;
    void emitBox(const Band& band, int top, int height);
    void emitElements(const std::vector<Resolved>& resolved, int top, int extra, const Element* skip);
    void flowRichText(Band& band, const RichTextElement& rt, const std::vector<Resolved>& resolved, bool mayBreak);
};

int Report::Layout::resolve(const Band& band, std::vector<Resolved>& resolved, int& extra) const
{
    extra = 0;
    for (const auto& e : band.elements()) {
        if (!e->enabled)
            continue;
        Resolved r{e.get(), {}, e->rect.height(), {}};
        if (e->kind() == Element::Kind::Text || e->kind() == Element::Kind::PageNumber) {
            const auto& t = static_cast<const TextElement&>(*e);
            r.font = fontOf(t, rep.font);
            r.clip = !t.autoStretch;
            r.text = t.onPrint && e->kind() == Element::Kind::Text ? t.onPrint() : t.text;
            if (e->kind() == Element::Kind::Text) {
                const Fit fit = fitOf(t, r.text, r.font);
                r.font = fit.font;
                r.breakWords = fit.breakWords;
                r.clip = r.clip && fit.fits;   // what cannot fit is printed whole, never cut
                if (t.autoStretch) {
                    r.height = std::max(t.rect.height(), int(std::ceil(fit.height)));
                    extra = std::max(extra, r.height - t.rect.height());
                }
            }
        }
        resolved.push_back(std::move(r));
    }
    return band.height + extra;
}

const Fit* Report::Layout::known(const FitKey& key) const
{
    auto it = fits.constFind(key);
    if (it != fits.constEnd())
        return &*it;
    it = olderFits.constFind(key);
    if (it == olderFits.constEnd())
        return nullptr;
    const Fit fit = *it;
    remember(FitKey(key), fit);
    return &*fits.constFind(key);
}

void Report::Layout::remember(FitKey&& key, const Fit& fit) const
{
    if (fits.size() >= kFitsKept) {
        olderFits = std::move(fits);
        fits = QHash<FitKey, Fit>();
    }
    fits.insert(std::move(key), fit);
}

Fit Report::Layout::fitOf(const TextElement& t, const QString& text, const QFont& font) const
{
    if (!rep.measureAlike) {
        FitKey key(t, text, font);
        if (const Fit* fit = known(key))
            return *fit;
        const Fit fit = fitText(t, text, font);
        remember(std::move(key), fit);
        return fit;
    }
    const QString folded = digits.fold(text, font, t.rightToLeft);
    if (!folded.isNull()) {
        // a text that must shrink lays out alike where it does so at every size tried
        FitKey key(t, folded, font);
        const Fit* fit = known(key);
        if (!fit) {
            const Fit measured = fitText(t, folded, font);
            remember(FitKey(key), measured);
            fit = known(key);
        }
        if (folded == text || std::all_of(fit->smaller.begin(), fit->smaller.end(), [&](const QFont& f) {
                return !digits.fold(text, f, t.rightToLeft).isNull();
            }))
            return *fit;
    }
    FitKey key(t, text, font);
    key.flags |= 1 << 20;   // kept apart from the folded texts
    if (const Fit* fit = known(key))
        return *fit;
    const Fit fit = fitText(t, text, font);
    remember(std::move(key), fit);
    return fit;
}

void Report::Layout::emitBox(const Band& band, int top, int height)
{
    if (!band.frame.any() && !band.color.isValid())
        return;
    ReportItem box;
    box.type = ReportItem::Type::Box;
    box.name = band.name;
    box.rect = QRect(left(), top, width(), height);
    box.frame = band.frame;
    box.background = band.color;
    items().append(box);
}

void Report::Layout::emitElements(const std::vector<Resolved>& resolved, int top, int extra, const Element* skip)
{
    for (const Resolved& r : resolved) {
        const Element& e = *r.element;
        if (&e == skip)
            continue;
        QRect rect = e.rect.translated(left(), top);
        rect.setHeight(r.height);
        if (e.stretchWithBand)
            rect.setHeight(e.rect.height() + extra);
        switch (e.kind()) {
        case Element::Kind::Text:
        case Element::Kind::PageNumber: {
            const auto& t = static_cast<const TextElement&>(e);
            items().append(textItem(t, r, rect));
            if (e.kind() == Element::Kind::PageNumber)
                currentNumbers.append(int(items().size()) - 1);
            break;
        }
        case Element::Kind::Line: {
            const auto& l = static_cast<const LineElement&>(e);
            ReportItem item;
            item.type = ReportItem::Type::Line;
            item.name = e.name;
            QPoint from = l.from + QPoint(left(), top);
            QPoint to = l.to + QPoint(left(), top);
            if (e.stretchWithBand)
                (from.y() > to.y() ? from : to).ry() += extra;
            item.line = QLine(from, to);
            item.rect = QRect(from, to).normalized();
            item.penWidth = l.penWidth;
            item.color = l.color;
            items().append(item);
            break;
        }
        case Element::Kind::Shape: {
            const auto& s = static_cast<const ShapeElement&>(e);
            ReportItem item;
            item.type = ReportItem::Type::Shape;
            item.name = e.name;
            item.rect = rect;
            item.shape = s.shape;
            item.penWidth = s.penWidth;
            item.color = s.color;
            item.brush = s.brush;
            item.frame = e.frame;
            items().append(item);
            break;
        }
        case Element::Kind::Picture: {
            const auto& p = static_cast<const PictureElement&>(e);
            ReportItem item;
            item.type = ReportItem::Type::Picture;
            item.name = e.name;
            item.rect = rect;
            item.image = p.image;
            item.stretch = p.stretch;
            item.keepAspect = p.keepAspect;
            item.center = p.center;
            item.frame = e.frame;
            items().append(item);
            break;
        }
        case Element::Kind::RichText:
            break;   // laid out by flowRichText
        }
    }
}

void Report::Layout::startPage()
{
    // pages of a long report hold about as many items as the one before
    current = ReportPage();
    current.items.reserve(lastSize);
    ++started;
    if (rep.pageFrame.any()) {
        ReportItem box;
        box.type = ReportItem::Type::Box;
        box.name = QStringLiteral("page");
        box.rect = QRect(left(), rep.margins.top(), width(), page.height() - rep.margins.top() - rep.margins.bottom());
        box.frame = rep.pageFrame;
        items().append(box);
    }
    y = rep.margins.top();
    columnTop = columnBottom = -1;
    const bool first = started == 1;
    Band* footer = rep.findBand(BandType::PageFooter);
    contentBottom = page.height() - rep.margins.bottom() - (footer && footer->enabled ? footer->height : 0);
    bodyTop = y;
    if (Band* header = rep.findBand(BandType::PageHeader); header && (!first || rep.firstPageHeader))
        printBand(header, false);
    bodyTop = y;
    if (first) {
        // The title may flow over pages (rich text); the later pages then have their headers.
        const int pageCount = started;
        printBand(rep.findBand(BandType::Title), true);
        if (started != pageCount)
            return;
    }
    if (Band* columns = rep.findBand(BandType::ColumnHeader)) {
        const int top = y;
        if (printBand(columns, false))
            columnTop = top;
    }
    bodyTop = y;
}

void Report::Layout::finishPage(bool last)
{
    Band* footer = rep.findBand(BandType::PageFooter);
    if (footer && footer->enabled && (!last || rep.lastPageFooter)) {
        std::vector<Resolved> resolved;
        int extra = 0;
        const int h = resolve(*footer, resolved, extra);
        if (!footer->beforePrint || footer->beforePrint()) {
            const int top = page.height() - rep.margins.bottom() - h;
            emitBox(*footer, top, h);
            emitElements(resolved, top, extra, nullptr);
            if (footer->afterPrint)
                footer->afterPrint(true);
        } else if (footer->afterPrint) {
            footer->afterPrint(false);
        }
    }
    Band* detail = rep.findBand(BandType::Detail);
    if (detail && columnBottom > columnTop && columnTop >= 0) {
        for (const ColumnLine& c : detail->columnLines) {
            ReportItem line;
            line.type = ReportItem::Type::Line;
            line.name = QStringLiteral("columnLine");
            line.line = QLine(left() + c.x, columnTop, left() + c.x, columnBottom);
            line.rect = QRect(line.line.p1(), line.line.p2()).normalized();
            line.penWidth = c.width;
            line.color = c.color;
            items().append(line);
        }
    }
    lastSize = current.items.size();
    out.pages.append(std::move(current), currentNumbers);
    current = ReportPage();
    currentNumbers.clear();
}

bool Report::Layout::printBand(Band* band, bool mayBreak)
{
    if (!band || !band->enabled)
        return false;
    if (band->beforePrint && !band->beforePrint()) {
        if (band->afterPrint)
            band->afterPrint(false);
        return false;
    }
    std::vector<Resolved> resolved;
    int extra = 0;
    const int h = resolve(*band, resolved, extra);

    const RichTextElement* rich = nullptr;
    for (const Resolved& r : resolved)
        if (r.element->kind() == Element::Kind::RichText && static_cast<const RichTextElement*>(r.element)->document) {
            rich = static_cast<const RichTextElement*>(r.element);
            break;
        }
    if (rich) {
        flowRichText(*band, *rich, resolved, mayBreak);
    } else {
        // A band that does not fit goes to the next page, unless the page holds nothing yet.
        if (mayBreak && y + h > contentBottom && y > bodyTop)
            newPage();
        const int top = y;
        emitBox(*band, top, h);
        emitElements(resolved, top, extra, nullptr);
        y += h;
        if (band->type == BandType::Detail) {
            if (columnTop < 0)
                columnTop = top;
            columnBottom = y;
        }
    }
    if (band->afterPrint)
        band->afterPrint(true);
    if (band->child())
        printBand(band->child(), mayBreak);
    return true;
}

void Report::Layout::flowRichText(Band& band, const RichTextElement& rt, const std::vector<Resolved>& resolved, bool mayBreak)
{
    std::shared_ptr<QTextDocument> doc(rt.document->clone());
    fitToPaper(*doc);
    doc->documentLayout()->setPaintDevice(layoutDevice());
    doc->setTextWidth(rt.rect.width());
    fitLaidOut(*doc);
    const PageBreaks breaks(*doc, contentBottom - bodyTop);
    const double total = breaks.total();
    const int gap = std::max(0, band.height - (rt.rect.y() + rt.rect.height()));

    double pos = 0;
    bool first = true;
    bool fresh = false;     // this page was started for the text: a line taller than it is cut, never moved on again
    for (;;) {
        const int start = first ? y + rt.rect.y() : y;
        const double avail = contentBottom - start;
        double cut = total, next = total;
        if (mayBreak) {
            const PageBreaks::Cut c = breaks.cut(pos, avail);
            cut = c.end;
            next = c.nextStart;
            if (cut < total && (cut <= pos + 0.5 || std::floor(cut) <= std::floor(pos))) {
                if (y > bodyTop && !fresh) {      // nothing fits here: start the band on a fresh page
                    newPage();
                    fresh = true;
                    continue;
                }
                cut = next = pos + std::max(1.0, avail);
            }
        }
        const int fragTop = int(std::floor(pos));
        const int fragBottom = cut >= total ? int(std::ceil(total)) : int(std::floor(cut));
        const bool last = cut >= total;
        const int fragHeight = std::max(0, fragBottom - fragTop);
        int bandHeight = (start - y) + fragHeight + (last ? gap : 0);
        if (first && last)
            bandHeight = std::max(bandHeight, band.height);
        emitBox(band, y, bandHeight);
        if (first)
            emitElements(resolved, y, 0, &rt);
        ReportItem item;
        item.type = ReportItem::Type::RichText;
        item.name = rt.name;
        item.rect = QRect(left() + rt.rect.x(), start, rt.rect.width(), fragHeight);
        item.document = doc;
        item.documentTop = fragTop;
        item.frame = rt.frame;
        items().append(item);
        y += bandHeight;
        if (last)
            break;
        pos = next > pos + 0.5 ? std::min<double>(next, fragBottom) : fragBottom;
        first = false;
        newPage();
        fresh = true;
    }
}

PreparedReport Report::Layout::run()
{
    out.paperSize = page;
    out.paperOrdinal = rep.ordinal;
    out.orientation = rep.orient;
    out.title = rep.title;
    out.pages.setItemsInMemory(rep.itemsInMemory);
    if (rep.beforePrint)
        rep.beforePrint();
    startPage();
    if (Band* detail = rep.findBand(BandType::Detail)) {
        rep.row = 0;
        auto more = [this] { return rep.moreData ? rep.moreData() : rep.row < rep.rowCount; };
        progress.setTotal(rep.moreData ? 0 : rep.rowCount);
        while (more()) {
            progress.step(rep.row);
            printBand(detail, true);
            ++rep.row;
        }
    }
    printBand(rep.findBand(BandType::Summary), true);
    finishPage(true);

    out.pages.finish();
    rep.row = -1;
    return out;
}

QString Report::workName() const
{
    const QString first = layoutString(title).section(QChar::LineSeparator, 0, 0).trimmed();
    return first.isEmpty() ? QStringLiteral("چاپ") : QStringLiteral("چاپ ") + first;
}

PreparedReport Report::prepare(bool cancellable)
{
    shell::Progress progress(workName(), cancellable);
    Layout layout(*this, progress);
    try {
        return layout.run();
    } catch (...) {
        row = -1;
        throw;
    }
}

bool Report::preview(const QString& caption)
{
    PreparedReport prepared;
    try {
        prepared = prepare(true);
    } catch (const shell::Cancelled&) {
        return false;
    }
    return shell::prompter().preview(prepared, caption);
}

} // namespace report
