// SPDX-License-Identifier: Apache-2.0
// Resolves property keys to their SELinux contexts through libselinux's Android property
// backend (SELABEL_CTX_ANDROID_PROP), from one or more property_contexts files.
// usage: property_context CONTEXTS_FILE... -- KEY...
// Prints "KEY CONTEXT" for each key; exits 1 when a key has no context, 2 on a usage error.
#include <selinux/label.h>
#include <selinux/selinux.h>

#include <cstdio>
#include <cstring>
#include <vector>

int main(int argc, char** argv) {
    std::vector<selinux_opt> paths;
    int i = 1;
    for (; i < argc && strcmp(argv[i], "--") != 0; ++i)
        paths.push_back({SELABEL_OPT_PATH, argv[i]});
    if (paths.empty() || i + 1 >= argc) {
        (void)fputs("usage: property_context CONTEXTS_FILE... -- KEY...\n", stderr);
        return 2;
    }
    selabel_handle* handle = selabel_open(SELABEL_CTX_ANDROID_PROP, paths.data(),
                                          static_cast<unsigned>(paths.size()));
    if (handle == nullptr) {
        perror("property_context: selabel_open");
        return 2;
    }
    int status = 0;
    for (++i; i < argc; ++i) {
        char* context = nullptr;
        if (selabel_lookup(handle, &context, argv[i], 0) != 0) {
            printf("%s (none)\n", argv[i]);
            status = 1;
            continue;
        }
        printf("%s %s\n", argv[i], context);
        freecon(context);
    }
    selabel_close(handle);
    return status;
}
