# clang for 32-bit Windows (scripts/check.sh).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(corvane_triple i686-w64-mingw32)
set(CORVANE_PROGRAM_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/clang-mingw-i686-win32.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)
