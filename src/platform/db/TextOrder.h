#pragma once
// The order of texts in sorted lists, the same whether the dataset or the engine sorts:
// Persian alphabetical order, letter case ignored.

#include <QCollator>

namespace db {

QCollator textCollator();

// The engines' name of that order (a collation registered or created under this name).
inline constexpr char kTextCollation[] = "dovin_fa";
// The server's definition of it: ICU's Persian order at the strength that ignores case;
// not deterministic, so that texts it finds equal go on to the next sort term.
inline constexpr char kTextCollationLocale[] = "fa-IR-u-ks-level2";

} // namespace db
