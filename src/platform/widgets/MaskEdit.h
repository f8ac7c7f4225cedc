#pragma once
// A line edit with an edit mask in the classic notation, e.g. "9999/99/99" or
// "9999/99/99;1;_". Untyped positions show the blank character and stay part of the text.
// A masked box takes Persian digits as ASCII digits.

#include <QLineEdit>

namespace widgets {

class MaskEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit MaskEdit(QWidget* parent = nullptr);

    // Classic mask: '0' digit, '9' digit or blank, 'L'/'l' letter, 'A'/'a' letter or digit,
    // 'C'/'c' any character, '#' digit or sign, '\' takes the next character literally;
    // an optional ";literals;blank" tail. Empty: no mask.
    void setEditMask(const QString& mask);
    const QString& editMask() const { return mask_; }
    QChar blank() const { return blank_; }

    // What the user sees, blanks included ("1403/05/__"); the plain text without a mask.
    QString Text() const;
    // The text with no position typed ("____/__/__"); empty without a mask.
    QString emptyText() const;
    bool isEmptyText() const { return Text() == emptyText(); }
    // The text with every untyped position a blank (space), as a statement compares it: an
    // empty date box reads "    /  /  ", which lies below every date.
    QString BlankedText() const;

    // The Qt input mask for a classic one.
    static QString toInputMask(const QString& classicMask, QChar* blank = nullptr);

    // Persian and Arabic-Indic digits, typed or pasted, become ASCII digits; always so while
    // a mask is set (dates), and for number boxes that ask for it.
    void setAsciiDigits(bool on);

private:
    void applyAsciiDigits();

    QString mask_;
    bool asciiDigits_ = false;
    QChar blank_ = QLatin1Char('_');
};

} // namespace widgets
