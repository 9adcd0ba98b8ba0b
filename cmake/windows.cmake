# Windows builds (MinGW-w64): the program once per edition, the Windows-side tests and the
# stand-in programs of the sample payload. win64 is the test vehicle; win32 is the deliverable.
if(CMAKE_SYSTEM_PROCESSOR STREQUAL "x86_64")
  set(MIXARRO_ARCH x86_64)
else()
  set(MIXARRO_ARCH i686)
endif()

# Some machines cannot run 32-bit code at all (virtual machines without the processor's 32-bit
# mode; tests/wine/can_run_32bit.sh tells). There the 32-bit build registers only its checks
# that need no Wine, and the x86-64 build's tests run their own stand-ins where a 32-bit one
# would run under WoW64 (MIXARRO_CAN_RUN_32BIT=0 in their environment).
execute_process(COMMAND bash ${CMAKE_SOURCE_DIR}/tests/wine/can_run_32bit.sh
                RESULT_VARIABLE cannot_run_32bit OUTPUT_VARIABLE why OUTPUT_STRIP_TRAILING_WHITESPACE)
if(cannot_run_32bit)
  message(STATUS "${why}")
  set(MIXARRO_CAN_RUN_32BIT 0)
else()
  set(MIXARRO_CAN_RUN_32BIT 1)
endif()
set(MIXARRO_TEST_ENVIRONMENT "MIXARRO_ARCH=${MIXARRO_ARCH};MIXARRO_CAN_RUN_32BIT=${MIXARRO_CAN_RUN_32BIT}")
# Whether this build's own programs run under Wine here.
if(MIXARRO_ARCH STREQUAL "i686" AND NOT MIXARRO_CAN_RUN_32BIT)
  set(MIXARRO_RUNS_HERE FALSE)
else()
  set(MIXARRO_RUNS_HERE TRUE)
endif()

# Static C and C++ runtime: the programs need nothing but system DLLs. No time stamp in the
# PE header and no build folder in the code, so that the same inputs give the same program.
add_link_options(-static -static-libgcc -static-libstdc++ -Wl,--no-insert-timestamp)
add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}=. -ffile-prefix-map=${CMAKE_BINARY_DIR}=build)
add_compile_definitions(WIN32_LEAN_AND_MEAN NOMINMAX _WIN32_WINNT=0x0601 WINVER=0x0601)

set(MIXARRO_WIN_LIBS shell32 ole32 oleaut32 uuid advapi32 user32 gdi32 kernel32)

add_library(mixarro_core STATIC ${MIXARRO_PORTABLE_SOURCES})
# The deliverable is optimised for size, which costs the payload's one-pass walk (three chains
# of dependent steps side by side, seven registers in the 32-bit build) a third of its speed:
# the payload core is worth its few extra bytes.
list(TRANSFORM MIXARRO_PAYLOAD_CORE_SOURCES PREPEND ${CMAKE_SOURCE_DIR}/
               OUTPUT_VARIABLE payload_core_sources)
set_source_files_properties(${payload_core_sources} PROPERTIES COMPILE_OPTIONS -O2)
target_include_directories(mixarro_core PUBLIC ${CMAKE_SOURCE_DIR})
mixarro_warnings(mixarro_core)

add_library(mixarro_win STATIC ${MIXARRO_WIN_SOURCES})
target_link_libraries(mixarro_win PUBLIC mixarro_core ${MIXARRO_WIN_LIBS})
mixarro_warnings(mixarro_win)

include(${CMAKE_SOURCE_DIR}/samples/samples.cmake)
include(${CMAKE_SOURCE_DIR}/resources/resources.cmake)

