// SPDX-License-Identifier: Apache-2.0
#include "doctor_verdicts.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sstream>
#include <vector>

#include "adc3101.h"
#include "doctor_expectations.h"
#include "led_color_codes.h"
#include "led_request_table.h"
#include "library_holders.h"
#include "property_keys.h"
#include "strict_decimal.h"

namespace {

constexpr const char* kAdcDevice = "ADC3101";

DoctorCheck pass(const DeviceNode& node, const char* check, std::string detail = "") {
    return {node.subject(), check, Verdict::kPass, std::move(detail), ""};
}

DoctorCheck fail(std::string subject, std::string check, std::string detail, std::string hint) {
    return {std::move(subject), std::move(check), Verdict::kFail, std::move(detail),
            std::move(hint)};
}

std::string octal_mode(mode_t mode) {
    char text[8];
    snprintf(text, sizeof(text), "%04o", static_cast<unsigned>(mode & 07777));
    return text;
}

std::string join(const std::vector<std::string>& names) {
    std::string text;
    for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
    return text;
}

std::string error_text(int error) {
    return strerror(error);  // NOLINT(concurrency-mt-unsafe): single-threaded tool
}

// How the report words the pattern a state request leaves in force.
struct PatternWords {
    LedModel model;
    const char* words;
};
constexpr PatternWords kPatternWords[] = {
        {steady(kStandbyColor), "standby, green_led alone"},
        {steady(kAllLedsColor), "all three steady"},
        {steady(kSysAloneColor), "sys_led alone"},
        {blinking(kRemoteAloneColor), "remote_led blinking"},
};

std::string pattern_words(LedModel model) {
    for (const PatternWords& known : kPatternWords) {
        if (known.model == model) return known.words;
    }
    return std::string(led_color_meaning(model.color)) + (model.steady ? ", steady" : ", blinking");
}

// "0664 system:system", as the doctor reports what it wanted.
std::string wanted_mode_and_owner() {
    return octal_mode(kNodeMode) + " " + kNodeOwner + ":" + kNodeOwner;
}

// Where the kernel lists every LED.
std::string led_class_list_dir() {
    return "/sys/class/leds";
}

constexpr std::array<DeviceNode, kDeviceNodeCount> compose_device_nodes() {
    std::array<DeviceNode, kDeviceNodeCount> nodes{};
    size_t at = 0;
    for (Led led : kLeds) {
        for (LedAttribute attribute : kLedAttributes) {
            nodes[at++] = {NodeKind::kLed, led_name(led),
                           kLedAttributeNames[static_cast<size_t>(attribute)],
                           led_attribute_path(led, attribute)};
        }
    }
    nodes[at++] = {NodeKind::kAdc, kAdcDevice, kAdcMuteAttribute, kAdcMutePath.c_str()};
    nodes[at] = {NodeKind::kAdc, kAdcDevice, kAdcVolumeAttribute, kAdcVolumePath.c_str()};
    return nodes;
}

// The library takes any micstate beginning with '1' for an open patch, and releases only that.
std::string released_hint() {
    return std::string(
                   "something else sets it; the library takes it for an open patch: halctl "
                   "patch disable releases the patch and writes \"") +
           kMicStateDisabled + "\"; then find the writer";
}

std::string unreleased_hint() {
    return std::string(
                   "something else sets it; the library takes it for no patch, so halctl "
                   "patch disable does nothing: setprop ") +
           kMicStateProperty + " " + kMicStateDisabled + " if no patch is open, or setprop " +
           kMicStateProperty + " " + kMicStateEnabled +
           " then halctl patch disable to release one; then find the writer";
}

constexpr const char* kTripleHint =
        "the three are written together by save_property; rewrite them with halctl props save "
        "INDEX STATE COLOR (or clear all three) and find what else sets them";

}  // namespace

const std::array<DeviceNode, kDeviceNodeCount> device_nodes = compose_device_nodes();

