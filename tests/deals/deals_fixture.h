#pragma once
// The deal windows over a data module on a fresh, upgraded agency database (one per engine)
// in a temporary program folder, with today fixed at 1403/01/06 10:30.

#include "UpgradedDbTest.h"

#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "deals/TFrmAddInfo.h"
#include "deals/TFrmRepMoameleh.h"
#include "deals/TFrmSanad.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "platform/report/PreparedReport.h"

#include <QApplication>
#include <QTest>
#include <memory>

class DealsTest : public UpgradedDbTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        auto users = prepareProgramFolder();
        Dm = new TDm;
        Dm->Connect(testDb().open(), std::move(users));
        FrmSanad = new TFrmSanad;
        FrmRepMoameleh = new TFrmRepMoameleh;
        FrmAddInfoOwner = new TFrmAddInfo(QStringLiteral("owner"));
        FrmAddInfoCust = new TFrmAddInfo(QStringLiteral("cust"));
        prompter.calls.clear();
    }

    void TearDown() override
    {
        TFrmRepMoameleh::ShowDealForm = nullptr;
        TFrmRepMoameleh::CloseProgram = nullptr;
        if (Dm) {
            for (QWidget* w : std::initializer_list<QWidget*>{FrmAddInfoOwner, FrmAddInfoCust, FrmRepMoameleh, FrmSanad})
                w->hide();
            if (Dm->QSanad->State() != db::DataSetState::Browse && Dm->QSanad->Active())
                Dm->QSanad->Cancel();
        }
        delete FrmAddInfoCust;
        FrmAddInfoCust = nullptr;
        delete FrmAddInfoOwner;
        FrmAddInfoOwner = nullptr;
        delete FrmRepMoameleh;
        FrmRepMoameleh = nullptr;
        delete FrmSanad;
        FrmSanad = nullptr;
        delete Dm;
        Dm = nullptr;
        restoreProgramFolder();
        EngineTest::TearDown();
    }

    // A deal straight into the table; returns its key.
    qint64 addDeal(const QString& date, const QString& nov, double h, double od = 0, double cd = 0,
                   const QString& owner = QStringLiteral("مالک"))
    {
        Dm->Conn->exec(QStringLiteral("insert into T_Sanad (Tarikhsanad, Nov, Haghebongah, ownerDiscount, customerDiscount, "
                                      "EsmMalek, shoomareh) values ($1, $2, $3, $4, $5, $6, '7')"),
                       {date, nov, h, od, cd, owner});
        return Dm->Conn->scalar(QStringLiteral("select max(SId) from T_Sanad")).toLongLong();
    }

    QString field(const char* name) const { return Dm->QSanad->FieldByName(QString::fromLatin1(name))->AsString(); }
    void setField(const char* name, const QVariant& v) { Dm->QSanad->FieldByName(QString::fromLatin1(name))->SetValue(v); }
    QString counter() { return Dm->Conn->scalar(QStringLiteral("select snum from t_snums where akey = 1")).toString(); }

    // The texts of the items of every page of a prepared report, joined by new lines.
    static QString reportText(const report::PreparedReport& r)
    {
        QStringList out;
        for (const report::ReportPage& p : r.pages)
            for (const report::ReportItem& it : p.items)
                if (!it.text.isEmpty())
                    out << it.name + QLatin1Char('=') + it.text;
        return out.join(QLatin1Char('\n'));
    }
};
