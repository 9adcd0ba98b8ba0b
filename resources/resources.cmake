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

# mixarro_edition_resources(<edition> <out var> [SYSTEM_CODE_PAGE]): the resource script of that
# edition's program; SYSTEM_CODE_PAGE leaves the UTF-8 code page out of the manifest (the test
# builds that run as a system that ignores it).
function(mixarro_edition_resources edition out_var)
  cmake_parse_arguments(arg "SYSTEM_CODE_PAGE" "" "" ${ARGN})
  set(dir ${CMAKE_BINARY_DIR}/resources/${edition})
  set(flags)
  set(rc_name program)
  if(arg_SYSTEM_CODE_PAGE)
    set(flags --system-code-page)
    set(rc_name program-system-code-page)
  endif()
  set(icon ${dir}/mixarro.ico)
  set(picture ${dir}/picture.bmp)
  add_custom_command(OUTPUT ${icon} ${picture}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${dir}
    COMMAND bash ${CMAKE_SOURCE_DIR}/resources/make_artwork.sh ${edition} ${picture} ${icon}
    DEPENDS ${CMAKE_SOURCE_DIR}/resources/make_artwork.sh
    COMMENT "artwork of ${edition}"
    VERBATIM)
  mixarro_edition_payload(${edition} blob)
  set(rc ${dir}/${rc_name}.rc)
  add_custom_command(OUTPUT ${rc} ${dir}/${rc_name}.manifest
    COMMAND ${MIXARRO_HOST_MIXARRO_RCGEN} ${flags} ${edition} ${MIXARRO_MANIFEST_ARCH} ${icon}
            ${picture} ${dir}/${rc_name}.manifest ${blob} > ${rc}
    DEPENDS host_mixarro-rcgen ${MIXARRO_HOST_MIXARRO_RCGEN} ${icon} ${picture} ${blob}
    COMMENT "resource script of ${edition}"
    VERBATIM)
  set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${icon};${picture};${blob}")
  set(${out_var} ${rc} PARENT_SCOPE)
endfunction()
