// SPDX-License-Identifier: Apache-2.0
// Workstation stand-in for the audio output port: it records what happens to it (in the journal
// and, under HAL_SIM_DIR, in the "audio_port" record) and can be told to fail setParameters().
#include "AmlAudioOutPort.h"

#include <mutex>
#include <new>
#include <stdexcept>

#include "hal_sim/hal_sim.h"
#include "sim_control.h"

namespace hal_sim {
namespace {

struct PortState {
    std::mutex mutex;
    ParameterFault fault = ParameterFault::kNone;
    int status = 0;
};

PortState& port_state() {
    static PortState state;
    return state;
}

}  // namespace

void set_parameter_fault(ParameterFault fault, int status) {
    std::lock_guard<std::mutex> guard(port_state().mutex);
    port_state().fault = fault;
    port_state().status = status;
}

}  // namespace hal_sim

namespace android {

AmlAudioOutPort::AmlAudioOutPort() {
    hal_sim::record_port_event("created");
}

AmlAudioOutPort::~AmlAudioOutPort() {
    hal_sim::record_port_event("destroyed");
}

int AmlAudioOutPort::createAudioPatchTarsk() {
    hal_sim::record_port_event("createAudioPatchTarsk");
    return 0;
}

int AmlAudioOutPort::releaseAudioPatchTarsk() {
    hal_sim::record_port_event("releaseAudioPatchTarsk");
    return 0;
}

status_t AmlAudioOutPort::setParameters(const String8& keyValuePairs) {
    hal_sim::record_port_event(std::string("setParameters ") + keyValuePairs.c_str());
    hal_sim::ParameterFault fault;
    int status = 0;
    {
        std::lock_guard<std::mutex> guard(hal_sim::port_state().mutex);
        fault = hal_sim::port_state().fault;
        status = hal_sim::port_state().status;
    }
    switch (fault) {
        case hal_sim::ParameterFault::kNone:
            return OK;
        case hal_sim::ParameterFault::kStatus:
            return status;
        case hal_sim::ParameterFault::kStdException:
            throw std::runtime_error("simulated port failure");
        case hal_sim::ParameterFault::kBadAlloc:
            throw std::bad_alloc();
        case hal_sim::ParameterFault::kLogicError:
            throw std::logic_error("simulated port misuse");
        case hal_sim::ParameterFault::kForeignException:
            throw hal_sim::ForeignException{status};
    }
    return OK;
}

}  // namespace android
