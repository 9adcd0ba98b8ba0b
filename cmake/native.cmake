# Host build: the portable logic with its unit tests under AddressSanitizer and UBSan,
# and the host tools (built without sanitizers, for speed).
set(MIXARRO_SANITIZE -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)

add_library(mixarro_core STATIC ${MIXARRO_PORTABLE_SOURCES})
target_include_directories(mixarro_core PUBLIC ${CMAKE_SOURCE_DIR})
mixarro_warnings(mixarro_core)
target_compile_options(mixarro_core PRIVATE -O2)

add_library(mixarro_core_checked STATIC ${MIXARRO_PORTABLE_SOURCES})
target_include_directories(mixarro_core_checked PUBLIC ${CMAKE_SOURCE_DIR})
target_compile_options(mixarro_core_checked PUBLIC ${MIXARRO_SANITIZE})
target_link_options(mixarro_core_checked PUBLIC ${MIXARRO_SANITIZE})
mixarro_warnings(mixarro_core_checked)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

file(GLOB NATIVE_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/native/*.cpp)
add_executable(native_tests ${NATIVE_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/editions/this_edition.cpp)
target_compile_definitions(native_tests PRIVATE MIXARRO_EDITION_TABLE=INDIGO_EDITION
                                                MIXARRO_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
target_link_libraries(native_tests PRIVATE mixarro_core_checked GTest::gtest_main)
mixarro_warnings(native_tests)
gtest_discover_tests(native_tests DISCOVERY_TIMEOUT 60)

# The packing tool and the benchmarks.
include(${CMAKE_SOURCE_DIR}/tools/tools.cmake)
include(${CMAKE_SOURCE_DIR}/tests/fuzz/fuzz.cmake)

# Benchmark programs, built on demand only.
include(${CMAKE_SOURCE_DIR}/tests/bench/bench.cmake)
