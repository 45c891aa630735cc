// The text cache: its limit, when it saves itself and what it writes.
#include "session/TextCache.h"

#include "SessionFixture.h"

#include "platform/FileSystem.h"

#include <gtest/gtest.h>

namespace quill {
namespace {

using test::readBytes;
using test::SessionFixture;
using test::writeBytes;

class TextCacheTest : public ::testing::Test, public SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        ASSERT_TRUE(loadTextCache(*session));
    }
    TextCache& cache() { return session->textCache; }
    std::string saved() { return readBytes(cache().file); }
};

TEST_F(TextCacheTest, MissingFileIsCreatedEmpty) {
    EXPECT_TRUE(fs::isRegularFile(cache().file));
    EXPECT_EQ(saved(), "");
    EXPECT_EQ(cache().positions, std::vector<std::string>{""});
}

TEST_F(TextCacheTest, SavesItselfAtTheEleventhNewTextOnly) {
    for (int n = 1; n <= 10; ++n)
        ASSERT_TRUE(addToTextCache(*session, "text " + std::to_string(n)));
    EXPECT_EQ(saved(), "");
    ASSERT_TRUE(addToTextCache(*session, "text 11"));
    const std::string content = saved();
    EXPECT_EQ(content.rfind("text 1\r\n", 0), 0u);
    EXPECT_NE(content.find("text 11\r\n"), std::string::npos);
    EXPECT_EQ(cache().addedSinceSave, 0);
}

TEST_F(TextCacheTest, SameTextInOtherCaseReplacesTheOldSpelling) {
    addToTextCache(*session, "meeting notes");
    addToTextCache(*session, "Meeting Notes");
    ASSERT_TRUE(saveTextCache(*session));
    EXPECT_EQ(saved(), "Meeting Notes\r\n");
    EXPECT_EQ(cache().addedSinceSave, 0);
    EXPECT_FALSE(addToTextCache(*session, ""));
}

TEST_F(TextCacheTest, FullCacheTakesNothingMore) {
    for (std::size_t n = 0; n < TextCache::kMaxPositions + 20; ++n)
        addToTextCache(*session, "t" + std::to_string(n));
    EXPECT_EQ(cache().positions.size(), TextCache::kMaxPositions);
    ASSERT_TRUE(saveTextCache(*session));
    ASSERT_TRUE(loadTextCache(*session));
    // The saved texts plus the one empty position after them.
    EXPECT_EQ(cache().positions.size(), TextCache::kMaxPositions);
    EXPECT_EQ(cache().positions.front(), "t0");
}

TEST_F(TextCacheTest, LoadedTextsComeBackAndLineBreaksAreNeverWritten) {
    writeBytes(cache().file, "first\r\nsecond\r\n");
    ASSERT_TRUE(loadTextCache(*session));
    EXPECT_EQ(cache().positions, (std::vector<std::string>{"first", "second", ""}));
    addToTextCache(*session, "two\r\nlines");
    addToTextCache(*session, "third");
    ASSERT_TRUE(saveTextCache(*session));
    EXPECT_EQ(saved(), "first\r\nsecond\r\nthird\r\n");
}

TEST_F(TextCacheTest, UnwritableCacheReportsFailure) {
    cache().file = "/proc/quill-cannot-write/TextCache.txt";
    addToTextCache(*session, "lost?");
    EXPECT_FALSE(saveTextCache(*session));
}

} // namespace
} // namespace quill
