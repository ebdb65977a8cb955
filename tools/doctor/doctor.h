// SPDX-License-Identifier: Apache-2.0
// `halctl doctor`: checks what the library needs from the device (its attribute files, SELinux,
// its properties, the libraries it loads) without calling it: no entry point runs, no LED
// changes; attributes are opened read-write but never written. Only a child process loads it.
#pragma once

#include <string>

#include "doctor_check.h"

// `library` is the path halctl would load, or a bare name for the loader's search. Each check is
// handed to `sink` as it completes.
void run_doctor(const std::string& library, const DoctorSink& sink);
