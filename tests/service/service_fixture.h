// SPDX-License-Identifier: Apache-2.0
// Fixture for tests of the hosting service: the library's fixture (fake sysfs, log, simulator, the
// library freshly loaded), the binder stand-in as a new process, and the service's life run on a
// thread of its own, as its main thread on a device. Clients reach it through the stand-in's
// service manager, as a proxy, parcels and all.
#pragma once

#include <aidl/vendor/quorin/hal/IQuorinHal.h>

#include <memory>
#include <string>
#include <thread>

#include "hal_test.h"
#include "service_startup.h"

class ServiceTest : public HalTest {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the service on `api` (the loaded library's unless given) and waits, bounded, until it
    // is registered and serves (its start-up done); false when it did not register.
    bool start_service(const HalApi* api = nullptr);
    // Stops the pool, waits for the service's life to end and returns its exit status.
    int stop_service();
    // The service's process ends and init starts a new one: the library loaded afresh, a new
    // binder process, the properties and the device files as they were left. Sysfs writes, log
    // and journal are cleared first.
    bool restart_service();
    // A client's proxy of the registered service, or null.
    static std::shared_ptr<aidl::vendor::quorin::hal::IQuorinHal> client();
    // The service's dump, as a client's dump() to a file gets it (expected to answer STATUS_OK).
    static std::string dump_text();

    StartupOptions options;
    std::thread::id service_thread;

  private:
    std::thread thread_;
    int status_ = -1;
};

// The log lines of the service's own tag.
std::vector<LogLine> service_lines(const std::vector<LogLine>& lines);
