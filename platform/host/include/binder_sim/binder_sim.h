// SPDX-License-Identifier: Apache-2.0
// Control and inspection of the workstation's binder stand-in (libbinder_ndk): the in-process
// service manager, the thread pool and the VINTF manifest. Host only: no device build contains any
// of this.
#pragma once

#include <android/binder_ibinder.h>

#include <functional>
#include <string>
#include <thread>
#include <vector>

namespace binder_sim {

// The instances the device manifest declares, read from manifest fragments (<hal format="aidl">
// with <name> and <fqname>, as vintf_fragments are written). A binder marked VINTF-stable is
// registered only under a declared instance. False when a file cannot be read or parsed.
bool declare_vintf_manifest(const std::string& path);

// The SELinux policy denies the `add` of `name`: AServiceManager_addService answers EX_SECURITY
// and the servicemanager's avc line is logged, as Android 12's do.
void deny_add(const std::string& name);

// ABinderProcess_setThreadPoolMaxThreadCount fails as it does when the driver's ioctl fails
// with `error` (an errno), libbinder's log line included.
void fail_max_threads(int error);

// The instances declared so far, "package.Interface/instance", sorted.
std::vector<std::string> declared_instances();

// Called in the registering thread as a name is registered, before anyone can find it; it must
// not call the service manager.
void set_registration_hook(std::function<void(const std::string& name)> hook);

// `cmd` with `args` to the binder's service, as the shell sends it: its class's shell-command
// handler runs (on the pool's thread for a proxy). STATUS_INVALID_OPERATION when it has none.
binder_status_t shell_command(AIBinder* binder, int in, int out, int err,
                              const std::vector<std::string>& args);

// The names registered, in the order of registration.
std::vector<std::string> registered_services();

// What the process's thread pool was told, and which threads served transactions.
struct PoolState {
    bool max_threads_set = false;
    unsigned max_threads = 0;
    bool started = false;                          // ABinderProcess_startThreadPool was called
    int joined = 0;                                // threads in ABinderProcess_joinThreadPool now
    std::vector<std::thread::id> serving_threads;  // each distinct thread that ran a transaction
};
PoolState pool_state();

// Makes every thread in ABinderProcess_joinThreadPool return once its transaction is done.
void stop_thread_pool();

// A new process: no service registered, no manifest, no denial, no hook, the pool untouched and
// its bound accepted. Call with no
// thread in the pool.
void reset();

}  // namespace binder_sim
