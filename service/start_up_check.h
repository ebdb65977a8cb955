// SPDX-License-Identifier: Apache-2.0
// What the service reads back once start-up has replayed the saved LED request and muted the
// microphone. The library swallows a failed write by its contract; the service, which owns
// start-up, names each disagreement in the log and in its dump.
#pragma once

#include <string>
#include <vector>

#include "panel_view.h"

// The saved request as the replay is about to read it (the properties of `saved`): one line for
// each field it would not read whole (unset beside a saved led index, or not a number), where the
// library takes its default instead.
std::vector<std::string> saved_request_disagreements(const PanelState& saved);

// The microphone once start-up has muted it (`panel` read then): one line unless the ADC's mute
// attribute reads "1" and the patch record "0".
std::vector<std::string> microphone_disagreements(const PanelState& panel);
