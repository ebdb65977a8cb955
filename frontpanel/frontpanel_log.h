// SPDX-License-Identifier: Apache-2.0
// The front-panel unit's log tag and module version, which its log lines carry.
#pragma once

constexpr const char* kFrontPanelTag = "hal_frontpanel";
constexpr int kFrontPanelVersion = 102;
