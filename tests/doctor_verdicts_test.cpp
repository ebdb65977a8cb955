// SPDX-License-Identifier: Apache-2.0
// The doctor's verdicts and hints, from observations given directly.
#include "doctor_verdicts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <optional>
#include <string>

namespace {

const DeviceNode& node(const std::string& subject) {
    for (const DeviceNode& candidate : device_nodes) {
        if (candidate.subject() == subject) return candidate;
    }
    throw std::runtime_error("no node " + subject);
}

const char* word(Verdict verdict) {
    return verdict == Verdict::kPass ? "pass" : verdict == Verdict::kFail ? "fail" : "skip";
}

bool contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

TEST(DoctorNodes, TheEightAttributesWithTheirUeventdLinesAndLabels) {
    const struct {
        const char* subject;
        const char* path;
        const char* ueventd;
        const char* label;
        const char* genfs;
    } cases[] = {
            {"remote_led/brightness", "/sys/devices/platform/gpioleds/leds/remote_led/brightness",
             "/sys/devices/platform/gpioleds/leds/remote_led brightness 0664 system system",
             "u:object_r:sysfs_quorin_led:s0",
             "genfscon sysfs /devices/platform/gpioleds/leds/remote_led/brightness "
             "u:object_r:sysfs_quorin_led:s0"},
            {"sys_led/trigger", "/sys/devices/platform/gpioleds/leds/sys_led/trigger",
             "/sys/devices/platform/gpioleds/leds/sys_led trigger 0664 system system",
             "u:object_r:sysfs_quorin_led:s0",
             "genfscon sysfs /devices/platform/gpioleds/leds/sys_led/trigger "
             "u:object_r:sysfs_quorin_led:s0"},
            {"adc3101_vol_ctl",
             "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_vol_ctl",
             "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018 adc3101_vol_ctl "
             "0664 system system",
             "u:object_r:sysfs_quorin_adc:s0",
             "genfscon sysfs /devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/"
             "adc3101_vol_ctl u:object_r:sysfs_quorin_adc:s0"},
    };
    for (const auto& c : cases) {
        const DeviceNode& n = node(c.subject);
        EXPECT_EQ(c.path, n.path());
        EXPECT_EQ(c.ueventd, ueventd_line(n));
        EXPECT_STREQ(c.label, expected_label(n));
        EXPECT_EQ(c.genfs, genfs_line(n));
    }
    std::string subjects;
    for (const DeviceNode& n : device_nodes) subjects += n.subject() + " ";
    EXPECT_EQ(
            "remote_led/brightness remote_led/trigger green_led/brightness green_led/trigger "
            "sys_led/brightness sys_led/trigger adc3101_mute_ctl adc3101_vol_ctl ",
            subjects);
}

TEST(DoctorVerdicts, PresenceNamesWhatIsMissing) {
    const struct {
        const char* subject;
        int error;
        Missing missing;
        const char* verdict;
        const char* hint;
        bool selinux = false;
    } cases[] = {
            {"green_led/brightness", 0, Missing::kAttribute, "pass", ""},
            {"green_led/brightness", ENOENT, Missing::kLed, "fail",
             "LED green_led is missing: give the gpioleds node of the device tree a child "
             "labelled \"green_led\""},
            {"remote_led/trigger", ENOENT, Missing::kDevice, "fail",
             "no gpioleds device: the device tree needs the gpio-leds node \"gpioleds\" and the "
             "kernel the leds-gpio driver (CONFIG_LEDS_GPIO)"},
            {"sys_led/trigger", ENOENT, Missing::kAttribute, "fail", "CONFIG_LEDS_TRIGGERS"},
            {"sys_led/brightness", ENOENT, Missing::kAttribute, "fail", "CONFIG_LEDS_CLASS"},
            {"adc3101_mute_ctl", ENOENT, Missing::kDevice, "fail",
             "no ADC3101 at I2C bus 0, address 0x18"},
            {"adc3101_mute_ctl", ENOENT, Missing::kAttribute, "fail",
             "the ADC3101 driver created no adc3101_mute_ctl"},
            // Refused a look (getattr), not missing: SELinux named only where it is enabled.
            {"adc3101_mute_ctl", EACCES, Missing::kAttribute, "fail",
             "its domain needs getattr on u:object_r:sysfs_quorin_adc:s0", true},
            {"adc3101_mute_ctl", EACCES, Missing::kAttribute, "fail",
             "a directory on its path refuses this user search permission"},
            // A loop of symbolic links: neither missing nor the LED class's fault.
            {"sys_led/brightness", ELOOP, Missing::kAttribute, "fail",
             "a symbolic link on the path loops back on itself"},
            {"adc3101_vol_ctl", ELOOP, Missing::kDevice, "fail",
             "a symbolic link on the path loops back on itself"},
    };
    for (const auto& c : cases) {
        const DoctorCheck check = presence_verdict(node(c.subject), c.error, c.missing, c.selinux);
        EXPECT_EQ(c.selinux, contains(check.hint, "SELinux")) << check.hint;
        EXPECT_FALSE(contains(check.hint, "CONFIG_LEDS_CLASS") && c.error != ENOENT);
        EXPECT_FALSE(contains(check.detail, "No such file") && c.error != ENOENT);
        SCOPED_TRACE(c.subject);
        EXPECT_EQ(c.subject, check.subject);
        EXPECT_EQ("present", check.check);
        EXPECT_STREQ(c.verdict, word(check.verdict));
        EXPECT_TRUE(contains(check.hint, c.hint)) << check.hint;
        if (c.error != 0) {
            EXPECT_TRUE(contains(check.detail, strerror(c.error))) << check.detail;
        }
    }
}

TEST(DoctorVerdicts, OnlyARegularFileIsAnAttribute) {
    const struct {
        mode_t mode;
        const char* verdict;
        const char* detail;
    } cases[] = {
            {S_IFREG | 0644, "pass", ""},
            {S_IFDIR | 0755, "fail",
             "/sys/devices/platform/gpioleds/leds/sys_led/trigger is a directory"},
            {S_IFCHR | 0600, "fail", "is a character device"},
            {S_IFIFO | 0600, "fail", "is a pipe"},
    };
    for (const auto& c : cases) {
        const DoctorCheck check = type_verdict(node("sys_led/trigger"), c.mode);
        EXPECT_STREQ(c.verdict, word(check.verdict));
        EXPECT_TRUE(contains(check.detail, c.detail)) << check.detail;
        EXPECT_EQ(check.verdict == Verdict::kFail,
                  contains(check.hint, "only the leds-gpio driver may own sys_led"))
                << check.hint;
    }
}

TEST(DoctorVerdicts, OpenFailuresCarryTheErrnoTextAndWhatToChange) {
    const struct {
        int error;
        bool enforcing;
        bool as_ueventd_gives;
        const char* verdict;
        const char* detail;
        const char* hint;
        bool policy_hint;
    } cases[] = {
            {0, false, false, "pass", "", "", false},
            {EACCES, false, false, "fail", "Permission denied",
             "ueventd.rc: /sys/devices/platform/gpioleds/leds/green_led brightness 0664 system "
             "system (device/ueventd.quorin_hal.rc)",
             false},
            {EACCES, false, true, "fail", "Permission denied",
             "this process is neither user nor group system: run halctl as system or root", false},
            {EACCES, true, false, "fail", "Permission denied",
             "device/sepolicy/genfs_contexts: genfscon sysfs "
             "/devices/platform/gpioleds/leds/green_led/brightness "
             "u:object_r:sysfs_quorin_led:s0) and grant "
             "quorin_hal_host(hal_quorin) in device/sepolicy",
             true},
            {EROFS, false, false, "fail", "Read-only file system", "mounted read-only", false},
            {ENXIO, true, false, "fail", "No such device or address", "see the kernel log (dmesg)",
             false},
    };
    OpenContext context;
    context.domain = "hal_quorin";
    for (const auto& c : cases) {
        context.selinux_enforcing = c.enforcing;
        const DoctorCheck check =
                open_verdict(node("green_led/brightness"), c.error, context, c.as_ueventd_gives);
        SCOPED_TRACE(c.error);
        EXPECT_EQ("opens read-write", check.check);
        EXPECT_STREQ(c.verdict, word(check.verdict));
        EXPECT_EQ(c.detail, check.detail);
        EXPECT_TRUE(contains(check.hint, c.hint)) << check.hint;
        EXPECT_EQ(c.policy_hint, contains(check.hint, "quorin_hal_host")) << check.hint;
    }
}

TEST(DoctorVerdicts, ModeAndOwnerAgainstUeventdWhereThereIsASystemAccount) {
    const SystemIds system{1000, 1000};
    const struct {
        mode_t mode;
        uid_t uid;
        gid_t gid;
        bool with_system;
        const char* verdict;
        const char* hint;
    } cases[] = {
            {S_IFREG | 0664, 1000, 1000, true, "pass", ""},
            {S_IFREG | 0644, 1000, 1000, true, "fail",
             "ueventd.rc: /sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018 "
             "adc3101_mute_ctl 0664 system system"},
            {S_IFREG | 0664, 0, 0, true, "fail", "adc3101_mute_ctl 0664 system system"},
            {S_IFREG | 0666, 1000, 1000, true, "fail", "adc3101_mute_ctl 0664 system system"},
            // No account system: what the owner may do.
            {S_IFREG | 0644, 0, 0, false, "pass", ""},
            {S_IFREG | 0444, 0, 0, false, "fail",
             "on the simulated device: chmod 0664 $UMOCKDEV_DIR"
             "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_mute_ctl"},
            {S_IFREG | 0200, 0, 0, false, "fail", "adc3101_mute_ctl 0664 system system"},
    };
    for (const auto& c : cases) {
        const NodeOwner owner{c.mode, c.uid, c.gid, std::to_string(c.uid), std::to_string(c.gid)};
        const DoctorCheck check =
                owner_verdict(node("adc3101_mute_ctl"), owner,
                              c.with_system ? std::optional(system) : std::nullopt);
        SCOPED_TRACE(std::to_string(c.mode & 07777) + " " + std::to_string(c.uid));
        EXPECT_STREQ(c.verdict, word(check.verdict));
        EXPECT_TRUE(contains(check.detail, "owner " + std::to_string(c.uid) + ":")) << check.detail;
        EXPECT_TRUE(contains(check.hint, c.hint)) << check.hint;
    }
    const DoctorCheck shown = owner_verdict(
            node("adc3101_mute_ctl"), {S_IFREG | 0644, 1000, 1003, "system", "graphics"}, system);
    EXPECT_EQ("mode 0644, owner system:graphics, wanted 0664 system:system", shown.detail);
}

TEST(DoctorVerdicts, LabelsAreTheOnesTheDevicePolicyGives) {
    const struct {
        const char* subject;
        std::optional<std::string> label;
        const char* verdict;
        int error = 0;
    } cases[] = {
            {"remote_led/trigger", "u:object_r:sysfs_quorin_led:s0", "pass"},
            // The platform's type of the LED class: the genfscon lines of the vendor policy
            // did not reach the image.
            {"remote_led/trigger", "u:object_r:sysfs_leds:s0", "fail"},
            {"remote_led/trigger", "u:object_r:sysfs:s0", "fail"},
            {"adc3101_vol_ctl", "u:object_r:sysfs_quorin_adc:s0", "pass"},
            {"adc3101_vol_ctl", "u:object_r:sysfs_leds:s0", "fail"},
            {"adc3101_vol_ctl", std::nullopt, "fail", ENODATA},
            // The policy refuses the look: not a wrong label.
            {"adc3101_vol_ctl", std::nullopt, "skip", EACCES},
    };
    for (const auto& c : cases) {
        const DeviceNode& n = node(c.subject);
        const DoctorCheck check = label_verdict(n, c.label, c.error);
        EXPECT_STREQ(c.verdict, word(check.verdict)) << c.subject;
        if (check.verdict == Verdict::kFail) {
            EXPECT_EQ("device/sepolicy/genfs_contexts: " + genfs_line(n), check.hint);
            EXPECT_TRUE(contains(check.detail, std::string("wanted ") + expected_label(n)));
        }
    }
}

TEST(DoctorVerdicts, TheTimerTriggerMustBeListed) {
    const struct {
        std::optional<std::string> text;
        const char* verdict;
    } cases[] = {
            {"[none] rc-feedback kbd-numlock timer oneshot heartbeat", "pass"},
            {"none rc-feedback [timer] heartbeat", "pass"},
            {"timer] rc-feedback timer", "pass"},  // an emulated file after a write
            {"[none] heartbeat default-on", "fail"},
            {"[none] timerx oneshot", "fail"},
            {"", "fail"},
            {std::nullopt, "skip"},
    };
    for (const auto& c : cases) {
        const DoctorCheck check = trigger_verdict("green_led", c.text);
        SCOPED_TRACE(c.text.value_or("<unreadable>"));
        EXPECT_EQ("green_led/trigger", check.subject);
        EXPECT_STREQ(c.verdict, word(check.verdict));
        EXPECT_EQ(check.verdict == Verdict::kFail,
                  check.hint ==
                          "blinking needs the kernel's timer trigger: load ledtrig-timer "
                          "(modprobe ledtrig_timer) or enable CONFIG_LEDS_TRIGGER_TIMER");
    }
}

TEST(DoctorVerdicts, ATriggerListCutAtItsBoundIsSaidSoAndItsFragmentNotTaken) {
    // "timer" found before the cut passes; a fragment at the cut ("tim") is not taken for it,
    // and what was not read is a skip, not a missing trigger.
    const DoctorCheck found = trigger_verdict("sys_led", std::string("none [timer] heartb"), true);
    EXPECT_EQ(Verdict::kPass, found.verdict);
    EXPECT_EQ("listed among the first 2 triggers of a list cut at 64 KiB", found.detail);
    const DoctorCheck fragment = trigger_verdict("sys_led", std::string("none mmc0 tim"), true);
    EXPECT_EQ(Verdict::kSkip, fragment.verdict);
    EXPECT_EQ(
            "\"timer\" is not among the first 2 triggers; the list runs past 64 KiB and the "
            "rest was not read",
            fragment.detail);
    // The last word at the cut may be the start of a longer name ("timer_x"): not taken.
    EXPECT_EQ(Verdict::kSkip, trigger_verdict("sys_led", std::string("none timer"), true).verdict);
}

TEST(DoctorVerdicts, SelinuxWhereTheSystemHasIt) {
    EXPECT_EQ(Verdict::kSkip, selinux_verdict(std::nullopt, std::nullopt).verdict);
    EXPECT_TRUE(
            contains(selinux_verdict(std::nullopt, std::nullopt).detail, "SELinux not enabled"));
    const DoctorCheck enforcing = selinux_verdict("1", "u:r:su:s0");
    EXPECT_EQ(Verdict::kPass, enforcing.verdict);
    EXPECT_EQ("u:r:su:s0, enforcing", enforcing.detail);
    EXPECT_EQ("u:r:shell:s0, permissive", selinux_verdict("0", "u:r:shell:s0").detail);
    EXPECT_EQ(Verdict::kFail, selinux_verdict("1", std::nullopt).verdict);
    // Refused selinuxfs, yet a context: SELinux is there.
    const DoctorCheck refused = selinux_verdict(std::nullopt, "u:r:quorin_halctl:s0");
    EXPECT_EQ(Verdict::kPass, refused.verdict);
    EXPECT_EQ("u:r:quorin_halctl:s0, mode unreadable", refused.detail);
    // Another security module's context, no selinuxfs: no SELinux, no labels to check.
    for (const char* other : {"unconfined", "/usr/bin/halctl (enforce)", "_"}) {
        const DoctorCheck check = selinux_verdict(std::nullopt, other);
        EXPECT_EQ(Verdict::kSkip, check.verdict) << other;
        EXPECT_TRUE(contains(check.detail, "SELinux not enabled")) << other;
    }
    EXPECT_EQ(Verdict::kPass, selinux_verdict(std::nullopt, "user_u:role_r:type_t").verdict);
}

TEST(DoctorVerdicts, PropertyValues) {
    const struct {
        const char* key;
        const char* value;
        const char* verdict;
    } cases[] = {
            {"vendor.quorin.ledindex", "", "pass"},
            {"vendor.quorin.ledindex", "-1", "pass"},
            {"vendor.quorin.ledstate", "220", "pass"},
            {"vendor.quorin.ledstate", "+1", "fail"},
            {"vendor.quorin.ledcolor", "0x2", "fail"},
            {"vendor.quorin.ledcolor", " 2", "fail"},
            {"vendor.quorin.ledcolor", "99999999999", "fail"},
            {"vendor.quorin.micstate", "", "pass"},
            {"vendor.quorin.micstate", "0", "pass"},
            {"vendor.quorin.micstate", "1", "pass"},
            {"vendor.quorin.micstate", "10", "fail"},
            {"vendor.quorin.micstate", "on", "fail"},
    };
    for (const auto& c : cases) {
        const DoctorCheck check = property_verdict(c.key, c.value);
        EXPECT_STREQ(c.verdict, word(check.verdict)) << c.key << "=" << c.value;
        EXPECT_EQ(c.key, check.subject);
        if (c.value[0] != '\0') {
            EXPECT_TRUE(contains(check.detail, std::string("\"") + c.value + "\""));
        }
    }
}

TEST(DoctorVerdicts, SavedTripleCompleteAndConsistent) {
    const struct {
        const char* index;
        const char* state;
        const char* color;
        const char* verdict;
        const char* detail;
    } cases[] = {
            {"", "", "", "pass", "nothing saved"},
            {"0", "0", "2", "pass", "standby"},
            {"0", "220", "1", "pass", "sys_led alone"},
            {"1", "200", "0", "pass", "remote_led blinking"},
            {"1", "201", "10", "pass", "all three steady"},
            {"0", "4", "10", "pass", "replays (0, 4)"},
            // Colour requests save state 1 or 2 with the colour, whatever the index.
            {"0", "1", "5", "pass", "colour request on a steady panel"},
            {"3", "2", "7", "pass", "blinking"},
            {"-1", "1", "10", "pass", "replays nothing"},
            {"0", "0", "10", "fail", "request (0, 0) draws colour 2, not 10"},
            {"1", "200", "1", "fail", "draws colour 0, not 1"},
            {"5", "7", "1", "fail", "no LED request saves led index 5 with LED state 7"},
            {"0", "2", "-1", "fail", "negative colour"},
            {"0", "0", "", "fail", "incomplete: ledcolor unset"},
            {"", "1", "", "fail", "incomplete: ledindex, ledcolor unset"},
            {"0", "x", "2", "fail", "ledstate is not numeric"},
            {"0", "0", "2.0", "fail", "ledcolor is not numeric"},
    };
    for (const auto& c : cases) {
        const DoctorCheck check = triple_verdict(c.index, c.state, c.color);
        SCOPED_TRACE(std::string(c.index) + "," + c.state + "," + c.color);
        EXPECT_EQ("saved LED request", check.subject);
        EXPECT_STREQ(c.verdict, word(check.verdict));
        EXPECT_TRUE(contains(check.detail, c.detail)) << check.detail;
        EXPECT_EQ(check.verdict == Verdict::kFail,
                  contains(check.hint, "halctl props save INDEX STATE COLOR"));
    }
}

TEST(DoctorVerdicts, PropertyContextsOnAndroidOnly) {
    EXPECT_EQ(Verdict::kSkip,
              property_context_verdict("vendor.quorin.ledindex", false, std::nullopt).verdict);
    const PropertyContextEntry led{"vendor.quorin.ledindex", "u:object_r:vendor_quorin_led_prop:s0",
                                   true, "/vendor/etc/selinux/vendor_property_contexts"};
    const DoctorCheck passed = property_context_verdict("vendor.quorin.ledindex", true, led);
    EXPECT_EQ(Verdict::kPass, passed.verdict);
    EXPECT_EQ(
            "u:object_r:vendor_quorin_led_prop:s0 (exact, "
            "/vendor/etc/selinux/vendor_property_contexts)",
            passed.detail);
    const DoctorCheck unmatched =
            property_context_verdict("vendor.quorin.ledcolor", true, std::nullopt);
    EXPECT_EQ(Verdict::kFail, unmatched.verdict);
    EXPECT_EQ(
            "no entry matches it: init gives it u:object_r:default_prop:s0, wanted "
            "u:object_r:vendor_quorin_led_prop:s0",
            unmatched.detail);
    EXPECT_TRUE(contains(unmatched.hint,
                         "vendor.quorin.ledcolor u:object_r:vendor_quorin_led_prop:s0 "
                         "exact int"));
    // The LED's context is no context for the patch state.
    const PropertyContextEntry prefix{"vendor.quorin.", "u:object_r:vendor_quorin_led_prop:s0",
                                      false, "/vendor/etc/selinux/vendor_property_contexts"};
    const DoctorCheck mic = property_context_verdict("vendor.quorin.micstate", true, prefix);
    EXPECT_EQ(
            "resolves to u:object_r:vendor_quorin_led_prop:s0 (prefix \"vendor.quorin.\", "
            "/vendor/etc/selinux/vendor_property_contexts), wanted "
            "u:object_r:vendor_quorin_mic_prop:s0",
            mic.detail);
    EXPECT_EQ(
            "device/sepolicy/property_contexts: vendor.quorin.micstate "
            "u:object_r:vendor_quorin_mic_prop:s0 "
            "exact string (installed as /vendor/etc/selinux/vendor_property_contexts)",
            mic.hint);
}

TEST(DoctorVerdicts, LibrariesNameThePackageOrModule) {
    const struct {
        const char* name;
        const char* error;
        const char* verdict;
        const char* hint;
    } cases[] = {
            {"liblog.so.0", "", "pass", ""},
            {"liblog.so", "liblog.so: cannot open shared object file", "fail", "android-liblog-dev"},
            {"libutils.so.0", "not found", "fail", "android-libutils-dev"},
            {"libsystemcontrolservice.so", "not found", "fail",
             "add libsystemcontrolservice to PRODUCT_PACKAGES of the vendor image"},
            {"libAmlAudioOutPort.so", "undefined symbol: x", "fail",
             "add libAmlAudioOutPort to PRODUCT_PACKAGES"},
            {"libfoo.so.3", "not found", "fail", "a library the build linked against"},
    };
    for (const auto& c : cases) {
        const DoctorCheck check = needed_library_verdict(c.name, c.error);
        EXPECT_STREQ(c.verdict, word(check.verdict)) << c.name;
        EXPECT_EQ("loads", check.check);
        EXPECT_EQ(c.error, check.detail);
        EXPECT_TRUE(contains(check.hint, c.hint)) << check.hint;
    }
    EXPECT_EQ(Verdict::kPass, library_file_verdict("/vendor/lib/libquorin_hal.so", "").verdict);
    const DoctorCheck missing =
            library_file_verdict("libquorin_hal.so", "libquorin_hal.so not found");
    EXPECT_EQ(Verdict::kFail, missing.verdict);
    EXPECT_TRUE(contains(missing.hint, "--lib PATH"));
}

TEST(DoctorVerdicts, RootIsSaidToPassOwnerChecksButNotSysfsModeBits) {
    EXPECT_TRUE(
            contains(process_verdict(0, "root", true).detail, "passes the owner and group checks"));
    EXPECT_TRUE(contains(process_verdict(0, "root", true).detail, "sysfs refuses"));
    EXPECT_EQ("system (uid 1000)", process_verdict(1000, "system", false).detail);
}

TEST(DoctorVerdicts, RootWithoutTheCapabilityMeetsTheOwnerChecks) {
    const std::string detail = process_verdict(0, "root", false).detail;
    EXPECT_EQ(
            "root (uid 0): without CAP_DAC_OVERRIDE, so the owner and group checks apply as to "
            "anyone",
            detail);
    OpenContext context;
    context.uid_zero = true;
    const DoctorCheck refused = open_verdict(node("sys_led/trigger"), EACCES, context, true);
    EXPECT_FALSE(contains(refused.hint, "as system or root")) << refused.hint;
    EXPECT_TRUE(contains(refused.hint, "root without CAP_DAC_OVERRIDE")) << refused.hint;
    EXPECT_TRUE(contains(refused.hint, "su system")) << refused.hint;
    EXPECT_EQ("", open_verdict(node("sys_led/trigger"), 0, context, true).detail);
    context.dac_override = true;
    EXPECT_EQ("with CAP_DAC_OVERRIDE",
              open_verdict(node("sys_led/trigger"), 0, context, true).detail);
    const DoctorCheck still = open_verdict(node("sys_led/trigger"), EACCES, context, true);
    EXPECT_FALSE(contains(still.hint, "as system or root")) << still.hint;
    EXPECT_TRUE(contains(still.hint, "root with CAP_DAC_OVERRIDE and still refused"));
}

TEST(DoctorVerdicts, WriteOnlyAttributesAreRecognisedWithoutWriting) {
    const struct {
        mode_t mode;
        OpenErrors errors;
        bool grants_read;
        WriteOnly kind;
    } cases[] = {
            {S_IFREG | 0664, {0, 0, 0}, true, WriteOnly::kNone},
            {S_IFREG | 0200, {EACCES, 0, EACCES}, false, WriteOnly::kModeWithoutRead},
            {S_IFREG | 0220, {0, 0, EACCES}, false, WriteOnly::kModeWithoutRead},  // as root
            {S_IFREG | 0664, {0, 0, EIO}, true, WriteOnly::kReadGivesEio},
            {S_IFREG | 0664, {EACCES, 0, EACCES}, true, WriteOnly::kReadWriteRefused},
            // Refused by the mode for this process: a permission fault, not a missing show.
            {S_IFREG | 0662, {EACCES, 0, EACCES}, false, WriteOnly::kNone},
            {S_IFREG | 0200, {EACCES, EACCES, EACCES}, false, WriteOnly::kNone},
            {S_IFREG | 0664, {EACCES, EACCES, EIO}, true, WriteOnly::kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode & 0777) + " " + std::to_string(c.errors.read_write));
        EXPECT_EQ(c.kind, recognise_write_only(c.mode, c.errors, c.grants_read));
    }
}

