#pragma once
// The statements, colours and combo lists of the expense and cheque books, apart from
// their windows.

#include <QColor>
#include <QString>

class QComboBox;
class TDm;

// The list and its two totals.
struct BookStatements {
    QString list;
    QString sum1; // expenses; cheques received
    QString sum2; // incomes; cheques paid
};

// The expense list between two dates (text, inclusive) ordered by date, or every entry.
BookStatements HazinehStatements(bool dated, const QString& t1, const QString& t2);

struct ChequeCriteria {
    bool dated = false;       // chktarikh
    QString t1, t2;
    bool received = true;     // ChkbuySell
    bool paid = true;         // ChkRahn
    bool deletedOnly = false; // ChkMovaghat
};
// The cheque list and its sums; the sums keep the deletion and date conditions, not the kinds.
// The deletion flag counts as set when it holds any non-zero value, as not set when 0 or NULL.
BookStatements ChequeStatements(const ChequeCriteria& c);

// Font colour of an expense's kind: blue for an income, red otherwise.
QColor KindColour(const QString& nov);

// Background of a cheque's state cell: not cleared and due today or earlier red, due within
// five days the yellow mark; invalid (the default drawing) otherwise and for a date that is
// not a well-formed yyyy/mm/dd.
QColor DueColour(const QString& vaziyat, const QString& tarikh, const QString& today);
// A well-formed Persian date "yyyy/mm/dd" with a real month and day.
bool IsWellFormedDate(const QString& date);

// Leaving an editable combo: a text not yet among its items (exact comparison) joins them and
// the list is stored.
void KeepTypedComboItem(TDm& dm, QComboBox* combo);
