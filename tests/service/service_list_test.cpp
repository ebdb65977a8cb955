// SPDX-License-Identifier: Apache-2.0
// The service's one list (service/service_methods.def) against the interface a platform client
// sees (device/aidl) and the library's entry points (interface/entry_points.def): every method has
// its entry point, every entry point is served or kept with a reason, none both.
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The methods the interface declares, in order, read from its source with comments removed.
std::vector<std::string> interface_methods() {
    std::ifstream file(QUORIN_SOURCE_DIR "/device/aidl/vendor/quorin/hal/IQuorinHal.aidl");
    std::ostringstream text;
    text << file.rdbuf();
    std::string source = std::regex_replace(text.str(), std::regex(R"(/\*[\s\S]*?\*/)"), "");
    source = std::regex_replace(source, std::regex(R"(//[^\n]*)"), "");
    static const std::regex method(R"((?:^|;|\{)\s*(?:oneway\s+)?[\w.<>\[\]]+\s+(\w+)\s*\()");
    std::vector<std::string> methods;
    for (std::sregex_iterator it(source.begin(), source.end(), method), end; it != end; ++it) {
        methods.push_back((*it)[1]);
    }
    return methods;
}

std::vector<std::string> listed_methods() {
    std::vector<std::string> methods;
#define QUORIN_HAL_METHOD(name, member) methods.push_back(#name);
#define QUORIN_HAL_KEPT(member, why)
#include "service_methods.def"
    return methods;
}

TEST(ServiceList, MethodsAreTheInterfacesInItsOrder) {
    const std::vector<std::string> declared = interface_methods();
    ASSERT_FALSE(declared.empty()) << "no method read from the interface";
    EXPECT_EQ(listed_methods(), declared)
            << "a method of IQuorinHal.aidl without its entry point in service_methods.def, or a "
               "row for a method the interface lacks";
}

TEST(ServiceList, EveryEntryPointIsServedOrKeptOnce) {
    std::map<std::string, int> uses;
#define QUORIN_HAL_ENTRY_POINT(member, ...) uses[#member];
#define QUORIN_HAL_DATA(member, object, symbol) uses[#member];
#include "entry_points.def"
    std::set<std::string> unknown;
    auto use = [&](const std::string& member) {
        auto found = uses.find(member);
        if (found == uses.end()) {
            unknown.insert(member);
        } else {
            ++found->second;
        }
    };
#define QUORIN_HAL_METHOD(name, member) use(#member);
#define QUORIN_HAL_KEPT(member, why) use(#member);
#include "service_methods.def"
    EXPECT_TRUE(unknown.empty()) << "not entry points: " << ::testing::PrintToString(unknown);
    for (const auto& [member, count] : uses) {
        EXPECT_EQ(count, 1) << member
                            << (count == 0 ? ": an entry point neither served by a method nor "
                                             "kept with a reason"
                                           : ": listed more than once");
    }
}

}  // namespace
