#pragma once
// A data module on a fresh database of each engine, with the program's globals set,
// a temporary program folder and the scripted prompter; helpers to seed rows.

#include "ScriptedPrompter.h"
#include "TestDb.h"

#include "core/AppGlobals.h"
#include "core/Schema.h"
#include "core/TDm.h"
#include "platform/db/Connection.h"
#include "platform/db/DataSet.h"
#include "platform/db/Sql.h"
#include "ui/TTools.h"

#include <QDateTime>
#include <QStringList>
#include <QTemporaryDir>

class RegistryDbTest : public testing_support::EngineTest {
protected:
    void SetUp() override
    {
        EngineTest::SetUp();
        if (IsSkipped())
            return;
        savedHome_ = qgetenv("DOVIN_HOME");
        qputenv("DOVIN_HOME", home_.path().toUtf8());
        IsAccess = isFile();
        TRUEPREFIX = IsAccess ? QStringLiteral("-") : QString();
        UserCanChange = true;
        tools_ = std::make_unique<TTools>(true, [] { return QDateTime(QDate(2024, 7, 1), QTime(10, 0)); });
        savedTools_ = Tools;
        Tools = tools_.get();
        conn().setCatalog(&SchemaCatalog());
        CreateBaseSchema(conn(), TSchemaDb::Agency);
        auto users = db::Connection::openSqlite(testDb().dir() + QStringLiteral("/users.db"), true);
        CreateBaseSchema(*users, TSchemaDb::Users);
        dm_ = std::make_unique<TDm>();
        savedDm_ = Dm;
        Dm = dm_.get();
        dm_->Connect(testDb().open(), std::move(users));
        // tables of the schema upgrade (province, city) are not needed here
        prompter.calls.clear();
    }
    void TearDown() override
    {
        if (dm_) {
            Dm = savedDm_;
            Tools = savedTools_;
            dm_.reset();
            qputenv("DOVIN_HOME", savedHome_);
        }
        EngineTest::TearDown();
    }

    QString t() const { return TRUEPREFIX + QStringLiteral("1"); }
    QString b(bool v) const { return v ? t() : QStringLiteral("0"); }

    // Inserts a row: columns and SQL values.
    qint64 insert(const QString& table, const QString& key, const QStringList& cols, const QStringList& values)
    {
        conn().exec(QStringLiteral("insert into %1 (%2) values (%3)").arg(table, cols.join(QLatin1Char(',')),
                                                                         values.join(QLatin1Char(','))));
        return conn().scalar(QStringLiteral("select max(%1) from %2").arg(key, table)).toLongLong();
    }
    qint64 region(const QString& name)
    {
        return insert(QStringLiteral("t_manategh"), QStringLiteral("MnID"), {QStringLiteral("Esm")}, {db::Q(name)});
    }

    // Keys of the dataset's rows in its order.
    static QList<qint64> keys(db::DataSet* ds, const char* key)
    {
        QList<qint64> out;
        const int k = ds->FieldByName(QString::fromLatin1(key))->Index();
        for (int i = 0; i < ds->RecordCount(); ++i)
            out << ds->ValueAt(i, k).toLongLong();
        return out;
    }

    testing_support::ScriptedPrompter prompter;
    std::unique_ptr<TDm> dm_;

private:
    QTemporaryDir home_;
    QByteArray savedHome_;
    std::unique_ptr<TTools> tools_;
    TTools* savedTools_ = nullptr;
    TDm* savedDm_ = nullptr;
};
