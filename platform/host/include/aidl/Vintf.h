// SPDX-License-Identifier: Apache-2.0
// Our reading of <aidl/Vintf.h> (libaidlvintf_gtest_helper), for the workstation builds only: the
// AIDL instances the device manifest declares for an interface. On the workstation the manifest
// is the one the binder stand-in was given (binder_sim::declare_vintf_manifest).
#pragma once

#include <string>
#include <vector>

namespace android {

// "descriptor/instance" for each instance of the interface `descriptor` the manifest declares,
// sorted; empty when it declares none.
std::vector<std::string> getAidlHalInstanceNames(const std::string& descriptor);

}  // namespace android
