// SPDX-License-Identifier: Apache-2.0
// Our reading of the SoC vendor's audio output port, as far as the library uses it: for the
// workstation builds only. Device builds take the vendor module's own exported header.
#pragma once

#include <utils/Errors.h>
#include <utils/RefBase.h>
#include <utils/String8.h>

namespace android {

class AmlAudioOutPort : public RefBase {
  public:
    AmlAudioOutPort();

    // Creates the microphone audio patch.
    int createAudioPatchTarsk();

    // Releases the microphone audio patch.
    int releaseAudioPatchTarsk();

    // Passes key-value parameter text to the port; 0 means accepted.
    status_t setParameters(const String8& keyValuePairs);

  protected:
    ~AmlAudioOutPort() override;
};

}  // namespace android
