#pragma once
// Column widths and the table font of a grid printout. Every column is at least as wide as
// its widest word (a number or a date is one word) and its title's widest word; the columns
// otherwise keep the proportions of their on-screen widths. When the words cannot stand side
// by side at the report font, the whole table's font shrinks, down to kMinFontPoints. There
// the titles lose their two extra points, then the widest words of titles and text columns
// break inside (in as few columns as the room allows) while numbers and dates stay whole;
// only when the numbers and dates alone do not fit does the font go below the minimum.

#include <QFont>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

class GridPrintColumns {
public:
    // cellFont: the report's body font; titles print in it bold, two points larger.
    explicit GridPrintColumns(const QFont& cellFont);

    // Columns in the order of the result's widths.
    void addColumn(int screenWidth, const QString& title);
    // One cell's text; every cell of a printed row is added.
    void addText(int column, const QString& text);

    struct Layout {
        QFont cellFont;
        QFont titleFont;
        QVector<int> widths;             // tenths of a millimetre, padding included
        QVector<bool> breakWords;        // columns whose widest words break inside
        QVector<bool> breakTitles;       // columns whose title's widest word breaks inside
    };
    // Widths that together take width; padding is the room beside the text on each side.
    Layout fit(int width, int padding) const;


private:
    struct Column {
        int screenWidth = 0;
        QString title;
        QSet<QString> seen;              // cell texts with their digits folded
        QSet<QString> words;
        bool numeric = true;             // every word is a number or a date
    };
    // The widest words (and title) of every column at one size, padding included.
    struct Needs {
        QVector<int> word;
        QVector<int> title;
        int sliver = 0;                  // the least a text column takes when its words break
    };
    Needs needsAt(double points, double titleLarger, int padding, const QVector<QStringList>& candidates) const;
    static QFont titleFontOf(const QFont& cellFont, double larger);
    QVector<int> distribute(const QVector<int>& minimum, int width) const;

    QFont font_;
    QChar wideDigit_;
    QVector<Column> cols_;
};
