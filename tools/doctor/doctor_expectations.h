// SPDX-License-Identifier: Apache-2.0
// What the vendor image gives the library's device nodes and properties, as the doctor expects
// to find it: the lines of device/ueventd.quorin_hal.rc and device/sepolicy, in one place.
#pragma once

#include <sys/types.h>

#include <string>

// ueventd gives every attribute the library writes this mode, owner and group.
constexpr mode_t kNodeMode = 0664;
constexpr const char* kNodeOwner = "system";  // the user and the group

// The SELinux labels of the nodes, each attribute labelled alone by its own genfscon line.
constexpr const char* kLedNodeLabel = "u:object_r:sysfs_quorin_led:s0";
constexpr const char* kAdcNodeLabel = "u:object_r:sysfs_quorin_adc:s0";

// The property contexts of the saved LED request and of the recorded patch state.
constexpr const char* kLedPropertyContext = "vendor_quorin_led_prop";
constexpr const char* kMicPropertyContext = "vendor_quorin_mic_prop";

// "u:object_r:TYPE:s0", as the property service names a context.
inline std::string object_context(const char* type) {
    return std::string("u:object_r:") + type + ":s0";
}

// The service that hosts the library on a device (device/service/vendor.quorin.hal-service.rc).
constexpr const char* kHostService = "vendor.quorin.hal";
constexpr const char* kHostServiceBinary = "vendor.quorin.hal-service";

// Where the vendor tree keeps the lines that a hint names.
constexpr const char* kUeventdFile = "device/ueventd.quorin_hal.rc";
constexpr const char* kGenfsFile = "device/sepolicy/genfs_contexts";
constexpr const char* kPropertyContextsFile = "device/sepolicy/property_contexts";

// genfs_contexts paths are relative to the sysfs mount.
constexpr const char* kSysfsMount = "/sys";