TEST(DoctorVerdicts, WriteOnlyHintsSayWhetherTheLibraryCanWriteIt) {
    const DeviceNode& volume = node("adc3101_vol_ctl");
    const DoctorCheck mode = write_only_verdict(volume, WriteOnly::kModeWithoutRead, 0200, EACCES);
    EXPECT_EQ("opens read-write", mode.check);
    EXPECT_EQ("write-only (missing show): mode 0200 has no read bit, a write-only open succeeds",
              mode.detail);
    const DoctorCheck eio = write_only_verdict(volume, WriteOnly::kReadGivesEio, 0664, 0);
    EXPECT_EQ("readable", eio.check);
    for (const DoctorCheck& check : {mode, eio}) {
        EXPECT_EQ(Verdict::kFail, check.verdict);
        EXPECT_TRUE(contains(check.hint, "missing show")) << check.hint;
        EXPECT_TRUE(contains(check.hint, "writes still work once the mode allows them"));
        EXPECT_TRUE(contains(check.hint, "adc3101_vol_ctl 0664 system system"));
        EXPECT_FALSE(contains(check.hint, "cannot write")) << check.hint;
        EXPECT_FALSE(contains(check.hint, "SELinux")) << check.hint;
    }
    const DoctorCheck refused =
            write_only_verdict(volume, WriteOnly::kReadWriteRefused, 0664, EACCES);
    EXPECT_TRUE(contains(refused.detail, "write-only (missing show)"));
    EXPECT_TRUE(contains(refused.hint,
                         "the library opens read-write, so it cannot write that "
                         "attribute"));
    EXPECT_EQ(Verdict::kPass, write_only_verdict(volume, WriteOnly::kNone, 0664, 0).verdict);
}

