#pragma once
// Helper programs started by the program (the server database's dump and restore tools).
// They end with it: each is killed by the system when the program ends, also when the
// program itself is killed. While one runs, a poll function is called at once and then every
// few tens of milliseconds: there a progress window keeps the program painting and may stop
// the work.

#include <QByteArray>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <functional>

namespace shell {

struct HelperResult {
    bool started = false;    // false: the program could not be started (error says why)
    bool timedOut = false;   // killed after the time limit
    bool exitedNormally = false;
    int exitCode = -1;
    QString error;
    QByteArray out;
    QByteArray err;

    bool ok() const { return started && !timedOut && exitedNormally && exitCode == 0; }
};

// Runs program with args in env (its standard input closed) and waits for it. poll may
// throw: the helper is then killed and waited for, and the exception goes on. timeoutMs -1:
// no limit.
HelperResult RunHelper(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                       const std::function<void()>& poll = {}, int timeoutMs = -1);

} // namespace shell
