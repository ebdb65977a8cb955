// SPDX-License-Identifier: Apache-2.0
// A library that uses a function no library defines: RTLD_NOW refuses it.
extern "C" int loader_case_missing_function();

extern "C" int loader_case_calls_missing() {
    return loader_case_missing_function();
}
