# Cross-compiles Quiverly for Debian's s390x: IBM Z, the one big-endian
# architecture Debian releases. The rest is in linux-cross.cmake.
#   cmake -S . -B build-s390x -DCMAKE_TOOLCHAIN_FILE=cmake/s390x-linux-gnu.cmake
set(QUIVERLY_TRIPLET s390x-linux-gnu)
set(QUIVERLY_QEMU s390x)
set(CMAKE_SYSTEM_PROCESSOR s390x)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
