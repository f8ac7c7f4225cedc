#include "platform/shell/Progress.h"

#include "platform/shell/Prompter.h"

namespace shell {

namespace {
// The innermost work under way on the user-interface thread; a nested work reports
// through the window of the outermost one.
thread_local Progress* innermost = nullptr;
constexpr qint64 kPollEveryMs = 40;
} // namespace

Progress::Progress(const QString& title, bool cancellable)
    : title_(title), cancellable_(cancellable), outer_(innermost)
{
    started_.start();
    if (!outer_ && hasPrompter())
        sink_ = prompter().beginProgress(ProgressRequest{title, cancellable});
    innermost = this;
}

Progress::~Progress()
{
    innermost = outer_;
}

void Progress::setCancellable(bool on)
{
    cancellable_ = on;
    if (!on)
        cancelled_ = false;
    nextPoll_ = 0;   // the cancel button comes or goes at once
}

bool Progress::running() { return innermost != nullptr; }

void Progress::poll()
{
    if (!cancelled_) {
        nextPoll_ = started_.elapsed() + kPollEveryMs;
        Progress* top = this;
        while (top->outer_)
            top = top->outer_;
        const bool goOn =
            !top->sink_ || top->sink_->update(done_, total_, cancellable_, top->started_.elapsed());
        if (!goOn && cancellable_) {
            cancelled_ = true;
            for (Progress* p = outer_; p; p = p->outer_)
                if (p->cancellable_)
                    p->cancelled_ = true;
        }
    }
    if (cancelled_)
        throw Cancelled();
}

bool Progress::keepGoing(qint64 done)
{
    try {
        step(done);
    } catch (const Cancelled&) {
        return false;
    }
    return true;
}

} // namespace shell
