# System libraries every part of the program may call. oleacc comes after uuid so that
# IID_IAccessible resolves to the GUID rather than mingw's code thunk.
set(ARDMOOR_SYSTEM_LIBS
  comctl32 shell32 shlwapi ole32 oleaut32 uuid oleacc uxtheme gdi32 user32 advapi32
  version comdlg32 winspool iphlpapi)

# add_ardmoor_test(NAME [DESKTOP] SOURCES... [PROPERTIES ...]) builds a GoogleTest exe and registers its cases with
# ctest. Cases are listed at test time (through Wine), so building needs no Wine prefix. DESKTOP
# marks tests that open windows or send input: they never run alongside each other.
function(add_ardmoor_test name)
  cmake_parse_arguments(T "DESKTOP" "" "PROPERTIES" ${ARGN})
  set(lock)
  if(T_DESKTOP)
    set(lock RESOURCE_LOCK desktop)
  endif()
  # The program's resources (manifest for common controls 6, icons, icon files) come along, so
  # tests see what the program sees.
  add_executable(${name} ${T_UNPARSED_ARGUMENTS} ${CMAKE_SOURCE_DIR}/resources/ardmoor.rc)
  target_link_libraries(${name} PRIVATE ardmoor_core ardmoor_testsupport GTest::gtest_main)
  if(NOT MSVC)
    target_link_options(${name} PRIVATE -mconsole)
  endif()
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST DISCOVERY_TIMEOUT 120
    PROPERTIES TIMEOUT 300 ${lock} ${T_PROPERTIES})
endfunction()
