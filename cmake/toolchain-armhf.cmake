# 32-bit ARM (arm-linux-gnueabihf) with Debian's cross compilers and its armhf multiarch
# libraries (the AOSP utility libraries and GoogleTest included). Tests run under qemu-arm.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)

set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

# Multiarch: armhf libraries live in /usr/lib/arm-linux-gnueabihf of this very system.
set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabihf)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

# Two armhf libraries cannot be installed beside their amd64 packages, so scripts/install-deps
# extracts them under build/deps/armhf: 7z.so, which Debian's armhf libbacktrace (under
# libutils) needs, and umockdev's preload library for the emulated device of the end-to-end
# test. The linker and the emulated loader are pointed at them.
get_filename_component(QUORIN_ARMHF_EXTRA_ROOT "${CMAKE_CURRENT_LIST_DIR}/../build/deps/armhf"
                       ABSOLUTE)
set(QUORIN_ARMHF_EXTRA_LIBDIRS
    "${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/p7zip:${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/arm-linux-gnueabihf")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/p7zip")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,-rpath-link,${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/p7zip")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -E "LD_LIBRARY_PATH=${QUORIN_ARMHF_EXTRA_LIBDIRS}")
