// SPDX-License-Identifier: Apache-2.0
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <optional>
#include <set>
#include <sstream>
#include <vector>

#include "device_read.h"
#include "doctor.h"
#include "doctor_accounts.h"
#include "doctor_capabilities.h"
#include "doctor_expectations.h"
#include "doctor_loader.h"
#include "doctor_verdicts.h"
#include "elf_needed.h"
#include "panel_leds.h"
#include "property_contexts.h"
#include "property_keys.h"
#include "sysfs_listing.h"

namespace {

constexpr const char* kSelinuxEnforce = "/sys/fs/selinux/enforce";
#if defined(__ANDROID__)
constexpr bool kOnAndroid = true;
#else
constexpr bool kOnAndroid = false;
#endif
constexpr const char* kPlatformLibraries[] = {
        "liblog.so", "libutils.so", "libsystemcontrolservice.so", "libAmlAudioOutPort.so"};

// An attribute or kernel file as text, without its trailing newlines and NULs.
std::optional<std::string> read_text(const std::string& path) {
    std::string text;
    if (!read_attribute(path.c_str(), &text)) return std::nullopt;
    while (!text.empty() && (text.back() == '\n' || text.back() == '\0')) text.pop_back();
    return text;
}

// The directory the simulated device's tree is under (umockdev), "" on a device.
std::string simulated_root() {
    const char* dir = getenv("UMOCKDEV_DIR");  // NOLINT(concurrency-mt-unsafe)
    return dir != nullptr ? dir : "";
}

// Only the lookup, which needs no permission on the file itself (a domain may be refused getattr).
bool exists(const std::string& path) {
    return access(path.c_str(), F_OK) == 0;
}

// The node's label; nullopt with *error (the errno, 0 for an empty label) when there is none to read.
std::optional<std::string> selinux_label(const std::string& path, int* error) {
    char label[256] = {};
    const ssize_t n = getxattr(path.c_str(), "security.selinux", label, sizeof(label) - 1);
    *error = n < 0 ? errno : 0;
    if (n <= 0) return std::nullopt;
    std::string text(label, static_cast<size_t>(n));
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

// "u:r:su:s0" -> "su".
std::string domain_of(const std::string& context) {
    std::istringstream fields(context);
    std::string field;
    for (int i = 0; i < 3 && std::getline(fields, field, ':'); ++i) {
    }
    return field;
}

std::string directory_of(const std::string& path) {
    return path.substr(0, path.rfind('/'));
}

// The errno of opening the attribute so, 0 when it opened. Closed at once: without O_TRUNC and
// with no write(), not even a write-only open changes it.
int open_error(const std::string& path, int flags) {
    const int fd = open(path.c_str(), flags | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    close(fd);
    return 0;
}

// The errno of opening the attribute for reading and reading a byte of it, 0 when both worked.
int read_error(const std::string& path) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return errno;
    char byte = 0;
    const int error = read(fd, &byte, 1) < 0 ? errno : 0;
    close(fd);
    return error;
}

// What the sweep over the nodes carries from one to the next: the simulated device's root, read
// once, and the devices already said to be missing (one finding each, not one per attribute).
struct NodeSweep {
    std::string root = simulated_root();
    std::set<std::string> missing;
};

// A device directory that is missing (an LED's, the ADC's), and where the kernel put it instead.
void report_missing_device(const DeviceNode& node, Missing missing, NodeSweep* sweep,
                           const CheckSink* report) {
    const bool first = sweep->missing.empty();
    if (!sweep->missing.insert(node.device).second) return;
    const std::string dir = directory_of(node.path());
    const std::string& root = sweep->root;
    if (node.kind == NodeKind::kLed) {
        int error = 0;
        const std::optional<std::string> elsewhere = class_led_dir(root, node.device, &error);
        report->push_back(led_missing_verdict(node.device, dir, missing, elsewhere,
                                              class_led_names(root), first, error));
    } else {
        report->push_back(adc_missing_verdict(dir, i2c_clients(root, directory_of(dir))));
    }
}

void check_node(const DeviceNode& node, const OpenContext& context, bool selinux,
                const std::optional<SystemIds>& system, NodeSweep* sweep, const CheckSink* report) {
    const std::string path = node.path();
    struct stat info {};
    if (stat(path.c_str(), &info) != 0) {
        const int error = errno;
        const std::string dir = directory_of(path);
        const std::string device_dir =
                node.kind == NodeKind::kLed ? directory_of(directory_of(dir)) : dir;
        const Missing missing = !exists(device_dir) ? Missing::kDevice
                                : !exists(dir)      ? Missing::kLed
                                                    : Missing::kAttribute;
        if (error == ENOENT && missing != Missing::kAttribute) {
            report_missing_device(node, missing, sweep, report);
        } else {
            report->push_back(presence_verdict(node, error, missing, selinux || kOnAndroid));
        }
        return;
    }
    report->push_back(presence_verdict(node, 0, Missing::kAttribute));
    report->push_back(type_verdict(node, info.st_mode));
    if (!S_ISREG(info.st_mode)) return;

    // Opened as the library opens it, and write-only, each closed at once: nothing is written.
    const OpenErrors errors{open_error(path, O_RDWR), open_error(path, O_WRONLY), read_error(path)};
    const int error = errors.read_write;
    // st_mode is unsigned int where 32-bit bionic's mode_t is unsigned short; its bits fit.
    const auto mode = static_cast<mode_t>(info.st_mode);
    const WriteOnly write_only = recognise_write_only(mode, errors, access(path.c_str(), R_OK) == 0);
    const NodeOwner owner{mode, info.st_uid, info.st_gid, user_name(info.st_uid),
                          group_name(info.st_gid)};
    const DoctorCheck owner_check = owner_verdict(node, owner, system, sweep->root);
    if (write_only != WriteOnly::kNone && error != 0) {
        report->push_back(write_only_verdict(node, write_only, mode, error));
    } else {
        report->push_back(open_verdict(node, error, context,
                                       system && owner_check.verdict == Verdict::kPass));
        report->push_back(write_only_verdict(node, write_only, mode, error));
    }
    report->push_back(owner_check);
    if (selinux) {
        int label_error = 0;
        const std::optional<std::string> label = selinux_label(path, &label_error);
        report->push_back(label_verdict(node, label, label_error));
    }
}

void check_properties(const CheckSink* report) {
    // The saved LED triple first, in its order, then the recorded patch state.
    constexpr const char* keys[] = {kLedIndexProperty, kLedStateProperty, kLedColorProperty,
                                    kMicStateProperty};
    std::string values[std::size(keys)];
    for (size_t i = 0; i < std::size(keys); ++i) {
        values[i] = read_property(keys[i]);
        report->push_back(property_verdict(keys[i], values[i]));
    }
    report->push_back(triple_verdict(values[0], values[1], values[2]));

    std::vector<CutFile> cut;
    std::vector<RejectedLine> rejected;
    const std::optional<std::vector<PropertyContextEntry>> contexts =
            load_property_contexts("", &cut, &rejected);
    if (!rejected.empty()) report->push_back(rejected_lines_verdict(rejected));
    for (const char* key : keys) {
        report->push_back(property_context_verdict(
                key, contexts.has_value(),
                contexts ? resolve_property_context(*contexts, key) : std::nullopt, cut));
        if (!contexts) break;  // one line says there is no property service to ask
    }
}

// The directory of a path, as $ORIGIN names it.
std::string origin_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

// halctl's own dynamic section and directory: a bare --lib name is searched as halctl's dlopen
// searches it.
std::string own_search(const std::string& name) {
    char self[4096];
    const ssize_t length = readlink("/proc/self/exe", self, sizeof(self) - 1);
    if (length <= 0) return "";
    const std::string exe(self, static_cast<size_t>(length));
    ElfNeeded own;
    std::string error;
    read_elf_needed(exe, &own, &error);
    const char* search = getenv("LD_LIBRARY_PATH");  // NOLINT(concurrency-mt-unsafe)
    return library_search(own, origin_of(exe), search).find(name);
}

// Returns the library file the checks looked at: a bare name as halctl's own search finds it.
std::string check_libraries(const std::string& library, const CheckSink* report) {
    const bool bare = library.find('/') == std::string::npos;
    const std::string path = bare ? own_search(library) : library;
    ElfNeeded needed;
    std::string error;
    struct stat info {};
    const bool present = !path.empty() && stat(path.c_str(), &info) == 0;
    if (!present) {
        error = (path.empty() ? library : path) + " not found";
    } else {
        read_elf_needed(path, &needed, &error);
    }
    std::string file = path.empty() ? library : path;
    report->push_back(library_file_verdict(file, error));
    if (present && !S_ISREG(info.st_mode)) {
        report->push_back({"libquorin_hal.so", "loads", Verdict::kSkip,
                           "not loaded: not a regular file", ""});
        return file;
    }
    // Without the file, the platform libraries it is built against, each as halctl would load
    // it. Otherwise the loader decides, on what halctl itself would load.
    if (!present) {
        for (const char* name : kPlatformLibraries) {
            const LoadOutcome outcome = load_in_child(name);
            report->push_back(needed_library_verdict(name, outcome.message));
        }
        return file;
    }
    // After a refusal the loader is asked for each library it needs alone: it stops at the
    // first it cannot load, and each missing one is a finding.
    const char* library_path = getenv("LD_LIBRARY_PATH");  // NOLINT(concurrency-mt-unsafe)
    const LibrarySearch search = library_search(needed, origin_of(path), library_path);
    const LoadOutcome outcome = load_in_child(library, dependency_asks(needed, search));
    report->push_back(load_verdict("libquorin_hal.so", outcome));
    for (const std::string& name : needed.libraries) {
        report->push_back(dependency_verdict(name, search, outcome));
    }
    return file;
}

}  // namespace

void run_doctor(const std::string& library, const DoctorSink& sink) {
    const CheckSink stream{sink};
    const CheckSink* report = &stream;
    const bool dac_override = has_dac_override();
    report->push_back(process_verdict(geteuid(), user_name(geteuid()), dac_override));

    const std::optional<std::string> enforce = read_text(kSelinuxEnforce);
    std::optional<std::string> context = read_text("/proc/self/attr/current");
    if (context && context->empty()) context.reset();
    const DoctorCheck selinux = selinux_verdict(enforce, context);
    report->push_back(selinux);
    const bool selinux_enabled = selinux.verdict != Verdict::kSkip;

    OpenContext open_context;
    open_context.dac_override = dac_override;
    open_context.uid_zero = geteuid() == 0;
    // An unreadable mode is taken for enforcing: the policy's hints are then worth giving.
    open_context.selinux_enforcing =
            selinux_enabled && (!enforce || enforce->compare(0, 1, "1") == 0);
    if (context) open_context.domain = domain_of(*context);
    const std::optional<SystemIds> system = system_ids();
    NodeSweep sweep;
    for (const DeviceNode& node : device_nodes) {
        check_node(node, open_context, selinux_enabled, system, &sweep, report);
    }
    for (Led led : kLeds) {
        const std::string trigger = led_attribute_path(led, LedAttribute::kTrigger);
        report->push_back(max_brightness_verdict(
                led_name(led), read_text(directory_of(trigger) + "/max_brightness")));
        std::string triggers;
        bool cut = false;
        const bool read = read_attribute(trigger.c_str(), &triggers, &cut);
        report->push_back(trigger_verdict(
                led_name(led), read ? std::optional<std::string>(triggers) : std::nullopt, cut));
    }
    check_properties(report);
    const std::string file = check_libraries(library, report);
    report->push_back(holders_verdict(library_holders("/proc", file, getpid())));
}
