#pragma once
// A laid-out report: pages of positioned items, in tenths of a millimetre from the paper's corner.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QLine>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>
#include <QVector>
#include <functional>
#include <memory>

class QTextDocument;

namespace report {

// Lines drawn on chosen sides of a rectangle.
struct Frame {
    bool left = false;
    bool top = false;
    bool right = false;
    bool bottom = false;
    int width = 1;             // tenths of a millimetre
    QColor color = Qt::black;

    bool any() const { return left || top || right || bottom; }
    static Frame all(int width = 1) { return Frame{true, true, true, true, width, Qt::black}; }
};

enum class ShapeKind { Rectangle, RoundRect, Ellipse, HorizontalLine, VerticalLine, TopAndBottom, LeftAndRight };

struct ReportItem {
    enum class Type { Text, Box, Line, Shape, Picture, RichText };

    Type type = Type::Text;
    QString name;              // the element's or band's name
    QRect rect;                // on the page

    // Text
    QString text;
    QFont font;
    Qt::Alignment alignment = Qt::AlignRight | Qt::AlignTop;
    bool rightToLeft = true;
    bool wordWrap = false;     // lines break between words
    bool breakWords = false;   // a word wider than the rectangle breaks inside it
    bool clip = true;          // text beyond the rectangle is cut off
    QColor color = Qt::black;
    QColor background;         // invalid: transparent
    Frame frame;

    // Line (from p1 to p2) and shape
    QLine line;
    ShapeKind shape = ShapeKind::Rectangle;
    int penWidth = 1;
    QColor brush;              // shape fill; invalid: none

    // Picture
    QImage image;
    bool stretch = true;
    bool keepAspect = true;
    bool center = true;

    // Rich text: the part of the document from documentTop, rect.height() high
    std::shared_ptr<QTextDocument> document;
    int documentTop = 0;
};

struct ReportPage {
    QList<ReportItem> items;
};

// The pages of a prepared report. A short report keeps its pages in memory; a long one keeps
// a small record per page and its pages, written compactly to a temporary file as they are
// laid out, are read back a few at a time when shown or printed (where no temporary file can
// be written, they stay in memory). Copies share the pages.
class PageStore {
public:
    static constexpr qsizetype kItemsInMemory = 40000;

    PageStore();

    int size() const;
    bool isEmpty() const { return size() == 0; }
    // The page, read back when it is not in memory (and cut from its laid-out page when the
    // pages are split); the reference holds while the next few pages are read (hold page()
    // across more reads).
    const ReportPage& operator[](int index) const;
    std::shared_ptr<const ReportPage> page(int index) const;

    class const_iterator {
    public:
        const_iterator(const PageStore* store, int index) : store(store), index(index) {}
        const ReportPage& operator*() const
        {
            if (!current)
                current = store->page(index);
            return *current;
        }
        const_iterator& operator++()
        {
            ++index;
            current.reset();
            return *this;
        }
        bool operator!=(const const_iterator& o) const { return index != o.index; }
        bool operator==(const const_iterator& o) const { return index == o.index; }

    private:
        const PageStore* store;
        int index;
        mutable std::shared_ptr<const ReportPage> current;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

    // Laying out: pages held in memory beyond this many items go to the temporary file.
    void setItemsInMemory(qsizetype items);
    // Adds a finished page; numberItems are its page numbers ("%1" of "%2" still unfilled).
    void append(ReportPage&& page, const QList<int>& numberItems);
    // Fills the page numbers once every page is known.
    void finish();
    // After finish: every laid-out page prints as `parts` pages, cut from it when shown or
    // printed: the first part of every page, then the second part of every page, and so on
    // (page numbers stay those of the laid-out pages).
    void splitInto(int parts, std::function<void(const ReportPage& whole, int part, ReportPage& out)> cut);

    // Items held in memory: pages kept, and pages read back or cut.
    qsizetype heldItems() const;
    // Whether the pages went to a temporary file, and its size.
    bool spilled() const;
    qint64 spilledBytes() const;

    struct Store;

private:
    std::shared_ptr<Store> d;
};

class PreparedReport {
public:
    struct Hit {
        int page;              // 0-based
        const ReportItem* item;
        std::shared_ptr<const ReportPage> keep;   // the page the item is on, while it is read back
    };

    QSize paperSize;           // tenths of a millimetre, oriented
    int paperOrdinal = 9;
    int orientation = 0;       // 0 portrait, 1 landscape
    QString title;
    PageStore pages;

    int pageCount() const { return pages.size(); }

    // Text items whose text contains the given text, page by page.
    QList<Hit> findText(const QString& text) const;
    // Items of every page whose name is the given name.
    QList<Hit> findNamed(const QString& name) const;
    // Texts of the text items of one page, top to bottom, then right to left.
    QStringList pageTexts(int page) const;
};

} // namespace report
