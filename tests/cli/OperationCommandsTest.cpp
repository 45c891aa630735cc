// quill-cli's post, document, folder, new-object and new-folder commands,
// as scripts use them.
#include "CliTest.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <iterator>
#include <vector>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::readBytes;
using test::shellWord;

class OperationCommandsTest : public test::CliTest {};

TEST_F(OperationCommandsTest, PostedFormsStoreIntoTheRecordOrAnIniFileOfTheDataPoint) {
    const std::string user = dataPoint + "/DataPoint.system/Users/ANNA.user";
    const std::string ini = dataPoint + "/DataPoint.system/Resources/Quill.ini";
    test::writeBytes(ini, "[QUILL]\r\nCOLOR=red\r\n");
    const std::string outside = dir / "Outside.ini";
    test::writeBytes(outside, "[OUTSIDE]\r\nCOLOR=red\r\n");
    const struct {
        std::string address;
        std::string body;
        const char* printed;
    } rows[] = {
        {"", "PHONE=%2B1+555+0199&SAVE_DATA=Save", "STORED\n"},
        {"COMMAND:SAVE_INI:" + ini, "COLOR=blue&SAVE_INI=Save", "STORED\n"},
        {"COMMAND:SAVE_INI:" + outside, "COLOR=blue&SAVE_INI=Save", "NOTHING\n"},
        {"", "PHONE=0&OTHER_BUTTON=Go", "NOTHING\n"},
        {"", "SAVE_DATA=Save", "NOTHING\n"},
    };
    for (const auto& row : rows) {
        const std::string address = row.address.empty() ? "" : " --address " + shellWord(row.address);
        EXPECT_EQ(runOk(commandLine("post", "--record " + shellWord(user) + address + " " + shellWord(row.body))),
                  row.printed)
            << row.body;
    }
    EXPECT_NE(readBytes(user).find("+1 555 0199"), std::string::npos);
    EXPECT_NE(readBytes(ini).find("COLOR=blue"), std::string::npos);
    EXPECT_NE(readBytes(outside).find("COLOR=red"), std::string::npos);
}

TEST_F(OperationCommandsTest, AdministratorsChangeTheDataPointDescriptionThroughItsPage) {
    const std::string info = dataPoint + "/DataPoint.info";
    const std::string before = readBytes(info);
    const std::string address = " --address " + shellWord("COMMAND:SAVE_INI:" + dataPoint + "\\DataPoint.info");
    const struct {
        const char* user;
        std::string body;
        const char* printed;
        const char* said;
    } rows[] = {
        {"ANNA", "CREATOR=Anna&SAVE_INI=Save", "NOTHING\n", "only administrators"},
        {"ADMINISTRATOR", "ROOT=%2Fnowhere%2Fat%2Fall&SAVE_INI=Save", "NOTHING\n", "no such directory"},
        {"ADMINISTRATOR", "CREATOR=Office+Team&PHONE=%2B1+555+0100&COLOUR=red&SAVE_INI=Save", "STORED\n", ""},
    };
    for (const auto& row : rows) {
        int status = -1;
        std::string errors;
        const std::string record = dataPoint + "/DataPoint.system/Users/" + row.user + ".user";
        EXPECT_EQ(runAs(row.user, "post", "--record " + shellWord(record) + address + " " + shellWord(row.body),
                        &status, &errors),
                  row.printed)
            << row.body << ": " << errors;
        EXPECT_NE(errors.find(row.said), std::string::npos) << errors;
        if (std::string(row.printed) == "NOTHING\n") {
            EXPECT_EQ(readBytes(info), before) << row.body;
        }
    }
    const std::string after = readBytes(info);
    EXPECT_NE(after.find("CREATOR=Office Team\r\n"), std::string::npos) << after;
    EXPECT_NE(after.find("PHONE=+1 555 0100\r\n"), std::string::npos) << after;
    EXPECT_EQ(after.find("COLOUR"), std::string::npos) << "only the keys it has";
    EXPECT_EQ(statusOf("tree", ""), 0) << "the data point still opens";
}

