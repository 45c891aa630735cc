// Generated data points: their shape, their repeatability, and that they
// never overwrite anything.
#include "datapoint/DataPointGenerator.h"

#include "TestSupport.h"

#include "platform/AtomicFile.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::TempDir;

std::size_t countFiles(const std::string& directory, const std::string& extension) {
    std::size_t n = 0;
    for (const auto& entry : stdfs::recursive_directory_iterator(directory))
        n += entry.path().extension() == extension ? 1 : 0;
    return n;
}

TEST(DataPointGeneratorTest, WritesTheShapeAskedFor) {
    TempDir dir;
    GeneratorShape shape;
    shape.folders = 30;
    shape.depth = 2;
    shape.documents = 95;
    shape.users = 4;
    const std::string target = dir / "Generated";
    ASSERT_TRUE(generateDataPoint(target, test::resourcesDir() + "/DataPoint", shape).ok());
    const std::string root = target + "/DataPoint.root";
    EXPECT_EQ(countFiles(root, ".folders"), 31u); // with the top folder's own
    EXPECT_EQ(countFiles(root, ".note"), 95u);
    EXPECT_GT(countFiles(root, ".comments"), 0u);
    EXPECT_GT(countFiles(root, ".scheduler"), 0u);
    EXPECT_TRUE(stdfs::exists(target + "/DataPoint.info"));
    EXPECT_TRUE(stdfs::exists(target + "/DataPoint.system/Users/USER3.user"));
    // No folder deeper than asked.
    for (const auto& entry : stdfs::recursive_directory_iterator(root)) {
        if (entry.path().filename() == "folder.folders") {
            const stdfs::path relative = stdfs::relative(entry.path(), root);
            EXPECT_LE(std::distance(relative.begin(), relative.end()), shape.depth + 1) << relative;
        }
    }
}

TEST(DataPointGeneratorTest, SameSeedSameTreeAndNothingOverwritten) {
    TempDir dir;
    GeneratorShape shape;
    shape.folders = 5;
    shape.documents = 40;
    shape.commentsPercent = 50;
    const std::string sample = test::resourcesDir() + "/DataPoint";
    ASSERT_TRUE(generateDataPoint(dir / "a", sample, shape).ok());
    ASSERT_TRUE(generateDataPoint(dir / "b", sample, shape).ok());
    EXPECT_EQ(countFiles(dir / "a", ".comments"), countFiles(dir / "b", ".comments"));

    const std::string before = readBytes(dir / "a/DataPoint.info");
    EXPECT_FALSE(generateDataPoint(dir / "a", sample, shape).ok());
    EXPECT_EQ(readBytes(dir / "a/DataPoint.info"), before);
    EXPECT_FALSE(generateDataPoint(dir / "c", dir / "nowhere", shape).ok());
    shape.depth = 0;
    EXPECT_FALSE(generateDataPoint(dir / "d", sample, shape).ok());
}

TEST(ScratchFileTest, NeverOverwritesAnExistingFile) {
    TempDir dir;
    const std::string page = dir / "temp1.htm";
    ASSERT_TRUE(writeScratchFile(page, "<p>first</p>").ok());
    EXPECT_FALSE(writeScratchFile(page, "<p>second</p>").ok());
    EXPECT_EQ(readBytes(page), "<p>first</p>");
}

} // namespace
} // namespace quill
