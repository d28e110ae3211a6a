omvex_fuzz_target(fuzz_history SOURCES fuzz_history.cpp LIBS omvex_history CORPUS corpus/history)

if(OMVEX_LIBFUZZER)
  # The fuzzer steers by the coverage of the code under test, not only of its entry point.
  foreach(lib omvex_grid omvex_engine omvex_platform omvex_history)
    get_target_property(options ${lib} COMPILE_OPTIONS)
    if(NOT "-fsanitize=fuzzer-no-link" IN_LIST options)
      target_compile_options(${lib} PRIVATE -fsanitize=fuzzer-no-link)
    endif()
  endforeach()
endif()
