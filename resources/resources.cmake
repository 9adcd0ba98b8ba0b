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

# mixarro_edition_resources(<edition> <rc var> <system code page rc var>): the resource scripts
# of that edition's program and of its test builds, whose manifest leaves the UTF-8 code page
# out (they run as a system that ignores it). Artwork and payload are made once for both.
function(mixarro_edition_resources edition rc_var system_cp_rc_var)
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
  foreach(kind IN ITEMS program program-system-code-page)
    set(flags)
    if(kind STREQUAL "program-system-code-page")
      set(flags --system-code-page)
    endif()
    set(rc ${dir}/${kind}.rc)
    add_custom_command(OUTPUT ${rc} ${dir}/${kind}.manifest
      COMMAND ${MIXARRO_HOST_MIXARRO_RCGEN} ${flags} ${edition} ${MIXARRO_MANIFEST_ARCH} ${icon}
              ${picture} ${dir}/${kind}.manifest ${blob} > ${rc}
      DEPENDS host_mixarro-rcgen ${MIXARRO_HOST_MIXARRO_RCGEN} ${icon} ${picture} ${blob}
      COMMENT "resource script of ${edition} (${kind})"
      VERBATIM)
    set_source_files_properties(${rc} PROPERTIES OBJECT_DEPENDS "${icon};${picture};${blob}")
    list(APPEND scripts ${rc})
  endforeach()
  list(GET scripts 0 rc)
  list(GET scripts 1 system_cp_rc)
  set(${rc_var} ${rc} PARENT_SCOPE)
  set(${system_cp_rc_var} ${system_cp_rc} PARENT_SCOPE)
  # One target makes them, before every program that carries them: programs that made the same
  # files side by side would race (two packers renaming one blob into place).
  add_custom_target(MixarroResources-${edition} DEPENDS ${scripts})
endfunction()
