#pragma once
// The schema upgrade to version 9.45: new tables and columns, the profit view, ten-character
// dates and the geography tables. One flavour per engine; both run the same steps.

#include <QString>
#include <QStringList>
#include <memory>

namespace db { class Connection; }
namespace upgrade_schema { struct DateColumn; struct LookupIndex; }

// 9.45 as the upgrade compares versions: version × 10000.
constexpr qint64 SchemaVersionKey = 94500;
constexpr double SchemaVersion = 9.45;

// A stored version as an integer: version × 10000, rounded to the nearest integer.
qint64 VersionKey(double version);

class TDBUpdate {
public:
    virtual ~TDBUpdate();

    // Brings the schema up from old (version × 10000). Creates only what is missing and
    // reports real errors; true when every object of 9.45 exists afterwards.
    virtual bool Update(qint64 old);

    // Whether every table, column, view and index of 9.45 exists and the dates are wide.
    bool IsComplete();
    // Adds the indexes the statements read through where they are missing (a database
    // upgraded before they were part of 9.45); errors are left for the next upgrade.
    void CreateLookupIndexes(QStringList& errors);

protected:
    TDBUpdate(db::Connection& conn, QString programFolder);

    // Whether a date column is narrower than ten characters.
    virtual bool IsNarrow(const QString& table, const QString& column) = 0;
    virtual QString WidenSql(const QString& table, const QString& column) const = 0;
    // Whether an index leads with the column.
    virtual bool HasIndexOn(const QString& table, const QString& column) = 0;
    // Shown after a complete upgrade.
    virtual void FinalMessage() {}

    db::Connection& conn_;

private:
    void Run(const QString& sql, QStringList& errors);
    void CreateObjects(QStringList& errors);
    void WidenDateColumn(const upgrade_schema::DateColumn& date);
    bool HasLookupIndex(const upgrade_schema::LookupIndex& index);
    bool GeoTablesFilled();
    void ImportGeoTables();

    QString programFolder_;
    bool upgrading_ = false;   // the whole upgrade's progress window is up
};

// The file database (SQLite): dates are TEXT without a width; no final message.
class TDBUpdateAccess final : public TDBUpdate {
public:
    TDBUpdateAccess(db::Connection& conn, QString programFolder);

protected:
    bool IsNarrow(const QString& table, const QString& column) override;
    QString WidenSql(const QString& table, const QString& column) const override;
    bool HasIndexOn(const QString& table, const QString& column) override;
};

// The server database (PostgreSQL): varchar date columns; asks the user to log in again.
class TDBUpdateSQL final : public TDBUpdate {
public:
    TDBUpdateSQL(db::Connection& conn, QString programFolder);

protected:
    bool IsNarrow(const QString& table, const QString& column) override;
    QString WidenSql(const QString& table, const QString& column) const override;
    bool HasIndexOn(const QString& table, const QString& column) override;
    void FinalMessage() override;
};

std::unique_ptr<TDBUpdate> MakeDBUpdate(db::Connection& conn, bool isAccess, const QString& programFolder);

// Action2: upgrades from the version stored in the program's ini file, whatever it is, and
// stamps 9.45 there when the upgrade is complete. Reports its own errors; true when stamped.
bool RunSchemaUpgrade(db::Connection& conn, bool isAccess);

// CheckDbVersionAndUpgrade: RunSchemaUpgrade when the stored version is below 9.45; a
// current one only gets the lookup indexes it lacks.
// True when the upgrade ran.
bool UpgradeSchemaIfOld(db::Connection& conn, bool isAccess);
