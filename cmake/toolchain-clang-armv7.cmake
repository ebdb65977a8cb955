# SPDX-License-Identifier: Apache-2.0
# 32-bit ARM with clang and LLVM's libc++, as Soong builds for armeabi-v7a: armv7-a, Thumb-2,
# VFPv3-D16. One difference stays: Debian's armhf libraries (libc, the AOSP utility libraries)
# use the hard-float calling convention, armeabi-v7a passes floats in integer registers
# (softfp). The C library is glibc, not bionic. Tests run under qemu-arm.
set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
# clang finds the crt files, libgcc and binutils of Debian's arm-linux-gnueabihf cross toolchain.
set(CMAKE_C_COMPILER_TARGET arm-linux-gnueabihf)
set(CMAKE_CXX_COMPILER_TARGET arm-linux-gnueabihf)
set(QUORIN_ARM_FLAGS "-march=armv7-a -mthumb -mfpu=vfpv3-d16 -mfloat-abi=hard")
set(CMAKE_C_FLAGS_INIT "${QUORIN_ARM_FLAGS}")
set(CMAKE_CXX_FLAGS_INIT "${QUORIN_ARM_FLAGS}")

include("${CMAKE_CURRENT_LIST_DIR}/armhf-multiarch.cmake")
# libc++ of armhf is among the extracted libraries; the amd64 one in LLVM's own directory, which
# clang also searches, must not be found first.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT
       " -L${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/arm-linux-gnueabihf"
       " -Wl,-rpath-link,${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/arm-linux-gnueabihf")
# Loadable modules (the tests' rival entry points) link as shared libraries do.
string(APPEND CMAKE_MODULE_LINKER_FLAGS_INIT
       " -L${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/arm-linux-gnueabihf"
       " -Wl,-rpath-link,${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/arm-linux-gnueabihf")
string(APPEND CMAKE_SHARED_LINKER_FLAGS_INIT
       " -L${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/arm-linux-gnueabihf"
       " -Wl,-rpath-link,${QUORIN_ARMHF_EXTRA_ROOT}/usr/lib/arm-linux-gnueabihf")
