omvex_benchmark(bench_ui SOURCES bench_ui.cpp LIBS omvex_mainwindow)
