# 64-bit Windows: the build that runs under 64-bit Wine, which every machine
# here can start.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(corvane_triple x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
