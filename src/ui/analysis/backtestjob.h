#pragma once

#include "analysis/backtest.h"

#include <QObject>

#include <optional>
#include <thread>

namespace omvex::ui {

// One backtest at a time on a thread of its own, the first of the run's workers. It works on a copy of the history, reports
// progress and the result through queued calls on the thread that owns the job, and drops
// whatever a run it has given up on still sends.
class BacktestJob final : public QObject {
    Q_OBJECT

public:
    struct Request {
        CellGrid history; // a copy; the job owns it
        Settings settings;
        std::uint64_t seed = 0;
        std::optional<int> last;
        int workers = 1; // threads the run is shared among
    };

    explicit BacktestJob(QObject *parent = nullptr);
    ~BacktestJob() override;

    // Starts a run; a run still going is cancelled first.
    void start(Request request);
    // Gives up the run: cancelled() at once, the thread ends within one prediction pass, and
    // nothing more of it arrives.
    void cancel();
    // Cancels and waits until the thread has ended.
    void stop();
    bool isRunning() const { return m_isRunning; }
    // A thread not waited for yet: running, or given up and still ending. False after stop().
    bool hasThread() const { return m_thread.joinable(); }

signals:
    void progressed(int done, int total);
    void finished(const omvex::analysis::BacktestResult &result);
    void cancelled();

private:
    void deliver(unsigned run, const analysis::BacktestResult &result);

    std::jthread m_thread;
    unsigned m_run = 0; // the run whose messages count; older runs' messages are dropped
    bool m_isRunning = false;
};

} // namespace omvex::ui
