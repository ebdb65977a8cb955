// SPDX-License-Identifier: Apache-2.0
// Observes the creation and destruction of pthread mutexes while active, recording
// "lock.created" and "lock.destroyed" in the simulator's journal. The library's only mutex is its
// client lock, so around a dlopen or dlclose of the library these events are that lock's.
#pragma once

class MutexProbe {
  public:
    MutexProbe();
    ~MutexProbe();
    MutexProbe(const MutexProbe&) = delete;
    MutexProbe& operator=(const MutexProbe&) = delete;
};
