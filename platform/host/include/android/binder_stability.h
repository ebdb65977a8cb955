// SPDX-License-Identifier: Apache-2.0
// Our reading of <android/binder_stability.h> of Android 12, for the workstation builds only.
#pragma once

#include <android/binder_ibinder.h>

__BEGIN_DECLS

// The binder may be used across partitions: its instance must be declared in the VINTF manifest
// to be registered. Code generated from a @VintfStability interface marks every binder it makes.
void AIBinder_markVintfStability(AIBinder* binder);

__END_DECLS
