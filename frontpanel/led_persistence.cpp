// SPDX-License-Identifier: Apache-2.0
// The LED triple in system properties, through the system-control client.
#include "led_persistence.h"

#include <android/log.h>
#include <utils/Mutex.h>

#include <cstdio>
#include <string>

#include "frontpanel_log.h"
#include "load_order.h"
#include "property_keys.h"
#include "quorin_hal.h"

namespace {

// The process's system-control client, filled lazily under client_lock and then left alone until
// unload. It is read under the lock too: while getInstance() yields no client, another thread
// may be filling it at the very moment a reader looks.
// Built before the audio port at load and so destroyed after it at unload; within this file the
// lock comes first, so the client drops its reference before the lock is destroyed.
android::Mutex client_lock QUORIN_INIT_PRIORITY(kFrontPanelInitPriority);
SystemControlClientRef system_control_client QUORIN_INIT_PRIORITY(kFrontPanelInitPriority);

std::string decimal(int value) {
    char text[12];                                    // "-2147483648" and its NUL
    (void)snprintf(text, sizeof(text), "%d", value);  // always fits
    return text;
}

// Fills system_control_client if it is still empty and returns a strong reference to it, both
// under client_lock.
SystemControlClientRef getSystemControlService() {
    android::Mutex::Autolock lock(client_lock);
    if (system_control_client == nullptr) {
        system_control_client = android::SystemControlClient::getInstance();
    }
    return system_control_client;
}

}  // namespace

SystemControlClientRef system_control_client_for(const char* function) {
    SystemControlClientRef client = getSystemControlService();
    if (client == nullptr) {
        __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag,
                            "%s<%s> no system control client, property access skipped\n",
                            kFrontPanelTag, function);
    }
    return client;
}

SavedRequest read_saved_request(android::SystemControlClient& client, const char* function,
                                int index_default) {
    const SavedRequest saved{client.getPropertyInt(kLedIndexProperty, index_default),
                             client.getPropertyInt(kLedStateProperty, 0)};
    const int color = client.getPropertyInt(kLedColorProperty, 0);
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s<%s> in get_property <%d><%d><%d>..\n",
                        kFrontPanelTag, function, saved.led_index, saved.led_state, color);
    return saved;
}

void save_property(int led_index, int led_state, int color) {
    const SystemControlClientRef client = system_control_client_for("save_property");
    if (client == nullptr) return;
    const std::string index_text = decimal(led_index);
    const std::string state_text = decimal(led_state);
    const std::string color_text = decimal(color);
    client->setProperty(kLedIndexProperty, index_text);
    client->setProperty(kLedStateProperty, state_text);
    client->setProperty(kLedColorProperty, color_text);
    __android_log_print(ANDROID_LOG_DEBUG, kFrontPanelTag, "%s<%s> in save_property..\n",
                        kFrontPanelTag, "save_property");
}

void get_property() {
    const SystemControlClientRef client = system_control_client_for("get_property");
    if (client == nullptr) return;
    read_saved_request(*client, "get_property", 0);
}
