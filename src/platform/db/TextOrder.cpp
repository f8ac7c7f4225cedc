#include "platform/db/TextOrder.h"

#include <QLocale>
#include <unicode/ucol.h>

namespace db {

QCollator textCollator()
{
    QCollator c(QLocale(QLocale::Persian, QLocale::Iran));
    c.setCaseSensitivity(Qt::CaseInsensitive);
    return c;
}

// ICU set as QCollator sets it for textCollator().
Utf8TextOrder::Utf8TextOrder() : qt_(textCollator())
{
    UErrorCode status = U_ZERO_ERROR;
    UCollator* c = ucol_open("fa_IR", &status);
    ucol_setAttribute(c, UCOL_NORMALIZATION_MODE, UCOL_ON, &status);
    ucol_setAttribute(c, UCOL_STRENGTH, UCOL_SECONDARY, &status);
    ucol_setAttribute(c, UCOL_ALTERNATE_HANDLING, UCOL_NON_IGNORABLE, &status);
    ucol_setAttribute(c, UCOL_NUMERIC_COLLATION, UCOL_OFF, &status);
    if (U_FAILURE(status)) {
        if (c)
            ucol_close(c);
        return;
    }
    icu_ = c;
}

Utf8TextOrder::~Utf8TextOrder()
{
    if (icu_)
        ucol_close(icu_);
}

int Utf8TextOrder::compare(const char* a, int na, const char* b, int nb) const
{
    if (icu_) {
        UErrorCode status = U_ZERO_ERROR;
        const UCollationResult r = ucol_strcollUTF8(icu_, a, na, b, nb, &status);
        if (U_SUCCESS(status))
            return r == UCOL_LESS ? -1 : (r == UCOL_GREATER ? 1 : 0);
    }
    return qt_.compare(QString::fromUtf8(a, na), QString::fromUtf8(b, nb));
}

} // namespace db
