// SPDX-License-Identifier: Apache-2.0
#include "host_service.h"

#include "device_read.h"
#include "text_escape.h"

bool host_service_active(const std::string& state) {
    // "stopping": init has signalled it, and until it has exited it still drives the device.
    return state == "running" || state == "restarting" || state == "stopping";
}

std::string host_service_state() {
    return read_property(kHostServiceStateProperty);
}

std::string host_service_refusal(const std::string& command, const std::string& state) {
    return command + ": the hosting service " + kHostServiceName + " is " + printable(state) +
           " (" + kHostServiceStateProperty + ") and drives the device itself; stop it first " +
           "(adb shell su root stop " + kHostServiceName + ", start it again with start " +
           kHostServiceName + "), or give --force to change the device beside it";
}
