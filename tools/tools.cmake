# Host tools (native build only): the payload packing tool, the sample payload that the
# native tests pack, and the payload benchmark.
add_executable(mixarro-pack ${CMAKE_SOURCE_DIR}/tools/pack/main.cpp
                            ${CMAKE_SOURCE_DIR}/tools/pack/pack.cpp)
target_link_libraries(mixarro-pack PRIVATE mixarro_core)
target_compile_options(mixarro-pack PRIVATE -O2)
mixarro_warnings(mixarro-pack)

# The sample payloads (stand-ins for x86-64), for the pack and extract round trips.
set(MIXARRO_PACK_TOOL $<TARGET_FILE:mixarro-pack>)
set(MIXARRO_PACK_DEPENDS mixarro-pack)
include(${CMAKE_SOURCE_DIR}/samples/samples.cmake)
include(${CMAKE_SOURCE_DIR}/samples/payload.cmake)
mixarro_sample_payload(Indigo x86_64)
mixarro_sample_payload(Cobalt x86_64)
add_custom_target(mixarro_sample_payload ALL
  DEPENDS ${MIXARRO_SAMPLE_STAMP_INDIGO} ${MIXARRO_SAMPLE_STAMP_COBALT})

target_sources(native_tests PRIVATE ${CMAKE_SOURCE_DIR}/tools/pack/pack.cpp)
target_compile_definitions(native_tests PRIVATE MIXARRO_BINARY_DIR="${CMAKE_BINARY_DIR}"
                                                MIXARRO_PACK_TOOL="$<TARGET_FILE:mixarro-pack>")
add_dependencies(native_tests mixarro_sample_payload mixarro-pack)

# The payload benchmark (Google Benchmark, optimised, no sanitizers). Its input, the
# full-size Indigo blob, is made on demand: cmake --build <dir> --target mixarro_fullsize_payload.
find_package(benchmark QUIET)
if(benchmark_FOUND)
  add_executable(payload_bench ${CMAKE_SOURCE_DIR}/tests/bench/payload_bench.cpp)
  target_link_libraries(payload_bench PRIVATE mixarro_core benchmark::benchmark)
  target_compile_options(payload_bench PRIVATE -O2)
  target_compile_definitions(payload_bench PRIVATE
                             MIXARRO_FULLSIZE_BLOB="${MIXARRO_FULLSIZE_BLOB}"
                             MIXARRO_PACK_TOOL="$<TARGET_FILE:mixarro-pack>")
  mixarro_warnings(payload_bench)
endif()
