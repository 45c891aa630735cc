// The picture a connected folder is listed with, and that asking for it
// makes no settings for a folder that has none.
#include "navigation/ConnectedFolders.h"

#include "SessionTest.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;

using ConnectedFoldersTest = test::OpenSessionTest;

TEST_F(ConnectedFoldersTest, AFolderIsListedWithItsOwnPictureElseThePlainOne) {
    const std::string root = dataPoint + "/DataPoint.root";
    FolderSettings book;
    book.icon = "BOOK.BMP";
    ASSERT_TRUE(saveFolderSettings(*session, root + "/Contracts", book));
    stdfs::create_directories(root + "/Bare");
    const struct {
        const char* folder;
        const char* picture;
    } cases[] = {
        {"Contracts", "BOOK.BMP"},
        {"Bare", "FOLDER.BMP"}, // a directory without settings
        {"Gone", "FOLDER.BMP"}, // a folder that is no more
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.folder);
        const std::string folder = root + "/" + c.folder;
        EXPECT_EQ(connectedFolderPicture(*session, folder), c.picture);
        EXPECT_EQ(stdfs::exists(folder + "/folder.folders"), std::string(c.folder) == "Contracts")
            << "asking made settings";
    }
    EXPECT_FALSE(stdfs::exists(root + "/Gone"));

    const FolderSettings fresh = newConnectableFolderSettings(*session);
    EXPECT_EQ(fresh.icon, "FOLDER.BMP");
    EXPECT_TRUE(fresh.locked);
    EXPECT_EQ(fresh.owner, session->program.fullName + " (" + session->program.logonName + ")");
}

} // namespace
} // namespace quill
