#pragma once
// Long work on the user-interface thread. The prompter is asked for a progress window when
// the work starts; the real one appears only after half a second, shows the work's name and,
// where cancelling leaves nothing half-done, a cancel button, and keeps the program's windows
// painting while the work runs.
//
//     shell::Progress progress(QStringLiteral("چاپ ليست هزينه ها"), true);
//     progress.setTotal(rows);
//     for (int r = 0; r < rows; ++r) {
//         progress.step(r);          // throws shell::Cancelled once the user cancelled
//         ...
//     }

#include <QElapsedTimer>
#include <QString>
#include <exception>
#include <memory>

namespace shell {

// Thrown by Progress::step when the user cancelled a cancellable work.
class Cancelled : public std::exception {
public:
    const char* what() const noexcept override { return "Cancelled by the user"; }
};

struct ProgressRequest {
    QString title;            // the work's name, shown to the user
    bool cancellable = false;
};

// The window (or a test's script) behind one long work.
class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    // done of total (total 0: unknown); false once the user asked to cancel. Called at
    // most every few tens of milliseconds, with the time since the work started.
    virtual bool update(qint64 done, qint64 total, bool cancellable, qint64 elapsedMs) = 0;
};

class Progress {
public:
    explicit Progress(const QString& title, bool cancellable = false);
    ~Progress();
    Progress(const Progress&) = delete;
    Progress& operator=(const Progress&) = delete;

    void setTotal(qint64 total) { total_ = total; }
    // Off once the work passes its point of no return (a restore that started replacing).
    void setCancellable(bool on);
    // Reports the work done so far; cheap enough to call for every row. Throws Cancelled
    // when the work is cancellable and the user cancelled it.
    void step(qint64 done)
    {
        done_ = done;
        if (cancelled_ || started_.elapsed() >= nextPoll_)
            poll();
    }
    // Like step, but never throws: true while the work may go on.
    bool keepGoing(qint64 done);
    bool cancelled() const { return cancelled_; }

    // Whether long work is under way on this thread: work started from a timer (reading
    // rows in idle time, a background check) waits until it has ended.
    static bool running();

private:
    void poll();

    QString title_;
    bool cancellable_;
    qint64 total_ = 0;
    qint64 done_ = 0;
    bool cancelled_ = false;
    QElapsedTimer started_;
    qint64 nextPoll_ = 0;
    std::unique_ptr<ProgressSink> sink_;
    Progress* outer_ = nullptr;
};

} // namespace shell
