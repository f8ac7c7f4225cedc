#pragma once
// Backup and restore of the agency database: a consistent copy of the file database (".zdc")
// or a custom-format archive of the server database (".zdq"), and the restore of either, with
// the file checked and brought up to this version apart from the data first, the data of
// before kept ("load_pre_bk") and left in place when anything fails. Both run under a
// progress window; they may be cancelled until the data start being replaced.

#include <QString>
#include <functional>
#include <memory>

class TDm;
class TTools;
namespace db { class Connection; }

// What a backup works on.
struct TBackUpTarget {
    db::Connection* conn = nullptr;   // the main connection
    QString programFolder;            // ends with "/": where the data of before a restore are kept
    QString serverConnInfo;           // the server database's libpq connection string
    int lockWaitMs = 10000;           // how long a restore waits for other users' locks
    // Before the data are replaced: saves or drops what is being typed and closes the
    // datasets; false stops the restore with nothing changed.
    std::function<bool()> releaseDataSets;
    // After a restore, whatever happened: reopens the datasets.
    std::function<void()> reopenDataSets;
};

class TBackUp {
public:
    explicit TBackUp(TBackUpTarget target);
    virtual ~TBackUp();
    TBackUp(const TBackUp&) = delete;
    TBackUp& operator=(const TBackUp&) = delete;

    // Writes the whole database into fileName through a temporary file and a rename, so an
    // existing file is replaced whole. Shows the outcome; true on success.
    virtual bool BackUp(const QString& fileName) = 0;
    // After the user's consent: checks the file (readable, the program's tables, a schema
    // this version can use), keeps the data of before, replaces the data, and reopens the
    // datasets. A failure leaves the data of before in place. Shows the outcome; true when
    // the data were replaced.
    virtual bool Restore(const QString& fileName) = 0;
    // The backup file's extension, with its dot.
    virtual QString Extension() const = 0;
    // Where a restore keeps the data of before.
    virtual QString PreviousDataFile() const = 0;

    db::Connection& Conn() const { return *t_.conn; }

protected:
    // The question before a restore; true on Yes.
    static bool ConfirmRestore();
    // Runs releaseDataSets; false when the restore must stop.
    bool Release() const;
    // Brings an older schema of restored data up to this version; false when it could not.
    bool UpgradeIfOld(db::Connection& conn, bool isAccess) const;

    TBackUpTarget t_;
};

// The file database: a page copy through SQLite's online backup.
class TBackUpAccess final : public TBackUp {
public:
    using TBackUp::TBackUp;
    bool BackUp(const QString& fileName) override;
    bool Restore(const QString& fileName) override;
    QString Extension() const override { return QStringLiteral(".zdc"); }
    QString PreviousDataFile() const override;
};

// The server database: pg_dump's custom format, loaded with pg_restore and psql into a
// schema beside the program's, which then takes its place in one transaction.
class TBackUpSQL final : public TBackUp {
public:
    using TBackUp::TBackUp;
    bool BackUp(const QString& fileName) override;
    bool Restore(const QString& fileName) override;
    QString Extension() const override { return QStringLiteral(".zdq"); }
    QString PreviousDataFile() const override;
};

std::unique_ptr<TBackUp> CreateBackUp(bool isAccess, TBackUpTarget target);
// The program's data module: its Conn, the program folder, srvpath.txt's database.
// askPending saves or drops what is being typed (false: stop).
TBackUpTarget DataModuleTarget(TDm& dm, bool isAccess, std::function<bool()> askPending);

// Removes what an interrupted backup or restore left: temporary files beside their targets
// and, on the server database, the schema a restore was loading. Run at start and before
// each backup and restore.
void RemoveBackUpLeftovers(db::Connection& conn, const QString& programFolder);

// The file dialogs' filter.
QString BackUpFileFilter(bool isAccess);
// Today's Persian date and the time without separators: "14020509_1407".
QString DefaultBackUpName(const TTools& tools);
// The name with ext appended unless it already ends with exactly ext (case counts).
QString WithBackUpExtension(const QString& fileName, const QString& ext);

// ActSave: commits open transactions, asks for the file under the default name, applies the
// extension rule and the existing-file question, and backs up. True when a backup was written.
bool SaveBackUpAs(TBackUp& backup, bool isAccess, const TTools& tools);
// ActLoad: commits open transactions, asks for the file and restores it. True when restored.
bool LoadBackUpFrom(TBackUp& backup, bool isAccess);
