// SPDX-License-Identifier: Apache-2.0
// The microphone audio path: the audio output port, the microphone audio patch with its recorded
// state, and the echo-decay parameter.
#include <AmlAudioOutPort.h>
#include <android/log.h>
#include <sys/system_properties.h>

#include <cstdio>
#include <exception>
#include <stdexcept>

#include "load_order.h"
#include "property_keys.h"
#include "quorin_hal.h"

namespace android {

// Built after the front panel's client lock and client, so released before them at unload.
sp<AmlAudioOutPort> aml_audioport QUORIN_INIT_PRIORITY(kAudioPatchInitPriority) =
        new AmlAudioOutPort();

}  // namespace android

namespace {

constexpr const char* kAudioPatchTag = "audio_patch";

bool patch_recorded() {
    char value[PROP_VALUE_MAX] = {};
    __system_property_get(kMicStateProperty, value);
    return value[0] == kMicStateEnabled[0];
}

}  // namespace

namespace android {

int enableMicAudioPatch() {
    aml_audioport->createAudioPatchTarsk();
    __system_property_set(kMicStateProperty, kMicStateEnabled);
    __android_log_print(ANDROID_LOG_INFO, kAudioPatchTag, "enableMicAudioPatch");
    return 0;
}

int disableMicAudioPatch() {
    if (!patch_recorded()) return 0;
    aml_audioport->releaseAudioPatchTarsk();
    __system_property_set(kMicStateProperty, kMicStateDisabled);
    __android_log_print(ANDROID_LOG_INFO, kAudioPatchTag, "disableMicAudioPatch");
    return 0;
}

bool isMicAudioPatchEnabled() {
    return patch_recorded();
}

}  // namespace android

int enableMIC() {
    if (!patch_recorded()) android::enableMicAudioPatch();
    return 0;
}

int disableMIC() {
    android::disableMicAudioPatch();
    return 0;
}

void setEchoDecayWeight(int weight) {
    __android_log_print(ANDROID_LOG_DEBUG, kAudioPatchTag, "[%s] delaytime: %d",
                        "setEchoDecayWeight", weight);
    char parameters[64] = {};  // "audio_echo_decay=-2147483648" is 28 characters
    (void)snprintf(parameters, sizeof(parameters), "audio_echo_decay=%d", weight);
    try {
        if (android::aml_audioport == nullptr) {
            __android_log_print(ANDROID_LOG_DEBUG, kAudioPatchTag,
                                "Error: android::aml_audioport is null");
            throw std::runtime_error("android::aml_audioport is null");
        }
        const android::status_t status =
                android::aml_audioport->setParameters(android::String8(parameters));
        if (status != 0) {
            __android_log_print(ANDROID_LOG_DEBUG, kAudioPatchTag,
                                "Failed to set parameters: status=%d", status);
            throw std::runtime_error("Failed to set audio parameters");
        }
    } catch (const std::exception& e) {
        // Anything else is not ours to judge and goes on to the caller.
        __android_log_print(ANDROID_LOG_DEBUG, kAudioPatchTag, "Exception caught: %s", e.what());
    }
}
