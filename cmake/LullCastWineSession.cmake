# The Wine session that cross-built tests run in: a CTest fixture whose setup
# prepares the build's Wine prefix and, without a DISPLAY, starts one Xvfb for
# the run; its cleanup ends the wineserver and that Xvfb, also after failures.
set(LULLCAST_WINE_SESSION_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/wine-session.sh")

add_test(NAME wine_session_setup COMMAND sh "${LULLCAST_WINE_SESSION_SCRIPT}" start "${CMAKE_BINARY_DIR}")
# The first run creates the prefix (several seconds); later runs reuse it.
set_tests_properties(wine_session_setup PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 180)

add_test(NAME wine_session_cleanup COMMAND sh "${LULLCAST_WINE_SESSION_SCRIPT}" stop "${CMAKE_BINARY_DIR}")
set_tests_properties(wine_session_cleanup PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 60)

# A second session whose prefix reports Windows XP, the oldest system that
# lullcast.exe runs on, so that the window and end-to-end suites also run
# where the program sees XP. It has its own prefix, X server and wineserver.
set(LULLCAST_WINXP_ENVIRONMENT LULLCAST_WINE_WINDOWS=winxp)
add_test(NAME wine_session_winxp_setup
         COMMAND sh "${LULLCAST_WINE_SESSION_SCRIPT}" start "${CMAKE_BINARY_DIR}")
set_tests_properties(wine_session_winxp_setup PROPERTIES
  FIXTURES_SETUP wine_session_winxp TIMEOUT 180 ENVIRONMENT "${LULLCAST_WINXP_ENVIRONMENT}")
add_test(NAME wine_session_winxp_cleanup
         COMMAND sh "${LULLCAST_WINE_SESSION_SCRIPT}" stop "${CMAKE_BINARY_DIR}")
set_tests_properties(wine_session_winxp_cleanup PROPERTIES
  FIXTURES_CLEANUP wine_session_winxp TIMEOUT 60 ENVIRONMENT "${LULLCAST_WINXP_ENVIRONMENT}")
# The prefix really reports XP: Wine's command shell prints the version that
# GetVersionEx gives its programs.
add_test(NAME wine_session_winxp_reports_xp
         COMMAND sh "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh" "${CMAKE_BINARY_DIR}" cmd /c ver)
set_tests_properties(wine_session_winxp_reports_xp PROPERTIES
  FIXTURES_REQUIRED wine_session_winxp ENVIRONMENT "${LULLCAST_WINXP_ENVIRONMENT}"
  PASS_REGULAR_EXPRESSION "Windows 5\\.1\\.")

# Its X server is its own, so its tests take turns among themselves only and
# run beside the main session's. A DISPLAY given at configure time is shared
# by both sessions, and so is the lock.
if(DEFINED ENV{DISPLAY})
  set(LULLCAST_WINXP_DISPLAY_LOCK wine_display)
else()
  set(LULLCAST_WINXP_DISPLAY_LOCK wine_display_winxp)
endif()

# lullcast_add_winxp_run(<test program target> [TIMEOUT <seconds>])
#
# Runs a test program once more, in the XP session, as the CTest test
# <target>_winxp, with the target's LULLCAST_WINXP_ARGUMENTS property, if set,
# as its arguments.
function(lullcast_add_winxp_run target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "TIMEOUT" "")
  get_target_property(arguments ${target} LULLCAST_WINXP_ARGUMENTS)
  if(NOT arguments)
    set(arguments "")
  endif()
  add_test(NAME ${target}_winxp COMMAND ${target} ${arguments})
  set_tests_properties(${target}_winxp PROPERTIES
    FIXTURES_REQUIRED wine_session_winxp RESOURCE_LOCK ${LULLCAST_WINXP_DISPLAY_LOCK}
    ENVIRONMENT "${LULLCAST_WINXP_ENVIRONMENT}")
  if(arg_TIMEOUT)
    set_tests_properties(${target}_winxp PROPERTIES TIMEOUT ${arg_TIMEOUT})
  endif()
endfunction()
