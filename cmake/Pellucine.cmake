# Shared build rules: warnings, one library per folder, one test executable per folder.
include_guard(GLOBAL)

function(pellucine_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wnon-virtual-dtor
    -Woverloaded-virtual -Wimplicit-fallthrough -Wno-missing-field-initializers)
  if(PELLUCINE_WERROR)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# pellucine_library(<target> [DEPS <targets>...]): a static library of every source in the
# calling folder (an interface library while the folder holds only headers).
function(pellucine_library target)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS
    ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.qrc)
  list(FILTER sources INCLUDE REGEX "\\.cpp$")
  if(sources)
    file(GLOB all CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    add_library(${target} STATIC ${all})
    target_include_directories(${target} PUBLIC ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/src)
    target_link_libraries(${target} PUBLIC ${ARG_DEPS})
    pellucine_warnings(${target})
  else()
    add_library(${target} INTERFACE)
    target_include_directories(${target} INTERFACE ${PROJECT_SOURCE_DIR}/src ${PROJECT_BINARY_DIR}/src)
    target_link_libraries(${target} INTERFACE ${ARG_DEPS})
  endif()
  add_library(pellucine::${target} ALIAS ${target})
endfunction()

# pellucine_test_suite(<name> LABEL <unit|widget|x11> [GUI] [DEPS <targets>...] [PROPERTIES ...]
# [ARGS ...]): one GoogleTest executable of every *.cpp in the calling folder, discovered into
# CTest, each test run with ARGS. Widget suites, and others marked GUI, run with a GUI
# application on the offscreen platform.
function(pellucine_test_suite name)
  cmake_parse_arguments(ARG "GUI" "LABEL" "DEPS;PROPERTIES;ARGS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
  set(cpp ${sources})
  list(FILTER cpp INCLUDE REGEX "\\.cpp$")
  if(NOT cpp)
    return()
  endif()
  set(target ${name}_tests)
  add_executable(${target} ${sources})
  if(ARG_LABEL STREQUAL "widget" OR ARG_GUI)
    target_link_libraries(${target} PRIVATE pellucine_test_support_gui ${ARG_DEPS})
  else()
    target_link_libraries(${target} PRIVATE pellucine_test_support ${ARG_DEPS})
  endif()
  pellucine_warnings(${target})
  # The test main points HOME and the XDG folders at a scratch folder beside the executable.
  gtest_discover_tests(${target}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    EXTRA_ARGS ${ARG_ARGS}
    PROPERTIES LABELS ${ARG_LABEL} ${ARG_PROPERTIES})
endfunction()

# pellucine_benchmark_suite(<name> [DEPS <targets>...]): one Google Benchmark executable of every
# *.cpp in the calling folder, with the library's own main.
function(pellucine_benchmark_suite name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name}_bench ${sources})
  target_link_libraries(${name}_bench PRIVATE benchmark::benchmark_main ${ARG_DEPS})
  target_include_directories(${name}_bench PRIVATE ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/bench)
  pellucine_warnings(${name}_bench)
endfunction()

# Adds every child folder of the calling folder that has a CMakeLists.txt, except `support`.
function(pellucine_add_child_folders)
  file(GLOB children LIST_DIRECTORIES true ${CMAKE_CURRENT_SOURCE_DIR}/*)
  foreach(child ${children})
    get_filename_component(leaf ${child} NAME)
    if(IS_DIRECTORY ${child} AND EXISTS ${child}/CMakeLists.txt AND NOT leaf STREQUAL "support")
      add_subdirectory(${child})
    endif()
  endforeach()
endfunction()

# pellucine_fuzz_target(<name> DEPS <targets>...): a libFuzzer executable fuzz_<name> of
# <name>.cpp in the calling folder; its seeds are in seeds/<name>.
function(pellucine_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "DEPS" ${ARGN})
  add_executable(fuzz_${name} ${CMAKE_CURRENT_SOURCE_DIR}/${name}.cpp)
  target_link_libraries(fuzz_${name} PRIVATE ${ARG_DEPS})
  target_include_directories(fuzz_${name} PRIVATE ${CMAKE_CURRENT_SOURCE_DIR})
  target_link_options(fuzz_${name} PRIVATE -fsanitize=fuzzer)
  pellucine_warnings(fuzz_${name})
endfunction()
