# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 GCC (the posix
# thread model, which std::thread and std::mutex need), against the Qt,
# libxlsxwriter and GoogleTest that scripts/windows-cache builds.
#
# The cache's location follows scripts/windows-cache:
# ${XDG_CACHE_HOME:-$HOME/.cache}/verinova/mingw64-qt6.4.2, or
# -DVERINOVA_WINDOWS_CACHE=... (also read from the environment).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(_verinova_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${_verinova_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${_verinova_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${_verinova_triplet}-windres)
set(CMAKE_AR ${_verinova_triplet}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${_verinova_triplet}-gcc-ranlib-posix CACHE FILEPATH "")

# try_compile runs this file again in a fresh project: the variables below
# must reach it, or it would look for the cache somewhere else.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES VERINOVA_WINDOWS_CACHE)
if(NOT VERINOVA_WINDOWS_CACHE)
    if(DEFINED ENV{VERINOVA_WINDOWS_CACHE})
        set(VERINOVA_WINDOWS_CACHE "$ENV{VERINOVA_WINDOWS_CACHE}")
    elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
        set(VERINOVA_WINDOWS_CACHE "$ENV{XDG_CACHE_HOME}/verinova/mingw64-qt6.4.2")
    else()
        set(VERINOVA_WINDOWS_CACHE "$ENV{HOME}/.cache/verinova/mingw64-qt6.4.2")
    endif()
endif()
set(VERINOVA_WINDOWS_CACHE "${VERINOVA_WINDOWS_CACHE}" CACHE PATH
    "Folder holding Qt, libxlsxwriter and GoogleTest built for Windows")

# Libraries, headers and CMake packages come from the MinGW sysroot and the
# cache only, never from the Linux system; programs (moc, rcc, wine) from the
# host. Qt finds its host tools through QT_HOST_PATH on its own.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${_verinova_triplet} "${VERINOVA_WINDOWS_CACHE}")
list(APPEND CMAKE_PREFIX_PATH "${VERINOVA_WINDOWS_CACHE}")
list(REMOVE_DUPLICATES CMAKE_FIND_ROOT_PATH)
list(REMOVE_DUPLICATES CMAKE_PREFIX_PATH)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# pkg-config must not hand the Linux libraries' flags to the cross build.
set(ENV{PKG_CONFIG_LIBDIR} "${VERINOVA_WINDOWS_CACHE}/lib/pkgconfig:/usr/${_verinova_triplet}/lib/pkgconfig")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Tests (ctest, gtest_discover_tests) and the build's own tools run the
# Windows programs under Wine, in a prefix beside the build.
if(NOT CMAKE_CROSSCOMPILING_EMULATOR)
    set(CMAKE_CROSSCOMPILING_EMULATOR
        "${CMAKE_CURRENT_LIST_DIR}/wine-run;${CMAKE_BINARY_DIR}/wine;${VERINOVA_WINDOWS_CACHE}")
endif()
