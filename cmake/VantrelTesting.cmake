# Test registration for both sides: host tests run natively, Wine tests are
# mingw-built GoogleTest programs that CTest runs through tests/wine/wine-run.sh,
# each suite in a Wine prefix of its own under the build folder.

if(WIN32)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
else()
  find_package(GTest REQUIRED)
endif()
include(GoogleTest)

set(VANTREL_TEST_BIN_DIR ${CMAKE_BINARY_DIR}/tests/bin)
set(VANTREL_WINE_ROOT ${CMAKE_BINARY_DIR}/wine)
set(VANTREL_WINE_RUN ${CMAKE_SOURCE_DIR}/tests/wine/wine-run.sh)

function(vantrel_add_host_test)
  cmake_parse_arguments(T "" "NAME" "SOURCES" ${ARGN})
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE vantrel_logic vantrel_sim GTest::gtest GTest::gtest_main)
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VANTREL_TEST_BIN_DIR})
  gtest_discover_tests(${T_NAME} DISCOVERY_TIMEOUT 30)
endfunction()

# A Wine test suite. PREFIX names the Wine prefix (default: the suite name);
# suites that share one also share its wineserver. Tests that share a prefix
# run one at a time: they share its registry, files, services, windows and
# drive letters. PARALLEL lets a suite's tests overlap; only for a suite whose
# every test owns each key, file, service, window and drive letter it touches.
# ENVIRONMENT sets one variable for the test program (say, a DLL override).
function(vantrel_add_wine_test)
  cmake_parse_arguments(T "PARALLEL" "NAME;PREFIX;ENVIRONMENT" "SOURCES;LIBRARIES" ${ARGN})
  if(NOT T_PREFIX)
    set(T_PREFIX ${T_NAME})
  endif()
  add_executable(${T_NAME} ${T_SOURCES})
  target_link_libraries(${T_NAME} PRIVATE vantrel_win32 vantrel_logic gtest gtest_main ${T_LIBRARIES})
  set_target_properties(${T_NAME} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${VANTREL_TEST_BIN_DIR}
    CROSSCOMPILING_EMULATOR "${VANTREL_WINE_RUN};${VANTREL_WINE_ROOT}/${T_PREFIX}")
  set(properties TIMEOUT 120)
  if(NOT T_PARALLEL)
    list(APPEND properties RESOURCE_LOCK wine_${T_PREFIX})
  endif()
  if(T_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT ${T_ENVIRONMENT})
  endif()
  gtest_discover_tests(${T_NAME} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
                       PROPERTIES ${properties})
endfunction()

# A small program that Wine tests start (stand-ins, crafted binaries).
function(vantrel_add_wine_helper)
  cmake_parse_arguments(T "GUI;UNICODE" "NAME;OUTPUT_NAME" "SOURCES;LIBRARIES" ${ARGN})
  if(T_GUI)
    add_executable(${T_NAME} WIN32 ${T_SOURCES})
  else()
    add_executable(${T_NAME} ${T_SOURCES})
  endif()
  if(T_UNICODE)
    target_link_options(${T_NAME} PRIVATE -municode)
  endif()
  if(T_OUTPUT_NAME)
    set_target_properties(${T_NAME} PROPERTIES OUTPUT_NAME ${T_OUTPUT_NAME})
  endif()
  target_link_libraries(${T_NAME} PRIVATE ${T_LIBRARIES})
  set_target_properties(${T_NAME} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${VANTREL_TEST_BIN_DIR})
endfunction()
