#pragma once
// Column widths and the table font of a grid printout. Every column is at least as wide as
// its widest word (a number or a date is one word) and its title's widest word; the columns
// otherwise keep the proportions of their on-screen widths. When the words cannot stand side
// by side at the report font, the whole table's font shrinks, down to kMinFontPoints, where
// the titles lose their two extra points. When even then they cannot, the columns print in
// groups, each as wide as the paper, as few groups as the minimum size needs, at the largest
// size that needs no more (a little smaller where that leaves the text columns room beside
// their words), the columns shared so that the groups are evenly filled; the repeated column
// (the row number) stands in every group. Only a column too wide for the paper by itself
// breaks the widest words of its text and title (numbers and dates stay whole, the font
// going below the minimum for them).

#include <QFont>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <algorithm>
#include <utility>
#include <vector>

class GridPrintColumns {
public:
    // cellFont: the report's body font; titles print in it bold, two points larger.
    explicit GridPrintColumns(const QFont& cellFont);

    // Columns from left to right.
    void addColumn(int screenWidth, const QString& title);
    // One cell's text; every cell of a printed row is added. Its words not seen before are
    // measured here.
    void addText(int column, const QString& text);
    // The column printed in every group when the columns print in groups.
    void repeatInGroups(int column) { repeated_ = column; }

    // Columns printed side by side on one paper's width.
    struct Group {
        QVector<int> columns;            // left to right; the first group holds the rightmost columns
        QFont cellFont;
        QFont titleFont;
        QVector<int> widths;             // tenths of a millimetre, padding included
        QVector<bool> breakWords;        // columns whose widest words break inside
        QVector<bool> breakTitles;       // columns whose title's widest word breaks inside
    };
    struct Layout {
        QVector<Group> groups;           // one when the table fits the width
    };
    // Widths that together take width in each group; padding is the room beside the text on
    // each side.
    Layout fit(int width, int padding) const;

private:
    struct Column {
        int screenWidth = 0;
        QString title;
        QSet<QString> seen;              // cell texts with their digits folded
        QSet<QString> words;
        // the widest words at the cell font, widest first (measured as they come, so that
        // the measuring goes with the rows under their progress)
        std::vector<std::pair<int, QString>> widest;
        bool numeric = true;             // every word is a number or a date
    };
    // The widest words (and title) of every column at one size, padding included.
    struct Needs {
        QVector<int> word;
        QVector<int> title;
        int sliver = 0;                  // the least a text column takes when its words break
        int least(int c) const { return std::max(word[c], title[c]); }
    };
    Needs needsAt(double points, double titleLarger, int padding, const QVector<QStringList>& candidates) const;
    static QFont titleFontOf(const QFont& cellFont, double larger);
    QVector<int> distribute(const QVector<int>& columns, const QVector<int>& minimum, int width) const;
    Group whole(const QVector<int>& columns, double points, double titleLarger, const Needs& n, int width) const;
    QVector<QVector<int>> groupsAt(const Needs& n, int width) const;
    Group broken(const QVector<int>& columns, int width, int padding, const QVector<QStringList>& candidates) const;

    QFont font_;
    QChar wideDigit_;
    QVector<Column> cols_;
    int repeated_ = -1;
};
