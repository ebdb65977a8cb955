// SPDX-License-Identifier: Apache-2.0
// The binder stand-in refuses what Android 12's binder refuses: reads of the wrong kind or past
// the end, transactions on parcels not made for the binder, unknown names and classes, a second
// registration, a null string with a length or a string without one; and it keeps binders alive
// exactly while they are referenced. A pool shrunk once started and an object of SharedRefBase
// that no owner ever held end the process, as there.
#include <android/binder_ibinder.h>
#include <android/binder_interface_utils.h>
#include <android/binder_manager.h>
#include <android/binder_parcel_utils.h>
#include <android/binder_process.h>
#include <android/binder_stability.h>
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "binder_sim/binder_sim.h"

namespace {

constexpr transaction_code_t kAdd = FIRST_CALL_TRANSACTION;

int destroyed = 0;

void* on_create(void* args) {
    return args;
}
void on_destroy(void* /*data*/) {
    ++destroyed;
}
// Adds two int32 arguments; a missing or mistyped argument is the transaction's failure.
binder_status_t on_transact(AIBinder* /*binder*/, transaction_code_t code, const AParcel* in,
                            AParcel* out) {
    if (code != kAdd) return STATUS_UNKNOWN_TRANSACTION;
    int32_t a = 0;
    int32_t b = 0;
    binder_status_t status = AParcel_readInt32(in, &a);
    if (status == STATUS_OK) status = AParcel_readInt32(in, &b);
    if (status != STATUS_OK) return status;
    return AParcel_writeInt32(out, a + b);
}

AIBinder_Class* adder_class() {
    static AIBinder_Class* clazz =
            AIBinder_Class_define("test.IAdder", on_create, on_destroy, on_transact);
    return clazz;
}

class BinderStandIn : public ::testing::Test {
  protected:
    void SetUp() override {
        binder_sim::reset();
        destroyed = 0;
        pool_ = std::thread(ABinderProcess_joinThreadPool);
    }
    void TearDown() override {
        binder_sim::stop_thread_pool();
        pool_.join();
        binder_sim::reset();
    }
    // A proxy of a registered adder, as another process gets it.
    ndk::SpAIBinder registered_adder() {
        ndk::SpAIBinder local(AIBinder_new(adder_class(), nullptr));
        EXPECT_EQ(AServiceManager_addService(local.get(), "test.adder"), EX_NONE);
        ndk::SpAIBinder proxy(AServiceManager_checkService("test.adder"));
        EXPECT_TRUE(AIBinder_associateClass(proxy.get(), adder_class()));
        return proxy;
    }

