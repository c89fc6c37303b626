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

# Debian's libgsl-dev cannot be installed for two architectures at once: the
# build machine's gives the headers, which are the same for both, and the
# target's run-time packages (libgsl27:arm64, libgslcblas0:arm64) the
# libraries, which have no unversioned link without the -dev package.
set(GSL_LIBRARY /usr/lib/aarch64-linux-gnu/libgsl.so.27 CACHE FILEPATH "")
set(GSL_CBLAS_LIBRARY /usr/lib/aarch64-linux-gnu/libgslcblas.so.0 CACHE FILEPATH "")
