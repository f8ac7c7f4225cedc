#pragma once
// The seasonal tax-report file: the season's date range, the rows written into a copy of
// TTMS_empty.mdb (the taxpayer identity, the season header, one lump-sum sales line), and
// the file copies around it. The file is a SQLite file with the template's tables.

#include <QString>
#include <functional>
#include <stdexcept>

namespace db {
class Connection;
class DataSet;
}

namespace ttms {

// A failure of the export with its Persian text.
class ExportError : public std::runtime_error {
public:
    explicit ExportError(const QString& message) : std::runtime_error(message.toStdString()), message_(message) {}
    const QString& message() const { return message_; }

private:
    QString message_;
};

// The template could not be copied.
class TemplateCopyError : public ExportError {
public:
    using ExportError::ExportError;
};

// The season's first and last day, yyyy/mm/dd.
struct SeasonRange {
    QString start;
    QString end;
};

// Exactly four ASCII digits.
bool YearTextOk(const QString& year);
// Season 1 to 4 of a four-digit year: yyyy/01/01-yyyy/03/31 up to yyyy/10/01-yyyy/12/31.
SeasonRange SeasonBounds(const QString& year, int season);
// "بهار", "تابستان", "پاييز", "زمستان".
QString SeasonName(int season);
// "TTMS" + year + "_" + season.
QString DefaultFileName(const QString& year, int season);
// The chosen name with ".mdb" appended unless it holds ".mdb" already (case-sensitive).
QString WithMdbExtension(const QString& name);

// The season's sums of the deals (commission after discounts, VAT, levy); null sums are 0.
struct SeasonSums {
    double commission = 0;
    double vat = 0;
    double municipal = 0;
};
SeasonSums ReadSums(const db::DataSet& sums);
// The deal list's sums statement over the season's deals of both kinds, with the rates read now.
QString SeasonSumsSQL(const SeasonRange& range);
// An amount as written into the file: rounded to a whole number, ties to even.
QString AmountText(double value);

// A new GUID in its braced upper-case form, 38 characters.
QString NewGuidText();

// The statements that fill the file. MoshakhasatSQL reads the first row of yourInfo and
// throws ExportError when a number column holds no number. ForoushSQL takes the year as $1.
QString MoshakhasatSQL(const db::DataSet& yourInfo);
QString ForoushSQL(const QString& guid, int season);
QString ForoushDetailSQL(const SeasonSums& sums);

// Progress of a file copy: bytes done of how many; may throw to stop it (shell::Cancelled).
using CopySteps = std::function<void(qint64 done, qint64 total)>;

// Copies from to to through a temporary file beside to (listed in listFolder, see
// shell::TempFile), replacing to only once the copy is complete. Throws shell::FileError,
// to being then left as it was.
void CopyReplacing(const QString& from, const QString& to, const QString& listFolder, const CopySteps& steps = {});

// Copies the template to a temporary file beside workPath, runs fill on a connection to it
// inside one transaction, and renames it over workPath. Throws TemplateCopyError when the
// template cannot be copied; an error of fill is thrown on, and workPath stays as it was.
void WriteWorkingCopy(const QString& templatePath, const QString& workPath,
                      const std::function<void(db::Connection&)>& fill, const CopySteps& steps = {});

} // namespace ttms
