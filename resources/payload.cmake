# Each edition's payload: the folder of product files named by MIXARRO_PAYLOAD_DIR_<EDITION>
# (the sample payload of this build's architecture unless given), packed by the host
# packing tool into ${CMAKE_BINARY_DIR}/payload/<Edition>.blob.
mixarro_host_tool(mixarro-pack tools/pack/main.cpp tools/pack/pack.cpp
                  ${MIXARRO_PAYLOAD_CORE_SOURCES} ground/paths.cpp editions/editions.cpp)
set(MIXARRO_PACK_TOOL ${MIXARRO_HOST_MIXARRO_PACK})
set(MIXARRO_PACK_DEPENDS host_mixarro-pack ${MIXARRO_HOST_MIXARRO_PACK})
include(${CMAKE_SOURCE_DIR}/samples/payload.cmake)

foreach(edition IN ITEMS Indigo Cobalt)
  string(TOUPPER ${edition} upper)
  mixarro_sample_payload(${edition} ${MIXARRO_ARCH})
  set(MIXARRO_PAYLOAD_DIR_${upper} ${MIXARRO_SAMPLE_DIR_${upper}} CACHE PATH
      "Folder of the ${edition} product files packed into the program (default: sample payload)")
endforeach()

# mixarro_edition_payload(<edition> <out var>): path of the edition's packed payload blob.
function(mixarro_edition_payload edition out_var)
  string(TOUPPER ${edition} upper)
  set(dir ${MIXARRO_PAYLOAD_DIR_${upper}})
  if(dir STREQUAL MIXARRO_SAMPLE_DIR_${upper})
    set(inputs ${MIXARRO_SAMPLE_STAMP_${upper}})
  else()
    file(GLOB_RECURSE inputs CONFIGURE_DEPENDS ${dir}/*)
  endif()
  set(blob ${CMAKE_BINARY_DIR}/payload/${edition}.blob)
  add_custom_command(OUTPUT ${blob}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/payload
    COMMAND ${MIXARRO_PACK_TOOL} pack --edition ${edition} --from ${dir} --out ${blob}
    DEPENDS ${inputs} ${MIXARRO_PACK_DEPENDS}
    COMMENT "payload of ${edition} from ${dir}"
    VERBATIM)
  set(${out_var} ${blob} PARENT_SCOPE)
endfunction()
