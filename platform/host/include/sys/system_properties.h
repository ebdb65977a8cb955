// SPDX-License-Identifier: Apache-2.0
// System property access on a workstation, as bionic declares it on the device (where this
// header is not used): the simulator library provides the functions.
#pragma once

#define PROP_VALUE_MAX 92

#ifdef __cplusplus
extern "C" {
#endif

// Copies the value of `name` into `value` (at least PROP_VALUE_MAX bytes) and returns its length;
// an unset property yields "" and 0.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): the platform's own name
int __system_property_get(const char* name, char* value);

// Sets `name` to `value`; returns 0 on success and -1 when the value is refused.
// NOLINTNEXTLINE(bugprone-reserved-identifier,cert-dcl37-c,cert-dcl51-cpp): the platform's own name
int __system_property_set(const char* name, const char* value);

#ifdef __cplusplus
}
#endif