TEST_F(OperationCommandsTest, DocumentsAndFoldersAreCreatedMovedAndDeleted) {
    const std::string note =
        runOk(commandLine("new-object", "--folder " + shellWord(root + "/Projects") + " --type 8"));
    ASSERT_FALSE(HasFailure());
    ASSERT_EQ(note.substr(note.size() - 6), ".note\n");
    const std::string created = note.substr(0, note.size() - 1);
    EXPECT_TRUE(stdfs::is_regular_file(created));

    ASSERT_EQ(runOk(commandLine("new-folder", "--folder " + shellWord(root) + " --template 0 --name Fresh")),
              root + "/Fresh\n");
    EXPECT_TRUE(stdfs::is_regular_file(root + "/Fresh/folder.folders"));

    EXPECT_EQ(statusOf("document", "move " + shellWord(created) + " " + shellWord(root + "/Fresh/Idea.note")), 0);
    EXPECT_TRUE(stdfs::exists(root + "/Fresh/Idea.note"));
    EXPECT_FALSE(stdfs::exists(created));
    EXPECT_EQ(
        statusOf("document", "copy " + shellWord(root + "/Fresh/Idea.note") + " " + shellWord(root + "/Idea.note")), 0);
    EXPECT_EQ(statusOf("document", "delete " + shellWord(root + "/Idea.note")), 0);
    EXPECT_FALSE(stdfs::exists(root + "/Idea.note"));

    // Documents outside the data point, or missing, are left alone.
    const std::string outside = dir / "Private.note";
    test::writeBytes(outside, "Private\r\n");
    stdfs::create_directory_symlink(dir.path(), root + "/Escape");
    for (const std::string& arguments :
         {"delete " + shellWord(outside), "delete " + shellWord(root + "/Escape/Private.note"),
          "move " + shellWord(outside) + " " + shellWord(root + "/Private.note"),
          "copy " + shellWord(root + "/Fresh/Idea.note") + " " + shellWord(dir / "Copied.note"),
          "delete " + shellWord(root + "/Missing.note"),
          "move " + shellWord(root + "/Missing.note") + " " + shellWord(root + "/Fresh/Missing.note")}) {
        EXPECT_EQ(statusOf("document", arguments), 1) << arguments;
    }
    EXPECT_EQ(statusOf("trash", "put " + shellWord(outside)), 1) << "the trash takes only documents of the data point";
    EXPECT_EQ(readBytes(outside), "Private\r\n");
    EXPECT_FALSE(stdfs::exists(dir / "Copied.note"));
    stdfs::remove(root + "/Escape");

    // Deleting refuses what is not a folder below a top folder.
    for (const std::string& refused : {root, dataPoint, std::string(dir / "nowhere"), root + "/../.."})
        expectRefused("folder", "delete " + shellWord(refused), "");
    EXPECT_TRUE(stdfs::exists(dataPoint + "/DataPoint.info"));
    EXPECT_EQ(statusOf("folder", "delete " + shellWord(root + "/Fresh")), 0);
    EXPECT_FALSE(stdfs::exists(root + "/Fresh"));
    EXPECT_NE(readBytes(dataPoint + "/DataPoint.system/Logs/ANNA.log").find("folder deleted for good: Fresh"),
              std::string::npos);
}

TEST_F(OperationCommandsTest, TheTrashTakesDocumentsAndFoldersAndEmpties) {
    ASSERT_EQ(statusOf("trash", "put " + shellWord(root + "/Contracts/Supplier.contract")), 0);
    ASSERT_EQ(statusOf("trash", "put " + shellWord(root + "/Projects/Website")), 0);
    EXPECT_FALSE(stdfs::exists(root + "/Contracts/Supplier.contract"));
    EXPECT_FALSE(stdfs::exists(root + "/Projects/Website"));
    const std::string listed = runOk(commandLine("trash", "list"));
    for (const char* name :
         {"/Supplier.contract\n", "/Supplier.comments\n", "/Attachments.systemfiles\n", "/Website\n"})
        EXPECT_NE(listed.find(name), std::string::npos) << name << " in\n" << listed;
    // A folder in the trash may be deleted for good; the trash itself stays.
    const std::size_t website = listed.find("/Website\n");
    ASSERT_NE(website, std::string::npos) << listed;
    const std::size_t lineStart =
        listed.rfind('\n', website) == std::string::npos ? 0 : listed.rfind('\n', website) + 1;
    const std::string trashed = listed.substr(lineStart, website + 8 - lineStart);
    EXPECT_EQ(statusOf("folder", "delete " + shellWord(trashed)), 0) << trashed;
    EXPECT_FALSE(stdfs::exists(trashed));
    EXPECT_EQ(statusOf("folder", "delete " + shellWord(stdfs::path(trashed).parent_path().string())), 1)
        << "the trash itself stays";
    EXPECT_EQ(statusOf("trash", "put " + shellWord(root)), 1) << "a top folder stays";
    EXPECT_EQ(statusOf("trash", "empty"), 0);
    EXPECT_EQ(run("trash", "list"), "");
    EXPECT_TRUE(stdfs::exists(root + "/Contracts/folder.folders"));
}

