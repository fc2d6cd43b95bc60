# Cross-compiles Quiverly for Debian's arm64: 64-bit ARM, as on a Raspberry Pi 3
# or later and on Android phones. The rest is in linux-cross.cmake.
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
set(QUIVERLY_TRIPLET aarch64-linux-gnu)
set(QUIVERLY_QEMU aarch64)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
