# Host programs that a build runs or checks besides its own targets (the resource script
# generator and the packing tool of a Windows build, the fuzzers of the native build),
# compiled with a host compiler by custom commands outside the build's own toolchain.
#
# Each source is compiled on its own with a depfile (-MD -MF), so that a change to any header
# it includes rebuilds it: a stale packer could otherwise write a payload that the program
# cannot read. Only these commands see the flags given here; nothing directory-wide is added.
include_guard(GLOBAL)

# mixarro_host_program(<out> FLAVOR <name> COMPILER <c++> FLAGS <flag>... SOURCES <source>...):
# the program <out> (a full path) built from the sources (relative to the source folder).
# Programs of one flavor (one compiler with one set of flags) share the objects of the sources
# they have in common, each compiled once; so that no two targets run one object's rule side by
# side, the programs of a flavor belong to one target.
function(mixarro_host_program out)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "FLAVOR;COMPILER" "FLAGS;SOURCES")
  get_filename_component(name ${out} NAME)
  set(objdir ${CMAKE_BINARY_DIR}/host/${arg_FLAVOR}.o)
  set(objects)
  foreach(s IN LISTS arg_SOURCES)
    string(REGEX REPLACE "[/.]" "_" stem ${s})
    set(obj ${objdir}/${stem}.o)
    get_property(known GLOBAL PROPERTY mixarro_host_object_${arg_FLAVOR}_${stem})
    if(NOT known)
      set_property(GLOBAL PROPERTY mixarro_host_object_${arg_FLAVOR}_${stem} 1)
      add_custom_command(OUTPUT ${obj}
        COMMAND ${CMAKE_COMMAND} -E make_directory ${objdir}
        COMMAND ${arg_COMPILER} ${arg_FLAGS} -I${CMAKE_SOURCE_DIR} -MD -MF ${obj}.d -c
                ${CMAKE_SOURCE_DIR}/${s} -o ${obj}
        DEPENDS ${CMAKE_SOURCE_DIR}/${s}
        DEPFILE ${obj}.d
        COMMENT "host object ${s} (${arg_FLAVOR})"
        VERBATIM)
    endif()
    list(APPEND objects ${obj})
  endforeach()
  add_custom_command(OUTPUT ${out}
    COMMAND ${arg_COMPILER} ${arg_FLAGS} -o ${out} ${objects}
    DEPENDS ${objects}
    COMMENT "host program ${name}"
    VERBATIM)
endfunction()

# mixarro_host_tool(<name> <source>...) defines the target host_<name> and sets
# MIXARRO_HOST_<NAME> to the program's path in the caller's scope.
function(mixarro_host_tool name)
  set(out ${CMAKE_BINARY_DIR}/host/${name})
  mixarro_host_program(${out} FLAVOR ${name} COMPILER g++ FLAGS -std=c++20 -O2 -Wall -Wextra -Werror
                       SOURCES ${ARGN})
  add_custom_target(host_${name} DEPENDS ${out})
  string(TOUPPER ${name} upper)
  string(REPLACE "-" "_" upper ${upper})
  set(MIXARRO_HOST_${upper} ${out} PARENT_SCOPE)
endfunction()
