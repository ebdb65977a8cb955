// SPDX-License-Identifier: Apache-2.0
// A fixed scenario for instruction counts: N requests of one kind, so that callgrind's counts
// (which do not depend on machine noise) divide into instructions per request.
// usage: hal_scenario KIND N    KIND: six-writes, skipped, refused, color, volume, onoff
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "adc3101.h"
#include "device_sandbox.h"
#include "hal_sim/hal_sim.h"
#include "led_color_codes.h"
#include "quorin_hal.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: hal_scenario six-writes|skipped|refused|color|volume|onoff N\n");
        return 2;
    }
    std::string error;
    if (!bench::make_device_sandbox(&error)) {
        fprintf(stderr, "hal_scenario: %s\n", error.c_str());
        return 1;
    }
    unsetenv("HAL_SIM_DIR");
    hal_sim::set_journal_enabled(false);
    const std::string kind = argv[1];
    const long n = strtol(argv[2], nullptr, 10);

    // Set-up outside the measured entry points' first calls: the client is obtained here.
    save_property(0, 1, kAllLedsColor);
    if (kind == "refused") HAL_FrontPanelSetLedState(0, 0);
    if (kind == "skipped" || kind == "color") HAL_FrontPanelSetLedState(0, 1);
    if (kind == "six-writes") HAL_FrontPanelSetLedState(0, 1);

    for (long i = 0; i < n; ++i) {
        if (kind == "six-writes") {
            HAL_FrontPanelSetLedState(0, i % 2 == 0 ? 0 : 1);
        } else if (kind == "skipped") {
            HAL_FrontPanelSetLedState(0, 1);
        } else if (kind == "refused") {
            HAL_FrontPanelSetLedState(1, 201);
        } else if (kind == "color") {
            HAL_FrontPanelSetLedColor(0, kAllLedsColor);
        } else if (kind == "volume") {
            HAL_MicSetVolume(static_cast<int>(i % (kMicVolumeHighest + 1)));
        } else if (kind == "onoff") {
            HAL_MicSetOnOff(static_cast<int>(i % 2));
        } else {
            fprintf(stderr, "hal_scenario: unknown kind %s\n", kind.c_str());
            return 2;
        }
    }
    return 0;
}
