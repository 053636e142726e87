# Cross toolchain over MinGW-w64 for the triple that the including toolchain
# file sets in corvane_triple, with the thread model it sets in
# corvane_threads:
#   posix  the test builds: GoogleTest and the tests need std::mutex and
#          std::thread, which only the posix libstdc++ of gcc 12 has. It links
#          libwinpthread into every program, and that imports GetTickCount64
#          (Vista and later).
#   win32  the program we ship: no libwinpthread, so nothing in the runtime
#          imports beyond what Windows 2000 has.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${corvane_triple}-gcc-${corvane_threads})
set(CMAKE_CXX_COMPILER ${corvane_triple}-g++-${corvane_threads})
set(CMAKE_RC_COMPILER  ${corvane_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${corvane_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
