# 64-bit Windows, the test build that runs under 64-bit Wine, which every
# machine here can start. Its corvane.exe comes from the program's own
# toolchain below, exactly as the release builds it.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(corvane_triple x86_64-w64-mingw32)
set(corvane_threads posix)
set(CORVANE_PROGRAM_TOOLCHAIN ${CMAKE_CURRENT_LIST_DIR}/mingw-x86_64-win32.cmake)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
