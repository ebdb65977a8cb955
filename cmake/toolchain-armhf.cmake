# SPDX-License-Identifier: Apache-2.0
# 32-bit ARM (arm-linux-gnueabihf) with Debian's cross compilers and its armhf multiarch
# libraries (the AOSP utility libraries and GoogleTest included). Tests run under qemu-arm.
set(CMAKE_C_COMPILER arm-linux-gnueabihf-gcc)
set(CMAKE_CXX_COMPILER arm-linux-gnueabihf-g++)

include("${CMAKE_CURRENT_LIST_DIR}/armhf-multiarch.cmake")
