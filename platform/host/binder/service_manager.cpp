// SPDX-License-Identifier: Apache-2.0
// The service manager, in the process: names to local binders. A client receives a proxy, as a
// client in another process does. Unlike the device's, which lets a name be registered again,
// it refuses a second registration, so that two servers of one instance show up as an error.
#include <android/binder_manager.h>
#include <android/log.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <functional>
#include <map>
#include <mutex>
#include <regex>
#include <set>
#include <sstream>
#include <string>
#include <utility>

#include "binder_internal.h"
#include "binder_sim/binder_sim.h"

namespace {

constexpr const char* kTag = "servicemanager";

struct Registry {
    std::mutex mutex;
    std::condition_variable added;
    std::map<std::string, AIBinder*> services;  // strong references
    std::vector<std::string> order;
    std::set<std::string> declared;  // VINTF instances, "package.Interface/instance"
    std::set<std::string> denied;    // names whose `add` the SELinux policy denies
    std::function<void(const std::string&)> hook;
};

Registry& registry() {
    static Registry* instance = new Registry;  // lives as long as the process
    return *instance;
}

// The device's rule: 1..127 characters of letters, digits and "_-./".
bool valid_name(const std::string& name) {
    if (name.empty() || name.size() > 127) return false;
    for (char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') ||
                        (c >= '0' && c <= '9') || c == '_' || c == '-' || c == '.' || c == '/';
        if (!ok) return false;
    }
    return true;
}

// A proxy to the instance registered under `name`, or null; with the registry locked.
AIBinder* proxy_locked(Registry& r, const std::string& name) {
    auto found = r.services.find(name);
    return found == r.services.end() ? nullptr : binder_standin::new_proxy(found->second);
}

AIBinder* wait_for(const char* instance, std::chrono::milliseconds bound, bool forever) {
    if (instance == nullptr) return nullptr;
    Registry& r = registry();
    std::unique_lock<std::mutex> lock(r.mutex);
    const std::string name = instance;
    auto present = [&] { return r.services.count(name) != 0; };
    if (forever) {
        r.added.wait(lock, present);
    } else {
        r.added.wait_for(lock, bound, present);
    }
    return proxy_locked(r, name);
}

}  // namespace

binder_exception_t AServiceManager_addService(AIBinder* binder, const char* instance) {
    if (binder == nullptr || instance == nullptr) return EX_NULL_POINTER;
    const std::string name = instance;
    if (!valid_name(name)) {
        __android_log_print(ANDROID_LOG_ERROR, kTag, "Invalid service name: %s", name.c_str());
        return EX_ILLEGAL_ARGUMENT;
    }
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    // Android 12 checks the caller's right to add the name before anything else.
    if (r.denied.count(name) != 0) {
        __android_log_print(ANDROID_LOG_ERROR, "SELinux",
                            "avc:  denied  { add } for pid=%d uid=%d name=%s "
                            "tclass=service_manager permissive=0",
                            static_cast<int>(getpid()), static_cast<int>(getuid()), name.c_str());
        return EX_SECURITY;
    }
    if (binder->vintf && r.declared.count(name) == 0) {
        __android_log_print(ANDROID_LOG_ERROR, kTag, "Could not find %s in the VINTF manifest.",
                            name.c_str());
        return EX_ILLEGAL_ARGUMENT;
    }
    if (r.services.count(name) != 0) {
        __android_log_print(ANDROID_LOG_ERROR, kTag, "%s is already registered", name.c_str());
        return EX_ILLEGAL_STATE;
    }
    if (r.hook) r.hook(name);
    AIBinder_incStrong(binder);
    r.services[name] = binder;
    r.order.push_back(name);
    r.added.notify_all();
    return EX_NONE;
}

AIBinder* AServiceManager_checkService(const char* instance) {
    if (instance == nullptr) return nullptr;
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return proxy_locked(r, instance);
}

AIBinder* AServiceManager_getService(const char* instance) {
    return wait_for(instance, std::chrono::seconds(5), false);
}

AIBinder* AServiceManager_waitForService(const char* instance) {
    return wait_for(instance, {}, true);
}

namespace binder_standin {

void reset_service_manager() {
    Registry& r = registry();
    std::map<std::string, AIBinder*> services;
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        services.swap(r.services);
        r.order.clear();
        r.declared.clear();
        r.denied.clear();
        r.hook = nullptr;
    }
    for (auto& entry : services) AIBinder_decStrong(entry.second);
}

}  // namespace binder_standin

namespace binder_sim {

bool declare_vintf_manifest(const std::string& path) {
    std::ifstream file(path);
    if (!file) return false;
    std::ostringstream text;
    text << file.rdbuf();
    const std::string xml = text.str();
    if (xml.find("<manifest") == std::string::npos) return false;
    static const std::regex hal(R"(<hal\s+format="aidl"[^>]*>([\s\S]*?)</hal>)");
    static const std::regex name(R"(<name>\s*([^<\s]+)\s*</name>)");
    static const std::regex fqname(R"(<fqname>\s*([^<\s]+)\s*</fqname>)");
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    for (std::sregex_iterator it(xml.begin(), xml.end(), hal), end; it != end; ++it) {
        const std::string body = (*it)[1];
        std::smatch package;
        if (!std::regex_search(body, package, name)) return false;
        for (std::sregex_iterator f(body.begin(), body.end(), fqname); f != end; ++f) {
            r.declared.insert(package[1].str() + "." + (*f)[1].str());
        }
    }
    return true;
}

void deny_add(const std::string& name) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.denied.insert(name);
}

std::vector<std::string> declared_instances() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return {r.declared.begin(), r.declared.end()};
}

void set_registration_hook(std::function<void(const std::string& name)> hook) {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    r.hook = std::move(hook);
}

std::vector<std::string> registered_services() {
    Registry& r = registry();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.order;
}

void reset() {
    binder_standin::reset_service_manager();
    binder_standin::reset_pool();
}

}  // namespace binder_sim
