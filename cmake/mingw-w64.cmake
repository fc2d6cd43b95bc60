# Cross-compiles Quiverly for 64-bit Windows with MinGW-w64 (the posix thread
# variant of Debian's mingw-w64), linked statically so that quiverly.exe needs
# only Windows' own DLLs. The tests, built from GoogleTest's source, run under
# Wine with a prefix of their own inside the build folder. The windows presets
# of CMakePresets.json use it (tools/windows-check.sh runs them all):
#   cmake --workflow --preset windows && ctest --preset windows
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(triplet x86_64-w64-mingw32)
find_program(CMAKE_C_COMPILER NAMES ${triplet}-gcc-posix REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES ${triplet}-g++-posix REQUIRED)
find_program(CMAKE_RC_COMPILER NAMES ${triplet}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Debian keeps wine64 in Wine's library folder, off the PATH.
find_program(QUIVERLY_WINE NAMES wine64 wine PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(QUIVERLY_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR env WINEDEBUG=-all WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix
                                    ${QUIVERLY_WINE})
endif()
