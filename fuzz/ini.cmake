omvex_fuzz_target(fuzz_ini SOURCES fuzz_ini.cpp LIBS omvex_platform CORPUS corpus/ini)
