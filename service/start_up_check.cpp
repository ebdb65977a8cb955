// SPDX-License-Identifier: Apache-2.0
#include "start_up_check.h"

#include "adc3101.h"
#include "property_keys.h"
#include "strict_decimal.h"
#include "text_escape.h"

namespace {

std::string quoted(const std::string& text) {
    return "\"" + printable(text) + "\"";
}

}  // namespace

std::vector<std::string> saved_request_disagreements(const PanelState& saved) {
    std::vector<std::string> found;
    if (saved.ledindex.empty()) return found;  // nothing saved
    const std::pair<const char*, const std::string*> fields[] = {
            {kLedIndexProperty, &saved.ledindex},
            {kLedStateProperty, &saved.ledstate},
            {kLedColorProperty, &saved.ledcolor},
    };
    for (const auto& [key, text] : fields) {
        int value = 0;
        if (text->empty()) {
            found.push_back(std::string(key) +
                            " is not set beside a saved led index: the replay read its default");
        } else if (!parse_strict_decimal(*text, &value)) {
            found.push_back(std::string(key) + " holds " + quoted(*text) +
                            ", not a number: the replay read its default");
        }
    }
    return found;
}

std::vector<std::string> microphone_disagreements(const PanelState& panel) {
    std::vector<std::string> found;
    if (!panel.mute_read) {
        found.push_back(std::string("the ADC's mute attribute ") + kAdcMutePath.c_str() +
                        " cannot be read after the mute: the microphone may be live");
    } else if (panel.mute != kAdcMuted) {
        found.push_back("the ADC's mute attribute reads " + quoted(panel.mute) +
                        " after the mute, not \"1\": the microphone may be live");
    }
    if (panel.micstate.empty()) {
        found.push_back(std::string(kMicStateProperty) +
                        " cannot be set (it stays unset after \"0\"): each unmute creates "
                        "another audio patch and no mute releases one");
    } else if (panel.micstate[0] == kMicStateEnabled[0]) {
        found.push_back(std::string(kMicStateProperty) + " still reads " + quoted(panel.micstate) +
                        " after the mute released the patch: the record cannot be written, and "
                        "an unmute creates no patch");
    }
    return found;
}
