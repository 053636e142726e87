# clang for 64-bit Windows (scripts/check.sh).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(corvane_triple x86_64-w64-mingw32)
set(CORVANE_PROGRAM_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/clang-mingw-x86_64-win32.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)