std::string DeviceNode::subject() const {
    return kind == NodeKind::kLed ? std::string(device) + "/" + attribute : attribute;
}

std::string DeviceNode::path() const {
    return file;
}

std::string ueventd_line(const DeviceNode& node) {
    const std::string path = node.path();
    return path.substr(0, path.rfind('/')) + " " + node.attribute + " " + octal_mode(kNodeMode) +
           " " + kNodeOwner + " " + kNodeOwner;
}

const char* expected_label(const DeviceNode& node) {
    return node.kind == NodeKind::kLed ? kLedNodeLabel : kAdcNodeLabel;
}

std::string genfs_line(const DeviceNode& node) {
    // Each attribute alone: genfscon labels by prefix, and a directory's line would label every
    // file below it.
    return "genfscon sysfs " + node.path().substr(strlen(kSysfsMount)) + " " + expected_label(node);
}

DoctorCheck presence_verdict(const DeviceNode& node, int error, Missing missing, bool selinux) {
    if (error == 0) return pass(node, "present", node.path());
    std::string hint;
    if (error == EACCES || error == EPERM) {
        // Refused a look: nothing is known of whether it is there.
        hint = selinux ? std::string(
                                 "this process may not look at the node: with SELinux its "
                                 "domain needs getattr on ") +
                                 expected_label(node) +
                                 " and search on the directories above it (quorin_halctl has "
                                 "them in device/sepolicy)"
                       : std::string(
                                 "this process may not look at the node: a directory on its "
                                 "path refuses this user search permission; run halctl as "
                                 "system or root");
        return fail(node.subject(), "present",
                    std::string(node.path()) + ": cannot see (" + error_text(error) + ")", hint);
    }
    if (error == ELOOP) {
        return fail(node.subject(), "present", std::string(node.path()) + ": " + error_text(error),
                    "a symbolic link on the path loops back on itself: the kernel makes no such "
                    "loop in sysfs, so something linked or mounted over it; follow the path with "
                    "ls -l to find the link");
    }
    if (error != ENOENT && error != ENOTDIR) {
        return fail(node.subject(), "present",
                    std::string(node.path()) + ": cannot look it up: " + error_text(error),
                    "see the kernel log (dmesg) for what refuses the lookup");
    }
    if (node.kind == NodeKind::kLed) {
        switch (missing) {
            case Missing::kDevice:
                hint = "no gpioleds device: the device tree needs the gpio-leds node \"gpioleds\" "
                       "and the kernel the leds-gpio driver (CONFIG_LEDS_GPIO)";
                break;
            case Missing::kLed:
                hint = std::string("LED ") + node.device +
                       " is missing: give the gpioleds node of the device tree a child labelled "
                       "\"" +
                       node.device + "\" with its GPIO";
                break;
            case Missing::kAttribute:
                hint = std::string("the LED class created no ") + node.attribute + " for " +
                       node.device +
                       (std::strcmp(node.attribute, "trigger") == 0
                                ? ": enable LED triggers in the kernel (CONFIG_LEDS_TRIGGERS)"
                                : ": check the kernel's LED class (CONFIG_LEDS_CLASS)");
                break;
        }
    } else if (missing == Missing::kAttribute) {
        hint = std::string("the ADC3101 driver created no ") + node.attribute +
               ": the kernel needs the adc3101 codec driver that provides the mute and volume "
               "attributes";
    } else {
        hint = "no ADC3101 at I2C bus 0, address 0x18: the device tree needs the adc3101 node "
               "(reg 0x18) on i2c-0 and the kernel its codec driver";
    }
    return fail(node.subject(), "present", std::string(node.path()) + ": " + error_text(error),
                hint);
}

