#pragma once
// The registry windows over a data module on a fresh, upgraded agency database (one per
// engine) in a temporary program folder, with today fixed at 1403/01/06 10:30.

#include "UpgradedDbTest.h"

#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "core/TTMSTemplate.h"
#include "platform/db/DataSet.h"
#include "registry/TFRmMelk.h"
#include "registry/TFrmLstMelk.h"
#include "registry/TFrmTels.h"
#include "ui/TTools.h"

#include <QApplication>
#include <QDateTime>
#include <QFile>
#include <QKeyEvent>
#include <memory>

class RegistryTest : public UpgradedDbTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        auto users = prepareProgramFolder();
        FRmMelk = new TFRmMelk;
        Dm = new TDm;
        Dm->Connect(testDb().open(), std::move(users));
        FRmMelk->ConnectDataModule();
        prompter.calls.clear();
    }

    void TearDown() override
    {
        delete FrmTels;
        FrmTels = nullptr;
        delete FrmLstMelk;
        FrmLstMelk = nullptr;
        delete FRmMelk;
        FRmMelk = nullptr;
        delete Dm;
        Dm = nullptr;
        restoreProgramFolder();
        EngineTest::TearDown();
    }

    TFrmLstMelk* list()
    {
        if (!FrmLstMelk)
            FrmLstMelk = new TFrmLstMelk;
        return FrmLstMelk;
    }
    TFrmTels* tels()
    {
        if (!FrmTels)
            FrmTels = new TFrmTels;
        return FrmTels;
    }

    // A property straight into the table; returns its MID.
    qint64 addProperty(const QString& owner, bool sell, bool rahn, bool ejareh, double f1 = 0,
                       const QString& type = QString(), const QString& date = QStringLiteral("1403/01/05"),
                       bool deleted = false, int rooms = 0)
    {
        const QString t = QString::number(Dm->Conn->dialect().trueValue());
        const auto b = [&](bool on) { return on ? t : QStringLiteral("0"); };
        Dm->Conn->exec(QStringLiteral("insert into T_Melk (MalekEsm, ForSell, ForRahn, ForEjareh, F1, f1_2, f2, f2_2, "
                                      "f3, f3_2, NovMelk, tarikheraeh, Hazfshodeh, TedadOtagh, MantaghehID) "
                                      "values ($1, %1, %2, %3, $2, 0, 0, 0, 0, 0, $3, $4, %4, $5, 0)")
                           .arg(b(sell), b(rahn), b(ejareh), b(deleted)),
                       {owner, f1, type, date, rooms});
        return Dm->Conn->scalar(QStringLiteral("select max(MID) from T_Melk")).toLongLong();
    }

    QVariant scalar(const QString& sql) { return Dm->Conn->scalar(sql); }
    static db::Field* f(db::DataSet* ds, const char* name) { return ds->FieldByName(QString::fromLatin1(name)); }

    // Types any text into a widget (QTest::keyClicks takes ASCII only).
    static void typeText(QWidget* w, const QString& text)
    {
        for (const QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(c));
            QApplication::sendEvent(w, &press);
        }
    }
    static void key(QWidget* w, Qt::Key k)
    {
        QKeyEvent press(QEvent::KeyPress, k, Qt::NoModifier);
        QApplication::sendEvent(w, &press);
    }
};

// Readable QString values in failure messages.
inline void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }
