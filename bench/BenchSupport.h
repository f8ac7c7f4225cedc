#pragma once
// What the benchmarks share: timers, a quiet prompter, raw sqlite3 stepping and binding, and a
// program folder with its two databases.

#include "platform/db/Connection.h"
#include "platform/shell/Prompter.h"

#include <QApplication>
#include <QByteArray>
#include <QElapsedTimer>
#include <QString>
#include <QTemporaryDir>
#include <algorithm>
#include <memory>

struct pg_conn;
struct sqlite3;
struct sqlite3_stmt;
class QAbstractScrollArea;
class QWidget;
class TDm;

namespace bench {

// Milliseconds one call of f takes.
template <typename F>
double timed(F f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e6;
}

// Seconds one call of f takes.
template <typename F>
double seconds(F f)
{
    QElapsedTimer t;
    t.start();
    f();
    return double(t.nsecsElapsed()) / 1e9;
}

// The best of `times` calls of f, in milliseconds.
template <typename F>
double best(int times, F f)
{
    double b = 1e18;
    for (int i = 0; i < times; ++i)
        b = std::min(b, timed(f));
    return b;
}

// Prints every message to stderr and answers OK; asks, opens and prints nothing.
class QuietPrompter : public shell::Prompter {
public:
    int messageDlg(const shell::MessageRequest& r) override;
    std::optional<QString> inputBox(const shell::InputRequest&) override;
    int plainMessage(const shell::PlainMessageRequest& r) override;
    QString openFile(const shell::FileRequest&) override;
    QString saveFile(const shell::FileRequest&) override;
    QString chooseDirectory(const shell::FileRequest&) override;
    std::optional<QFont> chooseFont(const QFont&) override;
    std::optional<QColor> chooseColor(const QColor&) override;
    bool printSetup(QPrinter&) override;
    bool preview(report::PreparedReport&, const QString&) override;
    bool shellOpen(const QString&) override;

protected:
    static int say(const QString& text);
};

// Binds a text parameter (1-based), copied.
void bindText(sqlite3_stmt* st, int k, const QByteArray& utf8);
void bindText(sqlite3_stmt* st, int k, const QString& text);

// Opens a database file for writing and begins a transaction; endFill commits and closes it.
sqlite3* beginFill(const QString& path);
void endFill(sqlite3* db);

// Steps a statement (N'' prefixes dropped) touching every cell; the rows stepped.
long stepAll(sqlite3* db, const QString& sql);
// The same on the database file opened read-only for it.
long rawSteps(const QString& path, const QString& sql);

// Rows written to a server table with COPY, sent in batches of about a megabyte; a cell is
// added as text or as null, a row ends with endRow, and finish (or the destructor) ends the copy.
class PgCopy {
public:
    PgCopy(pg_conn* conn, const QString& table, const QStringList& columns);
    ~PgCopy();
    void add(const QByteArray& text);
    void addNull();
    void endRow();
    void finish();

private:
    void cell();
    pg_conn* conn_;
    QByteArray batch_;
    bool first_ = true;
    bool done_ = false;
};

// Hides and shows a window again (what showing runs) and paints its grid.
void reshow(QWidget* window, QAbstractScrollArea* grid);

// The rows of a bench's main tables: `normal`, or 1,000,000 when the bench was started with
// --million.
int rowsFor(int normal);

// The application object, offscreen unless QT_QPA_PLATFORM names a platform, with `prompter`
// installed as the program's prompter.
class Application : public QApplication {
public:
    Application(int& argc, char** argv, shell::Prompter& prompter);
};

// A program folder in a temporary directory: DOVIN_HOME points at it and the program's globals
// are those of the file database.
class ProgramFolder {
public:
    ProgramFolder();
    QString path() const; // ends with '/'
    QString file(const QString& name) const;
    QString agencyFile() const;
    QString usersFile() const;
    // The empty tax-export template built from the shipped geography files, unless there.
    void buildTaxTemplate() const;
    // Both databases as the program makes them: base schemas, and the agency one brought up to
    // date (with the tax template it needs); the agency one is returned open.
    std::unique_ptr<db::Connection> createDatabases() const;
    void connect(TDm& dm) const;

private:
    QTemporaryDir dir_;
};

// Properties of every kind, with owners, phones, amounts, dates and amenities, into the file.
void fillProperties(const QString& path, int rows);

// A table's columns ("a, b, c") copied from the file database to the server with COPY.
void copyToServer(sqlite3* from, pg_conn* to, const char* table, const char* columns);

// A schema of its own, made afresh on the DOVIN_TEST_PG server as the program makes its
// database; a connection in it, and its connection info in `info`.
std::unique_ptr<db::Connection> freshServerSchema(const QString& schema, const QString& folder, QString* info);
void dropServerSchema(const QString& schema);

} // namespace bench
