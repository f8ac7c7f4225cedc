#pragma once
// A home folder of the test's own, so that the user's standard folders (documents,
// pictures) are the test's; the real ones are put back when it goes.

#include <QByteArray>
#include <QTemporaryDir>

namespace testing_support {

class ScopedHome {
public:
    ScopedHome();
    ~ScopedHome();
    ScopedHome(const ScopedHome&) = delete;
    ScopedHome& operator=(const ScopedHome&) = delete;

    QString path() const { return dir_.path(); }
    QString filePath(const QString& name) const { return dir_.filePath(name); }
    // Makes the folder name in it ("Documents", "Pictures"); its path.
    QString make(const QString& name) const;

private:
    QTemporaryDir dir_;
    QByteArray home_, config_;
};

} // namespace testing_support
