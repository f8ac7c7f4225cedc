#include "ui/EditHelpers.h"

#include "platform/db/Format.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QValidator>
#include <QVariant>

#include <vector>

namespace {

const QChar Slash = QLatin1Char('/');
const QChar Blank = QLatin1Char('_');
const QChar DecimalSeparator = QLatin1Char('.');
const QChar ThousandSeparator = QLatin1Char(',');
const QLatin1String EmptyDate("____/__/__");

using db::DigitValue;
using db::ToAsciiDigits;

// The single character the key types, or a null QChar (shortcuts with Ctrl or Alt type nothing).
QChar typedChar(const QKeyEvent* e)
{
    if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return {};
    const QString t = e->text();
    return t.size() == 1 && t.at(0).isPrint() ? t.at(0) : QChar();
}

int typedDigit(const QKeyEvent* e)
{
    const QChar c = typedChar(e);
    return c.isNull() ? -1 : DigitValue(c);
}

// Keys that change a line edit's text; every other key (moving, selecting, copying, Enter, Tab) passes.
bool editsText(const QKeyEvent* e)
{
    if (!typedChar(e).isNull())
        return true;
    if (e->key() == Qt::Key_Backspace || e->key() == Qt::Key_Delete)
        return true;
    for (auto k : {QKeySequence::Paste, QKeySequence::Cut, QKeySequence::Undo, QKeySequence::Redo,
                   QKeySequence::DeleteStartOfWord, QKeySequence::DeleteEndOfWord,
                   QKeySequence::DeleteEndOfLine, QKeySequence::DeleteCompleteLine})
        if (e->matches(k))
            return true;
    return false;
}

bool refuse(const QKeyEvent* e) { return editsText(e); }

// Characters of an amount besides the separators, the first sign and the first decimal separator.
int amountDigits(QString s)
{
    s.remove(ThousandSeparator);
    int sign = s.indexOf(QLatin1Char('-'));
    if (sign < 0)
        sign = s.indexOf(QLatin1Char('+'));
    if (sign >= 0)
        s.remove(sign, 1);
    const int dec = s.indexOf(DecimalSeparator);
    if (dec >= 0)
        s.remove(dec, 1);
    return s.size();
}

bool decimalsAllowed(const QString& flag) { return flag.toUpper() != QLatin1String("FALSE"); }

// Holds whatever reaches an amount box (typed or pasted) to its limits, with ASCII digits.
class AmountValidator : public QValidator {
public:
    AmountValidator(int maxDigits, bool decimals, QObject* parent)
        : QValidator(parent), maxDigits(maxDigits), decimals(decimals) {}

