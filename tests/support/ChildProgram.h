#pragma once
// A second run of the test executable as a program of its own, for tests about what happens
// when the program is killed: the child runs one DISABLED_ test (given its settings in the
// environment) and reports through lines on its standard output.

#include <QList>
#include <QProcess>
#include <QString>
#include <optional>

namespace testing_support {

// The processes started by pid that still run, found by their parent.
QList<qint64> ChildrenOf(qint64 pid);

class ChildProgram {
public:
    // Starts this executable running only test ("Suite.DISABLED_Name"), with env added.
    ChildProgram(const QString& test, const QProcessEnvironment& env);
    ~ChildProgram();   // kills it when it still runs

    qint64 pid() const { return p_.processId(); }
    // Waits up to ms for a line of its output that starts with prefix; the rest of that line.
    std::optional<QString> waitForLine(const QString& prefix, int ms);
    // Kills it (SIGKILL, as a user's "kill -9" or a crash) and waits for its end.
    void kill();
    // The processes it started that still run.
    QList<qint64> children() const { return ChildrenOf(pid()); }

private:
    QProcess p_;
    QByteArray pending_;
};

// Prints a line for the parent of a ChildProgram and flushes it.
void TellParent(const QString& line);

// Whether a process has ended (a zombie waiting for its parent counts as ended).
bool ProcessGone(qint64 pid);

} // namespace testing_support
