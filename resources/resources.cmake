# Resources of each edition's program: icon 100, picture (bitmap 101), manifest, version
# block and payload (RT_RCDATA 100, language 1033). The resource script is written from the
# edition table by the host tool mixarro-rcgen.
include(${CMAKE_SOURCE_DIR}/cmake/hosttools.cmake)
include(${CMAKE_SOURCE_DIR}/resources/payload.cmake)
mixarro_host_tool(mixarro-rcgen tools/rcgen.cpp editions/editions.cpp)

if(MIXARRO_ARCH STREQUAL "x86_64")
  set(MIXARRO_MANIFEST_ARCH amd64)
else()
  set(MIXARRO_MANIFEST_ARCH x86)
endif()

# mixarro_edition_resources(<edition> <out var>): the resource script of that edition's program.
function(mixarro_edition_resources edition out_var)
  set(dir ${CMAKE_BINARY_DIR}/resources/${edition})
  set(icon ${dir}/mixarro.ico)
  set(picture ${dir}/picture.bmp)
  add_custom_command(OUTPUT ${icon} ${picture}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND bash ${CMAKE_SOURCE_DIR}/resources/make_artwork.sh ${edition} ${picture} ${icon}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_artwork.sh
    COMMENT "artwork of ${edition}"
    VERBATIM)
  mixarro_edition_payload(${edition} blob)
  set(rc ${dir}/program.rc)
  add_custom_command(OUTPUT ${rc} ${dir}/program.manifest
    COMMAND ${MIXARRO_HOST_MIXARRO_RCGEN} ${edition} ${MIXARRO_MANIFEST_ARCH} ${icon} ${picture}
            ${dir}/program.manifest ${blob} > ${rc}
    DEPENDS host_mixarro-rcgen ${MIXARRO_HOST_MIXARRO_RCGEN} ${icon} ${picture} ${blob}
    COMMENT "resource script of ${edition}"
    VERBATIM)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${icon};${picture};${blob}")
  set(${out_var} ${rc} PARENT_SCOPE)
endfunction()
