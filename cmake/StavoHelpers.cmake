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

# Installation. The shared libraries are the program's own (no headers, no development package),
# so they go to a private folder of the library directory; installed programs find them through a
# RUNPATH relative to themselves, while the build tree keeps CMake's build RUNPATH and runs as is.
include(GNUInstallDirs)
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS
  OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(STAVO_INSTALL_PRIVATE_LIBDIR ${CMAKE_INSTALL_LIBDIR}/stavo)
set(STAVO_INSTALL_FULL_PRIVATE_LIBDIR ${CMAKE_INSTALL_FULL_LIBDIR}/stavo)

# stavo_install_program(<target> [USES_PRIVATE_LIBS])
# Installs a program to the binary folder and gives it STAVO_VERSION for its --version.
function(stavo_install_program target)
  cmake_parse_arguments(P "USES_PRIVATE_LIBS" "" "" ${ARGN})
  target_compile_definitions(${target} PRIVATE STAVO_VERSION="${PROJECT_VERSION}")
  if(P_USES_PRIVATE_LIBS)
    file(RELATIVE_PATH rel ${CMAKE_INSTALL_FULL_BINDIR} ${STAVO_INSTALL_FULL_PRIVATE_LIBDIR})
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "\$ORIGIN/${rel}")
  endif()
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# stavo_install_library(<target> [USES_PRIVATE_LIBS])
# Installs a shared library with its soname link (no development link) to the private folder.
function(stavo_install_library target)
  cmake_parse_arguments(L "USES_PRIVATE_LIBS" "" "" ${ARGN})
  if(L_USES_PRIVATE_LIBS)
    set_target_properties(${target} PROPERTIES INSTALL_RPATH "\$ORIGIN")
  endif()
  install(TARGETS ${target}
    LIBRARY DESTINATION ${STAVO_INSTALL_PRIVATE_LIBDIR} NAMELINK_SKIP
    PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
endfunction()
