# libFuzzer targets for the input that comes from outside (payload blobs, the command line,
# the machine's operations pending at the restart) and for the SSE2 pass over an entry against
# the general one, built with clang when it is there, each run briefly by CTest.
find_program(MIXARRO_CLANGXX NAMES clang++ clang++-14)
if(MIXARRO_CLANGXX)
  include(${CMAKE_SOURCE_DIR}/cmake/hosttools.cmake)
  set(fuzz_flags -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all)
  set(fuzzers)
  foreach(fuzzer IN ITEMS payload switches pending entry_pass)
    set(out ${CMAKE_BINARY_DIR}/fuzz_${fuzzer})
    mixarro_host_program(${out} FLAVOR fuzz COMPILER ${MIXARRO_CLANGXX} FLAGS ${fuzz_flags}
      SOURCES tests/fuzz/${fuzzer}_fuzz.cpp ${MIXARRO_PAYLOAD_CORE_SOURCES} ground/paths.cpp
              shell/switches.cpp uninstall/pending_renames.cpp)
    list(APPEND fuzzers ${out})
    add_test(NAME Fuzz.${fuzzer}
      COMMAND ${out} -max_total_time=20 -max_len=8192 -rss_limit_mb=2048 -print_final_stats=1)
    set_tests_properties(Fuzz.${fuzzer} PROPERTIES TIMEOUT 120)
  endforeach()
  # One target for all of them: they share the objects of the code they fuzz.
  add_custom_target(fuzzers ALL DEPENDS ${fuzzers})
endif()
