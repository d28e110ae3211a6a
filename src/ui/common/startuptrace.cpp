#include "ui/common/startuptrace.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWindow>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <utility>

namespace omvex::ui {

namespace {

class FirstExposeWatch final : public QObject {
public:
    FirstExposeWatch(QCoreApplication &application, std::function<void()> onExpose, std::function<void()> afterPaint)
        : QObject(&application)
        , m_onExpose(std::move(onExpose))
        , m_afterPaint(std::move(afterPaint))
    {
        application.installEventFilter(this);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && watched->isWindowType()
            && static_cast<QWindow *>(watched)->isExposed()) {
            QCoreApplication::instance()->removeEventFilter(this);
            if (m_onExpose)
                m_onExpose();
            QTimer::singleShot(0, this, [this] {
                m_afterPaint();
                deleteLater();
            });
        }
        return false;
    }

private:
    std::function<void()> m_onExpose;
    std::function<void()> m_afterPaint;
};

long long nanoseconds(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

} // namespace

void afterFirstPaint(QCoreApplication &application, std::function<void()> action)
{
    new FirstExposeWatch(application, {}, std::move(action));
}

bool isStartupTraceOn()
{
    static const bool isOn = std::getenv("OMVEX_STARTUP_TRACE") != nullptr;
    return isOn;
}

void startupCheckpoint(const char *name)
{
    if (!isStartupTraceOn())
        return;
    // The steady clock is CLOCK_MONOTONIC, which the benchmark reads when it starts the process.
    std::fprintf(stderr, "omvex-startup-trace %s %lld %lld\n", name, nanoseconds(CLOCK_MONOTONIC),
                 nanoseconds(CLOCK_PROCESS_CPUTIME_ID));
    std::fflush(stderr);
}

void endAfterFirstPaintWhenTracing(QCoreApplication &application)
{
    if (!isStartupTraceOn())
        return;
    new FirstExposeWatch(
        application, [] { startupCheckpoint("exposed"); },
        [] {
            startupCheckpoint("painted");
            QCoreApplication::exit(0);
        });
}

} // namespace omvex::ui
