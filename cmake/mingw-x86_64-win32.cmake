# The 64-bit corvane.exe we ship (win64 archive), and the one the tests start:
# the program alone, with the win32 thread model.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(corvane_triple x86_64-w64-mingw32)
set(corvane_threads win32)
set(CORVANE_PROGRAM_ONLY ON)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
