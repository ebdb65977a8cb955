// SPDX-License-Identifier: Apache-2.0
// Other processes that have the library loaded, such as its hosting service on a device: halctl
// and that process would then both drive the panel, each with its own idea of its state.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <string>
#include <vector>

struct LibraryHolder {
    pid_t pid = 0;
    std::string command;  // argv[0]'s file name, else the kernel's comm, as read (not escaped)
};

// Any local user can start processes with tens of thousands of mappings each: what a scan reads
// is bounded in bytes, per process and in all, and in time.
struct HolderScanLimits {
    size_t processes = 32768;                // process (pid) directories looked at
    size_t holders = 16;                     // holders named
    size_t process_bytes = size_t{1} << 20;  // of one process's maps
    size_t total_bytes = size_t{16} << 20;   // of all the maps read
    long deadline_ms = 1000;                 // from the scan's start
};

struct HolderScan {
    std::vector<LibraryHolder> holders;  // by pid
    bool complete = true;                // every readable process's maps read to their end
    std::string cut;                     // when not complete: why, for a message
    size_t unseen = 0;                   // processes whose maps this process may not read
};

// The processes under `proc_root` ("/proc") other than `self` that map the very file `library`
// names (its device and inode, as stat gives them and as the maps' fields show them: a copy of
// the library elsewhere, or another file of the same name, is not this library). A process that
// exits while it is read is passed over; one whose maps this process may not read (EACCES, EPERM:
// another user's, or another SELinux domain's) is counted as unseen. A library
// that cannot be examined, or a scan cut short by its limits, leaves the scan incomplete.
HolderScan library_holders(const std::string& proc_root, const std::string& library, pid_t self,
                           const HolderScanLimits& limits = {});

// How to stop a holder: the init service for the hosting service, else kill with its pid.
std::string stop_command(const LibraryHolder& holder);

// "pid 812 (vendor.quorin.hal-service; stop vendor.quorin.hal)", for each holder; the command
// escaped and bounded, for a terminal.
std::string describe_holders(const std::vector<LibraryHolder>& holders);
