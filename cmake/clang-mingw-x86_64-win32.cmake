# corvane.exe alone, built with clang over the win32-thread runtime, as the
# program we ship is built with gcc (cmake/mingw-x86_64-win32.cmake).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(corvane_triple x86_64-w64-mingw32)
set(corvane_threads win32)
set(CORVANE_PROGRAM_ONLY ON)
include(${CMAKE_CURRENT_LIST_DIR}/clang-mingw.cmake)
