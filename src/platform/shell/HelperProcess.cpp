#include "platform/shell/HelperProcess.h"

#include <QElapsedTimer>
#include <QProcess>
#include <csignal>
#include <sys/prctl.h>
#include <unistd.h>

namespace shell {

namespace {
constexpr int kPollEveryMs = 30;

// Waits for the end of a helper that is being killed.
void killAndWait(QProcess& p)
{
    p.kill();
    p.waitForFinished(-1);
}
} // namespace

HelperResult RunHelper(const QString& program, const QStringList& args, const QProcessEnvironment& env,
                       const std::function<void()>& poll, int timeoutMs)
{
    HelperResult r;
    QProcess p;
    p.setProcessEnvironment(env.isEmpty() ? QProcessEnvironment::systemEnvironment() : env);
    const pid_t parent = ::getpid();
    p.setChildProcessModifier([parent] {
        // runs in the child before the program starts: killed when the program's thread ends;
        // a program that ended before this line leaves the child to init, so it stops here
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        if (::getppid() != parent)
            ::_exit(127);
    });
    p.start(program, args);
    if (!p.waitForStarted(-1)) {
        r.error = p.errorString();
        return r;
    }
    r.started = true;
    p.closeWriteChannel();

    QElapsedTimer clock;
    clock.start();
    try {
        if (poll)
            poll();
        while (p.state() != QProcess::NotRunning && !p.waitForFinished(kPollEveryMs)) {
            if (p.state() == QProcess::NotRunning)
                break;
            if (timeoutMs >= 0 && clock.elapsed() > timeoutMs) {
                r.timedOut = true;
                killAndWait(p);
                break;
            }
            if (poll)
                poll();
        }
    } catch (...) {
        killAndWait(p);
        throw;
    }
    r.exitedNormally = !r.timedOut && p.exitStatus() == QProcess::NormalExit;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

} // namespace shell