  private:
    std::thread pool_;
};

TEST(BinderParcel, ReadsOfAnotherKindOrPastTheEndFail) {
    ndk::ScopedAParcel parcel(AParcel_create());
    ASSERT_EQ(AParcel_writeInt32(parcel.get(), 7), STATUS_OK);
    ASSERT_EQ(AParcel_writeBool(parcel.get(), true), STATUS_OK);
    ASSERT_EQ(AParcel_setDataPosition(parcel.get(), 0), STATUS_OK);
    bool flag = false;
    EXPECT_EQ(AParcel_readBool(parcel.get(), &flag), STATUS_BAD_VALUE);
    int32_t value = 0;
    EXPECT_EQ(AParcel_readInt32(parcel.get(), &value), STATUS_OK);
    EXPECT_EQ(value, 7);
    EXPECT_EQ(AParcel_readInt32(parcel.get(), &value), STATUS_BAD_VALUE);
    EXPECT_EQ(AParcel_readBool(parcel.get(), &flag), STATUS_OK);
    EXPECT_TRUE(flag);
    EXPECT_EQ(AParcel_readInt32(parcel.get(), &value), STATUS_NOT_ENOUGH_DATA);
    EXPECT_EQ(AParcel_setDataPosition(parcel.get(), -1), STATUS_BAD_VALUE);
}

TEST(BinderParcel, StringsRoundTripAndMalformedLengthsAreRefused) {
    ndk::ScopedAParcel parcel(AParcel_create());
    ASSERT_EQ(ndk::AParcel_writeString(parcel.get(), std::string("audio_echo_decay=40")), STATUS_OK);
    EXPECT_EQ(AParcel_writeString(parcel.get(), "x", -2), STATUS_BAD_VALUE);
    ASSERT_EQ(AParcel_setDataPosition(parcel.get(), 0), STATUS_OK);
    std::string text;
    EXPECT_EQ(ndk::AParcel_readString(parcel.get(), &text), STATUS_OK);
    EXPECT_EQ(text, "audio_echo_decay=40");
    EXPECT_EQ(ndk::AParcel_readString(parcel.get(), &text), STATUS_NOT_ENOUGH_DATA);
}

// A string and its length as Android 12's parcel takes them: -1 only with a null pointer, which
// is the null string.
TEST(BinderParcel, StringLengthMustMatchThePointer) {
    const struct {
        const char* text;
        int32_t length;
        binder_status_t status;
    } cases[] = {
            {"x", 1, STATUS_OK},
            {"", 0, STATUS_OK},
            {nullptr, -1, STATUS_OK},
            {"x", -1, STATUS_BAD_VALUE},
            {nullptr, 0, STATUS_BAD_VALUE},
            {nullptr, 1, STATUS_BAD_VALUE},
            {"x", -2, STATUS_BAD_VALUE},
    };
    for (const auto& c : cases) {
        ndk::ScopedAParcel parcel(AParcel_create());
        SCOPED_TRACE(std::string(c.text != nullptr ? c.text : "(null)") + ", " +
                     std::to_string(c.length));
        EXPECT_EQ(AParcel_writeString(parcel.get(), c.text, c.length), c.status);
        if (c.status != STATUS_OK) {
            EXPECT_EQ(AParcel_getDataSize(parcel.get()), 0);
        }
    }
}

TEST(BinderParcel, StatusHeaderCarriesExceptionsButNotTransportFailures) {
    ndk::ScopedAParcel parcel(AParcel_create());
    const ndk::ScopedAStatus sent =
            ndk::ScopedAStatus::fromServiceSpecificErrorWithMessage(1, "port gone");
    ASSERT_EQ(AParcel_writeStatusHeader(parcel.get(), sent.get()), STATUS_OK);
    const int32_t size = AParcel_getDataSize(parcel.get());
    const ndk::ScopedAStatus transport = ndk::ScopedAStatus::fromStatus(STATUS_DEAD_OBJECT);
    EXPECT_EQ(AParcel_writeStatusHeader(parcel.get(), transport.get()), STATUS_DEAD_OBJECT);
    EXPECT_EQ(AParcel_getDataSize(parcel.get()), size);
    ASSERT_EQ(AParcel_setDataPosition(parcel.get(), 0), STATUS_OK);
    ndk::ScopedAStatus read;
    ASSERT_EQ(AParcel_readStatusHeader(parcel.get(), read.getR()), STATUS_OK);
    EXPECT_EQ(read.getExceptionCode(), EX_SERVICE_SPECIFIC);
    EXPECT_EQ(read.getServiceSpecificError(), 1);
    EXPECT_STREQ(read.getMessage(), "port gone");
    EXPECT_EQ(read.getDescription(), "Status(-8, EX_SERVICE_SPECIFIC): '1: port gone'");
}

TEST_F(BinderStandIn, ProxyTransactsThroughParcels) {
    const ndk::SpAIBinder proxy = registered_adder();
    EXPECT_TRUE(AIBinder_isRemote(proxy.get()));
    ndk::ScopedAParcel in;
    ndk::ScopedAParcel out;
    ASSERT_EQ(AIBinder_prepareTransaction(proxy.get(), in.getR()), STATUS_OK);
    AParcel_writeInt32(in.get(), 40);
    AParcel_writeInt32(in.get(), 2);
    ASSERT_EQ(AIBinder_transact(proxy.get(), kAdd, in.getR(), out.getR(), 0), STATUS_OK);
    EXPECT_EQ(in.get(), nullptr);  // taken by the transaction
    int32_t sum = 0;
    EXPECT_EQ(AParcel_readInt32(out.get(), &sum), STATUS_OK);
    EXPECT_EQ(sum, 42);
}

TEST_F(BinderStandIn, ServerReadFailureIsTheTransactionsResult) {
    const ndk::SpAIBinder proxy = registered_adder();
    ndk::ScopedAParcel in;
    ndk::ScopedAParcel out;
    ASSERT_EQ(AIBinder_prepareTransaction(proxy.get(), in.getR()), STATUS_OK);
    AParcel_writeInt32(in.get(), 40);
    EXPECT_EQ(AIBinder_transact(proxy.get(), kAdd, in.getR(), out.getR(), 0),
              STATUS_NOT_ENOUGH_DATA);
    EXPECT_EQ(out.get(), nullptr);
    ASSERT_EQ(AIBinder_prepareTransaction(proxy.get(), in.getR()), STATUS_OK);
    AParcel_writeBool(in.get(), true);
    AParcel_writeInt32(in.get(), 2);
    EXPECT_EQ(AIBinder_transact(proxy.get(), kAdd, in.getR(), out.getR(), 0), STATUS_BAD_VALUE);
}

TEST_F(BinderStandIn, TransactionsOnWrongParcelsOrCodesAreRefused) {
    const ndk::SpAIBinder proxy = registered_adder();
    const ndk::SpAIBinder other(AIBinder_new(adder_class(), nullptr));
    ndk::ScopedAParcel in;
    ndk::ScopedAParcel out;
    ASSERT_EQ(AIBinder_prepareTransaction(other.get(), in.getR()), STATUS_OK);
    EXPECT_EQ(AIBinder_transact(proxy.get(), kAdd, in.getR(), out.getR(), 0), STATUS_BAD_VALUE);
    EXPECT_EQ(AIBinder_transact(proxy.get(), kAdd, in.getR(), out.getR(), 0),
              STATUS_UNEXPECTED_NULL);
    ASSERT_EQ(AIBinder_prepareTransaction(proxy.get(), in.getR()), STATUS_OK);
    EXPECT_EQ(AIBinder_transact(proxy.get(), kAdd, in.getR(), out.getR(), 0x10), STATUS_BAD_VALUE);
    ASSERT_EQ(AIBinder_prepareTransaction(proxy.get(), in.getR()), STATUS_OK);
    EXPECT_EQ(AIBinder_transact(proxy.get(), 0, in.getR(), out.getR(), 0),
              STATUS_UNKNOWN_TRANSACTION);
}

TEST_F(BinderStandIn, GeneratedCodesStabilityFlagIsTaken) {
    const ndk::SpAIBinder proxy = registered_adder();
    for (const binder_flags_t flags :
         {static_cast<binder_flags_t>(FLAG_PRIVATE_VENDOR),
          static_cast<binder_flags_t>(FLAG_PRIVATE_VENDOR | FLAG_ONEWAY)}) {
        ndk::ScopedAParcel in;
        ndk::ScopedAParcel out;
        ASSERT_EQ(AIBinder_prepareTransaction(proxy.get(), in.getR()), STATUS_OK);
        ASSERT_EQ(AParcel_writeInt32(in.get(), 2), STATUS_OK);
        ASSERT_EQ(AParcel_writeInt32(in.get(), 3), STATUS_OK);
        EXPECT_EQ(AIBinder_transact(proxy.get(), kAdd, in.getR(), out.getR(), flags), STATUS_OK)
                << flags;
    }
}

// An interface that answers shell commands, as a service's `cmd` does.
struct Shell : ndk::BnCInterface<ndk::ICInterface> {
    binder_status_t handleShellCommand(int /*in*/, int out, int /*err*/, const char** argv,
                                       uint32_t argc) override {
        commands.emplace_back(argv, argv + argc);
        output = out;
        return STATUS_OK;
    }
    ndk::SpAIBinder createBinder() override {
        static AIBinder_Class* const clazz =
                ndk::ICInterface::defineClass("test.IShell", on_transact);
        return ndk::SpAIBinder(AIBinder_new(clazz, static_cast<void*>(this)));
    }
    std::vector<std::vector<std::string>> commands;
    int output = -1;
};

TEST_F(BinderStandIn, DefinedClassesTakeShellCommands) {
    const std::shared_ptr<Shell> shell = ndk::SharedRefBase::make<Shell>();
    ASSERT_EQ(AServiceManager_addService(shell->asBinder().get(), "test.shell"), EX_NONE);
    const ndk::SpAIBinder proxy(AServiceManager_checkService("test.shell"));
    EXPECT_EQ(binder_sim::shell_command(proxy.get(), 0, 7, 2, {"status", "-v"}), STATUS_OK);
    EXPECT_EQ(shell->commands, (std::vector<std::vector<std::string>>{{"status", "-v"}}));
    EXPECT_EQ(shell->output, 7);
    // A class defined without defineClass has no handler.
    const ndk::SpAIBinder adder = registered_adder();
    EXPECT_EQ(binder_sim::shell_command(adder.get(), 0, 1, 2, {"status"}), STATUS_INVALID_OPERATION);
}

TEST(BinderThreadPool, CountsAreTakenBeforeAndGrowthAfterStartButShrinkingAborts) {
    // Each in a process of its own: a started pool stays started.
    EXPECT_EXIT(
            {
                const bool set = ABinderProcess_setThreadPoolMaxThreadCount(0);
                ABinderProcess_startThreadPool();
                std::exit(set && ABinderProcess_setThreadPoolMaxThreadCount(4) ? 0 : 1);
            },
            ::testing::ExitedWithCode(0), "");
    EXPECT_DEATH(
            {
                ABinderProcess_startThreadPool();
                (void)ABinderProcess_setThreadPoolMaxThreadCount(14);
            },
            "Binder threadpool cannot be shrunk after starting");
}

TEST_F(BinderStandIn, ProxyTakesOnlyItsRemoteObjectsClass) {
    const ndk::SpAIBinder local(AIBinder_new(adder_class(), nullptr));
    ASSERT_EQ(AServiceManager_addService(local.get(), "test.adder"), EX_NONE);
    const ndk::SpAIBinder proxy(AServiceManager_checkService("test.adder"));
    ndk::ScopedAParcel in;
    EXPECT_EQ(AIBinder_prepareTransaction(proxy.get(), in.getR()), STATUS_INVALID_OPERATION);
    static AIBinder_Class* other =
            AIBinder_Class_define("test.IOther", on_create, on_destroy, on_transact);
    EXPECT_FALSE(AIBinder_associateClass(proxy.get(), other));
    EXPECT_TRUE(AIBinder_associateClass(proxy.get(), adder_class()));
}

TEST_F(BinderStandIn, ServiceManagerRefusesBadRegistrations) {
    const ndk::SpAIBinder local(AIBinder_new(adder_class(), nullptr));
    EXPECT_EQ(AServiceManager_addService(nullptr, "test.adder"), EX_NULL_POINTER);
    EXPECT_EQ(AServiceManager_addService(local.get(), ""), EX_ILLEGAL_ARGUMENT);
    EXPECT_EQ(AServiceManager_addService(local.get(), "test adder"), EX_ILLEGAL_ARGUMENT);
    EXPECT_EQ(AServiceManager_addService(local.get(), "test.adder"), EX_NONE);
    EXPECT_EQ(AServiceManager_addService(local.get(), "test.adder"), EX_ILLEGAL_STATE);
    EXPECT_EQ(AServiceManager_checkService("test.unknown"), nullptr);
    AIBinder_markVintfStability(local.get());
    EXPECT_EQ(AServiceManager_addService(local.get(), "test.IAdder/default"), EX_ILLEGAL_ARGUMENT);
    EXPECT_EQ(binder_sim::registered_services(), std::vector<std::string>{"test.adder"});
}

TEST_F(BinderStandIn, BinderLivesWhileReferenced) {
    AIBinder* local = AIBinder_new(adder_class(), nullptr);
    ndk::ScopedAIBinder_Weak weak(AIBinder_Weak_new(local));
    ndk::SpAIBinder promoted = weak.promote();
    EXPECT_EQ(promoted.get(), local);
    AIBinder_decStrong(local);
    EXPECT_EQ(destroyed, 0);
    promoted.set(nullptr);
    EXPECT_EQ(destroyed, 1);
    EXPECT_EQ(weak.promote().get(), nullptr);
}

TEST_F(BinderStandIn, CallsWaitingWhenThePoolStopsFailAsDeadObjects) {
    const ndk::SpAIBinder proxy = registered_adder();
    binder_sim::stop_thread_pool();
    ndk::ScopedAParcel in;
    ndk::ScopedAParcel out;
    ASSERT_EQ(AIBinder_prepareTransaction(proxy.get(), in.getR()), STATUS_OK);
    EXPECT_EQ(AIBinder_transact(proxy.get(), kAdd, in.getR(), out.getR(), 0), STATUS_DEAD_OBJECT);
    EXPECT_FALSE(AIBinder_isAlive(proxy.get()));
}

struct Counted : ndk::SharedRefBase {
    int value = 3;
};

TEST(BinderSharedRefBase, MakeGivesTheOneOwner) {
    const std::shared_ptr<Counted> made = ndk::SharedRefBase::make<Counted>();
    EXPECT_EQ(made->ref<Counted>(), made);
    EXPECT_EQ(made.use_count(), 1);
}

TEST(BinderSharedRefBase, ObjectNoOwnerHeldAborts) {
    EXPECT_DEATH({ const Counted unowned; }, "SharedRefBase: no ref created during lifetime");
}

}  // namespace
