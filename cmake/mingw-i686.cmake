# 32-bit Windows, the test build: the libraries, the tests, the stand-in and
# the benches. The corvane.exe it runs is built by the program's own
# toolchain below, exactly as the release builds it.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(corvane_triple i686-w64-mingw32)
set(corvane_threads posix)
set(CORVANE_PROGRAM_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-i686-win32.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
