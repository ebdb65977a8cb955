// SPDX-License-Identifier: Apache-2.0
// The workstation's main of the VTS-form test: the device manifest declared to the binder
// stand-in, then the service started as init starts it, on a thread of this process (its main
// thread on a device), over the built library on the fake sysfs; the tests then find it through
// the stand-in's service manager as a client in another process would.
#include <aidl/Vintf.h>
#include <aidl/vendor/quorin/hal/IQuorinHal.h>
#include <android/binder_manager.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "binder_sim/binder_sim.h"
#include "fake_sysfs.h"
#include "hal_library.h"
#include "hal_sim/hal_sim.h"
#include "service_startup.h"

using aidl::vendor::quorin::hal::IQuorinHal;

namespace {

bool registered_within(std::chrono::seconds bound) {
    const auto give_up = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < give_up) {
        AIBinder* found = AServiceManager_checkService(kServiceInstance);
        if (found != nullptr) {
            AIBinder_decStrong(found);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    fake_sysfs::Sandbox sysfs;
    sysfs.skip_sleeps(true);
    sysfs.store_values(true);  // the attributes read back as a device's do
    unsetenv("HAL_SIM_DIR");   // NOLINT(concurrency-mt-unsafe): before any thread
    hal_sim::clear_properties();
    hal_sim::reset_client();
    HalLibrary lib;
    lib.load();
    // Before the tests are listed: they are instantiated over the manifest's instances.
    if (!binder_sim::declare_vintf_manifest(QUORIN_SERVICE_MANIFEST)) {
        (void)fprintf(stderr, "cannot read the manifest %s\n", QUORIN_SERVICE_MANIFEST);
        return EXIT_FAILURE;
    }
    // A manifest the helper does not read would leave every test uninstantiated, and the run green.
    const std::vector<std::string> declared =
            android::getAidlHalInstanceNames(IQuorinHal::descriptor);
    if (declared != std::vector<std::string>{kServiceInstance}) {
        (void)fprintf(stderr, "the manifest's instances of %s are not {%s}\n",
                      IQuorinHal::descriptor, kServiceInstance);
        return EXIT_FAILURE;
    }
    testing::InitGoogleTest(&argc, argv);

    StartupOptions options;
    options.wait_interval = std::chrono::milliseconds(1);
    std::thread service([&] { run_service(lib.api(), options); });
    // Bounded only so that a service that never registers fails the run instead of hanging it.
    int status = EXIT_FAILURE;
    if (registered_within(std::chrono::seconds(20))) {
        status = RUN_ALL_TESTS();
    } else {
        (void)fprintf(stderr, "the service did not register %s\n", kServiceInstance);
    }
    binder_sim::stop_thread_pool();
    service.join();
    lib.unload();
    return status;
}
