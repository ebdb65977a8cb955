// SPDX-License-Identifier: Apache-2.0
// Other processes that have the library loaded, such as its hosting service on a device: halctl
// and that process would then both drive the panel, each with its own idea of its state.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

struct LibraryHolder {
    pid_t pid = 0;
    std::string command;  // argv[0]'s file name, else the kernel's comm
};

// At most this many processes are looked at, and this many holders returned.
constexpr size_t kProcessLimit = 32768;
constexpr size_t kHolderLimit = 16;

// The processes under `proc_root` ("/proc") other than `self` whose mappings include a file named
// as `library` is (its file name: the path or the bare name halctl loads). A process that exits
// while it is read, or whose maps this process may not read, is passed over.
std::vector<LibraryHolder> library_holders(const std::string& proc_root, const std::string& library,
                                           pid_t self);

// How to stop a holder: the init service for the hosting service, else kill with its pid.
std::string stop_command(const LibraryHolder& holder);

// "pid 812 (vendor.quorin.hal-service; stop vendor.quorin.hal)", for each holder.
std::string describe_holders(const std::vector<LibraryHolder>& holders);
