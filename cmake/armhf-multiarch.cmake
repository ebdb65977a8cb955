# SPDX-License-Identifier: Apache-2.0
# The armhf side of this Debian system: Linux on 32-bit ARM, libraries from its multiarch
# directories (/usr/lib/arm-linux-gnueabihf: the AOSP utility libraries, GoogleTest) and the armhf
# packages that cannot be installed beside their amd64 ones, extracted into the build tree.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR arm)
set(CMAKE_LIBRARY_ARCHITECTURE arm-linux-gnueabihf)

set(CMAKE_FIND_ROOT_PATH /usr/arm-linux-gnueabihf)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

include("${CMAKE_CURRENT_LIST_DIR}/armhf-extra-libs.cmake")
