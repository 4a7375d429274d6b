# The fast suite: portable logic against the in-memory platform.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB_RECURSE NATIVE_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER NATIVE_TEST_SOURCES EXCLUDE REGEX "/tests/(e2e|win|ui)/")
list(FILTER NATIVE_TEST_SOURCES EXCLUDE REGEX "/tests/support/win32_")
add_executable(tarnwick_tests ${NATIVE_TEST_SOURCES})
target_include_directories(tarnwick_tests PRIVATE tests)
target_link_libraries(tarnwick_tests PRIVATE tarnwick_core GTest::gtest GTest::gtest_main)
tarnwick_warnings(tarnwick_tests)
gtest_discover_tests(tarnwick_tests DISCOVERY_TIMEOUT 60)
