// SPDX-License-Identifier: Apache-2.0
// The device's main of the VTS-form test: the service is the device's, registered by init.
#include <android/binder_process.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    ABinderProcess_setThreadPoolMaxThreadCount(1);
    ABinderProcess_startThreadPool();
    return RUN_ALL_TESTS();
}
