// SPDX-License-Identifier: Apache-2.0
#include "hal_sim_view.h"

// A device has no simulated port to report on and no simulator journal.
std::string simulated_port_summary() {
    return "";
}

// A device is rebooted with `adb reboot`, not by halctl.
bool simulated_device() {
    return false;
}

bool simulated_reboot() {
    return false;
}
