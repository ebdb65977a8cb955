# SPDX-License-Identifier: Apache-2.0
# Libraries that scripts/install-deps extracts under build/deps/armhf because their armhf
# packages cannot be installed beside the amd64 ones: 7z.so, which Debian's armhf libbacktrace
# (under libutils) needs; umockdev's preload library for the emulated device of the end-to-end
# test; and LLVM's libc++, libc++abi and libunwind. The linker and the emulated loader are
# pointed at them.
get_filename_component(QUORIN_ARMHF_EXTRA_ROOT "${CMAKE_CURRENT_LIST_DIR}/../build/deps/armhf"
                       ABSOLUTE)
set(QUORIN_ARMHF_EXTRA_LIBDIRS
    "${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/p7zip:${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/arm-linux-gnueabihf")
set(CMAKE_EXE_LINKER_FLAGS_INIT "-Wl,-rpath-link,${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/p7zip")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-Wl,-rpath-link,${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/p7zip")
set(CMAKE_MODULE_LINKER_FLAGS_INIT "${CMAKE_SHARED_LINKER_FLAGS_INIT}")
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-arm -E "LD_LIBRARY_PATH=${QUORIN_ARMHF_EXTRA_LIBDIRS}")
