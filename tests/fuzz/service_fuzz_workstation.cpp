// SPDX-License-Identifier: Apache-2.0
// The transaction fuzzer's service on the workstation: the library loaded on the fake sysfs, the
// service's whole life (start-up, registration, its one binder thread) on a thread, and two client
// threads sending through proxies from the stand-in's service manager, so that their transactions
// cross to the service's thread as they do between processes. After each input no device file but
// the LED attributes and the ADC's may have been opened for writing or written.
#include <aidl/vendor/quorin/hal/IQuorinHal.h>
#include <android/binder_manager.h>
#include <fcntl.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <set>
#include <string>
#include <thread>

#include "binder_sim/binder_sim.h"
#include "device_paths.h"
#include "fake_sysfs.h"
#include "hal_library.h"
#include "hal_sim/hal_sim.h"
#include "log_capture.h"
#include "service_fuzz_harness.h"
#include "service_startup.h"

using aidl::vendor::quorin::hal::IQuorinHal;

namespace {

struct Harness {
    fake_sysfs::Sandbox sysfs;
    LogCapture logs;
    HalLibrary lib;
    HalApi api;
    std::thread service;
    std::shared_ptr<IQuorinHal> client;
    FuzzedService fuzzed{nullptr, 2};
};

bool wait_for_registration() {
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < give_up) {
        const ndk::SpAIBinder found(AServiceManager_checkService(kServiceInstance));
        if (found.get() != nullptr) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

// Never destroyed: the service serves until the process ends. The sandbox directory is removed by
// an exit handler.
Harness& harness() {
    static Harness* instance = [] {
        auto* h = new Harness;
        h->sysfs.skip_sleeps(true);
        hal_sim::clear_properties();
        hal_sim::reset_client();
        h->lib.load();
        h->api = guarded_api(h->lib.api());
        if (!binder_sim::declare_vintf_manifest(QUORIN_SERVICE_MANIFEST)) {
            fuzz_failure("the manifest cannot be read");
        }
        StartupOptions options;
        options.wait_interval = std::chrono::milliseconds(1);
        h->service = std::thread([h, options] { run_service(h->api, options); });
        if (!wait_for_registration()) fuzz_failure("the service did not register");
        h->client = IQuorinHal::fromBinder(
                ndk::SpAIBinder(AServiceManager_checkService(kServiceInstance)));
        if (h->client == nullptr) fuzz_failure("no client of the service");
        h->fuzzed.binder = h->client->asBinder().get();
        if (atexit([] {
                std::error_code ignored;
                std::filesystem::remove_all(harness().sysfs.root(), ignored);
            }) != 0) {
            abort();
        }
        return h;
    }();
    return *instance;
}

bool documented_attribute(const std::string& path) {
    static const std::set<std::string> documented(std::begin(test_paths::kAllDeviceFiles),
                                                  std::end(test_paths::kAllDeviceFiles));
    return documented.count(path) != 0;
}

}  // namespace

const FuzzedService& fuzzed_service() {
    return harness().fuzzed;
}

void check_and_forget_input() {
    Harness& h = harness();
    for (const fake_sysfs::Write& write : h.sysfs.writes()) {
        if (!documented_attribute(write.path)) fuzz_failure("written: " + write.path);
    }
    for (const fake_sysfs::Open& opened : h.sysfs.opens()) {
        if ((opened.flags & O_ACCMODE) != O_RDONLY && !documented_attribute(opened.path)) {
            fuzz_failure("opened for writing: " + opened.path);
        }
    }
    h.sysfs.clear();
    h.logs.clear();
    hal_sim::clear_journal();
}
