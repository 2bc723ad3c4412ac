# GoogleTest, built from Debian's source package so that the native and the
# cross build use the same version.
set(LULLCAST_GOOGLETEST_SOURCE "/usr/src/googletest" CACHE PATH "GoogleTest source tree")
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
add_subdirectory("${LULLCAST_GOOGLETEST_SOURCE}" "${CMAKE_BINARY_DIR}/googletest" EXCLUDE_FROM_ALL SYSTEM)
include(GoogleTest)

if(CMAKE_CROSSCOMPILING AND WIN32)
  include(LullCastWineSession)
endif()

# lullcast_add_test(<name> SOURCES <files...> LIBRARIES <targets...>)
#
# Every test case is a CTest test of its own (under the build's emulator, if
# any), except under Wine: there each program is one CTest test, since starting
# Wine for every case is slow. Programs not in a non-empty
# LULLCAST_TEST_PROGRAMS are left out.
function(lullcast_add_test name)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "SOURCES;LIBRARIES")
  if(LULLCAST_TEST_PROGRAMS AND NOT name IN_LIST LULLCAST_TEST_PROGRAMS)
    return()
  endif()
  add_executable(${name} ${arg_SOURCES})
  target_link_libraries(${name} PRIVATE ${arg_LIBRARIES} lullcast_options GTest::gtest_main GTest::gmock)
  if(CMAKE_CROSSCOMPILING AND WIN32)
    add_test(NAME ${name} COMMAND ${name})
    # The programs share one X display, its focus and its mouse pointer, so
    # they take turns.
    set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED wine_session RESOURCE_LOCK wine_display)
    lullcast_add_session_run(144dpi ${name})
  else()
    gtest_discover_tests(${name} DISCOVERY_TIMEOUT 60)
  endif()
endfunction()
