// SPDX-License-Identifier: Apache-2.0
// Our reading of the SoC vendor's system-control service client, as far as the library uses
// it: for the workstation builds only. Device builds take the vendor module's own exported header.
#pragma once

#include <stdint.h>
#include <utils/RefBase.h>

#include <string>

namespace android {

class SystemControlClient : public RefBase {
  public:
    // The process's client object; the service side keeps its own reference to it.
    static SystemControlClient* getInstance();

    // The property's value as an integer, or `def` when it is not set.
    int32_t getPropertyInt(const std::string& key, int32_t def);

    // Sets the property; the library does not examine the result.
    bool setProperty(const std::string& key, const std::string& value);

  protected:
    SystemControlClient();
    ~SystemControlClient() override;
};

}  // namespace android
