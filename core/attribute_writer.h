// SPDX-License-Identifier: Apache-2.0
// One open-write-close of a device attribute file, shared by the front-panel and microphone units.
#pragma once

// Writes strlen(value) bytes of `value` to `path` (opened read-write, no create, no truncate).
// A failed open is logged under `tag`; the write and close results are not examined.
void send_command(const char* tag, const char* path, const char* value);
