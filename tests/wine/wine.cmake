# The Windows tests run under Wine, in a private prefix inside the build
# folder and a virtual X server, which the fixture below starts and stops.
set(WINE_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_SCRIPTS}/run.sh ${CMAKE_BINARY_DIR})

add_test(NAME wine_start COMMAND ${WINE_SCRIPTS}/start.sh ${CMAKE_BINARY_DIR})
add_test(NAME wine_stop COMMAND ${WINE_SCRIPTS}/stop.sh ${CMAKE_BINARY_DIR})
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine LABELS wine)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine LABELS wine)

# Every Wine start costs seconds: one executable holds all the Windows tests.
add_executable(win32_tests
  win32/capture_test.cpp
  win32/report_file_test.cpp
  win32/shell_test.cpp)
target_link_libraries(win32_tests PRIVATE shell test_support)
add_test(NAME win32_tests COMMAND win32_tests)
set_tests_properties(win32_tests PROPERTIES FIXTURES_REQUIRED wine LABELS wine)

# The tool imports only system DLLs.
add_test(NAME tool_imports
         COMMAND ${WINE_SCRIPTS}/check_imports.sh ${CMAKE_OBJDUMP} $<TARGET_FILE:Vantorel>)

# Other processes for the end-to-end tests: one posts commands to the tool's
# windows, one holds the report open.
add_executable(post_commands win32/post_commands.cpp)
add_executable(hold_file win32/hold_file.cpp)

# The end-to-end driver runs on Linux: it starts the tool under Wine, clicks
# and types with xdotool and reads the report with the tests' reader. It is
# built with the machine's own compiler.
find_program(HOST_CXX NAMES g++ c++ REQUIRED)
set(E2E_SOURCES ${CMAKE_CURRENT_SOURCE_DIR}/e2e/e2e_support.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/e2e/e2e_test.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/e2e/endurance_test.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/e2e/fault_test.cpp
                ${CMAKE_CURRENT_SOURCE_DIR}/report_reader.cpp)
add_custom_command(
  OUTPUT ${CMAKE_CURRENT_BINARY_DIR}/e2e_tests
  COMMAND ${HOST_CXX} -std=c++20 -O1 -Wall -Wextra -I${CMAKE_CURRENT_SOURCE_DIR} ${E2E_SOURCES}
          -I${CMAKE_CURRENT_SOURCE_DIR}/e2e -o ${CMAKE_CURRENT_BINARY_DIR}/e2e_tests -lgtest -lgtest_main -pthread
  DEPENDS ${E2E_SOURCES} ${CMAKE_CURRENT_SOURCE_DIR}/report_reader.h
          ${CMAKE_CURRENT_SOURCE_DIR}/e2e/e2e_support.h
  COMMENT "Building the end-to-end driver for Linux")
add_custom_target(e2e_driver ALL
                  DEPENDS ${CMAKE_CURRENT_BINARY_DIR}/e2e_tests post_commands hold_file Vantorel)
add_test(NAME e2e_tests COMMAND ${CMAKE_CURRENT_BINARY_DIR}/e2e_tests)
set_tests_properties(e2e_tests PROPERTIES
  FIXTURES_REQUIRED wine
  LABELS wine
  ENVIRONMENT "VANTOREL_BUILD_DIR=${CMAKE_BINARY_DIR};VANTOREL_SOURCE_DIR=${CMAKE_SOURCE_DIR}")

# Benchmarks (run by scripts/bench.sh, not by ctest).
add_executable(capture_bench bench/capture_bench.cpp)
target_link_libraries(capture_bench PRIVATE shell)
add_executable(trivial bench/trivial.cpp)
