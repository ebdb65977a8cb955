// SPDX-License-Identifier: Apache-2.0
// Definitions of the library's entry points that the library calls itself, in another object
// of the process, loaded with RTLD_GLOBAL before the library. Each notes its call in the
// simulator's journal ("rival.<name>") and does nothing else.
#include "hal_sim/hal_sim.h"
#include "quorin_hal.h"

extern "C" {

void save_property(int /*led_index*/, int /*led_state*/, int /*color*/) {
    hal_sim::record("rival.save_property");
}

int HAL_FrontPanelSetLedState(int /*led_index*/, int /*led_state*/) {
    hal_sim::record("rival.HAL_FrontPanelSetLedState");
    return 0;
}

}  // extern "C"

namespace android {

int enableMicAudioPatch() {
    hal_sim::record("rival.enableMicAudioPatch");
    return 0;
}

int disableMicAudioPatch() {
    hal_sim::record("rival.disableMicAudioPatch");
    return 0;
}

}  // namespace android

int enableMIC() {
    hal_sim::record("rival.enableMIC");
    return 0;
}

int disableMIC() {
    hal_sim::record("rival.disableMIC");
    return 0;
}

void setEchoDecayWeight(int /*weight*/) {
    hal_sim::record("rival.setEchoDecayWeight");
}
