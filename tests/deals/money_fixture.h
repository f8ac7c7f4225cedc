#pragma once
// The expense and cheque windows over a data module on a fresh, upgraded agency database (one
// per engine), today fixed at 1403/01/06 10:30 unless a test moves the clock.

#include "UpgradedDbTest.h"

#include "core/AppGlobals.h"
#include "core/TDm.h"
#include "deals/TFrmCheck.h"
#include "deals/TFrmHazineh.h"
#include "deals/TFrmHazinehNew.h"
#include "deals/Tfrmlstcheck.h"
#include "platform/db/DataSet.h"
#include "platform/widgets/DBGrid.h"
#include "platform/widgets/DataSetModel.h"
#include "ui/TTools.h"

#include <QApplication>
#include <QDateTime>
#include <QFocusEvent>
#include <QKeyEvent>

class MoneyTest : public UpgradedDbTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        auto users = prepareProgramFolder();
        Dm = new TDm;
        Dm->Connect(testDb().open(), std::move(users));
        LastChequeValues = TLastChequeValues{};
        FrmHazinehNew = new TFrmHazinehNew;
        FrmHazineh = new TFrmHazineh;
        FrmCheck = new TFrmCheck;
        frmlstcheck = new Tfrmlstcheck;
        prompter.calls.clear();
    }

    void TearDown() override
    {
        for (QWidget* w : {static_cast<QWidget*>(frmlstcheck), static_cast<QWidget*>(FrmCheck),
                           static_cast<QWidget*>(FrmHazineh), static_cast<QWidget*>(FrmHazinehNew)})
            delete w;
        frmlstcheck = nullptr;
        FrmCheck = nullptr;
        FrmHazineh = nullptr;
        FrmHazinehNew = nullptr;
        delete Dm;
        Dm = nullptr;
        restoreProgramFolder();
        EngineTest::TearDown();
    }

    // Today as the Gregorian day of the clock.
    static void setToday(const QDate& day)
    {
        Tools->setClock([day] { return QDateTime(day, QTime(10, 30)); });
    }

    void addExpense(const QString& date, const QString& name, const QString& nov, double amount)
    {
        Dm->Conn->exec(QStringLiteral("insert into t_hazineh (tarikhv, tarikh, shoomareh, Hname, nov, Mablagh, Tozihat) "
                                      "values ($1, $1, '1', $2, $3, $4, '')"),
                       {date, name, nov, amount});
    }
    void addCheque(const QString& due, const QString& nov, double amount, bool deleted = false,
                   const QString& state = QStringLiteral("پاس نشده"))
    {
        Dm->Conn->exec(QStringLiteral("insert into t_check (Tarikhv, Tarikh, Vaziyat, nov, bank, shoomareh, sharh, hesabno, "
                                      "mablagh, shakhs, novsanad, hazf) values ('1403/01/01', $1, $2, $3, '', '1', '', '', $4, "
                                      "'', '', %1)")
                           .arg(deleted ? Dm->Conn->dialect().trueValue() : 0),
                       {due, state, nov, amount});
    }

    QVariant scalar(const QString& sql) { return Dm->Conn->scalar(sql); }
    static db::Field* f(db::DataSet* ds, const char* name) { return ds->FieldByName(QString::fromLatin1(name)); }

    // The model's value for one cell of a grid: row of the dataset's order, the column's field.
    static QVariant cell(widgets::DBGrid* g, int row, const QString& field, int role)
    {
        const QStringList names = g->dataModel()->fieldNames();
        return g->dataModel()->data(g->dataModel()->index(row, int(names.indexOf(field))), role);
    }

    static void typeText(QWidget* w, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
        }
    }
    static void focus(QWidget* w, QEvent::Type type)
    {
        QFocusEvent e(type, Qt::TabFocusReason);
        QApplication::sendEvent(w, &e);
    }
};

inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
