# Cross build for Windows x64 with MinGW-w64 GCC, posix thread model
# (Debian: g++-mingw-w64-x86-64-posix):
#   cmake -S . -B build-windows -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw-w64.cmake
# Every binary carries its own C++ runtime (libstdc++, libgcc, winpthread
# linked statically), so a plug-in needs no DLL beyond the system's and the
# host's. Programs (mkoctfile for mex.h) come from the build machine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(WAVETIDE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${WAVETIDE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${WAVETIDE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${WAVETIDE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${WAVETIDE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -static)
