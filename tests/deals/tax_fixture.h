#pragma once
// The VAT and tax-report windows over a data module on a fresh, upgraded agency database (one
// per engine) in a temporary program folder, with today fixed at 1403/01/06.

#include "UpgradedDbTest.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "core/TPrefMng.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "ui/TTools.h"

#include <QApplication>
#include <QDir>
#include <QKeyEvent>
#include <QWidget>

class TaxTest : public UpgradedDbTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        auto users = prepareProgramFolder();
        Dm = new TDm;
        Dm->Connect(testDb().open(), std::move(users));
        prompter.calls.clear();
    }

    void TearDown() override
    {
        delete Dm;
        Dm = nullptr;
        restoreProgramFolder();
        EngineTest::TearDown();
    }

    QString folder() const { return TTools::AppPath(); }

    // A deal straight into the table; a negative discount is left null (deals stored before
    // the discount columns existed).
    void addDeal(const QString& date, double commission, double ownerDiscount = -1, double custDiscount = -1,
                 const char* kind = "k")
    {
        QString cols = QStringLiteral("tarikhsanad, nov, haghebongah");
        QString vals = db::Q(date) + QLatin1Char(',') + db::Q(QString::fromLatin1(kind)) + QLatin1Char(',')
                     + QString::number(commission, 'f', 2);
        if (ownerDiscount >= 0) {
            cols += QStringLiteral(", ownerDiscount");
            vals += QLatin1Char(',') + QString::number(ownerDiscount, 'f', 2);
        }
        if (custDiscount >= 0) {
            cols += QStringLiteral(", customerDiscount");
            vals += QLatin1Char(',') + QString::number(custDiscount, 'f', 2);
        }
        Dm->Conn->exec(QStringLiteral("insert into T_Sanad (") + cols + QStringLiteral(") values (") + vals
                       + QLatin1Char(')'));
    }

    // A complete identity: a natural person of Tabriz (province 10, office 1).
    void addOwnerInfo(const QString& company = QStringLiteral("بنگاه امين"), const QString& city = QStringLiteral("100001"))
    {
        Dm->Conn->exec(QStringLiteral("insert into yourInfo (companyName, oldEconomicNo, newEconomicNo, nationalCode, "
                                      "taxPayerType, postalCode, telNo, registrationNo, address, ShahrCode, "
                                      "EdareKolCode, UserName, Band, SabteNam, moadyName, Tabeiat, mobileNO) values "
                                      "($1, '411', '41100', '0012345679', '1', '1345678913', '04133334444', '125', "
                                      "$2, ")
                           + city + QStringLiteral(", 1, 'amin', 1, 0, 'علي امين', 0, '09141234567')"),
                       {company, QStringLiteral("تبريز، خيابان امام، کوچه 12")});
    }

    void setRates(double vat, double levy, bool enabled = true)
    {
        TPrefMng::SetVATVal(vat);
        TPrefMng::SetMunicipalVal(levy);
        TPrefMng::SetVATEnabled(enabled);
    }

    QVariant scalar(const QString& sql) { return Dm->Conn->scalar(sql); }

    // Types any text into a widget, key by key.
    static void typeText(QWidget* w, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
        }
    }
};

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