DoctorCheck led_missing_verdict(const char* led, const std::string& expected_dir, Missing missing,
                                const std::optional<std::string>& elsewhere, const Listing& leds,
                                bool first, int elsewhere_error) {
    std::string detail = expected_dir + " is missing; ";
    std::string hint;
    if (elsewhere) {
        detail += "path differs: the kernel put it at " + *elsewhere;
        hint = std::string("the library writes only ") + expected_dir +
               "/brightness and trigger: make " + led +
               " a child of the device tree's gpioleds node (leds-gpio driver), not another "
               "LED device's";
        return fail(led, "present", detail, hint);
    }
    const int refused = refused_to_look(elsewhere_error) ? elsewhere_error : leds.error;
    if (refused_to_look(refused)) {
        // What could not be seen is not said to be absent.
        detail += "where the kernel put its LEDs cannot be seen (" + led_class_list_dir() + ": " +
                  error_text(refused) + ")" +
                  (leds.names.empty() ? "" : "; seen: " + join(leds.names));
    } else {
        detail += leds.names.empty() ? std::string("the kernel has no LEDs")
                                     : "the kernel has these LEDs: " + join(leds.names);
    }
    if (missing == Missing::kLed) {
        hint = std::string("LED ") + led +
               " is missing: give the gpioleds node of the device tree a child labelled \"" + led +
               "\" with its GPIO";
    } else if (first) {
        hint = "no gpioleds device: the device tree needs the gpio-leds node \"gpioleds\" "
               "and the kernel the leds-gpio driver (CONFIG_LEDS_GPIO)";
    } else {
        hint = "no gpioleds device, as above";
    }
    return fail(led, "present", detail, hint);
}

DoctorCheck adc_missing_verdict(const std::string& expected_dir, const Listing& clients) {
    std::string detail = expected_dir + " is missing; ";
    std::string hint =
            "no ADC3101 at I2C bus 0, address 0x18: the device tree needs the adc3101 "
            "node (reg 0x18) on i2c-0 and the kernel its codec driver";
    if (refused_to_look(clients.error)) {
        detail += "the clients on i2c-0 cannot be seen (" + error_text(clients.error) + ")";
    } else if (!clients.names.empty()) {
        detail += "on the bus: " + join(clients.names);
        hint = "an I2C client at another address is another chip, or the adc3101 node's reg is "
               "wrong: the device tree needs the adc3101 node with reg 0x18 on i2c-0";
    } else {
        detail += clients.error == 0 ? "nothing on the bus" : "no adapter i2c-0, nothing on the bus";
    }
    return fail(kAdcDevice, "present", detail, hint);
}

DoctorCheck type_verdict(const DeviceNode& node, mode_t mode) {
    if (S_ISREG(mode)) return pass(node, "regular attribute");
    const char* what = S_ISDIR(mode)    ? "a directory"
                       : S_ISLNK(mode)  ? "a symbolic link"
                       : S_ISCHR(mode)  ? "a character device"
                       : S_ISFIFO(mode) ? "a pipe"
                                        : "not a regular file";
    std::string hint =
            node.kind == NodeKind::kLed
                    ? std::string("the library writes ") + node.path() +
                              " as an LED class attribute: only the leds-gpio driver may own " +
                              node.device + " (device tree label \"" + node.device +
                              "\"), nothing else may create a node of that name"
                    : std::string("the library writes ") + node.path() +
                              " as the adc3101 driver's attribute: the node at i2c-0 0x18 must "
                              "be bound to that driver";
    return fail(node.subject(), "regular attribute", std::string(node.path()) + " is " + what, hint);
}

DoctorCheck process_verdict(uid_t uid, const std::string& user, bool dac_override) {
    std::string detail = user + " (uid " + std::to_string(uid) + ")";
    if (dac_override) {
        detail +=
                ": CAP_DAC_OVERRIDE passes the owner and group checks, yet sysfs refuses an open "
                "for reading or writing that the mode has no bit for; the mode and owner lines "
                "tell what the library's host process meets";
    } else if (uid == 0) {
        detail += ": without CAP_DAC_OVERRIDE, so the owner and group checks apply as to anyone";
    }
    return {"this process", "user", Verdict::kPass, detail, ""};
}

