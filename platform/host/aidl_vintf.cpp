// SPDX-License-Identifier: Apache-2.0
#include <aidl/Vintf.h>

#include "binder_sim/binder_sim.h"

namespace android {

std::vector<std::string> getAidlHalInstanceNames(const std::string& descriptor) {
    const std::string prefix = descriptor + "/";
    std::vector<std::string> names;
    for (const std::string& name : binder_sim::declared_instances()) {
        if (name.size() > prefix.size() && name.compare(0, prefix.size(), prefix) == 0) {
            names.push_back(name);
        }
    }
    return names;
}

}  // namespace android
