# The Wine session that cross-built tests run in: a CTest fixture whose setup
# prepares the build's Wine prefix and, without a DISPLAY, starts one Xvfb for
# the run; its cleanup ends the wineserver and that Xvfb, also after failures.
set(LULLCAST_WINE_SESSION_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/wine-session.sh")

add_test(NAME wine_session_setup COMMAND sh "${LULLCAST_WINE_SESSION_SCRIPT}" start "${CMAKE_BINARY_DIR}")
# The first run creates the prefix (several seconds); later runs reuse it.
set_tests_properties(wine_session_setup PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 180)

add_test(NAME wine_session_cleanup COMMAND sh "${LULLCAST_WINE_SESSION_SCRIPT}" stop "${CMAKE_BINARY_DIR}")
set_tests_properties(wine_session_cleanup PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 60)

# lullcast_add_wine_session(<name> <VARIABLE=value>...)
#
# Another session with a prefix, an X server and a wineserver of its own, made
# different from the main one by the environment given (see wine-session.sh):
# the fixture wine_session_<name>, whose tests take turns among themselves only
# and run beside the main session's. A DISPLAY given at configure time is
# shared by every session, and so is the lock.
function(lullcast_add_wine_session name)
  set(environment ${ARGN})
  set_property(GLOBAL PROPERTY LULLCAST_WINE_SESSION_${name}_ENVIRONMENT "${environment}")
  foreach(action start stop)
    add_test(NAME wine_session_${name}_${action}
             COMMAND sh "${LULLCAST_WINE_SESSION_SCRIPT}" ${action} "${CMAKE_BINARY_DIR}")
  endforeach()
  set_tests_properties(wine_session_${name}_start PROPERTIES
    FIXTURES_SETUP wine_session_${name} TIMEOUT 180 ENVIRONMENT "${environment}")
  set_tests_properties(wine_session_${name}_stop PROPERTIES
    FIXTURES_CLEANUP wine_session_${name} TIMEOUT 60 ENVIRONMENT "${environment}")
endfunction()

# lullcast_add_session_run(<session> <test program target> [TIMEOUT <seconds>])
#
# Runs a test program once more, in that session, as the CTest test
# <target>_<session>, with the target's LULLCAST_<SESSION>_ARGUMENTS property
# (the session's name in capitals), if set, as its arguments.
function(lullcast_add_session_run session target)
  cmake_parse_arguments(PARSE_ARGV 2 arg "" "TIMEOUT" "")
  string(TOUPPER "${session}" upper)
  get_target_property(arguments ${target} LULLCAST_${upper}_ARGUMENTS)
  if(NOT arguments)
    set(arguments "")
  endif()
  get_property(environment GLOBAL PROPERTY LULLCAST_WINE_SESSION_${session}_ENVIRONMENT)
  if(DEFINED ENV{DISPLAY})
    set(lock wine_display)
  else()
    set(lock wine_display_${session})
  endif()
  add_test(NAME ${target}_${session} COMMAND ${target} ${arguments})
  set_tests_properties(${target}_${session} PROPERTIES
    FIXTURES_REQUIRED wine_session_${session} RESOURCE_LOCK ${lock} ENVIRONMENT "${environment}")
  if(arg_TIMEOUT)
    set_tests_properties(${target}_${session} PROPERTIES TIMEOUT ${arg_TIMEOUT})
  endif()
endfunction()

# A session whose prefix reports Windows XP, the oldest system that
# lullcast.exe runs on, so that the window and end-to-end suites also run
# where the program sees XP.
lullcast_add_wine_session(winxp LULLCAST_WINE_WINDOWS=winxp)
# The prefix really reports XP: Wine's command shell prints the version that
# GetVersionEx gives its programs.
add_test(NAME wine_session_winxp_reports_xp
         COMMAND sh "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh" "${CMAKE_BINARY_DIR}" cmd /c ver)
set_tests_properties(wine_session_winxp_reports_xp PROPERTIES
  FIXTURES_REQUIRED wine_session_winxp ENVIRONMENT LULLCAST_WINE_WINDOWS=winxp
  PASS_REGULAR_EXPRESSION "Windows 5\\.1\\.")

# A session on a screen of 144 dots per inch, in a time zone 5 h 45 min ahead
# of UTC, where every test program runs once more: at 96 DPI a layout in
# pixels that ignores the screen looks right, and in UTC so does a clock that
# shows UTC for local time.
lullcast_add_wine_session(144dpi LULLCAST_WINE_DPI=144 TZ=Asia/Kathmandu)
