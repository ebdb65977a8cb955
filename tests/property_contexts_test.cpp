// SPDX-License-Identifier: Apache-2.0
// The library's property keys resolved to their contexts as init resolves them, from
// property_contexts files planted in a temporary root, and from the vendor tree's own file.
#include "property_contexts.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "doctor_verdicts.h"
#include "temp_dir.h"

namespace {

namespace fs = std::filesystem;

constexpr const char* kLed = "u:object_r:vendor_quorin_led_prop:s0";
constexpr const char* kMic = "u:object_r:vendor_quorin_mic_prop:s0";
constexpr const char* kKeys[] = {"vendor.quorin.ledindex", "vendor.quorin.ledstate",
                                 "vendor.quorin.ledcolor", "vendor.quorin.micstate"};

class PropertyContexts : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(root_.empty());
    }
    void plant(const std::string& file, const std::string& text) {
        fs::create_directories(fs::path(root_ + file).parent_path());
        std::ofstream(root_ + file) << text;
    }
    std::string context_of(const std::string& key) {
        const auto entries = load_property_contexts(root_);
        if (!entries) return "(no files)";
        const auto found = resolve_property_context(*entries, key);
        return found ? found->context + " " + found->file : kDefaultPropertyContext;
    }
    TempDir dir_{"property_contexts"};
    const std::string root_ = dir_.path();
};

const char* const kPlat = "/system/etc/selinux/plat_property_contexts";
const char* const kVendor = "/vendor/etc/selinux/vendor_property_contexts";

TEST_F(PropertyContexts, NoFilesIsNotAndroid) {
    EXPECT_EQ(std::nullopt, load_property_contexts(root_));
    plant(kVendor, "vendor.quorin.micstate u:object_r:vendor_quorin_mic_prop:s0 exact string\n");
    EXPECT_EQ(std::nullopt, load_property_contexts(root_));  // init reads none without plat
}

TEST_F(PropertyContexts, ExactBeatsPrefixAndTheLongestPrefixWins) {
    plant(kPlat,
          "# platform\n* u:object_r:default_prop:s0\nvendor. u:object_r:vendor_default_prop:s0 "
          "prefix\n");
    plant(kVendor,
          "vendor.quorin. u:object_r:vendor_quorin_mic_prop:s0 prefix string\n"
          "vendor.quorin.led u:object_r:vendor_quorin_led_prop:s0\n"
          "vendor.quorin.ledindex u:object_r:vendor_quorin_mic_prop:s0 prefix\n"
          "vendor.quorin.ledstate u:object_r:vendor_quorin_led_prop:s0 exact int\n"
          "vendor.quorin.ledstate.x u:object_r:vendor_quorin_mic_prop:s0 prefix\n");
    EXPECT_EQ(std::string(kMic) + " " + kVendor, context_of("vendor.quorin.ledindex"));
    EXPECT_EQ(std::string(kLed) + " " + kVendor, context_of("vendor.quorin.ledstate"));
    EXPECT_EQ(std::string(kLed) + " " + kVendor, context_of("vendor.quorin.ledcolor"));
    EXPECT_EQ(std::string(kMic) + " " + kVendor, context_of("vendor.quorin.micstate"));
    EXPECT_EQ(std::string("u:object_r:vendor_default_prop:s0 ") + kPlat, context_of("vendor.x"));
    // "*" is a prefix like any other: only a key that begins with it matches; init's own
    // default holds for the rest.
    EXPECT_EQ(kDefaultPropertyContext, context_of("ro.x"));
    EXPECT_EQ(std::string("u:object_r:default_prop:s0 ") + kPlat, context_of("*x"));
}

