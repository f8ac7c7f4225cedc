#pragma once
// A data module over a fresh, upgraded agency database and a users database, in a
// temporary program folder, with today fixed at 1403/01/06 10:30.

#include "UpgradedDbTest.h"

#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "core/TDBUpdate.h"
#include "core/TDm.h"
#include "core/TTMSTemplate.h"
#include "platform/db/DataSet.h"
#include "ui/TTools.h"

#include <QDateTime>
#include <memory>

class RecordsTest : public UpgradedDbTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        auto users = prepareProgramFolder();
        dm = std::make_unique<TDm>();
        dm->Connect(testDb().open(), std::move(users));
        LastChequeValues = TLastChequeValues();
        prompter.calls.clear();
    }

    void TearDown() override
    {
        dm.reset();
        restoreProgramFolder();
        EngineTest::TearDown();
    }

    static db::Field* f(db::DataSet* ds, const char* name) { return ds->FieldByName(QString::fromLatin1(name)); }
    static QString s(db::DataSet* ds, const char* name) { return f(ds, name)->AsString(); }
    QVariant scalar(const QString& sql) { return dm->Conn->scalar(sql); }

    std::unique_ptr<TDm> dm;
};
