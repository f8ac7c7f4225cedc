#include "UpgradedDbTest.h"

#include "core/AppGlobals.h"
#include "core/FeatureCaptions.h"
#include "core/Schema.h"
#include "core/TDBUpdate.h"
#include "core/TTMSTemplate.h"
#include "ui/TTools.h"

#include <QDateTime>

std::unique_ptr<db::Connection> UpgradedDbTest::prepareProgramFolder()
{
    hadHome_ = qEnvironmentVariableIsSet("DOVIN_HOME");
    savedHome_ = qgetenv("DOVIN_HOME");
    qputenv("DOVIN_HOME", testDb().dir().toUtf8());
    savedTools_ = Tools;
    Tools = new TTools(isFile(), [] { return QDateTime(QDate(2024, 3, 25), QTime(10, 30)); });
    IsAccess = isFile();
    TRUEPREFIX = isFile() ? QStringLiteral("-") : QString();

    conn().setCatalog(&SchemaCatalog());
    CreateBaseSchema(conn(), TSchemaDb::Agency);
    const QString data = QStringLiteral(DOVIN_SOURCE_DIR "/resources/data/");
    ttms::BuildTemplate(testDb().dir() + QStringLiteral("/TTMS_empty.mdb"), data + QStringLiteral("zone.csv"),
                        data + QStringLiteral("edareKol.csv"));
    MakeDBUpdate(conn(), isFile(), testDb().dir() + QLatin1Char('/'))->Update(0);
    auto users = db::Connection::openSqlite(testDb().dir() + QStringLiteral("/users.db"), true);
    CreateBaseSchema(*users, TSchemaDb::Users);
    LoadFeatureCaptions();
    UserCanChange = true;
    return users;
}

void UpgradedDbTest::restoreProgramFolder()
{
    delete Tools;
    Tools = savedTools_;
    if (hadHome_)
        qputenv("DOVIN_HOME", savedHome_);
    else
        qunsetenv("DOVIN_HOME");
}
