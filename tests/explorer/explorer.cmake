# The machine's lifecycle explored as a state machine (tests/explorer/explore.sh), bounded so
# that the test command stays short: the states two switch runs, entry uninstalls or restarts
# away from the clean machine (where one edition's run meets the other edition's product), each
# with the guide's recovery. `bash tools/explore.sh` runs the whole exploration. It runs on the deliverable; on a machine that cannot run the
# 32-bit build, the x86-64 build runs it in its place.
add_executable(explore_pending ${CMAKE_SOURCE_DIR}/tests/explorer/pending_win.cpp)
mixarro_warnings(explore_pending)
if(MIXARRO_ARCH STREQUAL "i686" OR NOT MIXARRO_CAN_RUN_32BIT)
  add_test(NAME Explorer.bounded
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/explorer/explore.sh ${CMAKE_BINARY_DIR}
            --depth 2 --actions I.i,I.u,C.i,C.u,entry.u,restart
            --out ${CMAKE_BINARY_DIR}/explorer-bounded)
  # One of the longest tests: started early, the others run beside it.
  set_tests_properties(Explorer.bounded PROPERTIES TIMEOUT 1200 COST 100)
endif()
