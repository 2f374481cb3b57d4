# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (posix thread
# model, GCC 12). Used both by tools/windows/deps.sh to build the libraries
# and by the game:
#
#   prefix=$(tools/windows/deps.sh)
#   cmake -G Ninja -S . -B build-win \
#     -DCMAKE_TOOLCHAIN_FILE=tools/windows/toolchain-mingw64.cmake \
#     -DVELTRA_WIN_PREFIX="$prefix"
#
# Tests run under wine (CMAKE_CROSSCOMPILING_EMULATOR). gtest_discover_tests
# runs them at build time too, so export for the build as well as for ctest:
#   export WINEDEBUG=-all WINEPREFIX=/some/private/wineprefix
# (a private WINEPREFIX keeps wine off ~/.wine; its first start takes ~10 s).
# Test programs that import OpenAL32.dll or libsndfile-1.dll need those DLLs
# beside them or in WINEPATH (e.g. WINEPATH="$prefix/bin").

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# The library prefix made by deps.sh. Cache variable first, then environment.
# try_compile projects re-read this file without the outer cache, hence
# CMAKE_TRY_COMPILE_PLATFORM_VARIABLES and the environment copy.
if(NOT VELTRA_WIN_PREFIX AND DEFINED ENV{VELTRA_WIN_PREFIX})
  set(VELTRA_WIN_PREFIX "$ENV{VELTRA_WIN_PREFIX}")
endif()
if(NOT VELTRA_WIN_PREFIX)
  message(FATAL_ERROR "toolchain-mingw64.cmake: set VELTRA_WIN_PREFIX (cache variable or environment) "
                      "to the prefix printed by tools/windows/deps.sh")
endif()
set(VELTRA_WIN_PREFIX "${VELTRA_WIN_PREFIX}" CACHE PATH "Windows dependency prefix made by tools/windows/deps.sh")
set(ENV{VELTRA_WIN_PREFIX} "${VELTRA_WIN_PREFIX}")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VELTRA_WIN_PREFIX)

# Search only the prefix and the MinGW sysroot for libraries, headers and
# packages: the host has Linux -dev packages of every dependency. Programs
# (pkg-config, wine, python) come from the host.
set(CMAKE_FIND_ROOT_PATH "${VELTRA_WIN_PREFIX}" /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config reads only the prefix's .pc files (PKG_CONFIG_LIBDIR replaces the
# host's default search path; PKG_CONFIG_PATH would be searched in addition).
set(ENV{PKG_CONFIG_LIBDIR} "${VELTRA_WIN_PREFIX}/lib/pkgconfig:${VELTRA_WIN_PREFIX}/share/pkgconfig")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Debian's libz-mingw-w64-dev ships libz.dll.a, which CMake prefers over a
# static libz.a; the prefix holds a static zlib and nothing may import zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)

# The MinGW runtime goes into every exe and DLL, so that none imports
# libstdc++-6.dll, libgcc_s_seh-1.dll or libwinpthread-1.dll. -static-libgcc
# covers libgcc. The driver appends -lstdc++ and -lpthread after everything
# CMake writes, so the link line ends in -Bstatic to make those two resolve to
# the static archives (the system libraries that follow are import archives,
# which -Bstatic finds as well). Do not add -static-libstdc++: the driver puts
# -Bdynamic after its -lstdc++ and winpthread would be imported again.
# (--whole-archive -lwinpthread would also pull in winpthread's VERSIONINFO
# resource, which clashes with a program's own.)
# A DLL without dllexport marks exports every global symbol, the runtime's
# included; a program linking its import library could then take pthread_*
# or _Unwind_* from that DLL instead of its own static copy.
set(_veltra_no_runtime_exports "-Wl,--exclude-libs=libgcc.a:libgcc_eh.a:libstdc++.a:libpthread.a:libwinpthread.a")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static-libgcc")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static-libgcc ${_veltra_no_runtime_exports}")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "-static-libgcc ${_veltra_no_runtime_exports}")
unset(_veltra_no_runtime_exports)
# CMake's default for Windows-GNU (Modules/Platform/Windows-GNU.cmake), plus
# the trailing -Bstatic.
set(_veltra_win_libs "-lkernel32 -luser32 -lgdi32 -lwinspool -lshell32 -lole32 -loleaut32 -luuid -lcomdlg32 -ladvapi32")
set(CMAKE_C_STANDARD_LIBRARIES "${_veltra_win_libs} -Wl,-Bstatic" CACHE STRING "Libraries linked into every C exe and DLL")
set(CMAKE_CXX_STANDARD_LIBRARIES "${_veltra_win_libs} -Wl,-Bstatic" CACHE STRING "Libraries linked into every C++ exe and DLL")
unset(_veltra_win_libs)

# ctest and gtest_discover_tests run test programs through wine (needs
# WINEDEBUG=-all and WINEPREFIX exported, see the top of this file).
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR wine CACHE STRING "Runs Windows test programs on the build host")
endif()
