// SPDX-License-Identifier: Apache-2.0
#include "hal_sim_view.h"

#include "hal_sim/hal_sim.h"

std::string simulated_port_summary() {
    const std::vector<std::string> record = hal_sim::port_record();
    if (record.empty()) return "";
    bool patch = false;
    std::string parameters;
    for (const std::string& event : record) {
        if (event == "createAudioPatchTarsk") patch = true;
        // A patch lives no longer than the port, that is the process, that made it.
        if (event == "releaseAudioPatchTarsk" || event == "destroyed") patch = false;
        if (event.rfind("setParameters ", 0) == 0) parameters = event.substr(14);
    }
    std::string summary = patch ? "patch created" : "no patch";
    if (!parameters.empty()) summary += ", last parameters \"" + parameters + "\"";
    return summary + " (simulated)";
}

bool simulated_device() {
    return true;
}

bool simulated_reboot() {
    return hal_sim::reboot_device();
}
