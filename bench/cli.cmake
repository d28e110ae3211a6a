omvex_benchmark(bench_cli SOURCES bench_cli.cpp LIBS omvex_cli_lib)
