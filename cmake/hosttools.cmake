# Host programs that a Windows build runs while it builds (the resource script generator,
# the packing tool), compiled with the host's g++ by a custom command.
#
# mixarro_host_tool(<name> <source>...) defines the target host_<name> and sets
# MIXARRO_HOST_<NAME> to the program's path in the caller's scope.
function(mixarro_host_tool name)
  set(out ${CMAKE_BINARY_DIR}/host/${name})
  set(sources)
  foreach(s IN LISTS ARGN)
    list(APPEND sources ${CMAKE_SOURCE_DIR}/${s})
  endforeach()
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/host
    COMMAND g++ -std=c++20 -O2 -Wall -Wextra -Werror -I${CMAKE_SOURCE_DIR} -o ${out} ${sources}
    DEPENDS ${sources}
    COMMENT "host tool ${name}"
    VERBATIM)
  add_custom_target(host_${name} DEPENDS ${out})
  string(TOUPPER ${name} upper)
  string(REPLACE "-" "_" upper ${upper})
  set(MIXARRO_HOST_${upper} ${out} PARENT_SCOPE)
endfunction()
