// SPDX-License-Identifier: Apache-2.0
// What the stand-ins need from the simulator's state, beyond the public control interface.
#pragma once

#include <string>

#include "hal_sim/hal_sim.h"

namespace hal_sim {

constexpr const char* kPortRecordName = "audio_port";

// Records a port event in the journal (as "port.<event>") and in the persistent port record.
void record_port_event(const std::string& event);

}  // namespace hal_sim
