# Test helpers shared by every folder under tests/.
#
# Test programs are named <folder>_test, in lower case with underscores,
# after the short name of the folder they test (posix, win32_kernel,
# win32_profile, win32_user, raster, ddraw, retained, rendal, saver, tool,
# settings); a folder's further programs add what they cover
# (saver_scene_test). End-to-end scripts are
# named for what they show, in words joined by hyphens, and run as
# e2e_<script>. GoogleTest suites are named for what they test and end in
# Test (DeathTest where gtest wants it), fixture or not.

# vantel_add_gtest(<name> SOURCES <files...> LIBS <targets...> [ENV <VAR=value...>] [ON_DISPLAY])
# One GoogleTest program; its cases become ctest tests. Unit tests run with
# SDL's dummy video driver and Qt's offscreen platform, so they need no display.
# ON_DISPLAY is for what only a real display shows: the program runs whole as
# one end-to-end test on the private Xvfb instead (vantel_add_e2e_test).
function(vantel_add_gtest name)
  cmake_parse_arguments(ARG "ON_DISPLAY" "" "SOURCES;LIBS;ENV" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tests)
  target_compile_definitions(${name} PRIVATE VANTEL_BIN_DIR="${CMAKE_BINARY_DIR}/bin"
                                             VANTEL_SOURCE_DIR="${PROJECT_SOURCE_DIR}")
  if(ARG_ON_DISPLAY)
    vantel_add_e2e_test(${name} COMMAND $<TARGET_FILE:${name}>)
    return()
  endif()
  # gtest_discover_tests flattens its PROPERTIES, so an ENVIRONMENT list
  # would keep only its first variable; the test programs run through env(1)
  # instead, for discovery and for every test.
  set_target_properties(${name} PROPERTIES CROSSCOMPILING_EMULATOR
    "env;SDL_VIDEODRIVER=dummy;QT_QPA_PLATFORM=offscreen;LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0;${ARG_ENV}")
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES TIMEOUT 300)
endfunction()

# vantel_add_e2e_test(<name> COMMAND <command...>)
# A test that runs against the real binaries on a private Xvfb display, which
# the fixture starts once per ctest run. DISPLAY is set for the command.
function(vantel_add_e2e_test name)
  cmake_parse_arguments(ARG "" "" "COMMAND" ${ARGN})
  add_test(NAME ${name}
           COMMAND ${PROJECT_SOURCE_DIR}/tests/e2e/with-display.sh ${CMAKE_BINARY_DIR} ${ARG_COMMAND})
  set_tests_properties(${name} PROPERTIES
    FIXTURES_REQUIRED xvfb
    RESOURCE_LOCK display
    TIMEOUT 300
    LABELS e2e
    ENVIRONMENT "VANTEL_BIN_DIR=${CMAKE_BINARY_DIR}/bin;VANTEL_BUILD_DIR=${CMAKE_BINARY_DIR};VANTEL_SOURCE_DIR=${PROJECT_SOURCE_DIR};LSAN_OPTIONS=suppressions=${PROJECT_SOURCE_DIR}/tests/lsan.supp:print_suppressions=0")
endfunction()
