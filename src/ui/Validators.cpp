#include "ui/Validators.h"

namespace {

const char* const kBadNationalCode = "کد ملي صحيح نمي باشد.";
const char* const kBadNationalId = "شناسه ملي صحيح نمي باشد.";
const char* const kBadPostalCode = "کد پستي وارد شده صحيح نمي باشد.";

[[noreturn]] void fail(const char* message) { throw TValidationError(QString::fromUtf8(message)); }

// The decimal digits of text (ASCII only), or fails with message.
void digitsOf(const QString& text, int count, int* out, const char* message)
{
    if (text.size() != count)
        fail(message);
    for (int i = 0; i < count; ++i) {
        const QChar c = text[i];
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            fail(message);
        out[i] = c.unicode() - '0';
    }
}

} // namespace

void ValidateNationalCode(const QString& text, int personKind, bool emptyAllowed)
{
    if (text.isEmpty() && emptyAllowed)
        return;
    if (personKind == 1) {
        if (text.size() != 10)
            fail(kBadNationalCode);
        CheckNationalCode(text);
    } else {
        if (text.size() != 11)
            fail(kBadNationalId);
        CheckNationalId(text);
    }
}

void CheckNationalCode(const QString& code)
{
    int d[10];
    digitsOf(code, 10, d, kBadNationalCode);
    int s = 0;
    for (int i = 0; i < 9; ++i)
        s += d[i] * (10 - i);
    const int r = s % 11;
    const int check = r < 2 ? r : 11 - r;
    if (check != d[9])
        fail(kBadNationalCode);
}

void CheckNationalId(const QString& id)
{
    static const int weights[10] = {29, 27, 23, 19, 17, 29, 27, 23, 19, 17};
    int d[11];
    digitsOf(id, 11, d, kBadNationalId);
    const int k = d[9] + 2;
    int s = 0;
    for (int i = 0; i < 10; ++i)
        s += (d[i] + k) * weights[i];
    int r = s % 11;
    if (r == 10)
        r = 0;
    if (r != d[10])
        fail(kBadNationalId);
}

void ValidatePostalCode(const QString& text, bool emptyAllowed)
{
    if (text.isEmpty() && emptyAllowed)
        return;
    int d[10];
    digitsOf(text, 10, d, kBadPostalCode);
    for (int digit : d) {
        if (digit == 0 || digit == 2)
            fail(kBadPostalCode);
    }
}

bool AddressLengthOk(const QString& text, bool emptyAllowed)
{
    if (text.isEmpty())
        return emptyAllowed;
    return text.size() >= 15;
}

void ValidateEconomicCode(const QString&, bool) {}