DoctorCheck open_verdict(const DeviceNode& node, int error, const OpenContext& context,
                         bool as_ueventd_gives) {
    if (error == 0) {
        return pass(node, "opens read-write", context.dac_override ? "with CAP_DAC_OVERRIDE" : "");
    }
    std::string hint;
    if (error == EACCES || error == EPERM) {
        if (!as_ueventd_gives) {
            hint = "ueventd.rc: " + ueventd_line(node) + " (" + kUeventdFile +
                   "), and run the library's host process as user or group system";
        } else if (context.uid_zero && context.dac_override) {
            hint = std::string(
                    "the node has ueventd's mode and owner; this process is root with "
                    "CAP_DAC_OVERRIDE and still refused: sysfs refuses what the mode has no read "
                    "or write bit for, or the security policy refuses it");
        } else if (context.uid_zero) {
            hint = std::string(
                    "the node has ueventd's mode and owner; this process is root without "
                    "CAP_DAC_OVERRIDE, so only the mode's bits for others apply: run halctl as "
                    "user system (su system) or keep the capability");
        } else {
            hint = std::string(
                    "the node has ueventd's mode and owner; this process is neither user nor "
                    "group system: run halctl as system or root (adb root)");
        }
        if (context.selinux_enforcing) {
            hint += "; SELinux enforcing: label the node " + std::string(expected_label(node)) +
                    " (" + kGenfsFile + ": " + genfs_line(node) + ") and grant quorin_hal_host(" +
                    (context.domain.empty() ? "DOMAIN" : context.domain) + ") in device/sepolicy";
        }
    } else if (error == EROFS) {
        hint = "sysfs is mounted read-only: mount it read-write";
    } else if (error == EISDIR) {
        hint = "a directory sits where the attribute should be";
    } else {
        hint = std::string("the ") + node.device +
               " driver refuses opening its attribute: see the kernel log (dmesg)";
    }
    return fail(node.subject(), "opens read-write", error_text(error), hint);
}

WriteOnly recognise_write_only(mode_t mode, const OpenErrors& errors, bool mode_grants_read) {
    if (errors.write_only != 0) return WriteOnly::kNone;
    if ((mode & (S_IRUSR | S_IRGRP | S_IROTH)) == 0) return WriteOnly::kModeWithoutRead;
    if (errors.read == EIO) return WriteOnly::kReadGivesEio;
    if (errors.read_write == EACCES && mode_grants_read) return WriteOnly::kReadWriteRefused;
    return WriteOnly::kNone;
}

DoctorCheck write_only_verdict(const DeviceNode& node, WriteOnly kind, mode_t mode,
                               int read_write_error) {
    const char* check = read_write_error != 0 ? "opens read-write" : "readable";
    const std::string driver = node.kind == NodeKind::kLed ? "LED" : "adc3101";
    const std::string missing_show = std::string(node.attribute) + " is write-only: the " + driver +
                                     " driver gives it a store but no show (missing show)";
    switch (kind) {
        case WriteOnly::kNone:
            return pass(node, "readable");
        case WriteOnly::kModeWithoutRead:
            return fail(node.subject(), check,
                        "write-only (missing show): mode " + octal_mode(mode) +
                                " has no read bit, a write-only open succeeds",
                        missing_show +
                                ", so it makes the file without read bits; writes still work "
                                "once the mode allows them: on a device, ueventd.rc: " +
                                ueventd_line(node) + " (" + kUeventdFile +
                                "); reads give EIO until the driver has a show");
        case WriteOnly::kReadGivesEio:
            return fail(node.subject(), check,
                        "write-only (missing show): a read gives EIO, a write-only open succeeds",
                        missing_show +
                                "; writes still work once the mode allows them (on a device, "
                                "ueventd.rc: " +
                                ueventd_line(node) +
                                "), only reading it back fails: give the driver a show");
        case WriteOnly::kReadWriteRefused:
            return fail(node.subject(), check,
                        "write-only (missing show): the kernel refuses a read-write open, a "
                        "write-only open succeeds",
                        missing_show +
                                "; the kernel refuses reading opens of it, and the library opens "
                                "read-write, so it cannot write that attribute: give the driver "
                                "a show");
    }
    return pass(node, "readable");
}

