# Cross-compiles Quiverly for another Debian architecture and runs the tests
# under qemu-user. Included by the file named for each target
# (aarch64-linux-gnu.cmake and its siblings), which first sets
# QUIVERLY_TRIPLET, QUIVERLY_QEMU and CMAKE_SYSTEM_PROCESSOR:
#   cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
#   cmake --build build-arm64 -j2 && ctest --test-dir build-arm64
#
# The compiler is clang with the target's triplet, on Debian's cross C and C++
# libraries (libstdc++-12-dev-<arch>-cross) and binutils: Debian's g++ cross
# compilers conflict with g++-multilib, which the 32-bit x86 build needs on
# the same machine, while clang and these libraries do not.
set(CMAKE_SYSTEM_NAME Linux)

set(triplet ${QUIVERLY_TRIPLET})
find_program(CMAKE_C_COMPILER NAMES clang-14 clang REQUIRED)
find_program(CMAKE_CXX_COMPILER NAMES clang++-14 clang++ REQUIRED)
set(CMAKE_C_COMPILER_TARGET ${triplet})
set(CMAKE_CXX_COMPILER_TARGET ${triplet})
set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# qemu-user (Debian's qemu-user or qemu-user-static) with the target's loader
# and libraries from /usr/<triplet>. The library path keeps the C library
# beside its loader: the machine's shared loader cache lists the target's
# multiarch C library too, where libfaketime:<arch> is installed, and a loader
# of one build with a C library of another crashes.
find_program(QUIVERLY_QEMU_${QUIVERLY_QEMU} NAMES qemu-${QUIVERLY_QEMU} qemu-${QUIVERLY_QEMU}-static
             NO_CMAKE_FIND_ROOT_PATH)
if(QUIVERLY_QEMU_${QUIVERLY_QEMU})
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QUIVERLY_QEMU_${QUIVERLY_QEMU}} -L /usr/${triplet}
                                    -E LD_LIBRARY_PATH=/usr/${triplet}/lib)
endif()
