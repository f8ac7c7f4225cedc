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

class PreparedReport {
public:
    struct Hit {
        int page;              // 0-based
        const ReportItem* item;
    };

    QSize paperSize;           // tenths of a millimetre, oriented
    int paperOrdinal = 9;
    int orientation = 0;       // 0 portrait, 1 landscape
    QString title;
    QVector<ReportPage> pages;

    int pageCount() const { return pages.size(); }

    // Text items whose text contains the given text, page by page.
    QList<Hit> findText(const QString& text) const;
    // Items of every page whose name is the given name.
    QList<Hit> findNamed(const QString& name) const;
    // Texts of the text items of one page, top to bottom, then right to left.
    QStringList pageTexts(int page) const;
};

} // namespace report
