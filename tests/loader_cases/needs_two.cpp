// SPDX-License-Identifier: Apache-2.0
// A library that needs two others (DT_NEEDED), found only beside it ($ORIGIN).
extern "C" int loader_case_needs_two() {
    return 0;
}
