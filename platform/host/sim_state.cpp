// SPDX-License-Identifier: Apache-2.0
// The event journal of the stand-ins and the audio port's persistent record.
#include <mutex>
#include <new>

#include "hal_sim/hal_sim.h"
#include "sim_control.h"
#include "sim_files.h"

namespace hal_sim {
namespace {

// A record of several thousand restarts' events; a larger file is not one the stand-ins wrote.
constexpr size_t kMaxPortRecordBytes = size_t{4} << 20;

struct State {
    std::mutex mutex;
    std::vector<std::string> journal;
    // Off unless a test asks for it: a program that loads and unloads the library many times
    // would otherwise keep every event of every load.
    bool enabled = false;
};

// Never destroyed: the stand-ins record into it from their own destructors, which may run at
// exit after it would have been. It lives in the library's own storage, not on the heap, so an
// unload with the journal off leaves nothing behind.
State& state() {
    alignas(State) static unsigned char storage[sizeof(State)];
    static State* instance = new (storage) State;
    return *instance;
}

}  // namespace

std::vector<std::string> journal() {
    std::lock_guard<std::mutex> guard(state().mutex);
    return state().journal;
}

void clear_journal() {
    std::lock_guard<std::mutex> guard(state().mutex);
    state().journal.clear();
}

void record(const std::string& event) {
    std::lock_guard<std::mutex> guard(state().mutex);
    if (state().enabled) state().journal.push_back(event);
}

void set_journal_enabled(bool enabled) {
    std::lock_guard<std::mutex> guard(state().mutex);
    state().enabled = enabled;
}

std::vector<std::string> port_record() {
    std::vector<std::string> lines;
    const auto dir = sim_dir();
    if (!dir) return lines;
    std::string text;
    read_file(*dir + "/" + kPortRecordName, kMaxPortRecordBytes, &text);
    size_t start = 0;
    for (size_t end = text.find('\n'); end != std::string::npos; end = text.find('\n', start)) {
        lines.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

void record_port_event(const std::string& event) {
    record("port." + event);
    const auto dir = sim_dir();
    if (dir) append_line(*dir, kPortRecordName, event);
}

}  // namespace hal_sim
