#pragma once
// The order of texts in sorted lists, the same whether the dataset or the engine sorts:
// Persian alphabetical order, letter case ignored.

#include <QCollator>

struct UCollator;

namespace db {

QCollator textCollator();

// The same order over UTF-8 texts as they are stored, for an engine's own collation.
class Utf8TextOrder {
public:
    Utf8TextOrder();
    ~Utf8TextOrder();
    Utf8TextOrder(const Utf8TextOrder&) = delete;
    Utf8TextOrder& operator=(const Utf8TextOrder&) = delete;
    int compare(const char* a, int na, const char* b, int nb) const;

private:
    UCollator* icu_ = nullptr;
    QCollator qt_;   // where ICU has no such order
};

// The engines' name of that order (a collation registered or created under this name).
inline constexpr char kTextCollation[] = "dovin_fa";
// The server's definition of it: ICU's Persian order at the strength that ignores case, with
// the texts normalised first; not deterministic, so that texts it finds equal go on to the
// next sort term.
inline constexpr char kTextCollationLocale[] = "fa-IR-u-kk-true-ks-level2";

} // namespace db
