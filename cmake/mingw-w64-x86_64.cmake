# Cross-builds for 64-bit Windows on Debian with MinGW-w64:
#   cmake -B build/windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# Libraries are found only in the prefix scripts/windows/deps fills, never in the Linux system.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

# The posix thread model: std::thread, std::mutex and std::condition_variable need it (the
# win32 model of Debian's MinGW g++ 12 has none of them).
set(ZELVOR_MINGW_HOST x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${ZELVOR_MINGW_HOST}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELVOR_MINGW_HOST}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELVOR_MINGW_HOST}-windres)

# Beside this file rather than relative to CMAKE_SOURCE_DIR, so the same default holds in
# try_compile projects and when scripts/windows/deps builds a library's own source tree.
get_filename_component(_zelvor_default_prefix "${CMAKE_CURRENT_LIST_DIR}/../build/windows-deps/prefix"
                       ABSOLUTE)
set(ZELVOR_WINDOWS_PREFIX "${_zelvor_default_prefix}"
    CACHE PATH "Prefix holding the cross-built Windows libraries (scripts/windows/deps)")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ZELVOR_WINDOWS_PREFIX)

set(CMAKE_FIND_ROOT_PATH "${ZELVOR_WINDOWS_PREFIX}")
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must read the prefix's .pc files only, never the host's.
set(ENV{PKG_CONFIG_LIBDIR} "${ZELVOR_WINDOWS_PREFIX}/lib/pkgconfig:${ZELVOR_WINDOWS_PREFIX}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# libgcc, libstdc++ and winpthread linked in, so an .exe needs no MinGW runtime DLL beside it.
# Windows' system libraries are import archives (.a) and still bind to their DLLs; a DLL of our
# own must be linked by the full path of its .dll.a, as CMake's imported targets do.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static")

# ctest (and gtest_discover_tests) run the .exe files under wine.
find_program(ZELVOR_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(ZELVOR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${ZELVOR_WINE}")
endif()
