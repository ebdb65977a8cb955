// SPDX-License-Identifier: Apache-2.0
// A fuzzer's input, read front to back; once it runs out, every byte reads as 0.
#pragma once

#include <cstddef>
#include <cstdint>

struct FuzzInput {
    const uint8_t* data;
    size_t size;

    bool empty() const {
        return size == 0;
    }
    uint8_t byte() {
        if (size == 0) return 0;
        --size;
        return *data++;
    }
    // Four bytes, the first the most significant.
    uint32_t word() {
        uint32_t value = 0;
        for (int i = 0; i < 4; ++i) value = (value << 8) | byte();
        return value;
    }
};
