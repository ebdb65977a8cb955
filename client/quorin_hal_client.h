// SPDX-License-Identifier: Apache-2.0
// A client of the hosting service, vendor.quorin.hal.IQuorinHal: finding the instance, reading a
// call's status and the service's dump as a client meets them. Shared by halctl and the tests in
// the form of the platform's VTS tests; it knows neither of them, nor the service's code.
#pragma once

#include <aidl/vendor/quorin/hal/IQuorinHal.h>

#include <memory>
#include <string>

// The instance the device manifest declares and the service registers.
std::string quorin_hal_instance();

// A client of `instance` if it is registered now, without waiting for it; null when it is not
// (or this process may not look it up).
std::shared_ptr<aidl::vendor::quorin::hal::IQuorinHal> connect_quorin_hal(
        const std::string& instance);

// The service's dump read as dumpsys reads it, from a pipe emptied while the service writes:
// true with its text, false with what went wrong.
bool read_dump(aidl::vendor::quorin::hal::IQuorinHal& hal, std::string* text, std::string* error);
