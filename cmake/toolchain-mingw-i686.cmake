# Cross build of the Win32 program for i686 with mingw-w64.
#
# The -posix flavour of the compilers is the one with std::thread and
# std::mutex (GoogleTest needs them); the -win32 flavour has neither. Every
# object is compiled with the -posix flavour. lullcast.exe, which runs on one
# thread, alone links the -win32 flavour's runtime instead, which does without
# winpthreads (src/CMakeLists.txt says how).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)

set(LULLCAST_MINGW_TRIPLET i686-w64-mingw32)
set(CMAKE_C_COMPILER ${LULLCAST_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${LULLCAST_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${LULLCAST_MINGW_TRIPLET}-windres)

# Headers and libraries come from the cross sysroot only; programs (tools run
# during the build) come from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${LULLCAST_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under 32-bit Wine. The wrapper is told the build
# directory, where it keeps the Wine prefix and finds the test session's
# display.
set(CMAKE_CROSSCOMPILING_EMULATOR "${CMAKE_CURRENT_LIST_DIR}/wine-run.sh;${CMAKE_BINARY_DIR}")