TEST(DoctorVerdicts, MaxBrightnessOtherThanOneIsAGlow) {
    const struct {
        std::optional<std::string> text;
        const char* verdict;
        const char* detail;
    } cases[] = {
            {"1", "pass", "1"},
            {"255", "fail", "max_brightness is 255: \"on\" writes 1 of 255"},
            {"0", "fail", "max_brightness is 0: \"on\" writes 1 of 0"},
            {"", "fail", "max_brightness is empty"},
            {std::nullopt, "skip", "cannot be read"},
    };
    for (const auto& c : cases) {
        const DoctorCheck check = max_brightness_verdict("green_led", c.text);
        SCOPED_TRACE(c.text.value_or("(unreadable)"));
        EXPECT_EQ("green_led/max_brightness", check.subject);
        EXPECT_EQ("max_brightness", check.check);
        EXPECT_STREQ(c.verdict, word(check.verdict));
        EXPECT_TRUE(contains(check.detail, c.detail)) << check.detail;
        EXPECT_EQ(check.verdict == Verdict::kFail, contains(check.hint, "leds-gpio"));
    }
}

TEST(DoctorVerdicts, MicstateHintIsARemedyThatWorks) {
    // Only a value beginning with '1' is an open patch to the library: disable releases it.
    const DoctorCheck open = property_verdict("vendor.quorin.micstate", "10");
    EXPECT_TRUE(contains(open.hint, "halctl patch disable releases the patch")) << open.hint;
    for (const char* value : {"on", "2", "01"}) {
        const DoctorCheck none = property_verdict("vendor.quorin.micstate", value);
        EXPECT_TRUE(contains(none.hint, "halctl patch disable does nothing")) << none.hint;
        EXPECT_TRUE(contains(none.hint, "setprop vendor.quorin.micstate 0 if no patch is open"));
        EXPECT_TRUE(
                contains(none.hint, "setprop vendor.quorin.micstate 1 then halctl patch disable"));
    }
}

TEST(DoctorVerdicts, ChmodHintNamesTheSimulatedFile) {
    const NodeOwner owner{S_IFREG | 0444, 0, 0, "root", "root"};
    const std::string path =
            "/sys/devices/platform/soc/ffd00000.cbus/ffd1f000.i2c/i2c-0/0-0018/adc3101_mute_ctl";
    EXPECT_TRUE(contains(
            owner_verdict(node("adc3101_mute_ctl"), owner, std::nullopt, "/tmp/umockdev.X").hint,
            "on the simulated device: chmod 0664 /tmp/umockdev.X" + path));
    EXPECT_TRUE(contains(owner_verdict(node("adc3101_mute_ctl"), owner, std::nullopt, "").hint,
                         "chmod 0664 $UMOCKDEV_DIR" + path));
}

}  // namespace
