# Cross build for 64-bit ARM Linux with Debian's cross compiler and the
# arm64 libraries of its multiarch (/usr/lib/aarch64-linux-gnu); the tests
# run under qemu-aarch64 with the ARM C library from /usr/aarch64-linux-gnu.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64 -L /usr/aarch64-linux-gnu)

# Programs from the build machine, libraries and headers for the target. The
# root / is searched too: header-only packages such as CLI11 keep their CMake
# files in /usr/share for every architecture, and the target's libraries are
# found in /usr/lib/aarch64-linux-gnu by the library architecture above.
set(CMAKE_FIND_ROOT_PATH /usr/aarch64-linux-gnu /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
