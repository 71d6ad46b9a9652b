# Cross-compiles for 64-bit Windows with Debian's MinGW-w64. The POSIX-threads
# compilers give std::thread; the libraries built for Windows (SDL2, zlib,
# libpng) are looked for under TILEWALK_WINDOWS_PREFIX, never on the host.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_TRIPLE x86_64-w64-mingw32)

set(CMAKE_C_COMPILER ${TOOLCHAIN_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOOLCHAIN_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${TOOLCHAIN_TRIPLE}-windres)

# try_compile checks see the same search path as the project.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TILEWALK_WINDOWS_PREFIX)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_TRIPLE} ${TILEWALK_WINDOWS_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test programs run under Wine from CTest.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)

# One .exe that needs no DLL but Windows' own: the C and C++ runtimes and
# winpthreads linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