DoctorCheck owner_verdict(const DeviceNode& node, const NodeOwner& owner,
                          const std::optional<SystemIds>& system,
                          const std::string& simulated_root) {
    std::string detail =
            "mode " + octal_mode(owner.mode) + ", owner " + owner.user + ":" + owner.group;
    const mode_t permissions = owner.mode & 07777;
    if (system) {
        if (permissions == kNodeMode && owner.uid == system->uid && owner.gid == system->gid) {
            return pass(node, "mode and owner", detail);
        }
        return fail(node.subject(), "mode and owner", detail + ", wanted " + wanted_mode_and_owner(),
                    "ueventd.rc: " + ueventd_line(node) + " (" + kUeventdFile + ")");
    }
    // No account system (a workstation, a bare kernel): only what the owner may do is checked.
    if ((permissions & S_IRUSR) != 0 && (permissions & S_IWUSR) != 0) {
        return pass(node, "mode and owner", detail + ", owner may read and write");
    }
    return fail(node.subject(), "mode and owner",
                detail + ", owner may not read and write (no account " + kNodeOwner +
                        " here; a device wants " + wanted_mode_and_owner() + ")",
                "on a device, ueventd.rc: " + ueventd_line(node) + " (" + kUeventdFile + ")" +
                        "; on the simulated device: chmod " + octal_mode(kNodeMode) + " " +
                        (simulated_root.empty() ? "$UMOCKDEV_DIR" : simulated_root) + node.path());
}

DoctorCheck label_verdict(const DeviceNode& node, const std::optional<std::string>& label,
                          int error) {
    const std::string wanted = expected_label(node);
    if (label && *label == wanted) return pass(node, "SELinux label", *label);
    if (!label && (error == EACCES || error == EPERM)) {
        return {node.subject(), "SELinux label", Verdict::kSkip,
                "cannot see (" + error_text(error) + "): this process may not read the label", ""};
    }
    return fail(node.subject(), "SELinux label",
                (label ? "labelled " + *label : std::string("no label readable")) + ", wanted " +
                        wanted,
                std::string(kGenfsFile) + ": " + genfs_line(node));
}

DoctorCheck trigger_verdict(const char* led, const std::optional<std::string>& text, bool cut) {
    const std::string subject = std::string(led) + "/trigger";
    if (!text) {
        return {subject, "timer trigger", Verdict::kSkip, "the trigger attribute cannot be read",
                ""};
    }
    std::vector<std::string> listed;
    std::istringstream words(*text);
    for (std::string word; words >> word;) listed.push_back(word);
    if (cut && !listed.empty()) listed.pop_back();
    bool timer = false;
    for (std::string word : listed) {
        if (word.size() > 2 && word.front() == '[' && word.back() == ']') {
            word = word.substr(1, word.size() - 2);
        }
        timer = timer || word == kTriggerTimer;
    }
    const std::string count = std::to_string(listed.size());
    if (timer) {
        return {subject, "timer trigger", Verdict::kPass,
                cut ? "listed among the first " + count + " triggers of a list cut at 64 KiB"
                    : "listed among " + count + " triggers",
                ""};
    }
    if (cut) {
        return {subject, "timer trigger", Verdict::kSkip,
                "\"timer\" is not among the first " + count +
                        " triggers; the list runs past 64 KiB and the rest was not read",
                ""};
    }
    return fail(subject, "timer trigger",
                "\"timer\" is not among the triggers listed (" + count + ")",
                "blinking needs the kernel's timer trigger: load ledtrig-timer (modprobe "
                "ledtrig_timer) or enable CONFIG_LEDS_TRIGGER_TIMER");
}

