#include "ui/GuardedApplication.h"

#include "support/ScriptedPrompter.h"

#include <QCoreApplication>
#include <QEvent>

#include <gtest/gtest.h>

#include <stdexcept>

using testing_support::ScriptedPrompter;

namespace {

class Thrower : public QObject {
public:
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User)
            throw std::runtime_error("کد ملی درست نیست");
        if (e->type() == QEvent::Type(QEvent::User + 1))
            throw 42;
        return QObject::event(e);
    }
};

} // namespace

TEST(GuardedApplication, ShowsTheExceptionAndGoesOn)
{
    ScriptedPrompter p;
    Thrower t;
    QEvent first(QEvent::User);
    EXPECT_FALSE(GuardedApplication::guarded([&] { return QCoreApplication::sendEvent(&t, &first); }));
    QEvent second(QEvent::Type(QEvent::User + 1));
    EXPECT_FALSE(GuardedApplication::guarded([&] { return QCoreApplication::sendEvent(&t, &second); }));
    EXPECT_TRUE(GuardedApplication::guarded([] { return true; }));
    ASSERT_EQ(p.calls.size(), 2);
    EXPECT_EQ(p.calls[0].what, QLatin1String("plainMessage"));
    EXPECT_EQ(p.calls[0].text, QStringLiteral("کد ملی درست نیست"));
    EXPECT_EQ(p.calls[1].text, QStringLiteral("خطايي در روند برنامه پيش آمد"));
}
