# The Windows tests run under Wine, in a private prefix inside the build
# folder and a virtual X server, which the fixture below starts and stops.
set(WINE_SCRIPTS ${CMAKE_CURRENT_SOURCE_DIR}/wine)
set(CMAKE_CROSSCOMPILING_EMULATOR ${WINE_SCRIPTS}/run.sh ${CMAKE_BINARY_DIR})

add_test(NAME wine_start COMMAND ${WINE_SCRIPTS}/start.sh ${CMAKE_BINARY_DIR})
add_test(NAME wine_stop COMMAND ${WINE_SCRIPTS}/stop.sh ${CMAKE_BINARY_DIR})
set_tests_properties(wine_start PROPERTIES FIXTURES_SETUP wine)
set_tests_properties(wine_stop PROPERTIES FIXTURES_CLEANUP wine)

# Every Wine start costs seconds: one executable holds all the Windows tests.
add_executable(win32_tests
  win32/capture_test.cpp
  win32/report_file_test.cpp)
target_link_libraries(win32_tests PRIVATE capture test_support)
add_test(NAME win32_tests COMMAND win32_tests)
set_tests_properties(win32_tests PROPERTIES FIXTURES_REQUIRED wine)
