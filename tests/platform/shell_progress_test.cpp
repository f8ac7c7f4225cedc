#include "platform/shell/Progress.h"
#include "support/ScriptedPrompter.h"

#include <gtest/gtest.h>

using shell::Cancelled;
using shell::Progress;

namespace {

// Steps through n units of work; returns how many were done before the work stopped.
int runWork(Progress& p, int n)
{
    int done = 0;
    try {
        for (; done < n; ++done)
            p.step(done);
    } catch (const Cancelled&) {
    }
    return done;
}

} // namespace

TEST(Progress, CancelStopsOnlyWorkThatMayStop)
{
    struct Case {
        bool cancellable;
        bool userCancels;
        int expectDone;
    } cases[] = {{true, false, 1000}, {true, true, 0}, {false, true, 1000}, {false, false, 1000}};
    for (const Case& c : cases) {
        testing_support::ScriptedPrompter prompter;
        prompter.cancelWork = c.userCancels;
        {
            Progress p(QStringLiteral("چاپ"), c.cancellable);
            p.setTotal(1000);
            EXPECT_TRUE(Progress::running());
            EXPECT_EQ(runWork(p, 1000), c.expectDone) << c.cancellable << c.userCancels;
            EXPECT_EQ(p.cancelled(), c.expectDone == 0);
            EXPECT_EQ(p.keepGoing(1000), c.expectDone != 0);
        }
        EXPECT_FALSE(Progress::running());
        EXPECT_EQ(prompter.progressTitles, QStringList{QStringLiteral("چاپ")});
        EXPECT_GE(prompter.progressUpdates, 1);
    }
}

TEST(Progress, PointOfNoReturnAndNestedWork)
{
    testing_support::ScriptedPrompter prompter;
    prompter.cancelWork = true;
    {
        // past the point of no return the work goes on, cancel or not
        Progress restore(QStringLiteral("بازيابي"), true);
        restore.setCancellable(false);
        EXPECT_EQ(runWork(restore, 100), 100);
    }
    {
        // a work inside another shows no second window; its cancel ends the outer one too
        Progress outer(QStringLiteral("چاپ"), true);
        Progress inner(QStringLiteral("خواندن"), true);
        EXPECT_EQ(runWork(inner, 100), 0);
        EXPECT_TRUE(outer.cancelled());
        EXPECT_THROW(outer.step(1), Cancelled);
    }
    EXPECT_EQ(prompter.progressTitles, (QStringList{QStringLiteral("بازيابي"), QStringLiteral("چاپ")}));
}
