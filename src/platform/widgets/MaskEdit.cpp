#include "platform/widgets/MaskEdit.h"

#include <algorithm>

#include "platform/db/Format.h"

#include <QStringList>
#include <QValidator>

namespace widgets {

namespace {

// Turns every digit that reaches the box into its ASCII digit and accepts the rest.
class AsciiDigitsValidator : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int&) const override
    {
        input = db::ToAsciiDigits(input);
        return Acceptable;
    }
};

} // namespace

MaskEdit::MaskEdit(QWidget* parent) : QLineEdit(parent) {}

QString MaskEdit::toInputMask(const QString& classicMask, QChar* blank)
{
    const QStringList parts = classicMask.split(QLatin1Char(';'));
    QChar b = QLatin1Char('_');
    if (parts.size() >= 3 && !parts[2].isEmpty())
        b = parts[2].at(0);
    if (blank)
        *blank = b;
    const QString& m = parts[0];
    QString out;
    for (int i = 0; i < m.size(); ++i) {
        const QChar c = m.at(i);
        switch (c.unicode()) {
        case '0': out += QLatin1Char('9'); break;
        case '9': out += QLatin1Char('0'); break;
        case 'L': out += QLatin1Char('A'); break;
        case 'l': out += QLatin1Char('a'); break;
        case 'A': out += QLatin1Char('N'); break;
        case 'a': out += QLatin1Char('n'); break;
        case 'C': out += QLatin1Char('X'); break;
        case 'c': out += QLatin1Char('x'); break;
        case '#': out += QLatin1Char('#'); break;
        case '>': case '<': case '!': break;
        case '\\':
            if (i + 1 < m.size())
                out += QLatin1Char('\\') + m.at(++i);
            break;
        default:
            // Qt's own mask characters as literals
            if (QStringLiteral("AaNnXx90Dd#HhBb><!{}[]\\").contains(c))
                out += QLatin1Char('\\');
            out += c;
        }
    }
    return out;
}

void MaskEdit::setEditMask(const QString& mask)
{
    if (mask == mask_)
        return;
    mask_ = mask;
    applyAsciiDigits();
    if (mask.isEmpty()) {
        setInputMask(QString());
        return;
    }
    const QString qt = toInputMask(mask, &blank_);
    setInputMask(qt + QLatin1Char(';') + blank_);
    // a mask of digits (a date, a number) reads left to right in any window: "____/__/__"
    const QString positions = mask.section(QLatin1Char(';'), 0, 0);
    if (std::none_of(positions.begin(), positions.end(), [](QChar c) { return QStringLiteral("LlAaCc").contains(c); }))
        setLayoutDirection(Qt::LeftToRight);
}

void MaskEdit::setAsciiDigits(bool on)
{
    asciiDigits_ = on;
    applyAsciiDigits();
}

void MaskEdit::applyAsciiDigits()
{
    const bool want = asciiDigits_ || !mask_.isEmpty();
    auto* mine = dynamic_cast<const AsciiDigitsValidator*>(validator());
    if (want && !validator())
        setValidator(new AsciiDigitsValidator(this));
    else if (!want && mine) {
        setValidator(nullptr);
        delete mine;
    }
}

QString MaskEdit::Text() const { return inputMask().isEmpty() ? text() : displayText(); }

QString MaskEdit::BlankedText() const
{
    QString t = Text();
    if (!inputMask().isEmpty())
        t.replace(blank_, QLatin1Char(' '));
    return t;
}

QString MaskEdit::emptyText() const
{
    if (inputMask().isEmpty())
        return {};
    MaskEdit probe;
    probe.setInputMask(inputMask());
    probe.QLineEdit::setText(QString());
    return probe.displayText();
}

} // namespace widgets
