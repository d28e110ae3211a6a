#include "ui/analysis/backtestjob.h"

#include <QMetaObject>

#include <utility>

namespace omvex::ui {

BacktestJob::BacktestJob(QObject *parent)
    : QObject(parent)
{
}

BacktestJob::~BacktestJob()
{
    // The thread posts to this object; it must be gone before the object is.
    stop();
}

void BacktestJob::start(Request request)
{
    stop();
    const unsigned run = ++m_run;
    m_isRunning = true;
    m_thread = std::jthread([this, run, request = std::move(request)](std::stop_token stopToken) mutable {
        int shownPercent = -1;
        // One message per percent: enough for a progress bar, few enough not to crowd the queue.
        const analysis::ProgressReport progress = [&](int done, int total) {
            const int percent = total > 0 ? static_cast<int>(static_cast<long long>(done) * 100 / total) : 100;
            if (percent == shownPercent)
                return;
            shownPercent = percent;
            QMetaObject::invokeMethod(
                this,
                [this, run, done, total] {
                    if (run == m_run && m_isRunning)
                        emit progressed(done, total);
                },
                Qt::QueuedConnection);
        };
        analysis::BacktestResult result = analysis::runBacktest(std::move(request.history), request.settings,
                                                                request.seed, request.last, progress, stopToken,
                                                                request.workers);
        QMetaObject::invokeMethod(
            this, [this, run, result = std::move(result)] { deliver(run, result); }, Qt::QueuedConnection);
    });
}

void BacktestJob::deliver(unsigned run, const analysis::BacktestResult &result)
{
    if (run != m_run || !m_isRunning)
        return;
    m_isRunning = false;
    if (result.cancelled)
        emit cancelled();
    else
        emit finished(result);
}

void BacktestJob::cancel()
{
    if (m_thread.joinable())
        m_thread.request_stop();
    if (!m_isRunning)
        return;
    m_isRunning = false;
    emit cancelled();
}

void BacktestJob::stop()
{
    cancel();
    if (m_thread.joinable())
        m_thread.join();
}

} // namespace omvex::ui
