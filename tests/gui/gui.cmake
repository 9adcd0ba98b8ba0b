# GUI checks of the real x86-64 program under Wine and an X server (xvfb-run when no
# DISPLAY is set). Included by the Windows build; 32-bit GDI drawing fails under WoW64.
if(MIXARRO_ARCH STREQUAL "x86_64")
  add_test(NAME window_gui COMMAND bash ${CMAKE_SOURCE_DIR}/tests/gui/window_gui.sh ${CMAKE_BINARY_DIR})
  set_tests_properties(window_gui PROPERTIES TIMEOUT 300 RESOURCE_LOCK xdisplay)
endif()
