// The menus of new objects, folder templates and file templates, built from
// a fresh copy of the sample data point and its resources.
#include "session/Menus.h"

#include "SessionFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::writeBytes;

class MenusTest : public ::testing::Test, public test::SessionFixture {
protected:
    std::string resourceDir() const { return session->context.settings.resourceDirectory; }
    // What a logon's synchronisation would leave in the local resource copy.
    void copySampleResources() {
        stdfs::create_directories(resourceDir());
        stdfs::copy(dataPoint + "/DataPoint.system/Resources", resourceDir(), stdfs::copy_options::recursive);
    }
    void addFolderTemplate(const std::string& directory, const std::string& icon, const std::string& note) {
        writeBytes(directory + "/folder.folders", icon + "\r\n" + note + "\r\n\r\n\r\nAnna Novak (ANNA)\r\nFALSE\r\n");
    }
};

TEST_F(MenusTest, ObjectTypeMenuOffersTheTypesMarkedForMenusInTableOrder) {
    // A private type offered in menus, with a variable in its note.
    writeBytes(dataPoint + "/DataPoint.system/Objects/Private/memo.info",
               "[TYPE]\r\nTYPE=OBJECT.PRIVATE\r\nCAPTION=Memo\r\nNOTE=Memo of $LOGONNAME$\r\nICON=MEMO.BMP\r\n"
               "MENU=true\r\n\r\n[INFO.OBJECT]\r\nPROPERTY_0=TEXT\r\n");
    ASSERT_TRUE(open());
    const auto& types = session->tables.objectTypes;
    const std::vector<MenuEntry> menu = buildObjectTypeMenu(*session);

    std::set<std::string> names, captions;
    int previous = -1;
    for (const MenuEntry& entry : menu) {
        const int index = std::stoi(entry.hint);
        ASSERT_LT(static_cast<std::size_t>(index), types.size()) << entry.hint;
        EXPECT_GT(index, previous) << "table order";
        previous = index;
        const ObjectType& type = types[static_cast<std::size_t>(index)];
        EXPECT_EQ(entry.caption, type.caption + "  - " + type.note);
        EXPECT_EQ(entry.image, type.icon);
        names.insert(type.name);
        captions.insert(entry.caption);
    }
    EXPECT_EQ(names,
              (std::set<std::string>{"contact.info", "contract.info", "meeting.info", "memo.info", "note.info"}));
    EXPECT_TRUE(captions.count("Memo  - Memo of ANNA"));
    EXPECT_TRUE(captions.count("Note  - A short note or idea to share"));
}

TEST_F(MenusTest, FolderTemplatesSharedThenSeparatorThenTheUsersOwn) {
    ASSERT_TRUE(open());
    copySampleResources();
    const std::string own = resourceDir() + "Users/ANNA/Templates/";
    addFolderTemplate(own + "Mine", "MINE.BMP", "My own layout");
    // The directory name may hold variables; the path keeps them as they are.
    addFolderTemplate(own + "$LOGONNAME$ archive", "ARCHIVE.BMP", "Archive");
    writeBytes(own + "Loose/readme.txt", "no folder.folders: not a template");

    const FolderTemplateMenu menu = buildFolderTemplateMenu(*session);
    ASSERT_EQ(menu.entries.size(), 4u);
    ASSERT_EQ(menu.templates.size(), 3u);
    EXPECT_EQ(menu.entries[0].caption, "Project  - Project folder with documents and meeting minutes");
    EXPECT_EQ(menu.entries[0].image, "FOLDER.BMP");
    EXPECT_EQ(menu.entries[1].caption, "-");
    EXPECT_EQ(menu.templates[0].directory, resourceDir() + "Templates/Project");

    std::vector<std::string> hints;
    for (const MenuEntry& entry : menu.entries) {
        if (entry.caption == "-")
            continue;
        hints.push_back(entry.hint);
        EXPECT_EQ(menu.templates.at(std::stoul(entry.hint)).caption, entry.caption);
    }
    EXPECT_EQ(hints, (std::vector<std::string>{"0", "1", "2"})) << "one count across both directories";

    // The user's own come in listing order, which the file system decides.
    std::set<std::string> ownCaptions{menu.entries[2].caption, menu.entries[3].caption};
    EXPECT_EQ(ownCaptions, (std::set<std::string>{"Mine  - My own layout", "ANNA archive  - Archive"}));
    std::set<std::string> ownDirectories{menu.templates[1].directory, menu.templates[2].directory};
    EXPECT_EQ(ownDirectories, (std::set<std::string>{own + "Mine", own + "$LOGONNAME$ archive"}));
}

TEST_F(MenusTest, TheUsersTemplateDirectoryIsCreatedWhenMissing) {
    ASSERT_TRUE(open());
    const std::string own = resourceDir() + "Users/ANNA/Templates";
    ASSERT_FALSE(stdfs::exists(own));
    const FolderTemplateMenu empty = buildFolderTemplateMenu(*session);
    EXPECT_TRUE(stdfs::is_directory(own));
    ASSERT_EQ(empty.entries.size(), 1u) << "no resources yet: only the separator";
    EXPECT_EQ(empty.entries[0].caption, "-");
    EXPECT_TRUE(empty.templates.empty());
}

TEST_F(MenusTest, FileTemplatesSharedThenTheUsersOwn) {
    ASSERT_TRUE(open());
    copySampleResources();
    const std::string shared = resourceDir() + "FileTemplates/";
    const std::string own = resourceDir() + "Users/ANNA/FileTemplates/";
    EXPECT_EQ(buildFileTemplateList(*session).size(), 2u) << "no own directory yet";
    writeBytes(own + "Mine.txt", "mine");
    writeBytes(own + "Plain", "a name without extension matches *.* too");

    const std::vector<FileTemplate> list = buildFileTemplateList(*session);
    ASSERT_EQ(list.size(), 4u);
    const auto namesIn = [&](std::size_t from, const std::string& directory) {
        std::set<std::string> names;
        for (std::size_t i = from; i < from + 2; ++i) {
            EXPECT_EQ(list[i].directory, directory) << list[i].fileName;
            names.insert(list[i].fileName);
        }
        return names;
    };
    EXPECT_EQ(namesIn(0, shared), (std::set<std::string>{"Letter.txt", "Meeting minutes.txt"}));
    EXPECT_EQ(namesIn(2, own), (std::set<std::string>{"Mine.txt", "Plain"}));
}

} // namespace
} // namespace quill
