# Second compiler: clang for Windows, over the same MinGW-w64 headers, import
# libraries and libstdc++ as cmake/mingw.cmake, so that both compilers build
# the same program against the same runtime. The including toolchain file sets
# CMAKE_SYSTEM_PROCESSOR and corvane_triple.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER   clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET   ${corvane_triple})
set(CMAKE_CXX_COMPILER_TARGET ${corvane_triple})
set(CMAKE_RC_COMPILER  ${corvane_triple}-windres)

# clang looks for the cross gcc's files under lib/gcc/<triple>/<version>, but
# Debian names the thread-model variants "12-posix" and "12-win32", which it
# does not take for versions: it then finds neither libstdc++ nor libgcc's
# start files. Point it at the installation of the thread model the including
# toolchain file names in corvane_threads, as the gcc builds do (see
# cmake/mingw.cmake): posix for the tests, win32 for the program.
if(NOT corvane_threads)
    set(corvane_threads posix)
endif()
execute_process(COMMAND ${corvane_triple}-g++-${corvane_threads} -print-file-name=libstdc++.a
                OUTPUT_VARIABLE corvane_libstdcxx OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT IS_ABSOLUTE "${corvane_libstdcxx}")
    message(FATAL_ERROR "clang-mingw: ${corvane_triple}-g++-${corvane_threads} is needed for its libstdc++")
endif()
get_filename_component(corvane_gcc_dir "${corvane_libstdcxx}" DIRECTORY)
set(corvane_cxx_include "${corvane_gcc_dir}/include/c++")

# The MinGW-w64 tree as sysroot: without it clang also searches the host's
# /usr/include and /usr/lib.
set(CMAKE_SYSROOT /usr/${corvane_triple})
# set, not append: CMake reads a toolchain file more than once.
set(CMAKE_CXX_FLAGS_INIT
    "-stdlib++-isystem ${corvane_cxx_include} -stdlib++-isystem ${corvane_cxx_include}/${corvane_triple} -stdlib++-isystem ${corvane_cxx_include}/backward")
# -B: libgcc's crtbegin.o/crtend.o, not MinGW-w64's bare ones. libgcc's
# register the DWARF unwind tables that libgcc_eh needs; without them every
# throw ends in terminate(). lld, because GNU ld warns about each of
# libstdc++'s type names, which gcc spells with a leading '*' and clang
# without. The posix libstdc++ calls winpthreads, which g++-posix links by
# itself and clang links on -pthread; the win32 one needs none.
set(corvane_thread_link "")
if(corvane_threads STREQUAL "posix")
    set(corvane_thread_link "-pthread")
endif()
foreach(kind EXE SHARED MODULE)
    set(CMAKE_${kind}_LINKER_FLAGS_INIT "-B${corvane_gcc_dir} -L${corvane_gcc_dir} -fuse-ld=lld ${corvane_thread_link}")
endforeach()

set(CMAKE_FIND_ROOT_PATH /usr/${corvane_triple})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
