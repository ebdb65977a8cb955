// SPDX-License-Identifier: Apache-2.0
// What the hosting service costs on top of the library, per call: each method beside the entry
// point it calls (the library alone), the method on the service object (the library and the
// service's own work: the guard, the status), and the method through the binder stand-in (a
// client's proxy, the parcels, the hand-over to the service's one binder thread). The service's
// own cost is the second less the first; the stand-in's transport is the third less the second,
// reported apart because a device's binder driver replaces it. On the device sandbox, as root.
#include <android/binder_manager.h>
#include <android/log.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "binder_sim/binder_sim.h"
#include "device_sandbox.h"
#include "hal_sim/hal_sim.h"
#include "null_logger.h"
#include "quorin_hal_service.h"
#include "service_startup.h"

using aidl::vendor::quorin::hal::IQuorinHal;

namespace {

HalLoader& library() {
    static HalLoader loader(QUORIN_HAL_PATH);
    return loader;
}

std::shared_ptr<QuorinHalService>& local_service() {
    static std::shared_ptr<QuorinHalService> service;
    return service;
}

std::shared_ptr<IQuorinHal>& proxy() {
    static std::shared_ptr<IQuorinHal> client;
    return client;
}

// One request each way, so that none is skipped as already in force.
void BM_Library_LedStatePair(benchmark::State& state) {
    const HalApi& api = library().api();
    for (auto _ : state) {
        api.SetLedState(0, 1);
        api.SetLedState(0, 220);
    }
}
BENCHMARK(BM_Library_LedStatePair);

void BM_Service_LedStatePair(benchmark::State& state) {
    QuorinHalService& service = *local_service();
    for (auto _ : state) {
        benchmark::DoNotOptimize(service.setLedState(0, 1));
        benchmark::DoNotOptimize(service.setLedState(0, 220));
    }
}
BENCHMARK(BM_Service_LedStatePair);

void BM_Binder_LedStatePair(benchmark::State& state) {
    IQuorinHal& hal = *proxy();
    for (auto _ : state) {
        benchmark::DoNotOptimize(hal.setLedState(0, 1));
        benchmark::DoNotOptimize(hal.setLedState(0, 220));
    }
}
BENCHMARK(BM_Binder_LedStatePair);

// The same request again: the library skips it, so the service's share is all there is.
void BM_Library_LedStateSkipped(benchmark::State& state) {
    const HalApi& api = library().api();
    api.SetLedState(0, 1);
    for (auto _ : state) benchmark::DoNotOptimize(api.SetLedState(0, 1));
}
BENCHMARK(BM_Library_LedStateSkipped);

void BM_Service_LedStateSkipped(benchmark::State& state) {
    QuorinHalService& service = *local_service();
    library().api().SetLedState(0, 1);
    for (auto _ : state) benchmark::DoNotOptimize(service.setLedState(0, 1));
}
BENCHMARK(BM_Service_LedStateSkipped);

void BM_Binder_LedStateSkipped(benchmark::State& state) {
    IQuorinHal& hal = *proxy();
    library().api().SetLedState(0, 1);
    for (auto _ : state) benchmark::DoNotOptimize(hal.setLedState(0, 1));
}
BENCHMARK(BM_Binder_LedStateSkipped);

void BM_Library_MicSetVolume(benchmark::State& state) {
    const HalApi& api = library().api();
    for (auto _ : state) api.MicSetVolume(57);
}
BENCHMARK(BM_Library_MicSetVolume);

void BM_Service_MicSetVolume(benchmark::State& state) {
    QuorinHalService& service = *local_service();
    for (auto _ : state) benchmark::DoNotOptimize(service.setMicVolume(57));
}
BENCHMARK(BM_Service_MicSetVolume);

void BM_Binder_MicSetVolume(benchmark::State& state) {
    IQuorinHal& hal = *proxy();
    for (auto _ : state) benchmark::DoNotOptimize(hal.setMicVolume(57));
}
BENCHMARK(BM_Binder_MicSetVolume);

void BM_Library_MicGetVolume(benchmark::State& state) {
    const HalApi& api = library().api();
    for (auto _ : state) benchmark::DoNotOptimize(api.MicGetVolume());
}
BENCHMARK(BM_Library_MicGetVolume);

void BM_Service_MicGetVolume(benchmark::State& state) {
    QuorinHalService& service = *local_service();
    int32_t volume = 0;
    for (auto _ : state) benchmark::DoNotOptimize(service.getMicVolume(&volume));
}
BENCHMARK(BM_Service_MicGetVolume);

void BM_Binder_MicGetVolume(benchmark::State& state) {
    IQuorinHal& hal = *proxy();
    int32_t volume = 0;
    for (auto _ : state) benchmark::DoNotOptimize(hal.getMicVolume(&volume));
}
BENCHMARK(BM_Binder_MicGetVolume);

// The transport alone: a method the generated stub answers without the service's code, by the
// code Android 12's aidl gives getInterfaceVersion() (it names no constant for it).
constexpr transaction_code_t kGetInterfaceVersion = FIRST_CALL_TRANSACTION + 16777214;
void BM_Binder_InterfaceVersion(benchmark::State& state) {
    const ndk::SpAIBinder binder = proxy()->asBinder();
    for (auto _ : state) {
        AParcel* in = nullptr;
        AParcel* out = nullptr;
        if (AIBinder_prepareTransaction(binder.get(), &in) != STATUS_OK ||
            AIBinder_transact(binder.get(), kGetInterfaceVersion, &in, &out, 0) != STATUS_OK) {
            state.SkipWithError("the transaction failed");
        }
        AParcel_delete(out);
    }
}
BENCHMARK(BM_Binder_InterfaceVersion);

bool registered_within(std::chrono::seconds bound) {
    const auto give_up = std::chrono::steady_clock::now() + bound;
    while (std::chrono::steady_clock::now() < give_up) {
        const ndk::SpAIBinder found(AServiceManager_checkService(kServiceInstance));
        if (found.get() != nullptr) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    std::string error;
    if (!bench::make_device_sandbox(&error)) {
        fprintf(stderr, "service_bench: %s\n", error.c_str());
        return 1;
    }
    unsetenv("HAL_SIM_DIR");  // NOLINT(concurrency-mt-unsafe): before any thread
    hal_sim::set_journal_enabled(false);
    bench::install_null_logger();
    if (!library().load()) {
        fprintf(stderr, "service_bench: %s\n", library().error().c_str());
        return 1;
    }
    local_service() = ndk::SharedRefBase::make<QuorinHalService>(library().api(),
                                                                 StartupOptions{}.dump_timeout);
    if (!binder_sim::declare_vintf_manifest(QUORIN_SERVICE_MANIFEST)) {
        fprintf(stderr, "service_bench: cannot read %s\n", QUORIN_SERVICE_MANIFEST);
        return 1;
    }
    StartupOptions options;
    options.wait_interval = std::chrono::milliseconds(1);
    std::thread served([&] { run_service(library().api(), options); });
    if (!registered_within(std::chrono::seconds(20))) {
        fprintf(stderr, "service_bench: the service did not register\n");
        return 1;
    }
    proxy() =
            IQuorinHal::fromBinder(ndk::SpAIBinder(AServiceManager_checkService(kServiceInstance)));
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    proxy().reset();
    binder_sim::stop_thread_pool();
    served.join();
    return 0;
}
