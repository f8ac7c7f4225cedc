#pragma once
// The empty tax-report database TTMS_empty.mdb beside the program: the geography tables
// zone and edareKol, which the schema upgrade reads, and the empty tables that the
// seasonal export fills (Moshakhasat, foroush, Foroush_Detail).

#include "platform/db/Catalog.h"

#include <QString>
#include <vector>

namespace ttms {

// Tables of the template file, in the order they are created.
const std::vector<db::TableDef>& TemplateTables();

// Reads a comma-separated file with a header line (UTF-8, CR LF or LF, double quotes
// around fields that hold commas or quotes). Throws std::runtime_error when unreadable.
std::vector<QStringList> ReadCsv(const QString& path);

// Writes the template as a new SQLite file at path, loading zone and edareKol from the
// two CSV files. The file is written beside path first and renamed over it at the end,
// so a failure leaves no half file. Throws on failure.
void BuildTemplate(const QString& path, const QString& zoneCsv, const QString& edareKolCsv);

} // namespace ttms
