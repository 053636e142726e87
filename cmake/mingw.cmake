# Cross toolchain over MinGW-w64 for the triple that the including toolchain
# file sets in corvane_triple. The -posix variants are required: the
# win32-threads ones lack std::mutex, which GoogleTest needs.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   ${corvane_triple}-gcc-posix)
set(CMAKE_CXX_COMPILER ${corvane_triple}-g++-posix)
set(CMAKE_RC_COMPILER  ${corvane_triple}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${corvane_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
