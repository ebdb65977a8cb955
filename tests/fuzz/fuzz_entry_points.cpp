// SPDX-License-Identifier: Apache-2.0
// The library's entry points in sequences the fuzzer chooses, with arguments it chooses, on the
// fake sysfs, under AddressSanitizer and UndefinedBehaviorSanitizer. Each input starts from a
// fresh load; an opcode restarts the library mid-way, others switch the port's faults.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <iterator>

#include "fake_sysfs.h"
#include "fuzz_input.h"
#include "hal_library.h"
#include "hal_sim/hal_sim.h"
#include "log_capture.h"

namespace {

struct Input : FuzzInput {
    int integer() {
        // Mostly small values and the table's own, sometimes any 32-bit value.
        const uint8_t kind = byte();
        if (kind < 160) return static_cast<int>(kind) - 20;
        if (kind < 200) {
            static const int interesting[] = {200, 201, 220, 221, INT32_MIN, INT32_MAX, -1, 10};
            return interesting[kind % 8];
        }
        const uint32_t value = word();
        int result;
        memcpy(&result, &value, sizeof(result));
        return result;
    }
};

struct Harness {
    fake_sysfs::Sandbox sysfs;
    LogCapture logs;
    HalLibrary lib;
    Harness() {
        sysfs.skip_sleeps(true);
    }
};

// Never destroyed (the library may still be loaded when the process exits), so its sandbox
// directory is removed by an exit handler.
Harness& harness() {
    static Harness* instance = [] {
        auto* made = new Harness;
        const int registered = atexit([] {
            std::error_code ignored;
            std::filesystem::remove_all(harness().sysfs.root(), ignored);
        });
        if (registered != 0) abort();
        return made;
    }();
    return *instance;
}

using Step = void (*)(Input& in, HalLibrary& lib);

// One step per opcode, in the order of the seed corpus: an input byte picks one.
const Step kSteps[] = {
        [](Input& in, HalLibrary& lib) { lib->SetLedState(in.integer(), in.integer()); },
        [](Input& in, HalLibrary& lib) { lib->SetLedColor(in.integer(), in.integer()); },
        [](Input&, HalLibrary& lib) { lib->Init(); },
        [](Input&, HalLibrary& lib) { lib->Deinit(); },
        [](Input&, HalLibrary& lib) { lib->GetVersion(); },
        [](Input& in, HalLibrary& lib) {
            lib->SaveProperty(in.integer(), in.integer(), in.integer());
        },
        [](Input&, HalLibrary& lib) { lib->GetProperty(); },
        [](Input& in, HalLibrary& lib) { lib->MicSetOnOff(in.integer()); },
        [](Input& in, HalLibrary& lib) { lib->MicSetVolume(in.integer()); },
        [](Input&, HalLibrary& lib) { lib->MicGetVolume(); },
        [](Input& in, HalLibrary& lib) { lib->MicSetEchoLevel(in.integer()); },
        [](Input&, HalLibrary& lib) { lib->MicGetEchoLevel(); },
        [](Input&, HalLibrary& lib) { lib->EnableMIC(); },
        [](Input&, HalLibrary& lib) { lib->DisableMIC(); },
        [](Input&, HalLibrary& lib) { lib->EnableMicAudioPatch(); },
        [](Input&, HalLibrary& lib) { lib->DisableMicAudioPatch(); },
        [](Input&, HalLibrary& lib) { lib->IsMicAudioPatchEnabled(); },
        [](Input& in, HalLibrary& lib) { lib->SetEchoDecayWeight(in.integer()); },
        [](Input&, HalLibrary& lib) { lib.restart(); },
        [](Input& in, HalLibrary&) {
            using hal_sim::ParameterFault;
            constexpr ParameterFault kFaults[] = {
                    ParameterFault::kNone,         ParameterFault::kStatus,
                    ParameterFault::kStdException, ParameterFault::kBadAlloc,
                    ParameterFault::kLogicError,   ParameterFault::kForeignException};
            const ParameterFault fault = kFaults[in.byte() % std::size(kFaults)];
            hal_sim::set_parameter_fault(fault, in.integer());
        },
        [](Input&, HalLibrary& lib) {
            lib->MicInit();
            lib->MicPause();
            lib->MicResume();
            lib->MicDeinit();
        },
        [](Input& in, HalLibrary& lib) { lib->SetLedStateForVolume(in.integer()); },
        [](Input& in, HalLibrary& lib) { lib->SetBeamformingDegree(in.integer()); },
        [](Input& in, HalLibrary&) {
            hal_sim::ClientControl control;
            control.available = (in.byte() & 1) == 0;
            control.set_fails = (in.byte() & 1) == 1;
            hal_sim::set_client_control(control);
        },
};

void step(Input& in, HalLibrary& lib) {
    kSteps[in.byte() % std::size(kSteps)](in, lib);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Harness& h = harness();
    HalLibrary& lib = h.lib;
    lib.unload();
    hal_sim::clear_properties();
    hal_sim::reset_client();
    hal_sim::set_parameter_fault(hal_sim::ParameterFault::kNone);
    lib.load();

    Input in{{data, size}};
    for (int steps = 0; !in.empty() && steps < 256; ++steps) {
        try {
            step(in, lib);
        } catch (const hal_sim::ForeignException&) {
            // A non-standard exception from the port passes to the caller by design.
        }
    }
    h.logs.clear();
    h.sysfs.clear();
    hal_sim::clear_journal();
    return 0;
}
