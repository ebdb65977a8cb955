// SPDX-License-Identifier: Apache-2.0
// The doctor's verdicts, as plain functions of what was observed, so that each rule and hint can
// be checked without a device. doctor_probe.cpp gathers the observations.
#pragma once

#include <sys/types.h>

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "doctor_check.h"
#include "library_holders.h"
#include "panel_leds.h"
#include "property_contexts.h"
#include "sysfs_listing.h"

enum class NodeKind { kLed, kAdc };

// A device attribute the library opens and writes.
struct DeviceNode {
    NodeKind kind;
    const char* device;           // the LED's name, or "ADC3101"
    const char* attribute;        // "brightness", "trigger", "adc3101_mute_ctl", ...
    const char* file;             // the attribute's path, as the library composes it
    std::string subject() const;  // "remote_led/brightness", "adc3101_mute_ctl"
    std::string path() const;
};

// Every attribute of every LED, then the ADC's mute and volume.
constexpr size_t kDeviceNodeCount = kLedCount * kLedAttributeCount + 2;
extern const std::array<DeviceNode, kDeviceNodeCount> device_nodes;

// The ueventd.rc line that gives the node its mode and owner, and its SELinux label.
std::string ueventd_line(const DeviceNode& node);
const char* expected_label(const DeviceNode& node);
std::string genfs_line(const DeviceNode& node);

// How much of the path exists: nothing of the device, the device without this LED, or the
// directory without the attribute.
enum class Missing { kDevice, kLed, kAttribute };

// `error` is the lookup's errno, 0 when the node is there. A refused lookup (EACCES, EPERM) says
// nothing of whether it is there; its hint names SELinux only where `selinux` (SELinux enabled,
// or Android), else the permissions on the path.
DoctorCheck presence_verdict(const DeviceNode& node, int error, Missing missing,
                             bool selinux = false);

// An LED whose directory is missing, as one finding for all its attributes: where
// /sys/class/leds/<led> puts it (`elsewhere`), else the LEDs the class has. `first` when no other
// LED has been said missing before, so that a missing gpioleds device is explained once. Where
// this process may not look (`elsewhere_error` or the listing's error EACCES/EPERM) it says so,
// never that the kernel has no LEDs.
DoctorCheck led_missing_verdict(const char* led, const std::string& expected_dir, Missing missing,
                                const std::optional<std::string>& elsewhere, const Listing& leds,
                                bool first, int elsewhere_error = 0);

// The ADC's I2C client directory missing, with the clients its adapter has (error ENOENT: no
// adapter; EACCES/EPERM: this process may not look).
DoctorCheck adc_missing_verdict(const std::string& expected_dir, const Listing& clients);

// st_mode of a node that exists.
DoctorCheck type_verdict(const DeviceNode& node, mode_t mode);

// Who runs the doctor: with CAP_DAC_OVERRIDE (the capability it has, not its uid) it passes the
// owner and group checks (sysfs still refuses what the mode has no read or write bit for), so the
// mode and owner lines stand for the library's host process.
DoctorCheck process_verdict(uid_t uid, const std::string& user, bool dac_override);

struct OpenContext {
    bool dac_override = false;       // CAP_DAC_OVERRIDE hides what ueventd's owner refuses
    bool uid_zero = false;           // root, with or without the capability
    bool selinux_enforcing = false;  // a refusal may be the policy's
    std::string domain;              // this process's SELinux domain, when known
};
// `error` is the errno of open(O_RDWR), 0 when it opened; `as_ueventd_gives` when the node already
// has the mode and owner that ueventd should give it, so a refusal is about this process.
DoctorCheck open_verdict(const DeviceNode& node, int error, const OpenContext& context,
                         bool as_ueventd_gives);

