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

# omvex_library(name SOURCES... [PUBLIC_DEPS ...] [PRIVATE_DEPS ...]): one static library per source
# folder. A library sees the headers of its own folder and of the libraries it links, and no others:
# its include directory holds one link, named as the folder is under src/, to that folder alone. An
# include of a folder whose library is not declared fails the build.
function(omvex_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;PUBLIC_DEPS;PRIVATE_DEPS" ${ARGN})
  add_library(${name} STATIC ${ARG_SOURCES})
  file(RELATIVE_PATH folder ${CMAKE_SOURCE_DIR}/src ${CMAKE_CURRENT_SOURCE_DIR})
  set(include_dir ${CMAKE_BINARY_DIR}/include/${name})
  get_filename_component(parent ${include_dir}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  file(CREATE_LINK ${CMAKE_CURRENT_SOURCE_DIR} ${include_dir}/${folder} SYMBOLIC)
  target_include_directories(${name} PUBLIC ${include_dir})
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
