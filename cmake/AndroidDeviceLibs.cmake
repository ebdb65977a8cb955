# SPDX-License-Identifier: Apache-2.0
# An Android NDK build (armeabi-v7a, API 31): liblog comes from the NDK; libutils and the SoC
# vendor's libraries are platform libraries that the NDK does not carry, so they come from the
# device's platform build:
#   QUORIN_PLATFORM_LIBDIRS      directories holding libutils.so, libsystemcontrolservice.so and
#                                libAmlAudioOutPort.so (e.g. the product's system/lib, vendor/lib)
#   QUORIN_PLATFORM_INCLUDE_DIRS the headers of libutils and what they include (libcutils,
#                                libsystem: system/core/*/include in the platform tree), and the
#                                headers that the vendor's two modules export (SystemControlClient.h,
#                                AmlAudioOutPort.h): never our own declarations of platform/host
set(QUORIN_PLATFORM_LIBDIRS "" CACHE PATH "Platform library directories (NDK build)")
set(QUORIN_PLATFORM_INCLUDE_DIRS "" CACHE PATH "Platform header directories (NDK build)")

find_library(ANDROID_LOG_LIBRARY log REQUIRED)
add_library(android::log SHARED IMPORTED)
set_target_properties(android::log PROPERTIES IMPORTED_LOCATION "${ANDROID_LOG_LIBRARY}")

function(quorin_import_platform_library target name)
    find_library(QUORIN_${name}_LIBRARY ${name} PATHS ${QUORIN_PLATFORM_LIBDIRS}
                 NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH REQUIRED)
    add_library(${target} SHARED IMPORTED)
    set_target_properties(${target} PROPERTIES
        IMPORTED_LOCATION "${QUORIN_${name}_LIBRARY}"
        IMPORTED_NO_SONAME FALSE
        INTERFACE_INCLUDE_DIRECTORIES "${QUORIN_PLATFORM_INCLUDE_DIRS}")
endfunction()

quorin_import_platform_library(android::utils utils)
set_property(TARGET android::utils APPEND PROPERTY INTERFACE_LINK_LIBRARIES android::log)
quorin_import_platform_library(systemcontrolservice systemcontrolservice)
quorin_import_platform_library(AmlAudioOutPort AmlAudioOutPort)

# Bionic's libc has the system property functions.
add_library(system_properties INTERFACE)
