// SPDX-License-Identifier: Apache-2.0
// A reboot of the simulated device: what survives it is what a device keeps on disk.
#include "hal_sim/hal_sim.h"
#include "sim_control.h"
#include "sim_files.h"

namespace hal_sim {

bool reboot_device() {
    if (!keep_persistent_properties()) return false;
    record("device.reboot");
    const auto dir = sim_dir();
    return !dir || replace_file(*dir, kPortRecordName, "");
}

}  // namespace hal_sim
