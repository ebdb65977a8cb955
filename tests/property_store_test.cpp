// SPDX-License-Identifier: Apache-2.0
// The workstation property store behind the property functions and the client stand-in.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/system_properties.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "SystemControlClient.h"
#include "hal_sim/hal_sim.h"
#include "temp_dir.h"

namespace {

std::string get(const char* key) {
    char value[PROP_VALUE_MAX];
    memset(value, 'x', sizeof(value));
    const int length = __system_property_get(key, value);
    EXPECT_EQ(static_cast<size_t>(length), strlen(value));
    return value;
}

class PropertyStore : public ::testing::TestWithParam<bool> {
  protected:
    void SetUp() override {
        if (GetParam()) {
            ASSERT_FALSE(dir_.empty());
            setenv("HAL_SIM_DIR", dir_.c_str(), 1);
        } else {
            unsetenv("HAL_SIM_DIR");
        }
        hal_sim::clear_properties();
    }
    void TearDown() override {
        unsetenv("HAL_SIM_DIR");
    }
    TempDir temp_{"hal_sim_store"};
    const std::string dir_ = temp_.path();
};

TEST_P(PropertyStore, SetAndGet) {
    EXPECT_EQ("", get("vendor.quorin.micstate"));
    EXPECT_EQ(0, __system_property_set("vendor.quorin.micstate", "1"));
    EXPECT_EQ("1", get("vendor.quorin.micstate"));
    EXPECT_EQ(0, __system_property_set("vendor.quorin.micstate", ""));
    EXPECT_EQ("", get("vendor.quorin.micstate"));
}

TEST_P(PropertyStore, ValueLongerThanTheLimitIsRefusedAndTheOldOneKept) {
    const std::string longest(PROP_VALUE_MAX - 1, 'a');
    EXPECT_EQ(0, __system_property_set("k", longest.c_str()));
    EXPECT_EQ(longest, get("k"));
    const std::string too_long(PROP_VALUE_MAX, 'b');
    EXPECT_EQ(-1, __system_property_set("k", too_long.c_str()));
    EXPECT_EQ(longest, get("k"));
    EXPECT_EQ(-1, __system_property_set("k", "two\nlines"));
    EXPECT_EQ(longest, get("k"));
}

TEST_P(PropertyStore, ClientSeesTheSameStore) {
    android::sp<android::SystemControlClient> client = android::SystemControlClient::getInstance();
    ASSERT_NE(nullptr, client.get());
    client->setProperty("vendor.quorin.ledindex", "3");
    EXPECT_EQ("3", get("vendor.quorin.ledindex"));
    __system_property_set("vendor.quorin.ledstate", "-12");
    EXPECT_EQ(-12, client->getPropertyInt("vendor.quorin.ledstate", 99));
}

TEST_P(PropertyStore, GetPropertyIntFallsBackToTheDefault) {
    android::sp<android::SystemControlClient> client = android::SystemControlClient::getInstance();
    const std::pair<const char*, int> values[] = {
            {"0", 0},
            {"-1", -1},
            {"2147483647", 2147483647},
            {"-2147483648", INT32_MIN},
            {"007", 7},
            {"", 99},
            {"-", 99},
            {"+5", 99},
            {" 5", 99},
            {"5 ", 99},
            {"1e3", 99},
            {"0x10", 99},
            {"2147483648", 99},
            {"-2147483649", 99},
            {"99999999999999999999", 99},
            {"abc", 99},
    };
    for (const auto& [text, expected] : values) {
        __system_property_set("k", text);
        EXPECT_EQ(expected, client->getPropertyInt("k", 99)) << "\"" << text << "\"";
    }
    EXPECT_EQ(-1, client->getPropertyInt("never.set", -1));
}

// Writers set whole values while readers read: every value read is one that was written.
TEST_P(PropertyStore, ConcurrentWritersAndReadersSeeWholeValues) {
    constexpr int kThreads = 4;
    constexpr int kRounds = 200;
    std::atomic<int> torn{0};
    std::vector<std::thread> threads;
    threads.reserve(static_cast<size_t>(2) * kThreads);
    android::sp<android::SystemControlClient> client = android::SystemControlClient::getInstance();
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            for (int i = 0; i < kRounds; ++i) {
                const std::string value(1 + (i + t) % 40, static_cast<char>('a' + t));
                __system_property_set(("key" + std::to_string(i % 3)).c_str(), value.c_str());
            }
        });
        threads.emplace_back([&torn, client] {
            for (int i = 0; i < kRounds; ++i) {
                const std::string value = get(("key" + std::to_string(i % 3)).c_str());
                if (!value.empty() && value.find_first_not_of(value[0]) != std::string::npos)
                    ++torn;
                client->getPropertyInt("key0", 0);
            }
        });
    }
    for (auto& thread : threads) thread.join();
    EXPECT_EQ(0, torn.load());
    EXPECT_EQ(3u, hal_sim::properties().size());
}

