// The workstation property store reading an arbitrary (corrupted, truncated) store file: it
// never crashes, yields only well-formed entries, and the client's integer reads fall back to
// the default on anything that is not a strict 32-bit decimal.
#include <sys/system_properties.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "SystemControlClient.h"
#include "hal_sim/hal_sim.h"
#include "strict_decimal.h"

namespace {

void check(bool condition) {
    if (!condition) abort();
}

const std::string& store_dir() {
    static const std::string dir = [] {
        char pattern[] = "/tmp/fuzz_property_store.XXXXXX";
        std::string made = mkdtemp(pattern);
        setenv("HAL_SIM_DIR", made.c_str(), 1);
        return made;
    }();
    return dir;
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
