#pragma once
// A data module over a fresh, upgraded agency database and a users database, in a
// temporary program folder, with today fixed at 1403/01/06 10:30.

#include "ScriptedPrompter.h"
#include "TestDb.h"

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

class RecordsTest : public testing_support::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        hadHome = qEnvironmentVariableIsSet("DOVIN_HOME");
        savedHome = qgetenv("DOVIN_HOME");
        qputenv("DOVIN_HOME", testDb().dir().toUtf8());
        savedTools = Tools;
        Tools = new TTools(isFile(), [] { return QDateTime(QDate(2024, 3, 25), QTime(10, 30)); });

        conn().setCatalog(&SchemaCatalog());
        CreateBaseSchema(conn(), TSchemaDb::Agency);
        const QString data = QStringLiteral(DOVIN_SOURCE_DIR "/resources/data/");
        ttms::BuildTemplate(testDb().dir() + QStringLiteral("/TTMS_empty.mdb"), data + QStringLiteral("zone.csv"),
                            data + QStringLiteral("edareKol.csv"));
        MakeDBUpdate(conn(), isFile(), testDb().dir() + QLatin1Char('/'))->Update(0);
        auto users = db::Connection::openSqlite(testDb().dir() + QStringLiteral("/users.db"), true);
        CreateBaseSchema(*users, TSchemaDb::Users);

        LoadFeatureCaptions();
        dm = std::make_unique<TDm>();
        dm->Connect(testDb().open(), std::move(users));
        UserCanChange = true;
        LastChequeValues = TLastChequeValues();
        prompter.calls.clear();
    }

    void TearDown() override
    {
        dm.reset();
        delete Tools;
        Tools = savedTools;
        if (hadHome)
            qputenv("DOVIN_HOME", savedHome);
        else
            qunsetenv("DOVIN_HOME");
        EngineTest::TearDown();
    }

    static db::Field* f(db::DataSet* ds, const char* name) { return ds->FieldByName(QString::fromLatin1(name)); }
    static QString s(db::DataSet* ds, const char* name) { return f(ds, name)->AsString(); }
    QVariant scalar(const QString& sql) { return dm->Conn->scalar(sql); }

    testing_support::ScriptedPrompter prompter;
    std::unique_ptr<TDm> dm;
    TTools* savedTools = nullptr;
    QByteArray savedHome;
    bool hadHome = false;
};
