// SPDX-License-Identifier: Apache-2.0
#include "service_route.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "quorin_hal_client.h"
#include "text_escape.h"

using aidl::vendor::quorin::hal::IQuorinHal;
using ndk::ScopedAStatus;

namespace {

// A served command's method, with the command's integers; a getter's value in `value`.
using ServiceCall = ScopedAStatus (*)(IQuorinHal& hal, const Integers& args, int32_t* value);

struct ServedCommand {
    const char* command;  // as command_name() names it
    ServiceCall call;
    bool prints;  // a getter: its value printed
};

constexpr ServedCommand kServedCommands[] = {
        {"led state",
         [](IQuorinHal& h, const Integers& a, int32_t*) { return h.setLedState(a[0], a[1]); },
         false},
        {"led color",
         [](IQuorinHal& h, const Integers& a, int32_t*) { return h.setLedColor(a[0], a[1]); },
         false},
        {"mic on", [](IQuorinHal& h, const Integers&, int32_t*) { return h.setMicMuted(false); },
         false},
        {"mic off", [](IQuorinHal& h, const Integers&, int32_t*) { return h.setMicMuted(true); },
         false},
        // HAL_MicSetOnOff's argument: any non-zero value mutes.
        {"mic onoff",
         [](IQuorinHal& h, const Integers& a, int32_t*) { return h.setMicMuted(a[0] != 0); }, false},
        {"mic volume",
         [](IQuorinHal& h, const Integers& a, int32_t*) { return h.setMicVolume(a[0]); }, false},
        {"mic get-volume",
         [](IQuorinHal& h, const Integers&, int32_t* v) { return h.getMicVolume(v); }, true},
        {"mic echo",
         [](IQuorinHal& h, const Integers& a, int32_t*) { return h.setMicEchoLevel(a[0]); }, false},
        {"mic get-echo",
         [](IQuorinHal& h, const Integers&, int32_t* v) { return h.getMicEchoLevel(v); }, true},
};

const ServedCommand* served(const CommandDef& def) {
    const std::string name = command_name(def);
    for (const ServedCommand& row : kServedCommands) {
        if (name == row.command) return &row;
    }
    return nullptr;
}

}  // namespace

bool served_by_service(const CommandDef& def) {
    return served(def) != nullptr;
}

std::string service_instance() {
    return quorin_hal_instance();
}

bool service_registered() {
    return connect_quorin_hal(service_instance()) != nullptr;
}

int send_to_service(const Command& command) {
    const std::string name = command_name(*command.def);
    const ServedCommand* row = served(*command.def);
    const std::shared_ptr<IQuorinHal> hal = connect_quorin_hal(service_instance());
    if (row == nullptr || hal == nullptr) {
        fprintf(stderr, "halctl: %s: the hosting service %s is no longer registered\n",
                name.c_str(), service_instance().c_str());
        return kExitFailure;
    }
    int32_t value = 0;
    const ScopedAStatus status = row->call(*hal, command.args, &value);
    if (status.isOk()) return row->prints ? print_value(value) : kExitOk;
    const bool refused = status.getExceptionCode() == EX_ILLEGAL_ARGUMENT;
    fprintf(stderr, "halctl: %s: %s: %s\n", name.c_str(),
            refused ? "the hosting service refused it" : "the hosting service failed",
            printable(status.getDescription()).c_str());
    return refused ? kExitMinusOne : kExitFailure;
}

std::string request_path_text(bool force) {
    if (!service_registered()) {
        return "the library, loaded by halctl (" + service_instance() +
               " is not found in the service manager)";
    }
    if (force) {
        return "the library, loaded by halctl (--force, beside the registered " +
               service_instance() + ")";
    }
    return "through the hosting service " + service_instance() +
           " (LED state and colour, microphone mute, volume and echo)";
}
