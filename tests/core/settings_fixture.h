#pragma once
// A temporary program folder for settings tests ($DOVIN_HOME points at it).

#include <QByteArray>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

class SettingsFolderTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        saved = qgetenv("DOVIN_HOME");
        hadSaved = qEnvironmentVariableIsSet("DOVIN_HOME");
        qputenv("DOVIN_HOME", dir.path().toUtf8());
    }
    void TearDown() override
    {
        if (hadSaved)
            qputenv("DOVIN_HOME", saved);
        else
            qunsetenv("DOVIN_HOME");
    }

    QString path(const QString& name) const { return dir.path() + QLatin1Char('/') + name; }

    void write(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    QByteArray read(const QString& name) const
    {
        QFile f(path(name));
        f.open(QIODevice::ReadOnly);
        return f.readAll();
    }

    QTemporaryDir dir;

private:
    QByteArray saved;
    bool hadSaved = false;
};
