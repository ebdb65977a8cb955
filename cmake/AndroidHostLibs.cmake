# SPDX-License-Identifier: Apache-2.0
# The AOSP utility classes and log as Debian packages them (android-libutils-dev,
# android-liblog-dev): headers under /usr/include/android, libraries in a private directory that
# needs an rpath.
set(ANDROID_HOST_LIBDIR "/usr/lib/${CMAKE_LIBRARY_ARCHITECTURE}/android")

find_path(ANDROID_HOST_INCLUDE_DIR utils/RefBase.h PATHS /usr/include/android NO_DEFAULT_PATH
          REQUIRED)
find_library(ANDROID_LOG_LIBRARY log PATHS "${ANDROID_HOST_LIBDIR}" NO_DEFAULT_PATH REQUIRED)
find_library(ANDROID_UTILS_LIBRARY utils PATHS "${ANDROID_HOST_LIBDIR}" NO_DEFAULT_PATH REQUIRED)

add_library(android::log SHARED IMPORTED)
set_target_properties(android::log PROPERTIES
    IMPORTED_LOCATION "${ANDROID_LOG_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${ANDROID_HOST_INCLUDE_DIR}")

add_library(android::utils SHARED IMPORTED)
set_target_properties(android::utils PROPERTIES
    IMPORTED_LOCATION "${ANDROID_UTILS_LIBRARY}"
    INTERFACE_INCLUDE_DIRECTORIES "${ANDROID_HOST_INCLUDE_DIR}"
    INTERFACE_LINK_LIBRARIES android::log)

list(APPEND CMAKE_BUILD_RPATH "${ANDROID_HOST_LIBDIR}")
list(APPEND CMAKE_INSTALL_RPATH "${ANDROID_HOST_LIBDIR}")
