#pragma once
// A temporary program folder ($DOVIN_HOME) for start-up and data-module tests.

#include "core/Schema.h"
#include "core/TTMSTemplate.h"
#include "platform/db/Connection.h"

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>

class ProgramFolderScope {
public:
    ProgramFolderScope()
    {
        hadSaved_ = qEnvironmentVariableIsSet("DOVIN_HOME");
        saved_ = qgetenv("DOVIN_HOME");
        qputenv("DOVIN_HOME", dir_.path().toUtf8());
    }
    ~ProgramFolderScope()
    {
        if (hadSaved_)
            qputenv("DOVIN_HOME", saved_);
        else
            qunsetenv("DOVIN_HOME");
    }
    QString path(const QString& name) const { return dir_.path() + QLatin1Char('/') + name; }
    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        if (f.open(QIODevice::WriteOnly))
            f.write(bytes);
    }
    // The empty databases the build puts into the program folder.
    void makeDatabases() const
    {
        auto agency = db::Connection::openSqlite(path(QStringLiteral("mdbDovin.mdb")), true);
        CreateBaseSchema(*agency, TSchemaDb::Agency);
        auto users = db::Connection::openSqlite(path(QStringLiteral("dbusers.mdb")), true);
        CreateBaseSchema(*users, TSchemaDb::Users);
    }

    // The tax template shipped beside the program, with the geography tables.
    void makeTemplate() const
    {
        const QString data = QStringLiteral(DOVIN_SOURCE_DIR "/resources/data/");
        ttms::BuildTemplate(path(QStringLiteral("TTMS_empty.mdb")), data + QStringLiteral("zone.csv"),
                      data + QStringLiteral("edareKol.csv"));
    }

private:
    QTemporaryDir dir_;
    QByteArray saved_;
    bool hadSaved_ = false;
};
