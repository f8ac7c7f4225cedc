#include "platform/report/PreparedReport.h"

#include <QDir>
#include <QHash>
#include <QStringList>
#include <QTemporaryFile>
#include <QTextDocument>
#include <algorithm>

namespace report {

namespace {

constexpr int kPagesReadBack = 4;   // pages read back from the file kept for the next draw

bool sameFrame(const Frame& a, const Frame& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom && a.width == b.width
        && a.color == b.color;
}

// Everything of an item but its place and contents: items of one element share it.
bool sameStyle(const ReportItem& a, const ReportItem& b)
{
    return a.type == b.type && a.name == b.name && a.font == b.font && a.alignment == b.alignment
        && a.rightToLeft == b.rightToLeft && a.wordWrap == b.wordWrap && a.breakWords == b.breakWords
        && a.clip == b.clip && a.color == b.color && a.background == b.background && sameFrame(a.frame, b.frame)
        && a.shape == b.shape && a.penWidth == b.penWidth && a.brush == b.brush && a.stretch == b.stretch
        && a.keepAspect == b.keepAspect && a.center == b.center;
}

// What an item has beyond its style and rectangle.
enum : quint8 {
    kPageNumber = 1,
    kText = 2,
    kLine = 4,
    kImage = 8,
    kDocument = 16,
    kDocumentTop = 32,
};

class Writer {
public:
    explicit Writer(QByteArray& out) : out(out) {}
    void number(quint64 v)
    {
        while (v >= 0x80) {
            out.append(char(v | 0x80));
            v >>= 7;
        }
        out.append(char(v));
    }
    void signedNumber(qint64 v) { number((quint64(v) << 1) ^ quint64(v >> 63)); }
    void text(const QString& s)
    {
        const QByteArray u = s.toUtf8();
        number(quint64(u.size()));
        out.append(u);
    }

private:
    QByteArray& out;
};

class Reader {
public:
    Reader(const char* p, const char* end) : p(p), end(end) {}
    bool ok = true;
    quint64 number()
    {
        quint64 v = 0;
        for (int shift = 0; shift < 64; shift += 7) {
            if (p >= end) {
                ok = false;
                return 0;
            }
            const quint8 c = quint8(*p++);
            v |= quint64(c & 0x7f) << shift;
            if (!(c & 0x80))
                return v;
        }
        ok = false;
        return 0;
    }
    qint64 signedNumber()
    {
        const quint64 v = number();
        return qint64(v >> 1) ^ -qint64(v & 1);
    }
    int coordinate() { return int(signedNumber()); }
    QString text()
    {
        const quint64 n = number();
        if (!ok || n > quint64(end - p)) {
            ok = false;
            return {};
        }
        const QString s = QString::fromUtf8(p, qsizetype(n));
        p += n;
        return s;
    }

private:
    const char* p;
    const char* end;
};

} // namespace

struct PageStore::Store {
    qsizetype itemsInMemory = kItemsInMemory;
    int count = 0;

    // Per page: the page when it is in memory, else where it is in the file.
    struct Record {
        qint64 offset = -1;
        qint64 size = 0;
    };
    QVector<std::shared_ptr<ReportPage>> held;
    QVector<Record> records;
    qsizetype heldItems = 0;
    struct Pending {
        int page;
        int index;
    };
    QVector<Pending> numbers;   // page numbers on pages in memory

    std::unique_ptr<QTemporaryFile> file;
    bool fileFailed = false;
    qint64 fileEnd = 0;
    QByteArray buffer;

    // What the pages in the file share, kept once
    QVector<ReportItem> styles;
    QHash<QString, QList<int>> stylesByName;
    QVector<QImage> images;
    QHash<qint64, int> imageIndex;
    QVector<std::shared_ptr<QTextDocument>> documents;
    QHash<const QTextDocument*, int> documentIndex;

    QList<QPair<int, std::shared_ptr<const ReportPage>>> readBack;   // most recent first

    int parts = 1;   // pages printed from each laid-out page
    std::function<void(const ReportPage&, int, ReportPage&)> cut;
    QList<QPair<int, std::shared_ptr<const ReportPage>>> cutBack;   // the parts cut last

    std::shared_ptr<const ReportPage> laidOut(int index)
    {
        if (held[index])
            return held[index];
        return read(index);
    }