DoctorCheck max_brightness_verdict(const char* led, const std::optional<std::string>& text) {
    const std::string subject = std::string(led) + "/max_brightness";
    if (!text) {
        return {subject, "max_brightness", Verdict::kSkip,
                "the max_brightness attribute cannot be read", ""};
    }
    if (*text == "1") return {subject, "max_brightness", Verdict::kPass, "1", ""};
    const std::string shown = text->empty() ? std::string("empty") : *text;
    return fail(subject, "max_brightness",
                "max_brightness is " + shown + ": \"on\" writes 1 of " + shown +
                        " to brightness, a glow rather than full light",
                std::string("the library switches ") + led +
                        " with 0 and 1, as a GPIO LED has it: drive it with the leds-gpio "
                        "driver (the gpioleds node of the device tree), not a PWM LED driver");
}

DoctorCheck selinux_verdict(const std::optional<std::string>& enforce,
                            const std::optional<std::string>& context) {
    if (!enforce && (!context || context->empty())) {
        return {"SELinux", "process context", Verdict::kSkip,
                "SELinux not enabled (no selinuxfs, no process context): node labels not checked",
                ""};
    }
    // Other security modules answer /proc/self/attr/current too (AppArmor: "unconfined"); only
    // SELinux's contexts read user:role:type[:level].
    if (!enforce && std::count(context->begin(), context->end(), ':') < 2) {
        return {"SELinux", "process context", Verdict::kSkip,
                "SELinux not enabled (no selinuxfs; the process context \"" + *context +
                        "\" is another security module's): node labels not checked",
                ""};
    }
    // A domain may be refused selinuxfs while its own context still says SELinux is there.
    const std::string mode = !enforce                           ? "mode unreadable"
                             : enforce->compare(0, 1, "1") == 0 ? "enforcing"
                                                                : "permissive";
    if (!context || context->empty()) {
        return fail("SELinux", "process context", mode + ", this process's context unreadable",
                    "/proc/self/attr/current must be readable: run halctl from a shell of the "
                    "device (adb shell)");
    }
    return {"SELinux", "process context", Verdict::kPass, *context + ", " + mode, ""};
}

DoctorCheck property_verdict(const char* key, const std::string& value) {
    const bool micstate = std::strcmp(key, kMicStateProperty) == 0;
    if (value.empty()) {
        return {key, "value", Verdict::kPass, micstate ? "unset (no patch recorded)" : "unset", ""};
    }
    const std::string shown = "\"" + value + "\"";
    if (micstate) {
        if (value == kMicStateDisabled || value == kMicStateEnabled) {
            return {key, "value", Verdict::kPass,
                    shown + (value == kMicStateEnabled ? " (patch recorded enabled)"
                                                       : " (patch released)"),
                    ""};
        }
        return fail(key, "value",
                    shown + ", the library writes only \"" + kMicStateDisabled + "\" and \"" +
                            kMicStateEnabled + "\"",
                    value[0] == kMicStateEnabled[0] ? released_hint() : unreleased_hint());
    }
    int number = 0;
    if (parse_strict_decimal(value, &number)) return {key, "value", Verdict::kPass, shown, ""};
    return fail(key, "value", shown + " is not a decimal integer", kTripleHint);
}

