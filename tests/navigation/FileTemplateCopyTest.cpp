// A new file from a file template: where its copy is made, and what
// keeping, saving and giving it up leave behind.
#include "navigation/FileTemplateCopy.h"

#include "SessionFixture.h"
#include "TestSupport.h"

#include "platform/Paths.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

TEST(FileTemplateCopyTest, TheCopyIsANewNameInTheStagingDirectory) {
    test::SessionFixture f;
    const std::string letter = f.dir / "Templates/Letter.txt";
    test::writeBytes(letter, "Dear ...");
    EXPECT_FALSE(FileTemplateCopy::prepare(*f.session, letter)) << "no temporary directory before the settings";

    ASSERT_TRUE(f.open());
    const std::string staging = path::join(f.session->temporaryDirectory(), "Attachments");
    const struct {
        const char* why;
        std::string templatePath;
        bool prepared;
    } rows[] = {
        {"a template", letter, true},
        {"the same template again", letter, true},
        {"a path that names no file", f.dir / "Templates/", false},
        {"no path", "", false},
    };
    std::vector<std::string> made;
    for (const auto& row : rows) {
        const Result<FileTemplateCopy> copy = FileTemplateCopy::prepare(*f.session, row.templatePath);
        ASSERT_EQ(copy.ok(), row.prepared) << row.why;
        if (!copy)
            continue;
        EXPECT_EQ(path::directory(copy->path()), staging) << row.why;
        EXPECT_EQ(path::extension(copy->path()), ".txt") << row.why;
        EXPECT_FALSE(stdfs::exists(copy->path())) << "nothing is copied yet: " << row.why;
        ASSERT_TRUE(copy->make()) << row.why;
        EXPECT_EQ(test::readBytes(copy->path()), "Dear ...") << row.why;
        for (const std::string& earlier : made)
            EXPECT_NE(copy->path(), earlier) << "a copy made before is never overwritten";
        made.push_back(copy->path());
    }
    EXPECT_EQ(test::readBytes(letter), "Dear ...");
}

TEST(FileTemplateCopyTest, KeepingSavingAndGivingUpTheCopy) {
    test::SessionFixture f;
    ASSERT_TRUE(f.open());
    const std::string letter = f.dir / "Letter.txt";
    test::writeBytes(letter, "Dear ...");
    test::writeBytes(f.dir / "secret.txt", "private");
    test::writeBytes(f.dir / "taken", "a file, not a directory");
    enum class Choice { Keep, SaveAs, Discard, DiscardLink };
    const struct {
        const char* why;
        Choice choice;
        std::string target; // SaveAs only
        bool succeeds;
        bool copyStays;
    } rows[] = {
        {"kept for attaching", Choice::Keep, {}, true, true},
        {"saved where the user chose", Choice::SaveAs, f.dir / "Saved.txt", true, false},
        {"saved over a file there", Choice::SaveAs, f.dir / "Saved.txt", true, false},
        {"a place that cannot hold it", Choice::SaveAs, f.dir / "taken/Saved.txt", false, true},
        {"given up", Choice::Discard, {}, true, false},
        {"a link put in its place is not followed", Choice::DiscardLink, {}, true, true},
    };
    for (const auto& row : rows) {
        f.session->lastTemplateDocument.clear();
        const Result<FileTemplateCopy> copy = FileTemplateCopy::prepare(*f.session, letter);
        ASSERT_TRUE(copy) << row.why;
        ASSERT_TRUE(copy->make()) << row.why;
        bool succeeded = true;
        switch (row.choice) {
        case Choice::Keep: copy->keep(*f.session); break;
        case Choice::SaveAs: succeeded = copy->saveAs(row.target).ok(); break;
        case Choice::Discard: copy->discard(*f.session); break;
        case Choice::DiscardLink:
            stdfs::remove(copy->path());
            stdfs::create_symlink(f.dir / "secret.txt", copy->path());
            copy->discard(*f.session);
            break;
        }
        EXPECT_EQ(succeeded, row.succeeds) << row.why;
        EXPECT_EQ(stdfs::exists(stdfs::symlink_status(copy->path())), row.copyStays) << row.why;
        EXPECT_EQ(f.session->lastTemplateDocument, row.choice == Choice::Keep ? copy->path() : "") << row.why;
        if (row.choice == Choice::SaveAs && row.succeeds) {
            EXPECT_EQ(test::readBytes(row.target), "Dear ...") << row.why;
        }
    }
    EXPECT_EQ(test::readBytes(f.dir / "secret.txt"), "private");
    EXPECT_EQ(test::readBytes(letter), "Dear ...");
}

} // namespace
} // namespace quill
