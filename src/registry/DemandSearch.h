#pragma once
// The criteria search of the demand list: the statement over t_niyaz built from Panel1.

#include <QString>
#include <QVariant>

struct TDemandCriteria {
    bool ChkDel = false;
    bool ChkNotdel = true;
    bool chktarikh = false;
    QString edtt1;
    QString edtt2;
    bool chksell = true;
    bool ChkRahn = true;
    bool ChkEjareh = true;
    bool chkre = false;
    bool chkf = false;
    QString edtf;
    QString edtr;
    bool chkmn = false;
    QVariant region;     // the lookup's key; null when nothing is chosen
};

// The statement, or an empty text with a Persian message in error when a price bound is not a number.
// Flags are tested as any non-zero true, NULL false.
QString BuildDemandSearchStatement(const TDemandCriteria& c, QString* error);
