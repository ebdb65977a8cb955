// SPDX-License-Identifier: Apache-2.0
#include "service_fixture.h"

#include <android/binder_manager.h>

#include <chrono>
#include <cstdio>

#include "binder_sim/binder_sim.h"
#include "service_log.h"

using aidl::vendor::quorin::hal::IQuorinHal;

void ServiceTest::SetUp() {
    HalTest::SetUp();
    binder_sim::reset();
    ASSERT_TRUE(binder_sim::declare_vintf_manifest(QUORIN_SERVICE_MANIFEST));
    options.wait_interval = std::chrono::milliseconds(1);
    options.dump_timeout = std::chrono::milliseconds(50);
}

void ServiceTest::TearDown() {
    stop_service();
    binder_sim::reset();
    HalTest::TearDown();
}

bool ServiceTest::start_service(const HalApi* api) {
    const HalApi* used = api != nullptr ? api : &lib.api();
    thread_ = std::thread([this, used] { status_ = run_service(*used, options); });
    service_thread = thread_.get_id();
    // Bounded only so that a service that never registers fails the test instead of hanging it.
    const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < give_up) {
        AIBinder* found = AServiceManager_checkService(kServiceInstance);
        if (found != nullptr) {
            AIBinder_decStrong(found);
            // Served once the preparation is done and the main thread has joined the pool.
            int32_t version = 0;
            return client()->getInterfaceVersion(&version).isOk();
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

int ServiceTest::stop_service() {
    if (!thread_.joinable()) return status_;
    binder_sim::stop_thread_pool();
    thread_.join();
    return status_;
}

bool ServiceTest::restart_service() {
    stop_service();
    binder_sim::reset();
    if (!binder_sim::declare_vintf_manifest(QUORIN_SERVICE_MANIFEST)) return false;
    hal_sim::reset_client();
    lib.restart();
    sysfs.clear();
    logs.clear();
    hal_sim::clear_journal();
    return start_service();
}

std::shared_ptr<IQuorinHal> ServiceTest::client() {
    ndk::SpAIBinder binder(AServiceManager_checkService(kServiceInstance));
    if (binder.get() == nullptr) return nullptr;
    std::shared_ptr<IQuorinHal> proxy = IQuorinHal::fromBinder(binder);
    // A client in another process: every call goes through parcels.
    EXPECT_TRUE(proxy != nullptr && proxy->isRemote());
    return proxy;
}

std::string ServiceTest::dump_text() {
    FILE* out = tmpfile();
    if (out == nullptr) return "";
    EXPECT_EQ(client()->dump(fileno(out), nullptr, 0), STATUS_OK);
    std::string text(size_t{1} << 20, '\0');
    rewind(out);
    text.resize(fread(text.data(), 1, text.size(), out));
    EXPECT_EQ(fclose(out), 0);
    return text;
}

std::vector<LogLine> service_lines(const std::vector<LogLine>& lines) {
    std::vector<LogLine> own;
    for (const LogLine& line : lines) {
        if (line.tag == kServiceLogTag) own.push_back(line);
    }
    return own;
}