DoctorCheck triple_verdict(const std::string& index, const std::string& state,
                           const std::string& color) {
    const char* const kSubject = "saved LED request";
    const char* const kCheck = "complete and consistent";
    const struct {
        const char* key;
        const std::string& value;
    } fields[] = {{"ledindex", index}, {"ledstate", state}, {"ledcolor", color}};
    std::vector<std::string> unset;
    for (const auto& field : fields) {
        if (field.value.empty()) unset.emplace_back(field.key);
    }
    if (unset.size() == 3) {
        return {kSubject, kCheck, Verdict::kPass,
                "nothing saved: HAL_FrontPanelInit replays nothing", ""};
    }
    if (!unset.empty()) {
        std::string names;
        for (const std::string& name : unset) names += (names.empty() ? "" : ", ") + name;
        return fail(kSubject, kCheck, "incomplete: " + names + " unset", kTripleHint);
    }
    int values[3] = {};
    for (int i = 0; i < 3; ++i) {
        if (!parse_strict_decimal(fields[i].value, &values[i])) {
            return fail(kSubject, kCheck, std::string(fields[i].key) + " is not numeric",
                        kTripleHint);
        }
    }
    const int i = values[0];
    const int s = values[1];
    const int c = values[2];
    const std::string triple = "(" + index + ", " + state + ", " + color + ")";
    if (c < 0) {
        return fail(kSubject, kCheck, triple + ": no request saves a negative colour", kTripleHint);
    }
    const std::string replay = i < 0 ? "; HAL_FrontPanelInit replays nothing"
                                     : "; HAL_FrontPanelInit replays (" + index + ", " + state + ")";
    // The library's own table says which colour each state request saves; the flash saves
    // nothing.
    const LedRequest* row = find_led_request(i, s);
    if (row != nullptr && row->flash) row = nullptr;
    if (row != nullptr && row->model_after.color == c) {
        return {kSubject, kCheck, Verdict::kPass,
                triple + ": state request, " + pattern_words(row->model_after) + replay, ""};
    }
    // A colour request saves state 1 or 2 with any colour, so (0, 1) may carry any colour.
    const bool colour_request = s == kSavedStateSteady || s == kSavedStateBlinking;
    if (row != nullptr && !colour_request) {
        return fail(kSubject, kCheck,
                    triple + ": request (" + index + ", " + state + ") draws colour " +
                            std::to_string(row->model_after.color) + ", not " + color,
                    kTripleHint);
    }
    if (colour_request) {
        return {kSubject, kCheck, Verdict::kPass,
                triple + ": colour request on a " +
                        (s == kSavedStateSteady ? "steady" : "blinking") + " panel" + replay,
                ""};
    }
    return fail(kSubject, kCheck,
                triple + ": no LED request saves led index " + index + " with LED state " + state,
                kTripleHint);
}

DoctorCheck rejected_lines_verdict(const std::vector<RejectedLine>& rejected) {
    constexpr size_t kShown = 5;
    std::string lines;
    for (size_t i = 0; i < rejected.size() && i < kShown; ++i) {
        lines += (i == 0 ? "" : "; ") + rejected[i].file + ":" + std::to_string(rejected[i].line) +
                 ": " + rejected[i].reason.substr(0, 200);
    }
    if (rejected.size() > kShown)
        lines += "; and " + std::to_string(rejected.size() - kShown) + " more";
    return fail("property_contexts", "init takes every line", lines,
                "write each line as NAME CONTEXT exact|prefix [TYPE], each name defined once; init "
                "logs every line it rejects as \"Could not read line from\"");
}