    bool spilled() const { return file != nullptr; }
    bool openFile();
    void write(int page, const ReportPage& content, const QList<int>& numberItems);
    void encode(const ReportPage& content, const QList<int>& numberItems);
    std::shared_ptr<const ReportPage> read(int page);
    int styleOf(const ReportItem& item);
};

bool PageStore::Store::openFile()
{
    if (file)
        return true;
    if (fileFailed)
        return false;
    const QString folder = QDir::tempPath();   // empty when the folder is missing
    auto f = std::make_unique<QTemporaryFile>(QDir(folder).filePath(QStringLiteral("dovin-pages-XXXXXX")));
    if (folder.isEmpty() || !f->open()) {
        fileFailed = true;   // the pages stay in memory
        return false;
    }
    file = std::move(f);
    return true;
}

int PageStore::Store::styleOf(const ReportItem& item)
{
    QList<int>& candidates = stylesByName[item.name];
    for (int i : candidates)
        if (sameStyle(styles[i], item))
            return i;
    ReportItem style;
    style.type = item.type;
    style.name = item.name;
    style.font = item.font;
    style.alignment = item.alignment;
    style.rightToLeft = item.rightToLeft;
    style.wordWrap = item.wordWrap;
    style.breakWords = item.breakWords;
    style.clip = item.clip;
    style.color = item.color;
    style.background = item.background;
    style.frame = item.frame;
    style.shape = item.shape;
    style.penWidth = item.penWidth;
    style.brush = item.brush;
    style.stretch = item.stretch;
    style.keepAspect = item.keepAspect;
    style.center = item.center;
    styles.append(style);
    candidates.append(int(styles.size()) - 1);
    return int(styles.size()) - 1;
}

void PageStore::Store::encode(const ReportPage& content, const QList<int>& numberItems)
{
    buffer.clear();
    Writer w(buffer);
    w.number(quint64(content.items.size()));
    for (qsizetype i = 0; i < content.items.size(); ++i) {
        const ReportItem& item = content.items[i];
        quint8 has = 0;
        if (numberItems.contains(int(i)))
            has |= kPageNumber;
        if (!item.text.isEmpty())
            has |= kText;
        if (!item.line.isNull())
            has |= kLine;
        if (!item.image.isNull())
            has |= kImage;
        if (item.document)
            has |= kDocument;
        if (item.documentTop != 0)
            has |= kDocumentTop;
        w.number(quint64(styleOf(item)));
        w.number(has);
        w.signedNumber(item.rect.x());
        w.signedNumber(item.rect.y());
        w.signedNumber(item.rect.width());
        w.signedNumber(item.rect.height());
        if (has & kText)
            w.text(item.text);
        if (has & kLine) {
            w.signedNumber(item.line.x1());
            w.signedNumber(item.line.y1());
            w.signedNumber(item.line.x2());
            w.signedNumber(item.line.y2());
        }
        if (has & kImage) {
            auto it = imageIndex.constFind(item.image.cacheKey());
            if (it == imageIndex.constEnd()) {
                images.append(item.image);
                it = imageIndex.insert(item.image.cacheKey(), int(images.size()) - 1);
            }
            w.number(quint64(*it));
        }
        if (has & kDocument) {
            auto it = documentIndex.constFind(item.document.get());
            if (it == documentIndex.constEnd()) {
                documents.append(item.document);
                it = documentIndex.insert(item.document.get(), int(documents.size()) - 1);
            }
            w.number(quint64(*it));
        }
        if (has & kDocumentTop)
            w.signedNumber(item.documentTop);
    }
}

void PageStore::Store::write(int page, const ReportPage& content, const QList<int>& numberItems)
{
    if (!fileFailed) {
        encode(content, numberItems);
        const QByteArray packed = qCompress(buffer, 1);
        if (file->pos() != fileEnd)
            file->seek(fileEnd);
        if (file->write(packed) == packed.size()) {
            records[page] = {fileEnd, packed.size()};
            fileEnd += packed.size();
            return;
        }
        file->seek(fileEnd);
        fileFailed = true;
    }
    // the disk is full: this page stays in memory, and the pages after it too
    held[page] = std::make_shared<ReportPage>(content);
    heldItems += content.items.size();
    for (int n : numberItems)
        numbers.append({page, n});
}

std::shared_ptr<const ReportPage> PageStore::Store::read(int page)
{
    for (qsizetype i = 0; i < readBack.size(); ++i)
        if (readBack[i].first == page) {
            if (i > 0)
                readBack.move(i, 0);
            return readBack.first().second;
        }
    auto out = std::make_shared<ReportPage>();
    const Record r = records[page];
    QByteArray data;
    if (file->seek(r.offset))
        data = file->read(r.size);
    file->seek(fileEnd);
    if (data.size() == r.size)
        data = qUncompress(data);
    else
        data.clear();
    Reader in(data.constData(), data.constData() + data.size());
    const quint64 n = data.isEmpty() ? 0 : in.number();
    out->items.reserve(qsizetype(std::min<quint64>(n, quint64(data.size()))));
    const QString pages = QString::number(count);
    for (quint64 i = 0; i < n && in.ok; ++i) {
        const quint64 style = in.number();
        const quint64 has = in.number();
        if (!in.ok || style >= quint64(styles.size()))
            break;
        ReportItem item = styles[qsizetype(style)];
        const int x = in.coordinate(), y = in.coordinate(), w = in.coordinate(), h = in.coordinate();
        item.rect = QRect(x, y, w, h);
        if (has & kText)
            item.text = in.text();
        if (has & kPageNumber) {
            item.text.replace(QLatin1String("%2"), pages);
            item.text.replace(QLatin1String("%1"), QString::number(page + 1));
        }
        if (has & kLine) {
            const int x1 = in.coordinate(), y1 = in.coordinate(), x2 = in.coordinate(), y2 = in.coordinate();
            item.line = QLine(x1, y1, x2, y2);
        }
        if (has & kImage) {
            const quint64 k = in.number();
            if (k < quint64(images.size()))
                item.image = images[qsizetype(k)];
        }
        if (has & kDocument) {
            const quint64 k = in.number();
            if (k < quint64(documents.size()))
                item.document = documents[qsizetype(k)];
        }
        if (has & kDocumentTop)
            item.documentTop = in.coordinate();
        if (!in.ok)
            break;
        out->items.append(std::move(item));
    }
    readBack.prepend({page, out});
    while (readBack.size() > kPagesReadBack)
        readBack.removeLast();
    return out;
}

PageStore::PageStore() : d(std::make_shared<Store>()) {}

int PageStore::size() const { return d->count * d->parts; }

const ReportPage& PageStore::operator[](int index) const
{
    static const ReportPage none;
    if (index < 0 || index >= size())
        return none;
    return *page(index);   // held in memory, or among the pages read back or cut
}

std::shared_ptr<const ReportPage> PageStore::page(int index) const
{
    if (index < 0 || index >= size())
        return std::make_shared<const ReportPage>();
    if (d->parts == 1)
        return d->laidOut(index);
    QList<QPair<int, std::shared_ptr<const ReportPage>>>& cut = d->cutBack;
    for (qsizetype i = 0; i < cut.size(); ++i)
        if (cut[i].first == index)
            return cut[i].second;
    const std::shared_ptr<const ReportPage> whole = d->laidOut(index % d->count);
    auto part = std::make_shared<ReportPage>();
    d->cut(*whole, index / d->count, *part);
    cut.prepend({index, part});
    while (cut.size() > kPagesReadBack)
        cut.removeLast();
    return part;
}

void PageStore::splitInto(int parts, std::function<void(const ReportPage& whole, int part, ReportPage& out)> cut)
{
    d->parts = std::max(1, parts);
    d->cut = std::move(cut);
    d->cutBack.clear();
}

void PageStore::setItemsInMemory(qsizetype items) { d->itemsInMemory = items; }

void PageStore::append(ReportPage&& page, const QList<int>& numberItems)
{
    Store& s = *d;
    const int index = s.count++;
    s.held.append(nullptr);
    s.records.append(Store::Record());
    const bool keep = !s.spilled() && s.heldItems + page.items.size() <= s.itemsInMemory;
    if (keep || !s.openFile() || s.fileFailed) {
        s.heldItems += page.items.size();
        s.held[index] = std::make_shared<ReportPage>(std::move(page));
        for (int n : numberItems)
            s.numbers.append({index, n});
        return;
    }
    if (s.heldItems > 0) {
        // the pages so far go to the file first
        QHash<int, QList<int>> numbersOf;
        for (const Store::Pending& n : std::as_const(s.numbers))
            numbersOf[n.page].append(n.index);
        s.numbers.clear();
        s.heldItems = 0;
        for (int p = 0; p < index; ++p)
            if (std::shared_ptr<ReportPage> kept = std::move(s.held[p]))
                s.write(p, *kept, numbersOf.value(p));
    }
    s.write(index, page, numberItems);
}

void PageStore::finish()
{
    Store& s = *d;
    const QString count = QString::number(s.count);
    for (const Store::Pending& n : std::as_const(s.numbers)) {
        QString& text = s.held[n.page]->items[n.index].text;
        text.replace(QLatin1String("%2"), count);
        text.replace(QLatin1String("%1"), QString::number(n.page + 1));
    }
    s.numbers.clear();
    s.readBack.clear();
}

qsizetype PageStore::heldItems() const
{
    qsizetype n = d->heldItems;
    for (const auto& r : d->readBack)
        n += r.second->items.size();
    for (const auto& r : d->cutBack)
        n += r.second->items.size();
    return n;
}

bool PageStore::spilled() const { return d->spilled(); }

qint64 PageStore::spilledBytes() const { return d->fileEnd; }

// ---- PreparedReport ----

QList<PreparedReport::Hit> PreparedReport::findText(const QString& text) const
{
    QList<Hit> hits;
    for (int p = 0; p < pages.size(); ++p) {
        const std::shared_ptr<const ReportPage> page = pages.page(p);
        for (const ReportItem& item : page->items)
            if (item.type == ReportItem::Type::Text && item.text.contains(text))
                hits.append({p, &item, page});
    }
    return hits;
}

QList<PreparedReport::Hit> PreparedReport::findNamed(const QString& name) const
{
    QList<Hit> hits;
    for (int p = 0; p < pages.size(); ++p) {
        const std::shared_ptr<const ReportPage> page = pages.page(p);
        for (const ReportItem& item : page->items)
            if (item.name == name)
                hits.append({p, &item, page});
    }
    return hits;
}

QStringList PreparedReport::pageTexts(int page) const
{
    QList<const ReportItem*> texts;
    if (page < 0 || page >= pages.size())
        return {};
    const std::shared_ptr<const ReportPage> content = pages.page(page);
    for (const ReportItem& item : content->items)
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
