#pragma once
// A banded report filled from code. Lengths are tenths of a millimetre; an element's
// rectangle is relative to its band (x from the left margin, y from the band's top).

#include "platform/report/Paper.h"
#include "platform/report/PreparedReport.h"

#include <QFont>
#include <QImage>
#include <QMargins>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QTextDocument;

namespace report {

enum class BandType { Title, PageHeader, ColumnHeader, Detail, Child, Summary, PageFooter };

class Element {
public:
    enum class Kind { Text, PageNumber, Line, Shape, Picture, RichText };

    virtual ~Element() = default;
    virtual Kind kind() const = 0;

    QString name;
    QRect rect;
    bool enabled = true;
    Frame frame;
    bool stretchWithBand = false;   // the bottom follows the band when the band stretches
};

// Text is never cut: lines break between words only, and a text whose widest word (or, in a
// box that does not stretch, whose lines) does not fit prints in a smaller font, down to
// kMinFontPoints. What still does not fit there is printed whole beyond the box, or, with
// breakLongWords, its words too wide for the box break inside.
class TextElement : public Element {
public:
    Kind kind() const override { return Kind::Text; }

    QString text;
    std::optional<QFont> font;      // the report's font when empty
    Qt::Alignment alignment = Qt::AlignRight | Qt::AlignTop;   // absolute: left means left
    bool rightToLeft = true;
    bool wordWrap = false;
    bool autoStretch = false;       // grows in height to show all lines (with wordWrap)
    bool breakLongWords = false;
    QColor color = Qt::black;
    QColor background;              // invalid: transparent
    std::function<QString()> onPrint;   // when set, gives the text each time the band prints
};

// Page number and page count: "%1" in the format is the page number, "%2" the page count.
class PageNumberElement : public TextElement {
public:
    PageNumberElement() { text = QStringLiteral("%1"); }
    Kind kind() const override { return Kind::PageNumber; }
};

class LineElement : public Element {
public:
    Kind kind() const override { return Kind::Line; }
    QPoint from;                    // band coordinates
    QPoint to;
    int penWidth = 1;
    QColor color = Qt::black;
};

class ShapeElement : public Element {
public:
    Kind kind() const override { return Kind::Shape; }
    ShapeKind shape = ShapeKind::Rectangle;
    int penWidth = 1;
    QColor color = Qt::black;
    QColor brush;                   // invalid: not filled
};

class PictureElement : public Element {
public:
    Kind kind() const override { return Kind::Picture; }
    QImage image;
    bool stretch = true;
    bool keepAspect = true;
    bool center = true;
};

// Rich text flowing over as many pages as it needs (the band continues on the next page): a
// page break in the text starts a new page, and a table row stays whole on a page it fits on.
class RichTextElement : public Element {
public:
    Kind kind() const override { return Kind::RichText; }
    const QTextDocument* document = nullptr;   // not owned; copied when the report is prepared
};

// A vertical line beside the detail rows: from the column header (or the page's first row)
// down to the last row printed on each page. x is from the left margin.
struct ColumnLine {
    int x = 0;
    int width = 1;
    QColor color = Qt::black;
};

class Band {
public:
    explicit Band(BandType type, int height = 0) : type(type), height(height) {}
    Band(const Band&) = delete;
    Band& operator=(const Band&) = delete;

    BandType type;
    QString name;
    int height;
    Frame frame;
    QColor color;                   // background; invalid: transparent
    bool enabled = true;
    std::vector<ColumnLine> columnLines;   // detail band only

    // False skips the band this time; afterPrint learns whether it printed.
    std::function<bool()> beforePrint;
    std::function<void(bool printed)> afterPrint;

    TextElement& addText(const QString& name, const QRect& rect, const QString& text = {});
    PageNumberElement& addPageNumber(const QString& name, const QRect& rect, const QString& format = QStringLiteral("%1"));
    LineElement& addLine(const QString& name, const QPoint& from, const QPoint& to, int penWidth = 1);
    ShapeElement& addShape(const QString& name, const QRect& rect, ShapeKind shape = ShapeKind::Rectangle);
    PictureElement& addPicture(const QString& name, const QRect& rect, const QImage& image);
    RichTextElement& addRichText(const QString& name, const QRect& rect, const QTextDocument* document);

    // The band printed right after this one (created on first use).
    Band& addChild(int height = 0);
    Band* child() const { return childBand.get(); }

    Element* element(const QString& name) const;
    const std::vector<std::unique_ptr<Element>>& elements() const { return items; }

private:
    std::vector<std::unique_ptr<Element>> items;
    std::unique_ptr<Band> childBand;
};

class Report {
public:
    explicit Report(int paperOrdinal = 9, int orientation = Portrait);
    Report(const Report&) = delete;
    Report& operator=(const Report&) = delete;

    void setPaper(int ordinal, int orientation);
    int paperOrdinal() const { return ordinal; }
    int orientation() const { return orient; }
    QSize pageSize() const;
    int printableWidth() const { return pageSize().width() - margins.left() - margins.right(); }

    QString title;
    QMargins margins{100, 100, 100, 100};
    QFont font;
    Frame pageFrame;                // drawn around the printable area of every page
    bool firstPageHeader = true;    // page header on the first page
    bool lastPageFooter = true;     // page footer on the last page

    // One band of each type (a later call returns the existing band); children hang on bands.
    Band& band(BandType type, int height = 0);
    Band* findBand(BandType type) const;

    // Rows of the detail band: rowCount rows, or while moreData() answers true.
    int rowCount = 0;
    std::function<bool()> moreData;
    int currentRow() const { return row; }

    std::function<void()> beforePrint;   // once, before the first page

    // Items of the prepared pages kept in memory; the pages of a longer report go to a
    // temporary file and are read back when shown or printed.
    qsizetype itemsInMemory = PageStore::kItemsInMemory;

    // Texts that lay out alike (the same text, or numbers of one shape in a font whose digits
    // print alike) are measured once; off, every distinct text is measured by itself.
    bool measureAlike = true;

    // The name long work on this report shows: "چاپ " and the title's first line.
    QString workName() const;

    // Lays out every page. Long work shows its progress under workName();
    // when cancellable, the user may stop it and shell::Cancelled is thrown.
    PreparedReport prepare(bool cancellable = false);
    // Prepares (cancellable) and shows the pages in the preview; false when the user
    // cancelled the preparing (no preview opens) or did not print.
    bool preview(const QString& caption);

private:
    class Layout;
    int ordinal = 9;
    int orient = Portrait;
    int row = -1;
    std::vector<std::unique_ptr<Band>> bands;
};

} // namespace report