    State validate(QString& input, int&) const override
    {
        input = ToAsciiDigits(input);
        for (QChar c : input) {
            const bool ok = (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == ThousandSeparator
                || c == QLatin1Char('-') || c == QLatin1Char('+') || (decimals && c == DecimalSeparator);
            if (!ok)
                return Invalid;
        }
        return amountDigits(input) > maxDigits ? Invalid : Acceptable;
    }

    int maxDigits;
    bool decimals;
};

// ---- date box ----

QString dateText(const QLineEdit* edit)
{
    const QString t = edit->inputMask().isEmpty() ? edit->text() : edit->displayText();
    return t.size() == 10 ? t : QString(EmptyDate);
}

// A masked box cannot show its caret just before a "/" (it moves it onto a digit place); the
// intended place is kept on the box until the caret is moved or the text is selected.
const char* const IntendedCaret = "dovinDateCaret";
const char* const ShownCaret = "dovinDateCaretShown";

int dateCaret(const QLineEdit* edit)
{
    const int shown = edit->cursorPosition();
    const QVariant intended = edit->property(IntendedCaret);
    if (intended.isValid() && !edit->hasSelectedText() && edit->property(ShownCaret).toInt() == shown)
        return intended.toInt();
    return qBound(0, shown, 10);
}

void setDateText(QLineEdit* edit, const QString& text, int caret)
{
    if (dateText(edit) != text) {
        edit->setText(text);
        // A mask of required digits ("9999/99/99") drops blanks in front of digits: set place by place.
        const QString shown = dateText(edit);
        if (shown != text && !edit->isReadOnly()) {
            for (int i = 0; i < 10; ++i) {
                if (dateText(edit).at(i) == text.at(i))
                    continue;
                edit->setSelection(i, 1);
                if (text.at(i) == Blank)
                    edit->del();
                else
                    edit->insert(QString(text.at(i)));
            }
        }
    }
    edit->setCursorPosition(caret);
    const int shown = edit->cursorPosition();
    edit->setProperty(IntendedCaret, shown == caret ? QVariant() : QVariant(caret));
    edit->setProperty(ShownCaret, shown == caret ? QVariant() : QVariant(shown));
}

// Removes the character at index i; the characters after it move left over the slashes.
void shiftLeft(QString& t, int i)
{
    for (int j = i; j < 9; ++j) {
        if (t.at(j) == Slash)
            continue;
        int k = j + 1;
        while (k < 10 && t.at(k) == Slash)
            ++k;
        t[j] = k < 10 ? t.at(k) : Blank;
    }
    t[9] = Blank;
}

void blankSelection(QString& t, int start, int length)
{
    for (int i = start; i < start + length && i < 10; ++i)
        if (t.at(i) != Slash)
            t[i] = Blank;
}

} // namespace

bool DateEditKeyDown(QLineEdit* edit, const QKeyEvent* event)
{
    const bool backspace = event->key() == Qt::Key_Backspace;
    const bool del = event->key() == Qt::Key_Delete;
    const int digit = typedDigit(event);
    if (!backspace && !del && digit < 0)
        return false;

    QString t = dateText(edit);
    int caret = dateCaret(edit);
    const int selStart = edit->hasSelectedText() ? edit->selectionStart() : caret;
    int selLength = edit->hasSelectedText() ? edit->selectionLength() : 0;

    if (selLength >= 10) {
        t = EmptyDate;
        caret = backspace ? 9 : 8;
        selLength = 0;
    } else if (selLength > 0) {
        blankSelection(t, selStart, selLength);
        caret = selStart;
        if (backspace || del) {
            setDateText(edit, t, caret);
            return true;
        }
    }

    if (backspace) {
        if (caret == 0) {
            setDateText(edit, t, caret);
            return true;
        }
        if (caret == 5 || caret == 8)
            --caret;
        shiftLeft(t, caret - 1);
        setDateText(edit, t, caret - 1);
        return true;
    }
    if (del) {
        if (caret == 10) {
            setDateText(edit, t, caret);
            return true;
        }
        if (caret == 4 || caret == 7)
            ++caret;
        shiftLeft(t, caret);
        setDateText(edit, t, caret);
        return true;
    }

    // A digit.
    if (caret == 4) {
        setDateText(edit, t, caret);
        return true;
    }
    if (caret == 7)
        caret = 0;
    else if (caret == 10)
        caret = 5;
    const int hole = t.indexOf(Blank, caret);
    if (hole < 0) {
        setDateText(edit, t, caret);
        return true;
    }
    std::vector<int> places;
    for (int i = caret; i <= hole; ++i)
        if (t.at(i) != Slash)
            places.push_back(i);
    for (size_t k = places.size() - 1; k > 0; --k)
        t[places[k]] = t.at(places[k - 1]);
    t[places.front()] = QChar(u'0' + digit);
    setDateText(edit, t, places.front() + 1);
    return true;
}

void SetMoneyEditLimit(QLineEdit* edit, int maxDigits, const QString& decimalFlag)
{
    const bool decimals = decimalsAllowed(decimalFlag);
    if (auto* v = dynamic_cast<AmountValidator*>(const_cast<QValidator*>(edit->validator()))) {
        v->maxDigits = maxDigits;
        v->decimals = decimals;
        return;
    }
    edit->setValidator(new AmountValidator(maxDigits, decimals, edit));
}

bool MoneyEditKeyDown(QLineEdit* edit, const QKeyEvent* event, int maxDigits, const QString& decimalFlag)
{
    SetMoneyEditLimit(edit, maxDigits, decimalFlag);
    const QString text = edit->text();
    const int caret = edit->cursorPosition();
    const bool selected = edit->hasSelectedText();
    const int selStart = selected ? edit->selectionStart() : caret;
    const QString selection = edit->selectedText();
    const int key = event->key();

    if (key == Qt::Key_Backspace) {
        if (!text.isEmpty() && !selected && caret > 0 && text.at(caret - 1) == ThousandSeparator)
            edit->setCursorPosition(caret - 1);
        return false;
    }
    if (key == Qt::Key_Delete) {
        if (!text.isEmpty() && !selected && caret < text.size() && text.at(caret) == ThousandSeparator)
            edit->setCursorPosition(caret + 1);
        return false;
    }

    const QChar c = typedChar(event);
    const bool keypadDecimal = (event->modifiers() & Qt::KeypadModifier)
        && (key == Qt::Key_Period || key == Qt::Key_Comma);
    if (c == DecimalSeparator || keypadDecimal) {
        const int room = text.contains(ThousandSeparator) ? 4 : 3;
        const bool ok = !text.contains(DecimalSeparator) && text.size() - selStart <= room
            && decimalsAllowed(decimalFlag);
        if (ok && c != DecimalSeparator) {
            edit->insert(QString(DecimalSeparator));
            return true;
        }
        return ok ? false : refuse(event);
    }

    if (c == QLatin1Char('+') || c == QLatin1Char('-')) {
        const bool hasSign = text.contains(QLatin1Char('-')) || text.contains(QLatin1Char('+'));
        if ((hasSign && !selected) || selStart != 0)
            return refuse(event);
        return false;
    }

    const int digit = c.isNull() ? -1 : DigitValue(c);
    if (digit < 0)
        return refuse(event);

    if (amountDigits(text) >= maxDigits) {
        static const QStringList singles{QStringLiteral(","), QStringLiteral("."), QStringLiteral("+"),
                                         QStringLiteral("-")};
        if (!selected || singles.contains(selection))
            return refuse(event);
    }
    if ((text.contains(QLatin1Char('+')) || text.contains(QLatin1Char('-'))) && caret == 0 && !selected)
        return refuse(event);
    const int dec = text.indexOf(DecimalSeparator);
    if (dec >= 0 && text.size() - dec - 1 == 3 && dec < caret && !selected)
        return refuse(event);

    if (c.unicode() < '0' || c.unicode() > '9') {
        edit->insert(QString(QChar(u'0' + digit)));
        return true;
    }
    return false;
}

bool MoneyEditKeyDown2(QLineEdit* edit, const QKeyEvent* event, int maxDigits, const QString& decimalFlag)
{
    return MoneyEditKeyDown(edit, event, maxDigits, decimalFlag);
}

void MoneyEditChange(QLineEdit* edit)
{
    QString t = edit->text();
    if (t.isEmpty())
        return;
    int caret = edit->cursorPosition();
    QString sign;
    if (t.startsWith(QLatin1Char('+')) || t.startsWith(QLatin1Char('-'))) {
        sign = t.left(1);
        t.remove(0, 1);
    }
    caret -= t.count(ThousandSeparator);
    t.remove(ThousandSeparator);
    QString decimals;
    const int dec = t.indexOf(DecimalSeparator);
    if (dec >= 0) {
        decimals = t.mid(dec);
        t.truncate(dec);
    }
    for (int pos = t.size() - 3; pos > 0; pos -= 3) {
        t.insert(pos, ThousandSeparator);
        ++caret;
    }
    const QString result = sign + t + decimals;
    if (result != edit->text())
        edit->setText(result);
    edit->setCursorPosition(qBound(0, caret, result.size()));
}

bool BlockApostropheKey(QLineEdit*, const QKeyEvent* event)
{
    return typedChar(event) == QLatin1Char('"');
}
