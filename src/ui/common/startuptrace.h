#pragma once

#include <functional>

class QCoreApplication;

namespace omvex::ui {

// Runs the action once, when the event loop comes round after the application's first expose of a
// window: that expose paints the window before it returns, so the action waits for the first paint.
// For start-up work that the first paint does not need.
void afterFirstPaint(QCoreApplication &application, std::function<void()> action);

// Checkpoints of the program's start-up, for the start-up benchmark (bench/bench_startup.cpp) and
// nothing else. Only when the environment variable OMVEX_STARTUP_TRACE is set (the benchmark
// sets it; the program takes no arguments, and a user never sets it) does a checkpoint write one
// line "omvex-startup-trace <name> <steady clock ns> <process CPU ns>" to standard error, and the
// program end once its first window has been painted. Otherwise a checkpoint costs a flag test.
bool isStartupTraceOn();
void startupCheckpoint(const char *name);

// Marks "exposed" at the application's first expose of a window and "painted" after it, then ends
// the application with status 0. Does nothing unless the trace is on.
void endAfterFirstPaintWhenTracing(QCoreApplication &application);

} // namespace omvex::ui
