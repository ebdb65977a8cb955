# SPDX-License-Identifier: Apache-2.0
# GoogleTest compiled from Debian's sources (package googletest) with this build's compiler and
# standard library: Debian's libgtest is built against libstdc++ and cannot be linked into a
# libc++ build. Built once into the build tree, outside the default target set, so only what the
# tests link is compiled.
set(QUORIN_GTEST_SOURCE_DIR /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS "${QUORIN_GTEST_SOURCE_DIR}/googletest/CMakeLists.txt")
    message(FATAL_ERROR "No GoogleTest sources in ${QUORIN_GTEST_SOURCE_DIR} (package googletest)")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
add_subdirectory("${QUORIN_GTEST_SOURCE_DIR}/googletest" "${CMAKE_BINARY_DIR}/googletest"
                 EXCLUDE_FROM_ALL SYSTEM)