DoctorCheck property_context_verdict(const char* key, bool android,
                                     const std::optional<PropertyContextEntry>& found,
                                     const std::vector<CutFile>& cut) {
    const bool led = std::strcmp(key, kMicStateProperty) != 0;
    const std::string wanted = object_context(led ? kLedPropertyContext : kMicPropertyContext);
    if (!android) {
        return {key, "property context", Verdict::kSkip,
                "no property_contexts files (not Android's property service)", ""};
    }
    if (unread_could_decide(found, cut)) {
        std::string files;
        for (const CutFile& file : cut) {
            files += (files.empty() ? "" : ", ") + file.file + " was read only to " + file.extent;
        }
        return {key, "property context", Verdict::kSkip,
                (found ? "resolves to " + found->context + " (" +
                                 (found->exact ? "exact" : "prefix \"" + found->name + "\"") +
                                 ", " + found->file + ") among the lines read"
                       : std::string("no entry among the lines read")) +
                        "; " + files + ", and what was not read could decide it",
                ""};
    }
    if (found && found->context == wanted) {
        return {key, "property context", Verdict::kPass,
                wanted + " (" + (found->exact ? "exact" : "prefix \"" + found->name + "\"") + ", " +
                        found->file + ")",
                ""};
    }
    const std::string detail =
            found ? "resolves to " + found->context + " (" +
                            (found->exact ? "exact" : "prefix \"" + found->name + "\"") + ", " +
                            found->file + "), wanted " + wanted
                  : "no entry matches it: init gives it " + std::string(kDefaultPropertyContext) +
                            ", wanted " + wanted;
    return fail(key, "property context", detail,
                std::string(kPropertyContextsFile) + ": " + key + " " + wanted +
                        (led ? " exact int" : " exact string") +
                        " (installed as /vendor/etc/selinux/vendor_property_contexts)");
}

DoctorCheck holders_verdict(const HolderScan& scan) {
    // A process whose maps could not be read is not said to be without the library, nor is any
    // when the scan was cut short.
    const std::string unseen =
            scan.unseen == 0
                    ? ""
                    : "the maps of " + std::to_string(scan.unseen) + " other process" +
                              (scan.unseen == 1 ? "" : "es") +
                              " cannot be seen (permission denied), and could have it loaded";
    const std::string unknown = scan.complete ? "" : "the scan was cut short: " + scan.cut;
    std::string caveats = unknown;
    if (!unseen.empty()) caveats += (caveats.empty() ? "" : "; ") + unseen;
    if (scan.holders.empty()) {
        if (!scan.complete) {
            return {"libquorin_hal.so", "loaded elsewhere", Verdict::kSkip,
                    "not known whether another process has it loaded; " + caveats, ""};
        }
        return {"libquorin_hal.so", "loaded elsewhere", Verdict::kPass,
                unseen.empty()
                        ? "no other process has it loaded"
                        : "no other process that this one may look at has it loaded; " + unseen,
                ""};
    }
    // Not a fault of the device: on a device the hosting service has it loaded as it should.
    return {"libquorin_hal.so", "loaded elsewhere", Verdict::kPass,
            "also loaded by " + describe_holders(scan.holders) +
                    ": that process drives the panel too and overrides what halctl sets; stop it "
                    "before testing with halctl" +
                    (caveats.empty() ? "" : "; " + caveats),
            ""};
}

DoctorCheck library_file_verdict(const std::string& path, const std::string& error) {
    if (error.empty()) return {"libquorin_hal.so", "found", Verdict::kPass, path, ""};
    return fail("libquorin_hal.so", "found", error,
                "install it beside halctl (/vendor/lib with halctl in /vendor/bin) or name it "
                "with --lib PATH");
}

DoctorCheck needed_library_verdict(const std::string& name, const std::string& error) {
    if (error.empty()) return {name, "loads", Verdict::kPass, "", ""};
    std::string hint;
    if (name.rfind("liblog.", 0) == 0 || name.rfind("libutils.", 0) == 0) {
        hint = "a platform library: on a device it is in the system image; on a workstation "
               "install android-liblog-dev and android-libutils-dev (scripts/install-deps)";
    } else if (name.rfind("libsystemcontrolservice.", 0) == 0 ||
               name.rfind("libAmlAudioOutPort.", 0) == 0) {
        hint = "the SoC vendor's library: add " + name.substr(0, name.find('.')) +
               " to PRODUCT_PACKAGES of the vendor image (/vendor/lib); on a workstation the "
               "build makes its stand-in (build/<preset>/platform)";
    } else {
        hint = "a library the build linked against: install it, or rebuild against the "
               "device's platform";
    }
    return fail(name, "loads", error, hint);
}
