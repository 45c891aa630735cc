#include "formats/RegistryStore.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <sys/stat.h>

namespace quill {
namespace {

using test::IsolatedHome;
using namespace std::string_literals;

const std::string kKey = "\\Software\\Orvane\\Quill!";

// A store at the default path under a home of the test's own.
class RegistryStoreTest : public ::testing::Test {
protected:
    IsolatedHome home;
    const std::string file = RegistryStore::defaultPath();
    RegistryStore store{file};
};

TEST_F(RegistryStoreTest, DefaultPathFollowsTheEnvironment) {
    ::setenv("QUILL_CONFIG_HOME", "/q", 1);
    ::setenv("XDG_CONFIG_HOME", "/x", 1);
    ::setenv("HOME", "/h", 1);
    EXPECT_EQ(RegistryStore::defaultPath(), "/q/Orvane/Quill!/registry.ini");
    ::setenv("QUILL_CONFIG_HOME", "", 1);
    EXPECT_EQ(RegistryStore::defaultPath(), "/x/Orvane/Quill!/registry.ini") << "empty counts as unset";
    ::unsetenv("QUILL_CONFIG_HOME");
    EXPECT_EQ(RegistryStore::defaultPath(), "/x/Orvane/Quill!/registry.ini");
    ::unsetenv("XDG_CONFIG_HOME");
    EXPECT_EQ(RegistryStore::defaultPath(), "/h/.config/Orvane/Quill!/registry.ini");
    ::setenv("HOME", "/h/", 1);
    EXPECT_EQ(RegistryStore::defaultPath(), "/h/.config/Orvane/Quill!/registry.ini");
}

TEST_F(RegistryStoreTest, WritesAndReadsValuesUnderAKey) {
    EXPECT_EQ(store.read(kKey, "DataPoint"), std::nullopt) << "no file yet";
    ASSERT_TRUE(store.write(kKey, "DataPoint", "/srv/data").ok());
    ASSERT_TRUE(store.write(kKey, "User", "ann").ok());
    ASSERT_TRUE(store.write(kKey, "DataPoint", "/srv/other").ok());
    // A fresh object reads the file, not something remembered.
    const RegistryStore again(file);
    EXPECT_EQ(again.read(kKey, "DataPoint"), "/srv/other"s);
    EXPECT_EQ(again.read(kKey, "User"), "ann"s);
    EXPECT_EQ(again.read(kKey, "Missing"), std::nullopt);
}

TEST_F(RegistryStoreTest, ValuesComeBackByteExact) {
    std::string everyByte;
    for (int b = 1; b < 256; ++b)
        everyByte += static_cast<char>(b);
    struct Row {
        std::string name, value;
    };
    const Row rows[] = {
        {"Every", everyByte},
        {"Empty", ""},
        {"Blanks", "  padded\t "},
        {"OnlyBlank", " "},
        {"Quoted", "\"quoted\""},
        {"Percent", "100% and %41 and %"},
        {"Equals", "a=b=c"},
        {"Breaks", "one\r\ntwo\rthree\n"},
        {"Section", "[Other]"},
        {"Comment", ";not a comment"},
        {"Cp1250", "\x9Elu\x9Dou\xE8k\xFD \xA0"},
    };
    for (const Row& r : rows)
        ASSERT_TRUE(store.write(kKey, r.name, r.value).ok()) << r.name;
    // Read only after all writes: a later write must not damage earlier values.
    for (const Row& r : rows)
        EXPECT_EQ(store.read(kKey, r.name), r.value) << r.name;
}

TEST_F(RegistryStoreTest, DecodesHandWrittenPercentSignsAsThemselves) {
    struct Row {
        std::string stored, expected;
    };
    const Row rows[] = {
        {"100%", "100%"}, {"%4", "%4"}, {"%zz1", "%zz1"}, {"%41", "A"}, {"%4a%4A", "JJ"}, {"x%", "x%"},
    };
    for (const Row& r : rows)
        EXPECT_EQ(decodeRegistryValue(r.stored), r.expected) << r.stored;
}

TEST_F(RegistryStoreTest, KeysExistOnlyOnceCreated) {
    EXPECT_FALSE(store.keyExists(kKey));
    ASSERT_TRUE(store.createKey(kKey).ok());
    EXPECT_TRUE(store.keyExists(kKey));
    ASSERT_TRUE(store.createKey(kKey).ok()) << "creating an existing key is no error";
    EXPECT_TRUE(store.keyExists(kKey));
    EXPECT_FALSE(store.keyExists(kKey + "\\Sub"));
}

TEST_F(RegistryStoreTest, FileIsPrivateToTheUser) {
    test::writeBytes(file, "[Other]\r\nA=1\r\n");
    ASSERT_EQ(::chmod(file.c_str(), 0644), 0);
    const mode_t saved = ::umask(0);
    const Status written = store.write(kKey, "Password", "secret");
    ::umask(saved);
    ASSERT_TRUE(written.ok());
    struct stat st {};
    ASSERT_EQ(::stat(file.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 07777, 0600u);
    EXPECT_EQ(store.read("Other", "A"), "1"s) << "other keys of the file survive";
}

// A file the store refuses to load (here: above its size limit) must not be
// replaced by one holding only the new value.
TEST_F(RegistryStoreTest, WriteNeverDropsValuesItCouldNotRead) {
    std::string content = "[Other]\r\nKeep=1\r\n[Bulk]\r\n";
    for (int i = 0; content.size() < 5 * 1024 * 1024; ++i)
        content += "Value" + std::to_string(i) + "=" + std::string(100, 'v') + "\r\n";
    test::writeBytes(file, content);
    const Status written = store.write(kKey, "User", "ann");
    if (written.ok()) {
        EXPECT_EQ(store.read("Other", "Keep"), "1"s);
    } else {
        EXPECT_EQ(test::readBytes(file), content);
    }
}

TEST_F(RegistryStoreTest, KeysAndNamesMatchInAnyCaseAndStaySeparate) {
    ASSERT_TRUE(store.write(kKey, "DataPoint", "/srv/data").ok());
    EXPECT_EQ(store.read("\\SOFTWARE\\orvane\\QUILL!", "datapoint"), "/srv/data"s);
    EXPECT_TRUE(store.keyExists("\\software\\ORVANE\\quill!"));

    const std::string second = kKey + "\\Second";
    EXPECT_FALSE(store.keyExists(second));
    EXPECT_EQ(store.read(second, "DataPoint"), std::nullopt);
    ASSERT_TRUE(store.write(second, "DataPoint", "elsewhere").ok());
    EXPECT_EQ(store.read(kKey, "DataPoint"), "/srv/data"s);
    EXPECT_EQ(store.read(second, "DataPoint"), "elsewhere"s);
}

} // namespace
} // namespace quill
