#pragma once
// Rich text on paper: an edited document made ready for the report's layout device, and the
// places where its pages may end.

#include <utility>
#include <vector>

class QTextDocument;

namespace report {

// Paragraph margins and indents of an edited document are screen pixels, 96 per inch; the
// layout device has 254 per inch, where the same lengths must take the same room on paper
// (tables' lengths the layout scales itself). The document's own margin is dropped.
void fitToPaper(QTextDocument& doc);

// A laid-out document's tables fitted to its width (in the proportions of their columns, and
// with smaller text where their words need it), and its tabs filled with the leaders (dots,
// lines) of the tab stops they reach, drawn as the tab's underline.
void fitLaidOut(QTextDocument& doc);

// Where the pages of a laid-out document end: never through a line of text, nor through a
// table row that fits on a page; always before a paragraph or table that starts a new page.
class PageBreaks {
public:
    // room: the height of a page's body, to tell the rows that fit on one
    PageBreaks(QTextDocument& doc, double room);

    struct Cut {
        double end;         // the page ends here; at or above the start when nothing fits
        double nextStart;   // where the next page starts: a table's line at the cut shows on both
    };
    // The end of the page that starts at pos with room for height.
    Cut cut(double pos, double height) const;
    double total() const { return total_; }

private:
    std::vector<std::pair<double, double>> spans_;   // what must not be cut, by top, apart
    std::vector<double> forced_;                     // page breaks, ascending
    std::vector<std::pair<double, double>> rowEdges_;   // table row edges and their line widths
    double total_ = 0;
};

} // namespace report
