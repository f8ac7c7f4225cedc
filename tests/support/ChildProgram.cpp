#include "ChildProgram.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <cstdio>

namespace testing_support {

namespace {

// The fields of /proc/<pid>/stat after the command name: state, parent, ...
QList<QByteArray> statFields(const QString& pid)
{
    QFile f(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    const QByteArray line = f.readAll();
    return line.mid(line.lastIndexOf(')') + 2).split(' ');
}

} // namespace

ChildProgram::ChildProgram(const QString& test, const QProcessEnvironment& env)
{
    QProcessEnvironment all = QProcessEnvironment::systemEnvironment();
    for (const QString& key : env.keys())
        all.insert(key, env.value(key));
    p_.setProcessEnvironment(all);
    p_.setProcessChannelMode(QProcess::SeparateChannels);
    p_.start(QCoreApplication::applicationFilePath(),
             {QStringLiteral("--gtest_filter=") + test, QStringLiteral("--gtest_also_run_disabled_tests")});
    p_.waitForStarted();
}

ChildProgram::~ChildProgram()
{
    if (p_.state() != QProcess::NotRunning)
        kill();
}

std::optional<QString> ChildProgram::waitForLine(const QString& prefix, int ms)
{
    QElapsedTimer clock;
    clock.start();
    for (;;) {
        qsizetype nl;
        while ((nl = pending_.indexOf('\n')) >= 0) {
            const QString line = QString::fromUtf8(pending_.left(nl));
            pending_.remove(0, nl + 1);
            if (line.startsWith(prefix))
                return line.mid(prefix.size());
        }
        const qint64 left = ms - clock.elapsed();
        if (left <= 0 || p_.state() == QProcess::NotRunning)
            return std::nullopt;
        p_.waitForReadyRead(int(std::min<qint64>(left, 100)));
        pending_ += p_.readAllStandardOutput();
    }
}

void ChildProgram::kill()
{
    p_.kill();
    p_.waitForFinished(-1);
}

QList<qint64> ChildrenOf(qint64 pid)
{
    QList<qint64> out;
    const QByteArray parent = QByteArray::number(pid);
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool number = false;
        const qint64 id = entry.toLongLong(&number);
        if (!number)
            continue;
        const QList<QByteArray> f = statFields(entry);
        if (f.size() > 1 && f.at(1) == parent && f.at(0) != "Z")
            out << id;
    }
    return out;
}

void TellParent(const QString& line)
{
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

bool ProcessGone(qint64 pid)
{
    const QList<QByteArray> f = statFields(QString::number(pid));
    return f.isEmpty() || f.at(0) == "Z" || f.at(0) == "X";
}

} // namespace testing_support
