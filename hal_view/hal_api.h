// SPDX-License-Identifier: Apache-2.0
// The library's entry points, resolved from a library loaded at run time, so that a tool can
// unload and reload it as a process restart would.
#pragma once

#include <string>

#include "quorin_hal.h"

// Every exported symbol of the library, resolved by the name entry_points.def gives it.
struct HalApi {
// NOLINTBEGIN(bugprone-macro-parentheses): a member's name, not an expression
#define QUORIN_HAL_ENTRY_POINT(member, function, ...) decltype(&(function)) member = nullptr;
#define QUORIN_HAL_DATA(member, object, symbol) decltype(&(object)) member = nullptr;
#include "entry_points.def"
    // NOLINTEND(bugprone-macro-parentheses)
};

class HalLoader {
  public:
    explicit HalLoader(std::string path) : path_(std::move(path)) {
    }
    ~HalLoader() {
        unload();
    }
    HalLoader(const HalLoader&) = delete;
    HalLoader& operator=(const HalLoader&) = delete;

    const std::string& path() const {
        return path_;
    }
    // dlopen and resolve every entry point; false with error() set when either fails.
    bool load();
    void unload();
    bool loaded() const {
        return handle_ != nullptr;
    }
    const std::string& error() const {
        return error_;
    }
    const HalApi& api() const {
        return api_;
    }

  private:
    std::string path_;
    void* handle_ = nullptr;
    HalApi api_;
    std::string error_;
};
