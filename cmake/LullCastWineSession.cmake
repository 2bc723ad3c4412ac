# The Wine session that cross-built tests run in: a CTest fixture whose setup
# prepares the build's Wine prefix and, without a DISPLAY, starts one Xvfb for
# the run; its cleanup ends the wineserver and that Xvfb, also after failures.
set(LULLCAST_WINE_SESSION_SCRIPT "${CMAKE_CURRENT_LIST_DIR}/wine-session.sh")

add_test(NAME wine_session_setup COMMAND sh "${LULLCAST_WINE_SESSION_SCRIPT}" start "${CMAKE_BINARY_DIR}")
# The first run creates the prefix (several seconds); later runs reuse it.
set_tests_properties(wine_session_setup PROPERTIES FIXTURES_SETUP wine_session TIMEOUT 180)

add_test(NAME wine_session_cleanup COMMAND sh "${LULLCAST_WINE_SESSION_SCRIPT}" stop "${CMAKE_BINARY_DIR}")
set_tests_properties(wine_session_cleanup PROPERTIES FIXTURES_CLEANUP wine_session TIMEOUT 60)
