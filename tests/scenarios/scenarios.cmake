# Scenarios of runs that follow runs on one machine, for both editions. The 32-bit build
# runs the hidden ones (WoW64 cannot draw); the x86-64 build runs them all.
add_executable(scenario_holder ${CMAKE_SOURCE_DIR}/tests/scenarios/holder_win.cpp)
mixarro_warnings(scenario_holder)
set(MIXARRO_HIDDEN_SCENARIOS
    in_use_reinstall_restart in_use_restart in_use_uninstall_again_reinstall_restart other_edition
    other_edition_switch removal_missing_subsetup removal_blocked_subsetup)
set(MIXARRO_SHOWN_SCENARIOS shown_corrupted_install shown_install_remove remove_click_failing_subsetup
    other_edition_shown)
set(scenarios ${MIXARRO_HIDDEN_SCENARIOS})
if(MIXARRO_ARCH STREQUAL "x86_64")
  list(APPEND scenarios ${MIXARRO_SHOWN_SCENARIOS})
endif()
foreach(edition IN ITEMS Indigo Cobalt)
  foreach(scenario IN LISTS scenarios)
    add_test(NAME Scenario.${edition}.${scenario}
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scenarios/scenarios.sh ${CMAKE_BINARY_DIR} ${edition} ${scenario})
    set_tests_properties(Scenario.${edition}.${scenario} PROPERTIES TIMEOUT 600)
  endforeach()
endforeach()

# A user whose name the session's code page lacks, the installer started from a folder named
# in letters it lacks too; the program as Windows 10 (1903 and later) runs it, and its test
# builds as an older Windows runs it, with and without short names.
foreach(edition IN ITEMS Indigo Cobalt)
  foreach(case IN ITEMS utf8.latin.downloads utf8.cjk.cjk utf8.latin.programfiles
                        system-cp.latin.downloads system-cp.cjk.cjk no-short-names.latin.cjk)
    add_test(NAME UserNames.${edition}.${case}
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scenarios/user_names.sh ${CMAKE_BINARY_DIR} ${edition} ${case})
    set_tests_properties(UserNames.${edition}.${case} PROPERTIES TIMEOUT 600)
  endforeach()
endforeach()

# The deliverable killed after each step of an install and of a removal, then recovered as the
# deployment guide says. On a machine that cannot run the 32-bit build, the x86-64 build runs
# them in its place.
if(MIXARRO_ARCH STREQUAL "i686" OR NOT MIXARRO_CAN_RUN_32BIT)
  foreach(edition IN ITEMS Indigo Cobalt)
    foreach(procedure IN ITEMS install uninstall)
      add_test(NAME KillAtEveryStep.${edition}.${procedure}
        COMMAND bash ${CMAKE_SOURCE_DIR}/tests/scenarios/kill.sh ${CMAKE_BINARY_DIR} ${edition} ${procedure})
      set_tests_properties(KillAtEveryStep.${edition}.${procedure} PROPERTIES TIMEOUT 900 COST 60)
    endforeach()
  endforeach()
endif()
