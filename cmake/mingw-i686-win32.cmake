# The 32-bit corvane.exe we ship (win32 archive), and the one the tests start:
# the program alone, with the win32 thread model.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(corvane_triple i686-w64-mingw32)
set(corvane_threads win32)
set(CORVANE_PROGRAM_ONLY ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
