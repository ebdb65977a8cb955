// SPDX-License-Identifier: Apache-2.0
// Compiled, not run. As it stands, an object of SharedRefBase made as it must be, with make():
// it compiles. With QUORIN_NEW defined, made with new, which must not compile, as with Android
// 12's headers (it would have a second owner beside the one make() gives it).
#include <android/binder_interface_utils.h>

#include <memory>

struct Object : ndk::SharedRefBase {};

std::shared_ptr<Object> made() {
#ifdef QUORIN_NEW
    return (new Object)->ref<Object>();
#else
    return ndk::SharedRefBase::make<Object>();
#endif
}
