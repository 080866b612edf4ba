# Win32 test programs run under Wine: CTest starts every cross-built program through tools/wine-run,
# which sets up the bench of the program's architecture (tools/wine-env) and strips the CRs from
# the program's output. The i686 and x86_64 trees each have a bench of their own.
set(VK_WINE_RUN ${CMAKE_SOURCE_DIR}/tools/wine-run)
set(CMAKE_CROSSCOMPILING_EMULATOR ${VK_WINE_RUN})

set(VK_WINE_TEST_TIMEOUT 180 CACHE STRING "Seconds one Win32 test may run under Wine")

include(GoogleTest)

# The demo CD (tools/make-demo-cd) in <build>/demo-cd: setup.exe, the stand-ins, small data files
# and the manifest. The Win32 and end-to-end tests copy from it.
set(VK_DEMO_CD ${CMAKE_BINARY_DIR}/demo-cd)
add_custom_command(
  OUTPUT ${CMAKE_BINARY_DIR}/demo-cd.stamp
  COMMAND ${CMAKE_SOURCE_DIR}/tools/make-demo-cd ${VK_DEMO_CD} --build-dir ${CMAKE_BINARY_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${CMAKE_BINARY_DIR}/demo-cd.stamp
  DEPENDS ${CMAKE_SOURCE_DIR}/tools/make-demo-cd setup standin_game standin_soundin standin_update
  COMMENT "Making the demo CD in ${VK_DEMO_CD}"
  VERBATIM)
add_custom_target(vk_demo_cd DEPENDS ${CMAKE_BINARY_DIR}/demo-cd.stamp)

# The manifest checker's Windows build finds the demo CD clean, as the native one does: exit
# status 0 and "clean" last (cmake/expect_run.cmake checks both).
set(VK_EXPECT_RUN ${CMAKE_SOURCE_DIR}/cmake/expect_run.cmake)
add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}.lstcheck.demo_cd
         COMMAND ${CMAKE_COMMAND} -DSTATUS=0 "-DOUTPUT=setup.lst: clean\n$" -P ${VK_EXPECT_RUN}
                 -- ${VK_WINE_RUN} $<TARGET_FILE:lstcheck> Z:${VK_DEMO_CD})
set_tests_properties(${CMAKE_SYSTEM_PROCESSOR}.lstcheck.demo_cd PROPERTIES
  RESOURCE_LOCK vk_wine_prefix_${CMAKE_SYSTEM_PROCESSOR}
  LABELS "wine;${CMAKE_SYSTEM_PROCESSOR}")

# The demo CD carries the setup as a player gets it: no symbols, no debug sections.
add_test(NAME ${CMAKE_SYSTEM_PROCESSOR}.demo_cd.setup_stripped COMMAND ${CMAKE_OBJDUMP} -h -p ${VK_DEMO_CD}/setup.exe)
set_tests_properties(${CMAKE_SYSTEM_PROCESSOR}.demo_cd.setup_stripped PROPERTIES
  PASS_REGULAR_EXPRESSION "symbols stripped" FAIL_REGULAR_EXPRESSION "\\.debug" LABELS "${CMAKE_SYSTEM_PROCESSOR}")

# One CTest entry per GoogleTest test, named <arch>.<target>.<Suite>.<Test> (i686.e2e_tests...,
# x86_64.e2e_tests...). The list is taken when CTest starts, by running the program under Wine.
# The Wine tests of one architecture share one prefix, its registry, its drives and the desktop,
# so they run one at a time whatever -j says; the two architectures' benches are apart.
#
# A program that cannot list its tests would stop CTest as a whole (GoogleTest's discovery ends
# with a fatal error); the guard below turns that into one failing test, <target>.list_tests, and
# the other trees' tests still run.
#
# The labels and the environment are lists, which gtest_discover_tests's PROPERTIES flattens into
# separate arguments (a label "wine" and a property named "x86_64"): the guard sets them on the
# list of discovered tests instead.
#
# vk_add_wine_tests(target [FIXTURES_REQUIRED fixture]): the program's tests need that CTest
# fixture set up first.
function(vk_add_wine_tests target)
  cmake_parse_arguments(PARSE_ARGV 1 vk "" "" "FIXTURES_REQUIRED")
  add_dependencies(${target} vk_demo_cd)
  set(arch ${CMAKE_SYSTEM_PROCESSOR})
  set(properties RESOURCE_LOCK vk_wine_prefix_${arch} TIMEOUT ${VK_WINE_TEST_TIMEOUT})
  if(vk_FIXTURES_REQUIRED)
    list(APPEND properties FIXTURES_REQUIRED ${vk_FIXTURES_REQUIRED})
  endif()
  gtest_discover_tests(${target}
    TEST_PREFIX "${arch}.${target}."
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 120
    TEST_LIST ${target}_discovered
    PROPERTIES ${properties})

  get_property(includes DIRECTORY PROPERTY TEST_INCLUDE_FILES)
  list(POP_BACK includes discovery)
  string(REGEX REPLACE "_include\\.cmake$" "_tests.cmake" discovered "${discovery}")
  set(guard ${CMAKE_CURRENT_BINARY_DIR}/${target}_wine_include.cmake)
  set(exe "$<TARGET_FILE:${target}>")
  string(CONFIGURE [=[
if(EXISTS "@exe@" AND NOT "@discovered@" IS_NEWER_THAN "@exe@")
  execute_process(COMMAND "@VK_WINE_RUN@" "@exe@" --gtest_list_tests
    WORKING_DIRECTORY "@CMAKE_CURRENT_BINARY_DIR@"
    RESULT_VARIABLE listed OUTPUT_QUIET ERROR_QUIET TIMEOUT 120)
  if(NOT listed EQUAL 0)
    add_test("@arch@.@target@.list_tests" "@VK_WINE_RUN@" "@exe@" --gtest_list_tests)
    set_tests_properties("@arch@.@target@.list_tests" PROPERTIES RESOURCE_LOCK vk_wine_prefix_@arch@
      ENVIRONMENT "VK_BUILD_DIR=@CMAKE_BINARY_DIR@;VK_WINE_ARCH=@arch@" TIMEOUT @VK_WINE_TEST_TIMEOUT@
      LABELS "wine;@arch@")
    return()
  endif()
endif()
include("@discovery@")
if(@target@_discovered)
  set_tests_properties(${@target@_discovered} PROPERTIES LABELS "wine;@arch@"
    ENVIRONMENT "VK_BUILD_DIR=@CMAKE_BINARY_DIR@;VK_WINE_ARCH=@arch@")
endif()
]=] content @ONLY)
  file(GENERATE OUTPUT ${guard} CONTENT "${content}")
  set_property(DIRECTORY PROPERTY TEST_INCLUDE_FILES ${includes} ${guard})
endfunction()
