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
#include <QKeyEvent>
#include <QWidget>

// Every row of a statement: cells joined by "|", rows by "\n".
inline QString rows(db::Connection& c, const QString& sql)
{
    auto cur = c.query(sql);
    QStringList out;
    while (cur->next()) {
        QStringList cells;
        for (int i = 0; i < cur->columnCount(); ++i)
            cells << QString::fromUtf8(cur->text(i).data(), int(cur->text(i).size()));
        out << cells.join(QLatin1Char('|'));
    }
    return out.join(QLatin1Char('\n'));
}

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

    // A deal straight into the table; a discount given as "null" is left out (deals stored
    // before the discount columns existed).
    void addDeal(const char* date, const char* commission, const char* discounts = "0, 0")
    {
        Dm->Conn->exec(QStringLiteral("insert into T_Sanad (tarikhsanad, nov, haghebongah, ownerDiscount, "
                                      "customerDiscount) values ('%1', 'k', %2, %3)")
                           .arg(QLatin1String(date), QLatin1String(commission), QLatin1String(discounts)));
    }

    // A complete identity: a natural person of Tabriz (province 10, office 1).
    void addOwnerInfo(const QString& company = QStringLiteral("بنگاه امين"))
    {
        Dm->Conn->exec(QStringLiteral("insert into yourInfo (companyName, oldEconomicNo, newEconomicNo, nationalCode, "
                                      "taxPayerType, postalCode, telNo, registrationNo, address, ShahrCode, "
                                      "EdareKolCode, UserName, Band, SabteNam, moadyName, Tabeiat, mobileNO) values "
                                      "($1, '411', '41100', '0012345679', '1', '1345678913', '04133334444', '125', "
                                      "'تبريز، خيابان امام، کوچه 12', 100001, 1, 'amin', 1, 0, 'علي امين', 0, "
                                      "'09141234567')"),
                       {company});
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