// How an attribute without a show method (write-only) shows itself, without writing to it.
enum class WriteOnly {
    kNone,
    kModeWithoutRead,   // no read bit, while a write-only open succeeds (the driver made it 0200)
    kReadGivesEio,      // a read gives EIO, while a write-only open succeeds
    kReadWriteRefused,  // the kernel refuses the read-write open its mode allows; write-only opens
};
// The errno of each open and of the read, 0 where it succeeded.
struct OpenErrors {
    int read_write = 0;
    int write_only = 0;
    int read = 0;  // of open(O_RDONLY) and a read
};
// `mode_grants_read` when the mode lets this process read (access(R_OK)), so that a refused
// read-write open is the kernel's and not the mode's.
WriteOnly recognise_write_only(mode_t mode, const OpenErrors& errors, bool mode_grants_read);
// The finding: in place of the read-write open's when that failed, else as "readable".
DoctorCheck write_only_verdict(const DeviceNode& node, WriteOnly kind, mode_t mode,
                               int read_write_error);

struct NodeOwner {
    mode_t mode = 0;
    uid_t uid = 0;
    gid_t gid = 0;
    std::string user;  // names where the system has them, else the numbers
    std::string group;
};
// The ids of the account `system` (AID_SYSTEM on a device); absent where there is none, as on a
// workstation or a bare kernel, where only the owner's read and write are checked.
struct SystemIds {
    uid_t uid;
    gid_t gid;
};
// `simulated_root` is the directory the simulated device's tree is under ($UMOCKDEV_DIR), "" on
// a device, so that a hint names the file to change.
DoctorCheck owner_verdict(const DeviceNode& node, const NodeOwner& owner,
                          const std::optional<SystemIds>& system,
                          const std::string& simulated_root = "");

// The node's security.selinux label; nullopt when it could not be read.
// `error` is getxattr's errno when the label could not be read: a refusal (EACCES, EPERM) is a
// skip, not a wrong label.
DoctorCheck label_verdict(const DeviceNode& node, const std::optional<std::string>& label,
                          int error = 0);

// The content of an LED's trigger attribute (the kernel lists every trigger it has, the active
// one in brackets); nullopt when it could not be read.
// `cut` when the list ran past the reader's bound: its last word may be a fragment, and what
// follows was not read.
DoctorCheck trigger_verdict(const char* led, const std::optional<std::string>& text,
                            bool cut = false);

// An LED's max_brightness: the library writes 1 for "on", full light only where it is 1; nullopt
// when it could not be read.
DoctorCheck max_brightness_verdict(const char* led, const std::optional<std::string>& text);

// SELinux as this process sees it: `enforce` is selinuxfs's enforce file, `context` this
// process's /proc/self/attr/current; either is nullopt when unreadable (no SELinux, or refused).
DoctorCheck selinux_verdict(const std::optional<std::string>& enforce,
                            const std::optional<std::string>& context);

// One system property's value; "" is unset. Decimal for the LED triple, "0"/"1" for micstate.
DoctorCheck property_verdict(const char* key, const std::string& value);

// The saved LED triple as a whole: complete, numeric, and a triple that one of the library's
// LED requests saves.
DoctorCheck triple_verdict(const std::string& index, const std::string& state,
                           const std::string& color);

// One of the library's property keys, resolved as init resolves it (`found`: the entry that gives
// it its context, nullopt for none); `android` when there are property_contexts files at all.
// `cut`: the files read only in part; where what was not read could decide the key's context,
// the finding says so rather than claim it (a skip).
// The property_contexts lines init would not take, each by file and line; a failure, since what
// they meant to define is then another context's, or nothing is.
DoctorCheck rejected_lines_verdict(const std::vector<RejectedLine>& rejected);
DoctorCheck property_context_verdict(const char* key, bool android,
                                     const std::optional<PropertyContextEntry>& found,
                                     const std::vector<CutFile>& cut = {});

// Other processes that have the library loaded (the hosting service on a device), as the scan
// found them, with what it could not look at.
DoctorCheck holders_verdict(const HolderScan& scan);

// The library file itself: found at `path`, or `error` saying why not.
DoctorCheck library_file_verdict(const std::string& path, const std::string& error);
// One library the library needs: `error` is dlerror()'s text, "" when it loaded.
DoctorCheck needed_library_verdict(const std::string& name, const std::string& error);
