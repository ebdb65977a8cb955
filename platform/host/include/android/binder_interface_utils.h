// SPDX-License-Identifier: Apache-2.0
// Our reading of the NDK's C++ interface classes (<android/binder_interface_utils.h> of
// Android 12), for the workstation builds only. As from API 30, objects of SharedRefBase are
// made with SharedRefBase::make only: its operator new is private.
#pragma once

#include <android/binder_auto_utils.h>
#include <android/binder_ibinder.h>
#include <android/binder_shell.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <utility>

namespace ndk {

// The owner of an object is a std::shared_ptr, made once by make() or on the first ref().
class SharedRefBase {
  public:
    SharedRefBase() = default;
    SharedRefBase(const SharedRefBase&) = delete;
    SharedRefBase& operator=(const SharedRefBase&) = delete;
    // An object that no owner ever held was made outside make() and ref(): Android 12 aborts.
    virtual ~SharedRefBase() {
        std::call_once(made_, [] {
            (void)std::fputs("SharedRefBase: no ref created during lifetime\n", stderr);
            std::abort();
        });
    }

    template <typename Child = SharedRefBase>
    std::shared_ptr<Child> ref() {
        std::shared_ptr<SharedRefBase> self = weak_self_.lock();
        std::call_once(made_, [&] {
            self = std::shared_ptr<SharedRefBase>(this);
            weak_self_ = self;
        });
        return std::static_pointer_cast<Child>(self);
    }

    template <typename T, typename... Args>
    static std::shared_ptr<T> make(Args&&... args) {
        T* object = new T(std::forward<Args>(args)...);
        return object->template ref<T>();
    }

    // Public, for the owner's delete; its operator new is private, below.
    static void operator delete(void* p) {  // NOLINT(cert-dcl54-cpp)
        std::free(p);                       // NOLINT(cppcoreguidelines-no-malloc)
    }

  private:
    // Only make() creates objects: one made otherwise would have two owners. Code without
    // exceptions (Soong's default) includes this too, so a failed allocation ends the process.
    static void* operator new(size_t size) {
        void* p = std::malloc(size);  // NOLINT(cppcoreguidelines-no-malloc)
        if (p == nullptr) std::abort();
        return p;
    }

    std::once_flag made_;
    std::weak_ptr<SharedRefBase> weak_self_;
};

// An interface, served here (Bn) or reached through a binder (Bp).
class ICInterface : public SharedRefBase {
  public:
    virtual SpAIBinder asBinder() = 0;
    virtual bool isRemote() = 0;
    // What dumpsys shows; nothing unless the service says.
    virtual binder_status_t dump(int /*fd*/, const char** /*args*/, uint32_t /*numArgs*/) {
        return STATUS_OK;
    }
    // `cmd <service> ARGS...`; nothing unless the service says.
    virtual binder_status_t handleShellCommand(int /*in*/, int /*out*/, int /*err*/,
                                               const char** /*argv*/, uint32_t /*argc*/) {
        return STATUS_OK;
    }

    // The class of the interface's binders, with the dump and shell-command hooks: whether a
    // subclass overrides them cannot be known here, and the defaults are harmless.
    static AIBinder_Class* defineClass(const char* descriptor,
                                       AIBinder_Class_onTransact onTransact) {
        AIBinder_Class* clazz =
                AIBinder_Class_define(descriptor, Holder::onCreate, Holder::onDestroy, onTransact);
        if (clazz == nullptr) return nullptr;
        AIBinder_Class_setOnDump(clazz, Holder::onDump);
        // The shell-command hook is of API 30 (GCC, for the workstation alone, has no check).
#if defined(__clang__)
        if (__builtin_available(android 30, *)) {
            AIBinder_Class_setHandleShellCommand(clazz, Holder::onShellCommand);
        }
#else
        AIBinder_Class_setHandleShellCommand(clazz, Holder::onShellCommand);
#endif
        return clazz;
    }
    // The local object behind a binder of this process, or null.
    static std::shared_ptr<ICInterface> asInterface(AIBinder* binder) {
        return Holder::of(binder);
    }

  private:
    // A local binder's user data: it keeps the object alive while the binder lives.
    struct Holder {
        std::shared_ptr<ICInterface> object;

        static void* onCreate(void* args) {
            return new Holder{static_cast<ICInterface*>(args)->ref<ICInterface>()};
        }
        static void onDestroy(void* data) {
            delete static_cast<Holder*>(data);
        }
        static std::shared_ptr<ICInterface> of(AIBinder* binder) {
            if (binder == nullptr) return nullptr;
            void* data = AIBinder_getUserData(binder);
            return data == nullptr ? nullptr : static_cast<Holder*>(data)->object;
        }
        static binder_status_t onDump(AIBinder* binder, int fd, const char** args, uint32_t n) {
            std::shared_ptr<ICInterface> object = of(binder);
            return object != nullptr ? object->dump(fd, args, n) : STATUS_DEAD_OBJECT;
        }
        static binder_status_t onShellCommand(AIBinder* binder, int in, int out, int err,
                                              const char** argv, uint32_t argc) {
            std::shared_ptr<ICInterface> object = of(binder);
            return object != nullptr ? object->handleShellCommand(in, out, err, argv, argc)
                                     : STATUS_DEAD_OBJECT;
        }
    };
};

// The serving side: one binder at a time for the object, made on demand.
template <typename Interface>
class BnCInterface : public Interface {
  public:
    SpAIBinder asBinder() final {
        std::lock_guard<std::mutex> lock(mutex_);
        SpAIBinder binder = weak_binder_.promote();
        if (binder.get() == nullptr) {
            binder = createBinder();
            weak_binder_.set(AIBinder_Weak_new(binder.get()));
        }
        return binder;
    }
    bool isRemote() final {
        return false;
    }

  protected:
    virtual SpAIBinder createBinder() = 0;

  private:
    std::mutex mutex_;
    ScopedAIBinder_Weak weak_binder_;
};

// The calling side, over a binder.
template <typename Interface>
class BpCInterface : public Interface {
  public:
    explicit BpCInterface(const SpAIBinder& binder) : binder_(binder) {
    }
    SpAIBinder asBinder() final {
        return binder_;
    }
    bool isRemote() final {
        return AIBinder_isRemote(binder_.get());
    }
    binder_status_t dump(int fd, const char** args, uint32_t numArgs) override {
        return AIBinder_dump(binder_.get(), fd, args, numArgs);
    }

  private:
    SpAIBinder binder_;
};

}  // namespace ndk