# One program per edition, each with its own edition table and resources.
foreach(edition IN ITEMS Indigo Cobalt)
  string(TOUPPER ${edition} EDITION_UPPER)
  mixarro_edition_resources(${edition} rc_file system_cp_rc)
  add_executable(MixarroSetup-${edition} WIN32
    ${CMAKE_SOURCE_DIR}/shell/main_win.cpp
    ${CMAKE_SOURCE_DIR}/editions/this_edition.cpp
    ${CMAKE_SOURCE_DIR}/system/faults_none_win.cpp
    ${CMAKE_SOURCE_DIR}/system/short_names_win.cpp
    ${rc_file})
  target_compile_definitions(MixarroSetup-${edition} PRIVATE MIXARRO_EDITION_TABLE=${EDITION_UPPER}_EDITION)
  target_link_libraries(MixarroSetup-${edition} PRIVATE mixarro_win)
  add_dependencies(MixarroSetup-${edition} MixarroResources-${edition})
  mixarro_warnings(MixarroSetup-${edition})

  # Test builds of the same program as a system that ignores the manifest's code page runs it
  # (Windows before 10 version 1903): the 8-bit calls speak the system's code page. The second
  # also stands on a volume without short (8.3) names.
  foreach(variant IN ITEMS system-cp no-short-names)
    if(variant STREQUAL "system-cp")
      set(short_names ${CMAKE_SOURCE_DIR}/system/short_names_win.cpp)
    else()
      set(short_names ${CMAKE_SOURCE_DIR}/system/short_names_none_win.cpp)
    endif()
    set(target MixarroSetup-${edition}-${variant})
    add_executable(${target} WIN32
      ${CMAKE_SOURCE_DIR}/shell/main_win.cpp
      ${CMAKE_SOURCE_DIR}/editions/this_edition.cpp
      ${CMAKE_SOURCE_DIR}/system/faults_none_win.cpp
      ${short_names}
      ${system_cp_rc})
    target_compile_definitions(${target} PRIVATE MIXARRO_EDITION_TABLE=${EDITION_UPPER}_EDITION)
    target_link_libraries(${target} PRIVATE mixarro_win)
    add_dependencies(${target} MixarroResources-${edition})
    mixarro_warnings(${target})
  endforeach()
endforeach()

# Windows-side tests: GoogleTest under wine64, each test in a fresh copy of the test prefix.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory(${GTEST_SOURCE_DIR} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
include(GoogleTest)

