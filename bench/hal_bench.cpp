// SPDX-License-Identifier: Apache-2.0
// What the library costs on top of the system calls it makes: each request beside its floor
// (the same open-write-close sequence in plain C), the heap allocations per call, the flash
// against its two sleeps, and the shell way device scripts drive the same files.
#include <android/log.h>
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

#include "adc3101.h"
#include "device_sandbox.h"
#include "floor.h"
#include "hal_sim/hal_sim.h"
#include "led_color_codes.h"
#include "null_logger.h"
#include "quorin_hal.h"

extern char** environ;

namespace {

std::atomic<long> allocations{0};

using Levels = std::array<const char*, kLedCount>;

// The brightness of each LED, in LED order, in a steady pattern that lights those in `lit`.
Levels lighting(std::initializer_list<Led> lit) {
    Levels levels{};
    for (size_t i = 0; i < kLedCount; ++i) {
        bool on = false;
        for (Led lit_led : lit) on = on || lit_led == kLeds[i];
        levels[i] = on ? kBrightnessOn : kBrightnessOff;
    }
    return levels;
}

Levels lighting_all() {
    Levels levels{};
    levels.fill(kBrightnessOn);
    return levels;
}

void floor_steady(const Levels& levels) {
    floor_steady_pattern(bench::kLedFiles.trigger, bench::kLedFiles.brightness, levels.data(),
                         kLedCount);
}

// Heap allocations per call of the measured loop, whoever makes them (the library, liblog, the
// workstation stand-ins).
class AllocationCount {
  public:
    explicit AllocationCount(benchmark::State& state) : state_(state), start_(allocations) {
    }
    ~AllocationCount() {
        state_.counters["allocs/call"] = benchmark::Counter(
                static_cast<double>(allocations - start_), benchmark::Counter::kAvgIterations);
    }
    AllocationCount(const AllocationCount&) = delete;
    AllocationCount& operator=(const AllocationCount&) = delete;

  private:
    benchmark::State& state_;
    long start_;
};

void BM_LedState_SixWrites(benchmark::State& state) {
    HAL_FrontPanelSetLedState(0, 1);
    bool standby = false;
    AllocationCount count(state);
    for (auto _ : state) {
        standby = !standby;
        HAL_FrontPanelSetLedState(0, standby ? 0 : 1);  // never in force: always drawn and saved
    }
}
BENCHMARK(BM_LedState_SixWrites);

void BM_Floor_SixWrites(benchmark::State& state) {
    const Levels standby_levels = lighting({Led::kGreen});
    const Levels all_levels = lighting_all();
    bool standby = false;
    for (auto _ : state) {
        standby = !standby;
        floor_steady(standby ? standby_levels : all_levels);
    }
}
BENCHMARK(BM_Floor_SixWrites);

void BM_SaveProperty(benchmark::State& state) {
    AllocationCount count(state);
    for (auto _ : state) save_property(0, 1, kAllLedsColor);
}
BENCHMARK(BM_SaveProperty);

void BM_LedState_Skipped(benchmark::State& state) {
    HAL_FrontPanelSetLedState(0, 1);  // all steady: (0, 1) is in force
    AllocationCount count(state);
    for (auto _ : state) HAL_FrontPanelSetLedState(0, 1);
}
BENCHMARK(BM_LedState_Skipped);

void BM_LedState_RefusedInStandby(benchmark::State& state) {
    HAL_FrontPanelSetLedState(0, 0);
    {
        AllocationCount count(state);
        for (auto _ : state) HAL_FrontPanelSetLedState(1, 201);
    }
    HAL_FrontPanelSetLedState(0, 1);
}
BENCHMARK(BM_LedState_RefusedInStandby);

void BM_LedColor_AllSteady(benchmark::State& state) {
    HAL_FrontPanelSetLedState(0, 1);
    AllocationCount count(state);
    for (auto _ : state) HAL_FrontPanelSetLedColor(0, kAllLedsColor);
}
BENCHMARK(BM_LedColor_AllSteady);

void BM_Floor_LedColor_AllSteady(benchmark::State& state) {
    const Levels all_levels = lighting_all();
    for (auto _ : state) floor_steady(all_levels);
}
BENCHMARK(BM_Floor_LedColor_AllSteady);

void BM_MicSetVolume(benchmark::State& state) {
    int volume = 0;
    AllocationCount count(state);
    for (auto _ : state) {
        volume = (volume + 7) % (kMicVolumeHighest + 1);
        HAL_MicSetVolume(volume);
    }
}
BENCHMARK(BM_MicSetVolume);

void BM_Floor_OneWrite(benchmark::State& state) {
    int volume = 0;
    char text[5];
    for (auto _ : state) {
        volume = (volume + 7) % (kMicVolumeHighest + 1);
        snprintf(text, sizeof(text), "%d", adc_volume_register(volume));
        floor_write(kAdcVolumePath.c_str(), text);
    }
}
BENCHMARK(BM_Floor_OneWrite);

void BM_MicSetOnOff(benchmark::State& state) {
    int off = 0;
    AllocationCount count(state);
    for (auto _ : state) {
        off ^= 1;
        HAL_MicSetOnOff(off);  // the ADC write, then the patch released or created
    }
}
BENCHMARK(BM_MicSetOnOff);

void BM_Floor_MuteWrite(benchmark::State& state) {
    int off = 0;
    for (auto _ : state) {
        off ^= 1;
        floor_write(kAdcMutePath.c_str(), off != 0 ? kAdcMuted : kAdcUnmuted);
    }
}
BENCHMARK(BM_Floor_MuteWrite);

// The flash blocks for two 50 ms sleeps; this measures how much longer the whole request takes.
void BM_LedState_Flash(benchmark::State& state) {
    HAL_FrontPanelSetLedState(1, 200);
    for (auto _ : state) HAL_FrontPanelSetLedState(3, 2);
}
BENCHMARK(BM_LedState_Flash)->Iterations(20)->Unit(benchmark::kMillisecond)->UseRealTime();

int run_process(const char* const argv[]) {
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, const_cast<char* const*>(argv), environ) != 0) {
        return -1;
    }
    int status = 0;
    waitpid(pid, &status, 0);
    return status;
}

