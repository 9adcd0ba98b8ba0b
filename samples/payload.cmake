# The sample payload: every file of each edition's catalogue, assembled at build time into
# ${CMAKE_BINARY_DIR}/sample-payload/<Edition>/ from the stand-ins (samples.cmake) and the
# small files of samples/ (assemble.cmake). Needs MIXARRO_PACK_TOOL (the packing tool, which
# knows the catalogue order) and MIXARRO_PACK_DEPENDS (what builds it).
include_guard(GLOBAL)

set(MIXARRO_STANDIN_FILES subsetup.exe asio.dll regsvr.exe app.exe module.dll)

# mixarro_sample_payload(<edition> <arch>): the command that assembles the edition's sample
# folder for an installer of <arch> (whose 32-bit ASIO modules it loads in process). Sets
# MIXARRO_SAMPLE_DIR_<EDITION> and MIXARRO_SAMPLE_STAMP_<EDITION> (the file to depend on).
function(mixarro_sample_payload edition arch)
  string(TOUPPER ${edition} upper)
  set(dir ${CMAKE_BINARY_DIR}/sample-payload/${edition})
  set(stamp ${CMAKE_BINARY_DIR}/sample-payload/${edition}.stamp)
  set(standins)
  foreach(a IN ITEMS i686 x86_64)
    foreach(f IN LISTS MIXARRO_STANDIN_FILES)
      list(APPEND standins ${CMAKE_BINARY_DIR}/standins/${a}/${f})
    endforeach()
  endforeach()
  add_custom_command(OUTPUT ${stamp}
    COMMAND ${CMAKE_COMMAND} -DPACK=${MIXARRO_PACK_TOOL} -DEDITION=${edition}
            -DSTANDINS=${CMAKE_BINARY_DIR}/standins -DARCH=${arch}
            -DSOURCE=${CMAKE_SOURCE_DIR}/samples -DOUT=${dir}
            -P ${CMAKE_SOURCE_DIR}/samples/assemble.cmake
    COMMAND ${CMAKE_COMMAND} -E touch ${stamp}
    # The target-level dependency keeps the stand-ins' commands out of the using target.
    DEPENDS mixarro_standins ${standins} ${MIXARRO_PACK_DEPENDS}
            ${CMAKE_SOURCE_DIR}/samples/assemble.cmake ${CMAKE_SOURCE_DIR}/samples/readme.txt
            ${CMAKE_SOURCE_DIR}/samples/placeholder_72x72.png
    COMMENT "sample payload of ${edition} (${arch})"
    VERBATIM)
  set(MIXARRO_SAMPLE_DIR_${upper} ${dir} PARENT_SCOPE)
  set(MIXARRO_SAMPLE_STAMP_${upper} ${stamp} PARENT_SCOPE)
endfunction()

# The full-size Indigo payload for benchmarks, on demand only: its blob is exactly
# 61,871,884 bytes, ${CMAKE_BINARY_DIR}/fullsize-payload/Indigo.blob.
set(MIXARRO_FULLSIZE_BLOB ${CMAKE_BINARY_DIR}/fullsize-payload/Indigo.blob)
add_custom_target(mixarro_fullsize_payload
  COMMAND ${CMAKE_COMMAND} -DPACK=${MIXARRO_PACK_TOOL} -DEDITION=Indigo
          -DSTANDINS=${CMAKE_BINARY_DIR}/standins -DARCH=x86_64
          -DSOURCE=${CMAKE_SOURCE_DIR}/samples -DOUT=${CMAKE_BINARY_DIR}/fullsize-payload/Indigo
          -DBLOB_SIZE=61871884 -P ${CMAKE_SOURCE_DIR}/samples/assemble.cmake
  COMMAND ${MIXARRO_PACK_TOOL} pack --edition indigo
          --from ${CMAKE_BINARY_DIR}/fullsize-payload/Indigo --out ${MIXARRO_FULLSIZE_BLOB}
  DEPENDS mixarro_standins ${MIXARRO_PACK_DEPENDS}
  COMMENT "full-size Indigo payload (61,871,884-byte blob)"
  VERBATIM)
