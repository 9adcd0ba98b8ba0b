# GUI checks of the real x86-64 program under Wine, each on an X server of its own (tests/wine/xvfb.sh;
# one at a time, as they time blinking). Included by the Windows build, x86-64 only.
if(MIXARRO_ARCH STREQUAL "x86_64")
  # Reads message box texts and makes close requests from inside the checks' prefix.
  add_executable(gui_probe ${CMAKE_SOURCE_DIR}/tests/gui/gui_probe_win.cpp)
  target_link_libraries(gui_probe PRIVATE user32)
  mixarro_warnings(gui_probe)

  # They take the longest and run one after the other: a high cost starts them first, so
  # that the other tests fill the second slot beside them rather than wait at the end.
  add_test(NAME window_gui COMMAND bash ${CMAKE_SOURCE_DIR}/tests/gui/window_gui.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(window_gui PROPERTIES TIMEOUT 300 RESOURCE_LOCK xdisplay COST 500)
  # The window driven to the end of each flow: install, removal, foreign setup, error
  # notice, and the Cobalt build's own boxes.
  foreach(flow IN ITEMS install remove foreign error cobalt)
    add_test(NAME window_gui_${flow}
      COMMAND bash ${CMAKE_SOURCE_DIR}/tests/gui/window_flows.sh ${CMAKE_BINARY_DIR} ${flow})
    set_tests_properties(window_gui_${flow} PROPERTIES TIMEOUT 300 RESOURCE_LOCK xdisplay COST 500)
  endforeach()
endif()
