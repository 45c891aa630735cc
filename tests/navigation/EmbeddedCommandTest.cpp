// Commands in page links: what they are, and which attached file they may
// act on.
#include "navigation/EmbeddedCommand.h"

#include "TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using Kind = EmbeddedCommandKind;

TEST(EmbeddedCommandTest, AddressesAreCommandsByTheirPrefixInAnyCase) {
    const struct {
        const char* address;
        Kind kind;
        const char* argument;
    } rows[] = {
        {"COMMAND:ATTACHMENT:SAVE_ATTACHMENT:a.pdf;Price list", Kind::SaveAttachment, "a.pdf;Price list"},
        {"command:attachment:send_mail_attachment:a.pdf;x", Kind::SendMailAttachment, "a.pdf;x"},
        {"COMMAND:ATTACHMENT:OPEN_ATTACHMENT_TEMPLATE:t.doc", Kind::OpenAttachmentTemplate, "t.doc"},
        {"COMMAND:DATAPOINT:DELETE_USER and more", Kind::DeleteUser, ""},
        {"COMMAND:FILE:OPEN:a b.pdf", Kind::OpenFile, "a b.pdf"},
        {"COMMAND:DATAPOINT:CREATE_NEW_DATAPOINT", Kind::CreateDataPoint, ""},
        {"COMMAND:NO_SUCH", Kind::Unknown, ""},
        {"COMMAND:", Kind::Unknown, ""},
        {"file:///tmp/page.htm", Kind::None, ""},
        {"", Kind::None, ""},
    };
    for (const auto& row : rows) {
        const EmbeddedCommand command = parseEmbeddedCommand(row.address);
        EXPECT_EQ(command.kind, row.kind) << row.address;
        EXPECT_EQ(command.argument, row.argument) << row.address;
    }
}

TEST(EmbeddedCommandTest, OnlyRegularFilesInsideTheAttachmentDirectoryResolve) {
    test::TempDir dir;
    const std::string attachments = dir / "Contracts/Attachments.systemfiles";
    test::writeBytes(attachments + "/plain.txt", "x");
    test::writeBytes(attachments + "/a;b.pdf", "x");
    test::writeBytes(dir / "secret.txt", "private");
    stdfs::create_symlink(dir / "secret.txt", attachments + "/link.txt");
    stdfs::create_directory(attachments + "/sub");
    const struct {
        const char* argument;
        bool withDisplayName;
        const char* file; // nullptr: refused
        const char* displayName;
    } rows[] = {
        {"plain.txt;Price list", true, "plain.txt", "Price list.txt"},
        {"a;b.pdf;Terms", true, "a;b.pdf", "Terms.pdf"},
        {"a;b.pdf", false, "a;b.pdf", ".pdf"},
        {"plain.txt", false, "plain.txt", ".txt"},
        {"../../secret.txt;x", true, nullptr, nullptr},
        {"..%2F..%2Fsecret.txt;x", true, nullptr, nullptr},
        {"link.txt;x", true, nullptr, nullptr},
        {"sub;x", true, nullptr, nullptr},
        {"missing.txt;x", true, nullptr, nullptr},
        {"plain.txt", true, nullptr, nullptr},
    };
    // A listing page's files resolve by the same rules.
    EXPECT_EQ(resolveListedFile(attachments, "plain.txt"), attachments + "/plain.txt");
    for (const char* refused : {"link.txt", "sub", "../../secret.txt", "missing.txt", ""})
        EXPECT_FALSE(resolveListedFile(attachments, refused)) << refused;
    for (const auto& row : rows) {
        const auto target = resolveAttachment(attachments, row.argument, row.withDisplayName);
        if (!row.file) {
            EXPECT_FALSE(target) << row.argument;
            continue;
        }
        ASSERT_TRUE(target) << row.argument;
        EXPECT_EQ(target->path, attachments + "/" + row.file);
        EXPECT_EQ(target->displayName, row.displayName);
    }
}

} // namespace
} // namespace quill