// The lines Android 12's init rejects (a vendor image of Android 11 or later), each named; the
// keys they meant to define fall to what else matches.
TEST_F(PropertyContexts, LinesInitRejectsAreNamedAndDefineNothing) {
    plant(kPlat, "vendor. u:object_r:vendor_default_prop:s0 prefix\n");
    plant(kVendor,
          "  # an indented comment\n"
          "vendor.quorin.ledindex u:object_r:vendor_quorin_led_prop:s0 # led\n"
          "vendor.quorin.ledstate u:object_r:vendor_quorin_led_prop:s0 exact integer\n"
          "vendor.quorin.ledcolor u:object_r:vendor_quorin_led_prop:s0 exact enum\n"
          "vendor.quorin.micstate\n"
          "vendor.quorin.mic u:object_r:vendor_quorin_mic_prop:s0 prefix enum on off\n"
          "vendor.quorin.mic u:object_r:vendor_quorin_led_prop:s0 exact\n"
          "vendor.quorin.mic u:object_r:vendor_quorin_led_prop:s0\n"
          "\tvendor.quorin.x\tu:object_r:vendor_quorin_mic_prop:s0\tprefix\tstring  \n");
    std::vector<RejectedLine> rejected;
    const auto entries = load_property_contexts(root_, nullptr, &rejected);
    ASSERT_TRUE(entries.has_value());
    std::string lines;
    for (const RejectedLine& line : rejected) {
        lines += line.file + ":" + std::to_string(line.line) + ": " + line.reason + "\n";
    }
    EXPECT_EQ(std::string(kVendor) + ":2: match \"#\" is neither prefix nor exact\n" + kVendor +
                      ":3: type \"integer\" is not valid\n" + kVendor +
                      ":4: type \"enum\" is not valid\n" + kVendor +
                      ":5: no context after vendor.quorin.micstate\n" + kVendor +
                      ":8: duplicate prefix match for vendor.quorin.mic: init then builds no "
                      "property contexts at all\n",
              lines);
    const std::string vendor_default = "u:object_r:vendor_default_prop:s0 ";
    EXPECT_EQ(vendor_default + kPlat, context_of("vendor.quorin.ledindex"));
    EXPECT_EQ(vendor_default + kPlat, context_of("vendor.quorin.ledcolor"));
    // An exact and a prefix entry of one name are two: init keeps both.
    EXPECT_EQ(std::string(kLed) + " " + kVendor, context_of("vendor.quorin.mic"));
    EXPECT_EQ(std::string(kMic) + " " + kVendor, context_of("vendor.quorin.micstate"));
    EXPECT_EQ(std::string(kMic) + " " + kVendor, context_of("vendor.quorin.x.y"));
    const DoctorCheck check = rejected_lines_verdict(rejected);
    EXPECT_EQ(Verdict::kFail, check.verdict);
    EXPECT_EQ(0U, check.detail.find(std::string(kVendor) + ":2: match \"#\"")) << check.detail;
    rejected.resize(7, rejected.back());
    EXPECT_NE(std::string::npos, rejected_lines_verdict(rejected).detail.find("at all; and 2 more"))
            << rejected_lines_verdict(rejected).detail;
}

TEST_F(PropertyContexts, InitsOrderTheFirstDefinitionHolds) {
    plant(kPlat, "vendor.quorin.micstate u:object_r:vendor_quorin_mic_prop:s0 exact string\n");
    plant("/system_ext/etc/selinux/system_ext_property_contexts",
          "vendor.quorin.ledindex u:object_r:vendor_quorin_led_prop:s0 exact int\n");
    plant(kVendor,
          "vendor.quorin.micstate u:object_r:vendor_quorin_led_prop:s0 exact string\n"
          "vendor.quorin.ledindex u:object_r:vendor_quorin_mic_prop:s0 exact int\n");
    plant("/odm/etc/selinux/odm_property_contexts",
          "vendor.quorin.ledcolor u:object_r:vendor_quorin_led_prop:s0 exact int\n");
    EXPECT_EQ(
            (std::vector<std::string>{kPlat, "/system_ext/etc/selinux/system_ext_property_contexts",
                                      kVendor, "/odm/etc/selinux/odm_property_contexts"}),
            property_contexts_files(root_));
    EXPECT_EQ(std::string(kMic) + " " + kPlat, context_of("vendor.quorin.micstate"));
    EXPECT_EQ(std::string(kLed) + " /system_ext/etc/selinux/system_ext_property_contexts",
              context_of("vendor.quorin.ledindex"));
    EXPECT_EQ(std::string(kLed) + " /odm/etc/selinux/odm_property_contexts",
              context_of("vendor.quorin.ledcolor"));
}

