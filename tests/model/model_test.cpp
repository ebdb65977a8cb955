// SPDX-License-Identifier: Apache-2.0
// Random sequences of calls, with restarts, run against the library and the reference model:
// every result, every event that reaches the platform and every property must agree. A
// divergence is reported with the shortest sequence found that still shows it.
#include <climits>
#include <functional>
#include <random>
#include <sstream>

#include "device_model.h"
#include "hal_test.h"
#include "reliability_runs.h"

namespace {

using Model = HalTest;

constexpr unsigned kSeed = 20261208;

// Only what the model predicts: lifecycle events of the port and client look-ups are not
// behaviour of the entry points.
bool compared(const std::string& event) {
    for (const char* prefix :
         {"write ", "usleep ", "client.setProperty ", "port.createAudioPatchTarsk",
          "port.releaseAudioPatchTarsk", "port.setParameters "}) {
        if (event.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

class Generator {
  public:
    explicit Generator(unsigned seed) : rng_(seed) {
    }

    Call next() {
        const int pick = uniform(0, 99);
        if (pick < 30) return {Op::kSetLedState, led_index(), led_state()};
        if (pick < 45) return {Op::kSetLedColor, led_index(), color()};
        if (pick < 50) return {Op::kInit};
        if (pick < 52) return {Op::kSaveProperty, wide(), wide(), wide()};
        if (pick < 54) return {Op::kGetProperty};
        if (pick < 55) return {Op::kDeinit};
        if (pick < 56) return {Op::kGetVersion};
        if (pick < 63) return {Op::kMicSetOnOff, choose({0, 1, -1, 7, INT_MIN, INT_MAX})};
        if (pick < 69) return {Op::kMicSetVolume, level()};
        if (pick < 71) return {Op::kMicGetVolume};
        if (pick < 76) return {Op::kMicSetEchoLevel, level()};
        if (pick < 78) return {Op::kMicGetEchoLevel};
        if (pick < 81) return {Op::kEnableMIC};
        if (pick < 84) return {Op::kDisableMIC};
        if (pick < 86) return {Op::kEnablePatch};
        if (pick < 88) return {Op::kDisablePatch};
        if (pick < 90) return {Op::kIsPatchEnabled};
        if (pick < 92) return {Op::kSetEchoDecayWeight, level()};
        if (pick < 93) return {Op::kRestart};
        return {Op::kSetLedState, 0, choose({0, 1, 4, 220})};  // the panel's own states, often
    }

  private:
    int uniform(int low, int high) {
        return std::uniform_int_distribution<int>(low, high)(rng_);
    }
    int choose(std::initializer_list<int> values) {
        return *(values.begin() + uniform(0, static_cast<int>(values.size()) - 1));
    }
    int wide() {
        return choose({INT_MIN, INT_MAX, -1, 0, 1, 2, 3, 10, 200, 220, uniform(INT_MIN, INT_MAX)});
    }
    int led_index() {
        return uniform(0, 9) < 8 ? choose({0, 0, 1, 1, 3}) : choose({-1, 2, 4, INT_MIN, INT_MAX});
    }
    int led_state() {
        return uniform(0, 9) < 7 ? choose({0, 1, 2, 4, 200, 201, 220})
                                 : choose({-1, 3, 5, 199, 202, 221, INT_MIN, INT_MAX});
    }
    int color() {
        return uniform(0, 9) < 8 ? choose({0, 1, 2, 10}) : choose({-3, 5, 11, INT_MIN, INT_MAX});
    }
    int level() {
        return choose({-5, 0, 4, 5, 57, 99, 100, 101, 250, INT_MIN, INT_MAX, uniform(-20, 120)});
    }

    std::mt19937 rng_;
};

// The first point where library and model part, or -1; `why` says how.
int first_divergence(HalLibrary& lib, fake_sysfs::Sandbox& sysfs, const std::vector<Call>& calls,
                     std::string* why) {
    lib.unload();
    hal_sim::clear_properties();
    hal_sim::reset_client();
    sysfs.skip_sleeps(true);
    lib.load();
    DeviceModel model;
    for (size_t i = 0; i < calls.size(); ++i) {
        const Call& call = calls[i];
        hal_sim::clear_journal();
        int result = 0;
        switch (call.op) {
            case Op::kSetLedState:
                result = lib->SetLedState(call.a, call.b);
                break;
            case Op::kSetLedColor:
                result = lib->SetLedColor(call.a, call.b);
                break;
            case Op::kInit:
                result = lib->Init();
                break;
            case Op::kDeinit:
                result = lib->Deinit();
                break;
            case Op::kGetVersion:
                result = lib->GetVersion();
                break;
            case Op::kSaveProperty:
                lib->SaveProperty(call.a, call.b, call.c);
                break;
            case Op::kGetProperty:
                lib->GetProperty();
                break;
            case Op::kMicSetOnOff:
                result = lib->MicSetOnOff(call.a);
                break;
            case Op::kMicSetVolume:
                result = lib->MicSetVolume(call.a);
                break;
            case Op::kMicGetVolume:
                result = lib->MicGetVolume();
                break;
            case Op::kMicSetEchoLevel:
                result = lib->MicSetEchoLevel(call.a);
                break;
            case Op::kMicGetEchoLevel:
                result = lib->MicGetEchoLevel();
                break;
            case Op::kEnableMIC:
                result = lib->EnableMIC();
                break;
            case Op::kDisableMIC:
                result = lib->DisableMIC();
                break;
            case Op::kEnablePatch:
                result = lib->EnableMicAudioPatch();
                break;
            case Op::kDisablePatch:
                result = lib->DisableMicAudioPatch();
                break;
            case Op::kIsPatchEnabled:
                result = lib->IsMicAudioPatchEnabled() ? 1 : 0;
                break;
            case Op::kSetEchoDecayWeight:
                lib->SetEchoDecayWeight(call.a);
                break;
            case Op::kRestart:
                lib.restart();
                break;
        }
        std::vector<std::string> events;
        for (const std::string& event : hal_sim::journal()) {
            if (compared(event)) events.push_back(event);
        }
        const Prediction expected = model.apply(call);
        std::ostringstream out;
        if (result != expected.result) {
            out << "result " << result << ", model " << expected.result;
        } else if (events != expected.events) {
            out << "events differ\n  library:";
            for (const auto& e : events) out << "\n    " << e;
            out << "\n  model:";
            for (const auto& e : expected.events) out << "\n    " << e;
        } else if (hal_sim::properties() != model.properties()) {
            out << "properties differ";
        }
        if (!out.str().empty()) {
            *why = describe(call) + ": " + out.str();
            return static_cast<int>(i);
        }
    }
    return -1;
}

// Greedy reduction: drops chunks, then single calls, while the sequence still fails.
std::vector<Call> shrink(std::vector<Call> calls,
                         const std::function<bool(const std::vector<Call>&)>& fails) {
    for (size_t chunk = calls.size() / 2; chunk >= 1; chunk /= 2) {
        for (size_t start = 0; start + chunk <= calls.size();) {
            std::vector<Call> fewer(calls.begin(), calls.begin() + static_cast<long>(start));
            fewer.insert(fewer.end(), calls.begin() + static_cast<long>(start + chunk), calls.end());
            if (fails(fewer)) {
                calls = std::move(fewer);
            } else {
                start += chunk;
            }
        }
        if (chunk == 1) break;
    }
    return calls;
}

TEST(ModelShrink, FindsTheShortestFailingSequence) {
    // Fails whenever a restart comes after a colour request: the shortest is those two.
    const auto fails = [](const std::vector<Call>& calls) {
        bool colour = false;
        for (const Call& call : calls) {
            if (call.op == Op::kSetLedColor) colour = true;
            if (call.op == Op::kRestart && colour) return true;
        }
        return false;
    };
    std::vector<Call> calls(40, Call{Op::kMicGetVolume});
    calls[7] = {Op::kSetLedColor, 0, 2};
    calls[31] = {Op::kRestart};
    const auto shortest = shrink(calls, fails);
    ASSERT_EQ(2u, shortest.size());
    EXPECT_EQ(Op::kSetLedColor, shortest[0].op);
    EXPECT_EQ(Op::kRestart, shortest[1].op);
}

TEST_F(Model, LibraryAgreesWithTheModelOnRandomSequences) {
    logs.clear();
    Generator generator(kSeed);
    long calls_run = 0;
    for (int sequence = 0; sequence < kModelSequences; ++sequence) {
        std::vector<Call> calls(kModelCallsPerSequence);
        for (Call& call : calls) call = generator.next();
        std::string why;
        const int at = first_divergence(lib, sysfs, calls, &why);
        if (at < 0) {
            calls_run += static_cast<long>(calls.size());
            continue;
        }
        calls.resize(static_cast<size_t>(at) + 1);
        const auto shortest = shrink(calls, [&](const std::vector<Call>& candidate) {
            std::string ignored;
            return first_divergence(lib, sysfs, candidate, &ignored) >= 0;
        });
        first_divergence(lib, sysfs, shortest, &why);
        std::ostringstream report;
        for (const Call& call : shortest) report << "\n  " << describe(call);
        FAIL() << "sequence " << sequence << " diverges; shortest sequence showing it ("
               << shortest.size() << " calls, fresh device):" << report.str() << "\n"
               << why;
    }
    EXPECT_EQ(static_cast<long>(kModelSequences) * kModelCallsPerSequence, calls_run);
    RecordProperty("calls", std::to_string(calls_run));
}

}  // namespace
