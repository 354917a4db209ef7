# Small helpers shared by the folders' CMakeLists.

# stavo_add_test(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>] [TIMEOUT <s>])
# One executable per area, run by ctest headless (offscreen Qt platform, private data folder).
function(stavo_add_test name)
  cmake_parse_arguments(T "" "TIMEOUT" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock Threads::Threads)
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  add_test(NAME ${name} COMMAND ${name})
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;STAVO_TEST_DATA=${PROJECT_SOURCE_DIR}/tests/data;STAVO_BUILD_DIR=${PROJECT_BINARY_DIR};${T_ENV}")
endfunction()

# stavo_add_fuzzer(<name> SOURCES <files...> LIBS <targets...> [CORPUS <dir>] [SECONDS <n>])
# A libFuzzer target; in the fuzz build a short smoke run is registered with ctest.
function(stavo_add_fuzzer name)
  cmake_parse_arguments(F "" "CORPUS;SECONDS" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${F_SOURCES})
  target_link_libraries(${name} PRIVATE ${F_LIBS})
  target_compile_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer,address,undefined)
  if(NOT F_SECONDS)
    set(F_SECONDS 20)
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${name}-corpus)
  file(MAKE_DIRECTORY ${work})
  set(dirs ${work})
  if(F_CORPUS)
    list(APPEND dirs ${F_CORPUS})
  endif()
  add_test(NAME smoke_${name}
    COMMAND ${name} -max_total_time=${F_SECONDS} -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 ${dirs})
  set_tests_properties(smoke_${name} PROPERTIES TIMEOUT 600)
  set_property(GLOBAL APPEND PROPERTY STAVO_FUZZERS ${name})
endfunction()
