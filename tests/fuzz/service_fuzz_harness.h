// SPDX-License-Identifier: Apache-2.0
// Where the transaction fuzzer's service runs and how its clients reach it: on the workstation
// the service as it runs on a device, behind the binder stand-in's service manager, its clients
// in other threads (service_fuzz_workstation.cpp); on a device the service object in the fuzzer's
// own process (service_fuzz_device.cpp).
#pragma once

#include <android/binder_ibinder.h>

#include <string>

#include "hal_api.h"

[[noreturn]] void fuzz_failure(const std::string& what);

// `real`'s entry points, each counting the threads inside the library while it runs: a second
// thread entering is a failure.
HalApi guarded_api(const HalApi& real);

struct FuzzedService {
    AIBinder* binder;  // what the clients send their transactions to
    int clients;       // how many client threads send at once
};

// The service, started at the first call over guarded entry points.
const FuzzedService& fuzzed_service();

// Checks what the last input did to the device files, then forgets it; a failure on a violation.
void check_and_forget_input();
