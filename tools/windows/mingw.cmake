# mingw.cmake -- CMake toolchain for 64-bit Windows with Debian's MinGW-w64 cross compiler,
# for SDL2, SDL2_mixer and the game alike.
#
# The compilers are the "posix" thread model's, whose C++ library has std::mutex (GoogleTest
# needs it). Everything is linked statically but the DLLs of SDL and of Windows: the C and C++
# runtimes and winpthread are inside each program and DLL, which so need no DLL that a fresh
# Windows lacks. The linker stamps no time, so that the output is the same whenever it is built
# (and tools/reproducible.cmake keeps the folders' paths out of it).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -Wl,--no-insert-timestamp")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "${CMAKE_EXE_LINKER_FLAGS_INIT}")
