omvex_fuzz_target(fuzz_history SOURCES fuzz_history.cpp LIBS omvex_history CORPUS corpus/history)
