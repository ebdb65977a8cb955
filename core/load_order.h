// SPDX-License-Identifier: Apache-2.0
// Load and unload order of the library's two load-time units, fixed in the code rather than left
// to link order: the front panel's client lock and client first, the audio port after them.
// Destruction runs in reverse: the port is released, then the client, then the lock.
#pragma once

constexpr int kFrontPanelInitPriority = 1000;
constexpr int kAudioPatchInitPriority = 1001;

#define QUORIN_INIT_PRIORITY(priority) __attribute__((init_priority(priority)))
