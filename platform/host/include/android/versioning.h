// SPDX-License-Identifier: Apache-2.0
// Our reading of bionic's availability annotations (<android/versioning.h>, which <sys/cdefs.h>
// includes there), for the workstation builds only. A function introduced in an API level above
// the build's minimum may be called only under __builtin_available(android N, *): clang's
// -Wunguarded-availability says so for an Android target. Vendor code is compiled with
// __ANDROID_UNAVAILABLE_SYMBOLS_ARE_WEAK__, under which such a function is a weak reference, null
// where the device lacks it; otherwise any use of it is an error. GCC knows no availability.
#pragma once

#ifndef __INTRODUCED_IN
// NOLINTBEGIN(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp,bugprone-macro-parentheses):
// bionic's own names, and an attribute's argument, not an expression
#if defined(__clang__) && defined(__ANDROID_UNAVAILABLE_SYMBOLS_ARE_WEAK__)
#define __INTRODUCED_IN(api_level) \
    __attribute__((__availability__(android, introduced = api_level)))
#elif defined(__clang__)
#define __INTRODUCED_IN(api_level) \
    __attribute__((__availability__(android, strict, introduced = api_level)))
#else
#define __INTRODUCED_IN(api_level)
#endif
// NOLINTEND(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp,bugprone-macro-parentheses)
#endif
