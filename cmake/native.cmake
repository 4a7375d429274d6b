# The fast suite: portable logic against the in-memory platform.
find_package(GTest REQUIRED)
include(GoogleTest)

file(GLOB_RECURSE NATIVE_TEST_SOURCES CONFIGURE_DEPENDS tests/*.cpp)
list(FILTER NATIVE_TEST_SOURCES EXCLUDE REGEX "/tests/(e2e|win|ui|fuzz)/")
list(FILTER NATIVE_TEST_SOURCES EXCLUDE REGEX "/tests/support/win32_")
add_executable(tarnwick_tests ${NATIVE_TEST_SOURCES})
target_include_directories(tarnwick_tests PRIVATE tests)
target_compile_definitions(tarnwick_tests PRIVATE TARNWICK_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(tarnwick_tests PRIVATE tarnwick_core GTest::gtest GTest::gtest_main)
tarnwick_warnings(tarnwick_tests)
gtest_discover_tests(tarnwick_tests DISCOVERY_TIMEOUT 60)

# The export reader under libFuzzer, built only on request with clang:
#   cmake -S . -B build/fuzz -DCMAKE_CXX_COMPILER=clang++ -DTARNWICK_FUZZ=ON
#   cmake --build build/fuzz --target export_reader_fuzz -j2
#   build/fuzz/export_reader_fuzz -max_total_time=300 build/fuzz/corpus tests/backup/export_reader_corpus
# The corpus it grows from is replayed by the fast suite.
option(TARNWICK_FUZZ "Build the libFuzzer targets (clang only)" OFF)
if(TARNWICK_FUZZ)
  add_executable(export_reader_fuzz tests/fuzz/export_reader_fuzz.cpp src/backup/export_reader.cpp)
  target_include_directories(export_reader_fuzz PRIVATE src)
  target_compile_options(export_reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined -g)
  target_link_options(export_reader_fuzz PRIVATE -fsanitize=fuzzer,address,undefined)
endif()
