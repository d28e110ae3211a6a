omvex_fuzz_target(fuzz_ini SOURCES fuzz_ini.cpp LIBS omvex_platform CORPUS corpus/ini)

if(OMVEX_LIBFUZZER)
  # The fuzzer steers by the coverage of the code under test, not only of its entry point.
  get_target_property(options omvex_platform COMPILE_OPTIONS)
  if(NOT "-fsanitize=fuzzer-no-link" IN_LIST options)
    target_compile_options(omvex_platform PRIVATE -fsanitize=fuzzer-no-link)
  endif()
endif()
