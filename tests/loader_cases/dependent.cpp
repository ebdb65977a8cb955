// SPDX-License-Identifier: Apache-2.0
// A library that needs another (DT_NEEDED), whose loading is then the case under test.
extern "C" int loader_case_dependent() {
    return 0;
}