file(GLOB WIN_TEST_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/tests/win/*.cpp)
# The tests choose the edition they run the procedures for (Indigo unless a test says
# otherwise), and link the fault points that count and inject.
add_executable(win_tests ${WIN_TEST_SOURCES} ${CMAKE_SOURCE_DIR}/system/faults_inject_win.cpp
  ${CMAKE_SOURCE_DIR}/system/short_names_win.cpp)
target_link_libraries(win_tests PRIVATE mixarro_win GTest::gtest setupapi)
mixarro_warnings(win_tests)
add_dependencies(win_tests MixarroSetup-Indigo MixarroSetup-Cobalt mixarro_standins)
# Suites whose cases work in scratch folders and keys of their own and clean up after
# themselves run their whole table in one Wine process, one CTest test per suite: a Wine
# start costs more than most of their cases. The other cases (those that install the product
# and look at the whole machine afterwards) each get a fresh copy of the prefix.
set(MIXARRO_WIN_SUITES_IN_ONE_PROCESS
  Asio SubSetups Shortcuts LeftoverFiles InstalledFiles FolderTree RegistryTree RegistryHelpers
  PayloadReader PayloadFiles UsbGpi Presence SetupProgramCheck MainWindow Startup AnsiPaths
  StartupDeliverable)
# The 32-bit build runs in WoW64, where drawing fails: only the tests meant for the
# deliverable (hidden mode) run there.
if(MIXARRO_ARCH STREQUAL "x86_64")
  set(suites ${MIXARRO_WIN_SUITES_IN_ONE_PROCESS})
  set(positive "*")
else()
  set(suites ${MIXARRO_WIN_SUITES_IN_ONE_PROCESS})
  list(FILTER suites INCLUDE REGEX "Deliverable")
  set(positive "*Deliverable*")
endif()
set(grouped)
foreach(suite IN LISTS MIXARRO_WIN_SUITES_IN_ONE_PROCESS)
  list(APPEND grouped "${suite}.*")
endforeach()
# The fault sweeps run in shards of their own, registered below.
list(APPEND grouped "Faults.*")
list(JOIN grouped ":" grouped)
# The test program lists its cases when CTest starts: only where it can run.
if(MIXARRO_RUNS_HERE)
  gtest_discover_tests(win_tests DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    TEST_FILTER "${positive}-${grouped}"
    PROPERTIES ENVIRONMENT "${MIXARRO_TEST_ENVIRONMENT}")
  foreach(suite IN LISTS suites)
    add_test(NAME ${suite} COMMAND win_tests --gtest_filter=${suite}.*)
    # A suite that lost its cases to a rename must not pass by running nothing.
    set_tests_properties(${suite} PROPERTIES ENVIRONMENT "${MIXARRO_TEST_ENVIRONMENT}"
                         FAIL_REGULAR_EXPRESSION "Running 0 tests")
  endforeach()
endif()

# Every call of an install and of a removal failed in turn, for each edition. A sweep runs
# hundreds of procedures: each is cut into shards (every third call), so that CTest can run
# them beside the other tests and none is left running alone at the end.
if(MIXARRO_ARCH STREQUAL "x86_64")
  set(MIXARRO_FAULT_SHARDS 3)
  foreach(sweep IN ITEMS IndigoInstall IndigoRemoval CobaltInstall CobaltRemoval)
    foreach(shard RANGE 1 ${MIXARRO_FAULT_SHARDS})
      set(name Faults.${sweep}.${shard}of${MIXARRO_FAULT_SHARDS})
      add_test(NAME ${name} COMMAND win_tests --gtest_filter=Faults.${sweep})
      set_tests_properties(${name} PROPERTIES
        ENVIRONMENT "${MIXARRO_TEST_ENVIRONMENT};MIXARRO_FAULT_SHARD=${shard}/${MIXARRO_FAULT_SHARDS}"
        FAIL_REGULAR_EXPRESSION "Running 0 tests" TIMEOUT 1200 COST 300)
    endforeach()
  endforeach()
endif()

# Each program is a GUI program of the build's architecture that imports system DLLs only,
# and carries its edition's version block and manifest.
foreach(expected IN ITEMS "Indigo 3.0.2.8 Mixarro8Setup" "Cobalt 2.0.6.2 MixarroProSetup")
  separate_arguments(expected)
  list(GET expected 0 edition)
  add_test(NAME VersionBlock.${edition}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/version_check.sh $<TARGET_FILE:MixarroSetup-${edition}>
            ${expected} ${MIXARRO_MANIFEST_ARCH})
  add_test(NAME PeImage.${edition}
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/pe_check.sh ${MIXARRO_ARCH}-w64-mingw32-objdump
            $<TARGET_FILE:MixarroSetup-${edition}> ${MIXARRO_ARCH})
  set_tests_properties(VersionBlock.${edition} PeImage.${edition} PROPERTIES LABELS no-wine)
endforeach()

# The programs carry no fault injection; the test program does.
add_test(NAME NoFaultInjection
  COMMAND bash ${CMAKE_SOURCE_DIR}/tests/no_fault_injection.sh mixarro-fault-injection
          $<TARGET_FILE:win_tests> $<TARGET_FILE:MixarroSetup-Indigo> $<TARGET_FILE:MixarroSetup-Cobalt>)
set_tests_properties(NoFaultInjection PROPERTIES LABELS no-wine)

# No DLL planted beside the installer is loaded, in either build.
add_library(planted_mark SHARED ${CMAKE_SOURCE_DIR}/tests/dll_search/planted_mark_win.cpp)
set_target_properties(planted_mark PROPERTIES PREFIX "")
mixarro_warnings(planted_mark)
add_dependencies(win_tests planted_mark)
# The checks below run the programs under Wine.
if(MIXARRO_RUNS_HERE)
  add_test(NAME PlantedDlls
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/dll_search/planted_dlls.sh
            $<TARGET_FILE:MixarroSetup-Indigo> $<TARGET_FILE:planted_mark>)
  set_tests_properties(PlantedDlls PROPERTIES TIMEOUT 300)

  # The removal deletes nothing behind a link where a catalogue folder should be.
  add_test(NAME LinkedSubfolder
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/links/linked_subfolder.sh $<TARGET_FILE:MixarroSetup-Indigo>)
  set_tests_properties(LinkedSubfolder PROPERTIES TIMEOUT 300)

  # Checks of the real window under an X server.
  include(${CMAKE_SOURCE_DIR}/tests/gui/gui.cmake)
  # Sequences of runs, restarts and held files on one machine.
  include(${CMAKE_SOURCE_DIR}/tests/scenarios/scenarios.cmake)
  # The machine's states and the runs between them, breadth first.
  include(${CMAKE_SOURCE_DIR}/tests/explorer/explorer.cmake)
endif()

# The release command builds the deliverable twice in folders of its own and signs it.
if(MIXARRO_ARCH STREQUAL "i686")
  add_test(NAME ReleaseCommand
    COMMAND bash ${CMAKE_SOURCE_DIR}/tests/release_test.sh ${CMAKE_BINARY_DIR}/release-test)
  # The longest test of this build: started first, the others run beside it.
  set_tests_properties(ReleaseCommand PROPERTIES TIMEOUT 1800 COST 1000 LABELS no-wine)
endif()

# Benchmark programs, built on demand only.
include(${CMAKE_SOURCE_DIR}/tests/bench/bench.cmake)
