# libFuzzer targets for the input that comes from outside (payload blobs, the command line,
# the machine's operations pending at the restart),
# built with clang when it is there, each run briefly by CTest.
find_program(MIXARRO_CLANGXX NAMES clang++ clang++-14)
if(MIXARRO_CLANGXX)
  set(fuzz_flags -std=c++20 -O1 -g -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=all
                 -I${CMAKE_SOURCE_DIR})
  foreach(fuzzer IN ITEMS payload switches pending)
    set(out ${CMAKE_BINARY_DIR}/fuzz_${fuzzer})
    set(sources ${CMAKE_SOURCE_DIR}/tests/fuzz/${fuzzer}_fuzz.cpp ${CMAKE_SOURCE_DIR}/install/payload_core.cpp
                ${CMAKE_SOURCE_DIR}/install/paths.cpp ${CMAKE_SOURCE_DIR}/shell/switches.cpp
                ${CMAKE_SOURCE_DIR}/uninstall/pending_renames.cpp)
    add_custom_command(OUTPUT ${out}
      COMMAND ${MIXARRO_CLANGXX} ${fuzz_flags} -o ${out} ${sources}
      DEPENDS ${sources}
      COMMENT "fuzzer ${fuzzer}"
      VERBATIM)
    add_custom_target(fuzz_${fuzzer} ALL DEPENDS ${out})
    add_test(NAME Fuzz.${fuzzer}
      COMMAND ${out} -max_total_time=20 -max_len=8192 -rss_limit_mb=2048 -print_final_stats=1)
    set_tests_properties(Fuzz.${fuzzer} PROPERTIES TIMEOUT 120)
  endforeach()
endif()
