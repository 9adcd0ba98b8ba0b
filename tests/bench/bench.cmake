# Benchmark programs (not part of any test): the extraction timing for the host and for
# Windows, and on Windows a program that does nothing, for timing Wine's own start.
add_executable(payload_timing ${CMAKE_SOURCE_DIR}/tests/bench/payload_timing.cpp
                              ${CMAKE_SOURCE_DIR}/editions/this_edition.cpp)
target_compile_definitions(payload_timing PRIVATE MIXARRO_EDITION_TABLE=INDIGO_EDITION)
target_link_libraries(payload_timing PRIVATE mixarro_core)
mixarro_warnings(payload_timing)
set_target_properties(payload_timing PROPERTIES EXCLUDE_FROM_ALL ON)
if(NOT MIXARRO_TARGET STREQUAL "native")
  # The program's own choice of the pass over an entry.
  target_sources(payload_timing PRIVATE ${CMAKE_SOURCE_DIR}/install/entry_pass_choice_win.cpp)
  add_executable(bench_noop WIN32 ${CMAKE_SOURCE_DIR}/tests/bench/noop.cpp)
  mixarro_warnings(bench_noop)
  set_target_properties(bench_noop PROPERTIES EXCLUDE_FROM_ALL ON)
endif()