// init writes only persist.* properties to disk: a reboot keeps those and nothing else. The
// names are near misses on either side of the rule.
TEST_P(PropertyStore, RebootKeepsOnlyPersistProperties) {
    const char* const lost[] = {"vendor.quorin.ledindex", "vendor.quorin.ledstate",
                                "vendor.quorin.ledcolor", "vendor.quorin.micstate",
                                "persistent.x",           "persist",
                                "vendor.persist.x",       "Persist.x"};
    const char* const kept[] = {"persist.vendor.quorin.x", "persist.", "persist.sys.y"};
    for (const char* key : lost) ASSERT_EQ(0, __system_property_set(key, "1")) << key;
    for (const char* key : kept) ASSERT_EQ(0, __system_property_set(key, key)) << key;

    ASSERT_TRUE(hal_sim::reboot_device());

    hal_sim::PropertyMap expected;
    for (const char* key : kept) expected[key] = key;
    EXPECT_EQ(expected, hal_sim::properties());
    for (const char* key : lost) EXPECT_EQ("", get(key)) << key;
    android::sp<android::SystemControlClient> client = android::SystemControlClient::getInstance();
    EXPECT_EQ(-1, client->getPropertyInt("vendor.quorin.ledindex", -1));
    EXPECT_EQ(0, __system_property_set("vendor.quorin.ledindex", "2")) << "the store still works";
    EXPECT_EQ(2, client->getPropertyInt("vendor.quorin.ledindex", -1));
}

TEST_P(PropertyStore, RebootOfAnEmptyStoreLeavesItEmpty) {
    ASSERT_TRUE(hal_sim::reboot_device());
    EXPECT_TRUE(hal_sim::properties().empty());
}

INSTANTIATE_TEST_SUITE_P(PropertyStoreMemoryAndFile, PropertyStore, ::testing::Bool(),
                         [](const auto& info) { return info.param ? "File" : "Memory"; });

class PropertyStoreFile : public PropertyStore {};

TEST_P(PropertyStoreFile, StoreOutlivesTheMemoryAndLeavesNoTemporaryFiles) {
    __system_property_set("vendor.quorin.ledcolor", "10");
    __system_property_set("vendor.quorin.ledindex", "0");
    std::ifstream in(dir_ + "/properties");
    std::stringstream text;
    text << in.rdbuf();
    EXPECT_EQ("vendor.quorin.ledcolor=10\nvendor.quorin.ledindex=0\n", text.str());
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        const std::string name = entry.path().filename();
        EXPECT_TRUE(name == "properties" || name == "properties.lock") << name;
    }
}

TEST_P(PropertyStoreFile, ChangeFromAnotherWriterIsSeen) {
    __system_property_set("a", "1");
    std::ofstream(dir_ + "/properties") << "a=2\nb=3\n";
    EXPECT_EQ("2", get("a"));
    EXPECT_EQ("3", get("b"));
}

TEST_P(PropertyStoreFile, CorruptedStoreYieldsWhatIsReadable) {
    std::ofstream(dir_ + "/properties")
            << "noequals\n=empty\nok=1\nlong=" << std::string(200, 'x') << "\ntorn=5";
    EXPECT_EQ((hal_sim::PropertyMap{{"ok", "1"}}), hal_sim::properties());
    EXPECT_EQ("", get("torn"));
}

TEST_P(PropertyStoreFile, ChangeThatCannotBeWrittenIsRefusedAndTheStoreKept) {
    __system_property_set("a", "1");
    // Block the temporary file the change is written to first (a directory in its place stops
    // root as well as anyone else).
    const std::string temp = dir_ + "/properties.tmp." + std::to_string(getpid());
    std::filesystem::create_directory(temp);
    EXPECT_EQ(-1, __system_property_set("a", "2"));
    EXPECT_EQ(-1, __system_property_set("b", "3"));
    std::filesystem::remove(temp);
    EXPECT_EQ((hal_sim::PropertyMap{{"a", "1"}}), hal_sim::properties());
}