// Only documents of the data point's folders are documents to these
// commands: a companion, folder settings, a user record or a file of the
// data point itself is refused with its reason, and nothing changes.
TEST_F(OperationCommandsTest, WhatIsNoDocumentIsRefusedAndLeftWhole) {
    const std::string contracts = root + "/Contracts";
    struct Row {
        std::string command;
        std::string arguments;
        const char* reason;
    };
    const std::vector<Row> rows = {
        {"document", "delete " + shellWord(contracts + "/Supplier.comments"), "belongs to a document"},
        {"document", "move " + shellWord(contracts + "/Supplier.scheduler") + " " + shellWord(root + "/x.scheduler"),
         "belongs to a document"},
        {"trash", "put " + shellWord(contracts + "/Supplier.history"), "belongs to a document"},
        {"document", "delete " + shellWord(contracts + "/folder.folders"), "folder's settings"},
        {"document", "delete " + shellWord(dataPoint + "/DataPoint.info"), "no object type"},
        {"trash", "put " + shellWord(dataPoint + "/DataPoint.system/Users/ADMINISTRATOR.user"),
         "no document of the data point's folders"},
        {"document", "copy " + shellWord(contracts + "/Supplier.contract") + " " + shellWord(root + "/S.comments"),
         "belongs to a document"},
        {"document", "delete " + shellWord(contracts + "/Nothing.contract"), "does not exist"},
        {"new-folder", "--folder " + shellWord(contracts) + " --template 0 --name Attachments.systemfiles",
         "attached files"},
        {"new-folder", "--folder " + shellWord(contracts) + " --template 0 --name ../../escape",
         "a folder name cannot contain / or \\ or be . or .."},
        {"new-folder", "--folder " + shellWord(contracts) + " --template 0 --name " + shellWord("Two\nlines"),
         "a folder name is one line"},
        {"new-folder", "--folder " + shellWord(contracts) + " --template 0 --name " + std::string(300, 'f'),
         "a folder name has at most 64 letters"},
        {"new-object", "--folder " + shellWord(dataPoint + "/DataPoint.system") + " --type 0",
         "no folder of the data point's folders"},
    };
    // The data point's logs say what was tried; nothing else may change.
    const auto everything = [&] {
        auto files = test::snapshotOf(dataPoint);
        std::erase_if(files, [](const auto& file) { return file.first.ends_with(".log"); });
        return files;
    };
    // Logging on writes the logs: the comparison starts after one command.
    run("trash", "list");
    for (const Row& row : rows) {
        const auto before = everything();
        expectRefused(row.command, row.arguments, row.reason);
        EXPECT_EQ(everything(), before) << row.arguments;
    }
}

// Same-named documents from two folders both go into the trash and both
// come back whole, attached files included.
TEST_F(OperationCommandsTest, TheTrashTakesAnyNumberOfSameNamedDocuments) {
    const std::string first = root + "/Contracts/Supplier.contract";
    const std::string second = root + "/Projects/Supplier.contract";
    ASSERT_EQ(statusOf("document", "copy " + shellWord(first) + " " + shellWord(second)), 0);
    const std::string attachments = readBytes(root + "/Contracts/Supplier.attachments");
    for (const std::string& document : {first, second}) {
        ASSERT_EQ(statusOf("trash", "put " + shellWord(document)), 0) << document;
    }
    const std::string listed = run("trash", "list");
    const std::string trash = dataPoint + "/DataPoint.system/Trash/ANNA";
    for (const char* name : {"/Supplier.contract\n", "/Supplier (2).contract\n", "/Supplier (2).attachments\n"})
        EXPECT_NE(listed.find(name), std::string::npos) << name << " in\n" << listed;
    EXPECT_EQ(statusOf("document", "move " + shellWord(trash + "/Supplier (2).contract") + " " + shellWord(second)), 0);
    EXPECT_EQ(statusOf("document", "move " + shellWord(trash + "/Supplier.contract") + " " + shellWord(first)), 0);
    for (const std::string& folder : {root + "/Contracts", root + "/Projects"}) {
        const std::string shown = runOk(commandLine("attachments", shellWord(folder + "/Supplier.contract")));
        EXPECT_EQ(test::occurrences(shown, "\t"), 6u) << folder << ": " << shown;
        for (const std::string& line : {std::string("Delivery terms"), std::string("Order form")})
            EXPECT_NE(shown.find(line), std::string::npos) << folder;
        std::size_t start = 0;
        while ((start = shown.find('\t', start)) != std::string::npos) {
            const std::size_t end = shown.find('\t', start + 1);
            EXPECT_TRUE(stdfs::exists(shown.substr(start + 1, end - start - 1))) << shown;
            start = shown.find('\n', end);
        }
    }
    EXPECT_EQ(readBytes(root + "/Contracts/Supplier.attachments"), attachments);
}

} // namespace
} // namespace quill
