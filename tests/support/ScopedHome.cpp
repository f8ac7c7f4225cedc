#include "ScopedHome.h"

#include <QDir>

namespace testing_support {

ScopedHome::ScopedHome() : home_(qgetenv("HOME")), config_(qgetenv("XDG_CONFIG_HOME"))
{
    qputenv("HOME", dir_.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", dir_.filePath(QStringLiteral(".config")).toUtf8());
}

ScopedHome::~ScopedHome()
{
    qputenv("HOME", home_);
    if (config_.isEmpty())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", config_);
}

QString ScopedHome::make(const QString& name) const
{
    QDir().mkpath(dir_.filePath(name));
    return dir_.filePath(name);
}

} // namespace testing_support
