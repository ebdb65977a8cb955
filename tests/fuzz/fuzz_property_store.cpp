// SPDX-License-Identifier: Apache-2.0
// The workstation property store reading an arbitrary (corrupted, truncated) store file: it
// never crashes, yields only well-formed entries, and the client's integer reads fall back to
// the default on anything that is not a strict 32-bit decimal.
#include <limits.h>
#include <sys/system_properties.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

#include "SystemControlClient.h"
#include "hal_sim/hal_sim.h"
#include "strict_decimal.h"

namespace {

void check(bool condition) {
    if (!condition) abort();
}

// The store's directory, made once in the temporary folder and removed when the run ends. Plain
// characters, so that it is still there when the exit handler runs.
char store_path[PATH_MAX];

void remove_store_dir() {
    std::error_code ignored;
    std::filesystem::remove_all(store_path, ignored);
}

std::string store_dir() {
    if (store_path[0] == '\0') {
        const std::string pattern =
                std::filesystem::temp_directory_path() / "fuzz_property_store.XXXXXX";
        check(pattern.size() < sizeof(store_path));
        pattern.copy(store_path, pattern.size());
        check(mkdtemp(store_path) != nullptr);
        setenv("HAL_SIM_DIR", store_path, 1);
        check(atexit(remove_store_dir) == 0);
    }
    return store_path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const std::string path = store_dir() + "/properties";
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;

    const hal_sim::PropertyMap parsed = hal_sim::parse_store(text);
    check(parsed == hal_sim::properties());
    android::sp<android::SystemControlClient> client = android::SystemControlClient::getInstance();
    for (const auto& [key, value] : parsed) {
        check(!key.empty() && key.find_first_of("=\n") == std::string::npos);
        check(value.size() < PROP_VALUE_MAX && value.find('\n') == std::string::npos);
        char read[PROP_VALUE_MAX];
        check(__system_property_get(key.c_str(), read) == static_cast<int>(value.size()));
        check(value == read);
        int strict = 0;
        const int from_client = client->getPropertyInt(key, 12345);
        if (parse_strict_decimal(value, &strict)) {
            check(from_client == strict);
        } else {
            check(from_client == 12345);
        }
    }

    int value = 0;
    if (parse_strict_decimal(text, &value))
        check(std::to_string(value) == text || text[0] == '0' || text.rfind("-0", 0) == 0);

    // A change rewrites the store whole and keeps what was readable.
    check(__system_property_set("fuzz.key", "1") == 0);
    hal_sim::PropertyMap expected = parsed;
    expected["fuzz.key"] = "1";
    check(hal_sim::properties() == expected);
    return 0;
}
