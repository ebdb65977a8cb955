// SPDX-License-Identifier: Apache-2.0
// Workstation stand-in for the system-control service client: properties go to the simulator's
// property store. Like the real service it keeps its own reference to the client it hands out,
// so a library dropping its reference at unload does not destroy the process's client.
#include "SystemControlClient.h"

#include <unistd.h>

#include <mutex>

#include "hal_sim/hal_sim.h"
#include "sim_control.h"
#include "sim_files.h"
#include "strict_decimal.h"

namespace hal_sim {
namespace {

struct ClientState {
    std::mutex mutex;
    ClientControl control;
    int instance_requests = 0;
    android::sp<android::SystemControlClient> retained;
};

// Destroyed when this library is unloaded (after the libraries that use it), releasing the
// retained client then: a process that unloads the HAL and with it this library leaks nothing.
ClientState& client_state() {
    static ClientState state;
    return state;
}

// The journal's note of the strong references to `client`, when asked for.
std::string references_note(const android::SystemControlClient* client) {
    if (!client_control().note_references) return "";
    return " [strong " + decimal_text(client->getStrongCount()) + "]";
}

}  // namespace

void set_client_control(const ClientControl& control) {
    std::lock_guard<std::mutex> guard(client_state().mutex);
    client_state().control = control;
}

ClientControl client_control() {
    std::lock_guard<std::mutex> guard(client_state().mutex);
    return client_state().control;
}

int instance_requests() {
    std::lock_guard<std::mutex> guard(client_state().mutex);
    return client_state().instance_requests;
}

void reset_client() {
    android::sp<android::SystemControlClient> dropped;
    {
        std::lock_guard<std::mutex> guard(client_state().mutex);
        client_state().control = ClientControl{};
        client_state().instance_requests = 0;
        dropped = std::move(client_state().retained);
    }
}

}  // namespace hal_sim

namespace android {

SystemControlClient::SystemControlClient() {
    hal_sim::record("client.created");
}

SystemControlClient::~SystemControlClient() {
    hal_sim::record("client.destroyed");
}

SystemControlClient* SystemControlClient::getInstance() {
    auto& state = hal_sim::client_state();
    hal_sim::record("client.getInstance");
    const int delay_us = hal_sim::client_control().instance_delay_us;
    if (delay_us > 0) usleep(static_cast<useconds_t>(delay_us));
    std::lock_guard<std::mutex> guard(state.mutex);
    ++state.instance_requests;
    if (!state.control.available || state.instance_requests <= state.control.absent_requests) {
        return nullptr;
    }
    if (state.retained != nullptr) return state.retained.get();
    auto* client = new SystemControlClient();
    if (state.control.retained) state.retained = client;
    return client;
}

int32_t SystemControlClient::getPropertyInt(const std::string& key, int32_t def) {
    hal_sim::record("client.getPropertyInt " + key + hal_sim::references_note(this));
    const auto value = hal_sim::property_value(key);
    int parsed = 0;
    if (!value || !parse_strict_decimal(*value, &parsed)) return def;
    return parsed;
}

bool SystemControlClient::setProperty(const std::string& key, const std::string& value) {
    hal_sim::record("client.setProperty " + key + "=" + value + hal_sim::references_note(this));
    if (hal_sim::client_control().set_fails) return false;
    return hal_sim::set_property_value(key, value);
}

}  // namespace android
