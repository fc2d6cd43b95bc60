# Cross-compiles Quiverly for Debian's armhf: 32-bit ARM with hardware floating
# point, as on older Raspberry Pis. The rest is in linux-cross.cmake.
#   cmake -S . -B build-armhf -DCMAKE_TOOLCHAIN_FILE=cmake/arm-linux-gnueabihf.cmake
set(QUIVERLY_TRIPLET arm-linux-gnueabihf)
set(QUIVERLY_QEMU arm)
set(CMAKE_SYSTEM_PROCESSOR arm)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
