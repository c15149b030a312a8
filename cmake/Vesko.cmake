# Shared build settings and the helpers every component uses to declare its targets.

find_package(PkgConfig REQUIRED)
find_package(Threads REQUIRED)

add_library(vesko_options INTERFACE)
target_include_directories(vesko_options INTERFACE ${PROJECT_SOURCE_DIR} ${PROJECT_BINARY_DIR}/generated)
target_compile_options(vesko_options INTERFACE
  -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wno-unused-parameter
  $<$<BOOL:${VESKO_WERROR}>:-Werror>)
target_link_libraries(vesko_options INTERFACE Threads::Threads ${CMAKE_DL_LIBS})

# Under the fuzz preset every library carries the coverage marks libFuzzer steers by, so a fuzz
# target explores the code it calls, not only its own file.
if(VESKO_FUZZ)
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()

if(VESKO_SANITIZE)
  add_compile_options(-fsanitize=${VESKO_SANITIZE} -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
  add_link_options(-fsanitize=${VESKO_SANITIZE})
endif()

function(vesko_wanted folder result)
  if(NOT VESKO_ONLY OR folder IN_LIST VESKO_ONLY)
    set(${result} TRUE PARENT_SCOPE)
  else()
    set(${result} FALSE PARENT_SCOPE)
  endif()
endfunction()

find_package(GTest REQUIRED)
include(GoogleTest)

# vesko_test(NAME SOURCES ... LIBS ... [LABELS ...])
# One GoogleTest program, registered with CTest case by case.
function(vesko_test name)
  cmake_parse_arguments(T "" "" "SOURCES;LIBS;LABELS" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE vesko_options ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set(properties ENVIRONMENT "VESKO_SOURCE_DIR=${PROJECT_SOURCE_DIR}")
  if(T_LABELS)
    # The discovery script splits list-valued properties, so several labels travel as one
    # comma-joined label; `ctest -L` matches by regular expression, so `-L threads` still finds it.
    string(JOIN "," label ${T_LABELS})
    list(APPEND properties LABELS "${label}")
  endif()
  # The thread sanitizer build runs only these, so it builds only these ("threaded_tests").
  if("threads" IN_LIST T_LABELS)
    if(NOT TARGET threaded_tests)
      add_custom_target(threaded_tests)
    endif()
    add_dependencies(threaded_tests ${name})
  endif()
  # Real windows share one X display: focus and synthetic input must not cross between tests.
  if("gui" IN_LIST T_LABELS)
    list(APPEND properties RESOURCE_LOCK x11display)
  endif()
  gtest_discover_tests(${name} PROPERTIES ${properties} DISCOVERY_TIMEOUT 60)
endfunction()

# vesko_bench(NAME SOURCES ... LIBS ...): a Google Benchmark program, never run by CTest.
function(vesko_bench name)
  if(NOT VESKO_BENCH)
    return()
  endif()
  cmake_parse_arguments(B "" "" "SOURCES;LIBS" ${ARGN})
  find_package(benchmark REQUIRED)
  add_executable(${name} ${B_SOURCES})
  target_link_libraries(${name} PRIVATE vesko_options ${B_LIBS} benchmark::benchmark benchmark::benchmark_main)
endfunction()

# vesko_fuzz(NAME SOURCES ... LIBS ... [CORPUS dir]): a libFuzzer target exposing
# LLVMFuzzerTestOneInput. With VESKO_FUZZ it links libFuzzer; otherwise it links a small
# driver that replays the seed corpus and a fixed set of mutations, registered as a test,
# so every build exercises every reader of outside input.
function(vesko_fuzz name)
  cmake_parse_arguments(F "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/fuzz/quiet_log.cpp)
  target_link_libraries(${name} PRIVATE vesko_options PKV ${F_LIBS})
  if(VESKO_FUZZ)
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    # "fuzzers" builds every target at once (CI builds only these, the plug-ins and the host).
    if(NOT TARGET fuzzers)
      add_custom_target(fuzzers)
    endif()
    add_dependencies(fuzzers ${name})
  else()
    target_sources(${name} PRIVATE ${PROJECT_SOURCE_DIR}/fuzz/replay_main.cpp)
    set(corpus ${F_CORPUS})
    if(NOT corpus)
      set(corpus ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
    endif()
    add_test(NAME fuzz.${name} COMMAND ${name} ${corpus})
    set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz)
  endif()
endfunction()
