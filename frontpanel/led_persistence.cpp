// The LED triple in system properties, through the system-control client.
#include <SystemControlClient.h>
#include <android/log.h>
#include <utils/Mutex.h>
#include <utils/StrongPointer.h>

#include <cstdio>
#include <string>

#include "frontpanel.h"
#include "load_order.h"
#include "property_keys.h"
#include "quorin_hal.h"

// The process's system-control client, filled lazily under client_lock and then left alone until
// unload, so readers copy it without the lock once getSystemControlService() has returned.
// Built before the audio port at load and so destroyed after it at unload; within this file the
// lock comes first, so the client drops its reference before the lock is destroyed.
android::Mutex client_lock QUORIN_INIT_PRIORITY(kFrontPanelInitPriority);
android::sp<android::SystemControlClient> system_control_client
        QUORIN_INIT_PRIORITY(kFrontPanelInitPriority);

namespace {

std::string decimal(int value) {
    char text[12];                                    // "-2147483648" and its NUL
    (void)snprintf(text, sizeof(text), "%d", value);  // always fits
    return text;
}

// Fills system_control_client if it is still empty, under client_lock.
void getSystemControlService() {
    android::Mutex::Autolock lock(client_lock);
    if (system_control_client == nullptr) {
        system_control_client = android::SystemControlClient::getInstance();
    }
}

// getSystemControlService(), then a strong reference to the client for the caller's whole
// operation. getInstance() may hand out no client; then the property access is skipped with a
// log line for `function`, and the next call asks again.
android::sp<android::SystemControlClient> system_control_client_for(const char* function) {
    getSystemControlService();
    android::sp<android::SystemControlClient> client = system_control_client;
    if (client == nullptr) {
        __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag,
                            "%s<%s> no system control client, property access skipped\n",
                            kFrontPanelTag, function);
    }
    return client;
}

}  // namespace

void save_property(int led_index, int led_state, int color) {
    const android::sp<android::SystemControlClient> client =
            system_control_client_for("save_property");
    if (client == nullptr) return;
    client->setProperty(kLedIndexProperty, decimal(led_index));
    client->setProperty(kLedStateProperty, decimal(led_state));
    client->setProperty(kLedColorProperty, decimal(color));
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s<%s> in save_property..\n",
                        kFrontPanelTag, "save_property");
}

bool read_led_triple(const char* function, int index_default, int* index, int* state) {
    const android::sp<android::SystemControlClient> client = system_control_client_for(function);
    if (client == nullptr) return false;
    *index = client->getPropertyInt(kLedIndexProperty, index_default);
    *state = client->getPropertyInt(kLedStateProperty, 0);
    const int color = client->getPropertyInt(kLedColorProperty, 0);
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s<%s> in get_property <%d><%d><%d>..\n",
                        kFrontPanelTag, function, *index, *state, color);
    return true;
}

void get_property() {
    int index = 0;
    int state = 0;
    read_led_triple("get_property", 0, &index, &state);
}
