// SPDX-License-Identifier: Apache-2.0
// Our reading of <aidl/Gtest.h>, for the workstation builds only: the name of a test case
// parameterised over instance names.
#pragma once

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace android {

// The instance's index and name, every character but letters and digits made '_', as GoogleTest
// wants a case's name.
inline std::string PrintInstanceNameToString(const testing::TestParamInfo<std::string>& info) {
    std::string name = std::to_string(info.index) + "/" + info.param;
    for (char& c : name) {
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

}  // namespace android