TEST_F(PropertyContexts, NonplatBeforeVendorAndTheUnsplitRoot) {
    plant(kPlat, "");
    plant("/vendor/etc/selinux/nonplat_property_contexts",
          "vendor.quorin.micstate u:object_r:vendor_quorin_mic_prop:s0 exact string\n");
    EXPECT_EQ(std::string(kMic) + " /vendor/etc/selinux/nonplat_property_contexts",
              context_of("vendor.quorin.micstate"));
    fs::remove_all(root_ + "/system");
    plant("/plat_property_contexts", "");
    plant("/vendor_property_contexts",
          "vendor.quorin.micstate u:object_r:vendor_quorin_mic_prop:s0 exact string\n");
    EXPECT_EQ(std::string(kMic) + " /vendor_property_contexts",
              context_of("vendor.quorin.micstate"));
}

TEST_F(PropertyContexts, AMistypedKeyFails) {
    plant(kPlat, "");
    plant(kVendor,
          "vendor.quorin.ledindex u:object_r:vendor_quorin_led_prop:s0 exact int\n"
          "vendor.quorin.ledstat u:object_r:vendor_quorin_led_prop:s0 exact int\n"
          "vendor.quorin.ledcolor u:object_r:vendor_quorin_led_prop:s0 exact int\n"
          "vendor.quorin.micstate u:object_r:vendor_quorin_mic_prop:s0 exact string\n");
    const auto entries = load_property_contexts(root_);
    ASSERT_TRUE(entries.has_value());
    std::string verdicts;
    for (const char* key : kKeys) {
        const DoctorCheck check =
                property_context_verdict(key, true, resolve_property_context(*entries, key));
        verdicts += check.verdict == Verdict::kPass ? "pass " : "fail ";
    }
    EXPECT_EQ("pass fail pass pass ", verdicts);
}

// `count` lines of other keys' entries, each its own.
std::string filler(size_t count, const std::string& prefix) {
    std::string text;
    for (size_t i = 0; i < count; ++i) {
        text += prefix + std::to_string(i) + " u:object_r:vendor_default_prop:s0 exact string\n";
    }
    return text;
}

std::string the_four(const char* led_context) {
    return std::string("vendor.quorin.ledindex ") + led_context + " exact int\n" +
           "vendor.quorin.ledstate " + led_context + " exact int\n" + "vendor.quorin.ledcolor " +
           led_context + " exact int\n" +
           "vendor.quorin.micstate u:object_r:vendor_quorin_mic_prop:s0 exact string\n";
}

// The four keys past the bound on lines: the file is said to be cut, no key said to be missing.
TEST_F(PropertyContexts, KeysPastTheBoundAreNotSaidMissing) {
    plant(kPlat, "");
    plant(kVendor, filler(kPropertyContextsLines, "vendor.other.") + the_four(kLed));
    std::vector<CutFile> cut;
    const auto entries = load_property_contexts(root_, &cut);
    ASSERT_TRUE(entries.has_value());
    ASSERT_EQ(1U, cut.size());
    EXPECT_EQ(kVendor, cut[0].file);
    for (const char* key : kKeys) {
        const DoctorCheck check =
                property_context_verdict(key, true, resolve_property_context(*entries, key), cut);
        EXPECT_EQ(Verdict::kSkip, check.verdict) << key;
        EXPECT_EQ(std::string("no entry among the lines read; ") + kVendor +
                          " was read only to its first 20000 lines, and what was not read could "
                          "decide it",
                  check.detail);
    }
    // Exactly at the bound nothing is cut.
    plant(kVendor, filler(kPropertyContextsLines - 4, "vendor.other.") + the_four(kLed));
    cut.clear();
    const auto whole = load_property_contexts(root_, &cut);
    EXPECT_TRUE(cut.empty());
    for (const char* key : kKeys) {
        EXPECT_EQ(Verdict::kPass,
                  property_context_verdict(key, true, resolve_property_context(*whole, key), cut)
                          .verdict)
                << key;
    }
}

