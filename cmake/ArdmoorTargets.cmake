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

# ardmoor_delay_load(TARGET DLL...) has TARGET load these system DLLs when it first calls into them
# instead of at start. The command line needs none of the window's libraries: it runs on kernel32
# and advapi32 alone and starts as fast as a bare console program. (Under Wine, loading comctl32,
# itself or through comdlg32, uxtheme or winspool, even starts the display driver and the desktop
# process: seconds that every script would wait for.)
function(ardmoor_delay_load target)
  if(MSVC)
    foreach(dll ${ARGN})
      target_link_options(${target} PRIVATE /DELAYLOAD:${dll})
    endforeach()
    target_link_libraries(${target} PRIVATE delayimp)
    return()
  endif()
  if(NOT CMAKE_DLLTOOL OR NOT CMAKE_NM)
    message(WARNING "no dlltool: ${target} loads ${ARGN} at start")
    return()
  endif()
  set(folder ${CMAKE_BINARY_DIR}/delayload)
  file(MAKE_DIRECTORY ${folder})
  foreach(dll ${ARGN})
    get_filename_component(name ${dll} NAME_WE)
    find_library(ARDMOOR_IMPORT_${name} NAMES ${name})
    # The DLL's functions, by name, from its import library (the names with a code thunk: data and
    # GUIDs stay with the ordinal libraries); dlltool turns them into a delay-load library.
    execute_process(COMMAND ${CMAKE_NM} -g ${ARDMOOR_IMPORT_${name}} OUTPUT_VARIABLE symbols ERROR_QUIET)
    string(REGEX MATCHALL " T [A-Za-z_][A-Za-z0-9_]*" functions "${symbols}")
    list(TRANSFORM functions REPLACE "^ T " "")
    list(FILTER functions EXCLUDE REGEX "^(IID|CLSID|LIBID|GUID|FMTID|DIID)_")
    list(REMOVE_DUPLICATES functions)
    list(JOIN functions "\n" exports)
    file(WRITE ${folder}/${name}.def "LIBRARY ${dll}\nEXPORTS\n${exports}\n")
    execute_process(COMMAND ${CMAKE_DLLTOOL} --input-def ${folder}/${name}.def --dllname ${dll}
                            --output-delaylib ${folder}/lib${name}_delay.a RESULT_VARIABLE failed)
    if(failed)
      message(WARNING "no delay-load library for ${dll}: ${target} loads it at start")
    else()
      target_link_libraries(${target} PRIVATE ${folder}/lib${name}_delay.a)
    endif()
  endforeach()
endfunction()
