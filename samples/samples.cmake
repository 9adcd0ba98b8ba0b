# Stand-in programs and modules of the sample payload, built from source for both
# architectures whatever this build's own architecture is: the 32-bit deliverable carries
# 64-bit programs ("_x64", "64") too. Each is compiled by a custom command with the MinGW
# compiler of its architecture, statically.
#
# mixarro_standin(NAME <file name> ARCH i686|x86_64 KIND exe|gui|dll SOURCE <file> [DEFINES ...])
# puts the file into ${CMAKE_BINARY_DIR}/standins/<arch>/<name>.
add_custom_target(mixarro_standins ALL)

function(mixarro_standin)
  cmake_parse_arguments(S "" "NAME;ARCH;KIND;SOURCE" "DEFINES" ${ARGN})
  set(out ${CMAKE_BINARY_DIR}/standins/${S_ARCH}/${S_NAME})
  set(flags -std=c++20 -O2 -Wall -Wextra -Werror -static -static-libgcc -static-libstdc++ -s
            -Wl,--no-insert-timestamp
            -I${CMAKE_SOURCE_DIR})
  if(S_KIND STREQUAL "dll")
    # Undecorated names: GetProcAddress(module, "DllRegisterServer") must find the stdcall
    # entry points of the 32-bit modules too.
    # A fixed image base: the automatic one is made from the output path.
    list(APPEND flags -shared -Wl,--kill-at -Wl,--disable-auto-image-base)
  elseif(S_KIND STREQUAL "gui")
    list(APPEND flags -mwindows)
  endif()
  foreach(d IN LISTS S_DEFINES)
    list(APPEND flags -D${d})
  endforeach()
  string(MAKE_C_IDENTIFIER "standin_${S_ARCH}_${S_NAME}" target)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/standins/${S_ARCH}
    COMMAND ${S_ARCH}-w64-mingw32-g++-posix ${flags} -o ${out} ${CMAKE_SOURCE_DIR}/${S_SOURCE}
            -lsetupapi -ladvapi32 -lole32 -luuid
    DEPENDS ${CMAKE_SOURCE_DIR}/${S_SOURCE}
    COMMENT "stand-in ${S_ARCH}/${S_NAME}"
    VERBATIM)
  add_custom_target(${target} DEPENDS ${out})
  add_dependencies(mixarro_standins ${target})
endfunction()

include(${CMAKE_SOURCE_DIR}/samples/standins.cmake)
