# Shared compile settings for every Omvex target.
add_library(omvex_warnings INTERFACE)
target_compile_options(omvex_warnings INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wconversion -Wno-sign-conversion
  # g++ 12 reports std::string assignments from literals as overlapping copies (GCC bug 105329).
  $<$<CXX_COMPILER_ID:GNU>:-Wno-restrict>
  $<$<BOOL:${OMVEX_WERROR}>:-Werror>)

# The title and the version numbers, which come from the project() call and nowhere else.
configure_file(${CMAKE_SOURCE_DIR}/src/appinfo.h.in ${CMAKE_BINARY_DIR}/generated/omvex/appinfo.h @ONLY)
add_library(omvex_appinfo INTERFACE)
target_include_directories(omvex_appinfo INTERFACE ${CMAKE_BINARY_DIR}/generated)
target_link_libraries(omvex_appinfo INTERFACE Qt6::Core)

# omvex_library(name SOURCES... [DEPS ...]): one static library per source folder.
function(omvex_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  target_include_directories(${name} PUBLIC ${CMAKE_SOURCE_DIR}/src)
  target_link_libraries(${name} PUBLIC ${ARG_PUBLIC_DEPS} PRIVATE omvex_warnings ${ARG_PRIVATE_DEPS})
endfunction()

# omvex_test(name SOURCES... LIBS ...): a test executable registered with CTest.
# Widget tests and plain tests alike run headless.
function(omvex_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} omvex_warnings)
  target_compile_definitions(${name} PRIVATE
    OMVEX_TEST_DATA_DIR="${CMAKE_SOURCE_DIR}/tests/data")
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;OMVEX_BINARY_DIR=${CMAKE_BINARY_DIR}"
    TIMEOUT 600)
endfunction()