// What device scripts do: echo per attribute from a shell, one process for the pattern.
void BM_Process_ShellSixWrites(benchmark::State& state) {
    std::string script;
    for (const char* file : bench::kLedFiles.trigger) {
        script += std::string("echo ") + kTriggerNone + " > " + file + "; ";
    }
    for (const char* file : bench::kLedFiles.brightness) {
        script += std::string("echo ") + kBrightnessOn + " > " + file + "; ";
    }
    const char* const argv[] = {"/bin/sh", "-c", script.c_str(), nullptr};
    for (auto _ : state) {
        if (run_process(argv) != 0) state.SkipWithError("sh failed");
    }
}
BENCHMARK(BM_Process_ShellSixWrites)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same pattern from a fresh halctl process: load the library, one request, exit.
void BM_Process_HalctlSixWrites(benchmark::State& state) {
    const char* const argv[] = {HALCTL_PATH, "led", "state", "0", "1", nullptr};
    for (auto _ : state) {
        if (run_process(argv) != 0) state.SkipWithError("halctl failed");
    }
}
BENCHMARK(BM_Process_HalctlSixWrites)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

void* operator new(size_t size) {
    ++allocations;
    void* memory = malloc(size == 0 ? 1 : size);
    if (memory == nullptr) throw std::bad_alloc();
    return memory;
}

void operator delete(void* memory) noexcept {
    free(memory);
}

void operator delete(void* memory, size_t) noexcept {
    free(memory);
}

int main(int argc, char** argv) {
    std::string error;
    if (!bench::make_device_sandbox(&error)) {
        fprintf(stderr, "hal_bench: %s\n", error.c_str());
        return 1;
    }
    unsetenv("HAL_SIM_DIR");  // the in-memory property store
    hal_sim::set_journal_enabled(false);
    // On a workstation liblog writes INFO lines to stderr (the terminal); a device hands them to
    // logd. Neither is the library's cost, so lines go nowhere here. DEBUG lines are filtered
    // before formatting, as on the host by default.
    bench::install_null_logger();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
