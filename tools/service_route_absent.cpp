// SPDX-License-Identifier: Apache-2.0
// halctl built without the hosting service's client (a build without the interface's NDK code):
// it never finds the service, and loads the library for every command.
#include <cstdio>

#include "service_route.h"

bool served_by_service(const CommandDef& /*def*/) {
    return false;
}

std::string service_instance() {
    return "vendor.quorin.hal.IQuorinHal/default";
}

bool service_registered() {
    return false;
}

int send_to_service(const Command& command) {
    fprintf(stderr, "halctl: %s: this halctl has no client of the hosting service\n",
            command_name(*command.def).c_str());
    return kExitFailure;
}

std::string request_path_text(bool /*force*/) {
    return "the library, loaded by halctl (this build has no client of the hosting service)";
}
