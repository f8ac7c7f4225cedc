#pragma once
// The deal list's two statements: the deals of a date range and of the chosen kinds with their
// VAT, levy and after-discount columns, and the sums of those columns. The seasonal tax export
// runs the sums statement over a season.

#include <QString>

namespace db { class Dialect; }

struct DealCriteria {
    bool byDate = true;     // chktarikh
    QString from, to;       // edtt1, edtt2 (quoted as typed)
    bool buySell = true;    // ChkbuySell: kind 'k'
    bool rahn = true;       // ChkRahn: kind 'j'
};

// VAT and municipal levy percentages.
struct DealRates {
    double vat = 0;
    double municipal = 0;
    double total() const { return vat + municipal; }
    // The rates of the settings file, read now.
    static DealRates Current();
};

// " where tarikhsanad between ... and nov in (...)"; empty when nothing restricts the deals.
QString DealWhere(const DealCriteria& c);
// Every column of T_Sanad with VAT, Municipal, totalVAT, afterDiscount and totalDiscount,
// ordered by sid and read in that order, so that the first rows come at once.
QString DealListSql(const QString& where, const DealRates& rates, const db::Dialect& dialect);
// sh (commission after both discounts), sVAT, sMunicipal, stotalVAT.
QString DealSumsSql(const QString& where, const DealRates& rates);
// The print title's second line: "\r\nاز ... تا ..." when the date range applies.
QString DealSubtitle(const DealCriteria& c);