// An exact entry holds whatever a later file's unread lines say; one after a cut file does not.
TEST_F(PropertyContexts, ACutDecidesOnlyWhatItCouldHide) {
    plant(kPlat, the_four(kLed));
    plant(kVendor, filler(kPropertyContextsLines + 1, "vendor.other."));
    std::vector<CutFile> cut;
    auto entries = load_property_contexts(root_, &cut);
    ASSERT_EQ(1U, cut.size());
    for (const char* key : kKeys) {
        EXPECT_EQ(Verdict::kPass,
                  property_context_verdict(key, true, resolve_property_context(*entries, key), cut)
                          .verdict)
                << key;
    }
    plant(kPlat, filler(kPropertyContextsLines + 1, "ro.other."));
    plant(kVendor, the_four(kMic));
    cut.clear();
    entries = load_property_contexts(root_, &cut);
    const DoctorCheck hidden = property_context_verdict(
            "vendor.quorin.ledindex", true,
            resolve_property_context(*entries, "vendor.quorin.ledindex"), cut);
    EXPECT_EQ(Verdict::kSkip, hidden.verdict);
    EXPECT_EQ(std::string("resolves to ") + kMic + " (exact, " + kVendor +
                      ") among the lines read; " + kPlat +
                      " was read only to its first 20000 lines, and what was not read could "
                      "decide it",
              hidden.detail);
}

// Five full files with every line defined twice: the first definition of each holds.
TEST_F(PropertyContexts, ManyDuplicatesTheFirstHolds) {
    const char* const files[] = {kPlat, "/system_ext/etc/selinux/system_ext_property_contexts",
                                 kVendor, "/product/etc/selinux/product_property_contexts",
                                 "/odm/etc/selinux/odm_property_contexts"};
    for (const char* file : files) {
        std::string text = filler(kPropertyContextsLines / 2, "vendor.x.");
        text += filler(kPropertyContextsLines / 2, "vendor.x.");
        plant(file, text);
    }
    plant(kPlat, "vendor.x.7 u:object_r:first_prop:s0 exact string\n" +
                         filler(kPropertyContextsLines - 1, "vendor.x."));
    std::vector<CutFile> cut;
    const auto entries = load_property_contexts(root_, &cut);
    ASSERT_TRUE(entries.has_value());
    EXPECT_TRUE(cut.empty());
    EXPECT_EQ(kPropertyContextsLines - 1, entries->size());  // the platform file's, each once
    const auto found = resolve_property_context(*entries, "vendor.x.7");
    ASSERT_TRUE(found.has_value());
    EXPECT_EQ("u:object_r:first_prop:s0", found->context);
}

TEST(PropertyContextsFile, TheVendorTreesFileGivesEachKeyTheDoctorsContext) {
    std::ifstream in(std::string(QUORIN_SOURCE_DIR) + "/device/sepolicy/property_contexts");
    ASSERT_TRUE(in.good());
    std::ostringstream text;
    text << in.rdbuf();
    std::vector<PropertyContextEntry> entries;
    parse_property_contexts(text.str(), "vendor", &entries);
    for (const char* key : kKeys) {
        const DoctorCheck check =
                property_context_verdict(key, true, resolve_property_context(entries, key));
        EXPECT_EQ(Verdict::kPass, check.verdict) << key << ": " << check.detail;
    }
}

}  // namespace