std::string file_text(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// Another process (halctl in the same session, say) reads the store from the file: a reboot must
// reach it there, and the audio port's record of the old boot is gone with it.
TEST_P(PropertyStoreFile, RebootRewritesTheStoreFileAndEmptiesThePortRecord) {
    __system_property_set("vendor.quorin.micstate", "1");
    __system_property_set("persist.vendor.quorin.keep", "yes");
    std::ofstream(dir_ + "/audio_port") << "created\ncreateAudioPatchTarsk\n";
    ASSERT_TRUE(hal_sim::reboot_device());
    EXPECT_EQ("persist.vendor.quorin.keep=yes\n", file_text(dir_ + "/properties"));
    EXPECT_TRUE(hal_sim::port_record().empty());
    EXPECT_EQ("", file_text(dir_ + "/audio_port"));
}

TEST_P(PropertyStoreFile, RebootThatCannotRewriteTheStoreFailsAndKeepsIt) {
    __system_property_set("vendor.quorin.ledindex", "0");
    const std::string temp = dir_ + "/properties.tmp." + std::to_string(getpid());
    std::filesystem::create_directory(temp);
    EXPECT_FALSE(hal_sim::reboot_device());
    std::filesystem::remove(temp);
    EXPECT_EQ((hal_sim::PropertyMap{{"vendor.quorin.ledindex", "0"}}), hal_sim::properties());
}

// A store this process cannot read, in a directory it can write: the change is refused and the
// file left as it was, rather than replaced by one holding the changed key alone. Root reads
// anything, so the change is made by a child that gives up root.
TEST_P(PropertyStoreFile, UnreadableStoreFailsTheChangeAndIsKept) {
    __system_property_set("a", "1");
    __system_property_set("b", "2");
    const std::string store = dir_ + "/properties";
    ASSERT_EQ(0, chmod(store.c_str(), 0));
    ASSERT_EQ(0, chmod(dir_.c_str(), 0777));
    const pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        if (geteuid() == 0 && (setgid(kNobody) != 0 || setuid(kNobody) != 0)) _exit(3);
        std::string text;
        if (std::ifstream(store) >> text) _exit(4);  // still readable: no test
        _exit(__system_property_set("c", "3") == -1 ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(0, WEXITSTATUS(status)) << "1: the change was reported done";
    ASSERT_EQ(0, chmod(store.c_str(), 0644));
    EXPECT_EQ((hal_sim::PropertyMap{{"a", "1"}, {"b", "2"}}), hal_sim::properties());
}

// Without the lock a change can undo another process's change, so it is refused.
TEST_P(PropertyStoreFile, ChangeWithoutTheLockIsRefusedAndTheStoreKept) {
    __system_property_set("a", "1");
    // A directory in place of the lock file cannot be opened for writing, even by root.
    std::filesystem::remove(dir_ + "/properties.lock");
    std::filesystem::create_directory(dir_ + "/properties.lock");
    EXPECT_EQ(-1, __system_property_set("a", "2"));
    EXPECT_EQ(-1, __system_property_set("b", "3"));
    EXPECT_FALSE(hal_sim::reboot_device());
    EXPECT_EQ("1", get("a")) << "reads need no lock";
    std::filesystem::remove(dir_ + "/properties.lock");
    EXPECT_EQ((hal_sim::PropertyMap{{"a", "1"}}), hal_sim::properties());
}

// A writer killed between writing its temporary file and renaming it leaves the file behind;
// the next change removes it.
TEST_P(PropertyStoreFile, TemporaryFilesOfKilledWritersAreRemoved) {
    __system_property_set("a", "1");
    for (const char* pid : {"4194304", "4194305"}) {
        std::ofstream(dir_ + "/properties.tmp." + pid) << "a=1\nhalf=wr";
    }
    EXPECT_EQ(0, __system_property_set("b", "2"));
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(dir_)) {
        names.push_back(entry.path().filename());
    }
    std::sort(names.begin(), names.end());
    EXPECT_EQ((std::vector<std::string>{"properties", "properties.lock"}), names);
    EXPECT_EQ((hal_sim::PropertyMap{{"a", "1"}, {"b", "2"}}), hal_sim::properties());
}

INSTANTIATE_TEST_SUITE_P(PropertyStoreFileOnly, PropertyStoreFile, ::testing::Values(true),
                         [](const auto&) { return "File"; });

// Something other than a store the stand-ins wrote, in the store's place.
struct OddStore {
    const char* name;
    void (*plant)(const std::string& path);
    mode_t type;  // what lstat() must still find there afterwards
};

void PrintTo(const OddStore& c, std::ostream* out) {
    *out << c.name;
}

class PropertyStoreOddFile : public ::testing::TestWithParam<OddStore> {
  protected:
    void SetUp() override {
        ASSERT_FALSE(dir_.empty());
        setenv("HAL_SIM_DIR", dir_.c_str(), 1);
    }
    void TearDown() override {
        unsetenv("HAL_SIM_DIR");
    }
    TempDir temp_{"hal_sim_store"};
    const std::string dir_ = temp_.path();
};

// Each is refused at once, never waited on nor read without end: reads find nothing, changes
// (and a reboot) fail, and the thing is left where it was. The child runs the calls so that a
// blocking open cannot hang the suite; the alarm only ends such a child.
TEST_P(PropertyStoreOddFile, IsRefusedWithoutBlockingAndLeftAlone) {
    const std::string store = dir_ + "/properties";
    const OddStore& odd = GetParam();
    odd.plant(store);
    const pid_t child = fork();
    ASSERT_NE(-1, child);
    if (child == 0) {
        alarm(60);
        if (!hal_sim::properties().empty()) _exit(1);
        char value[PROP_VALUE_MAX] = {};
        if (__system_property_get("a", value) != 0) _exit(2);
        if (__system_property_set("a", "2") != -1) _exit(3);
        if (hal_sim::reboot_device()) _exit(4);
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(child, waitpid(child, &status, 0));
    ASSERT_FALSE(WIFSIGNALED(status)) << "blocked or crashed: signal " << WTERMSIG(status);
    EXPECT_EQ(0, WEXITSTATUS(status)) << "1: read, 2: a value found, 3: set, 4: rebooted";
    struct stat planted {};
    ASSERT_EQ(0, lstat(store.c_str(), &planted));
    EXPECT_EQ(odd.type, planted.st_mode & S_IFMT);
}

void plant_fifo(const std::string& path) {
    ASSERT_EQ(0, mkfifo(path.c_str(), 0644));
}

void plant_link_to_zero(const std::string& path) {
    ASSERT_EQ(0, symlink("/dev/zero", path.c_str()));
}

void plant_directory(const std::string& path) {
    ASSERT_EQ(0, mkdir(path.c_str(), 0755));
}

// A link to a store that reads well: the store is the file itself, which a change replaces.
void plant_link_to_a_store(const std::string& path) {
    const std::string target = path + ".elsewhere";
    std::ofstream(target) << "a=1\n";
    ASSERT_EQ(0, symlink(target.c_str(), path.c_str()));
}

constexpr size_t kStoreBound = size_t{1} << 20;

// A store of exactly `size` bytes of well-formed lines, "a=1" the first.
void write_store_of_size(const std::string& path, size_t size) {
    std::string text = "a=1\n";
    const std::string filler = "f=" + std::string(60, 'x') + "\n";
    while (text.size() + 2 * filler.size() <= size) text += filler;
    text += "g=" + std::string(size - text.size() - 3, 'y') + "\n";
    std::ofstream(path) << text;
    ASSERT_EQ(size, std::filesystem::file_size(path));
}

// No store the stand-ins write is that big.
void plant_oversized_store(const std::string& path) {
    write_store_of_size(path, kStoreBound + 1);
}

TEST_F(PropertyStoreOddFile, StoreOfExactlyTheBoundIsRead) {
    write_store_of_size(dir_ + "/properties", kStoreBound);
    EXPECT_EQ("1", get("a"));
}

INSTANTIATE_TEST_SUITE_P(PropertyStoreEveryOddFile, PropertyStoreOddFile,
                         ::testing::Values(OddStore{"FIFO", plant_fifo, S_IFIFO},
                                           OddStore{"LinkToDevZero", plant_link_to_zero, S_IFLNK},
                                           OddStore{"Directory", plant_directory, S_IFDIR},
                                           OddStore{"LinkToAStore", plant_link_to_a_store, S_IFLNK},
                                           OddStore{"OverAMebibyte", plant_oversized_store, S_IFREG}),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
