#pragma once

#include <QApplication>

#include <benchmark/benchmark.h>

namespace omvex::bench {

// main() of a benchmark that needs widgets: an application on the offscreen platform unless
// another one is asked for, then the benchmarks.
inline int runWithApplication(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}

} // namespace omvex::bench
