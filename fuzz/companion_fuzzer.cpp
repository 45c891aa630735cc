// Any bytes read as a comments or an attachments companion: no attachment
// leads out of the attachment directory, and what is read is written back
// and read again unchanged, renumbered without gaps.
#include "documents/Companions.h"
#include "formats/ObjectTypes.h"
#include "formats/RecordFile.h"
#include "platform/Paths.h"

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

namespace {

constexpr std::string_view kDocument = "/dp/Folder/Offer.contract";

quill::TypeTables makeTables() {
    quill::DefinitionLists lists;
    std::string comments = "[TYPE]\nTYPE=OBJECT.PRIVATE\n[INFO.OBJECT]\n";
    std::string attachments = comments;
    std::size_t property = 0;
    const auto define = [&](std::string& type, const std::string& name) {
        type += "PROPERTY_" + std::to_string(property++) + "=" + name + "\n";
        quill::loadDefinitionText(name, "[TYPE]\nTYPE=PROPERTY.PRIVATE\n", lists, nullptr);
    };
    for (int n = 1; n <= 20; ++n)
        define(comments, "COMMENT" + std::to_string(n));
    property = 0;
    for (int n = 1; n <= 10; ++n) {
        for (const char* field : {"ATTACHMENTNAME", "ATTACHMENTFILE", "ATTACHMENTTYPE"})
            define(attachments, field + std::to_string(n));
    }
    quill::loadDefinitionText("comments.info", comments, lists, nullptr);
    quill::loadDefinitionText("attachments.info", attachments, lists, nullptr);
    return quill::mergeDefinitions(lists);
}

// The record the companion file would hold after a write of record; none
// when the write is refused (a zero byte in a value).
std::optional<quill::Record> writtenAndRead(const quill::TypeTables& tables, std::string_view name,
                                            const quill::Record& record) {
    std::string content;
    if (!quill::recordFileContent(record, content).ok())
        return std::nullopt;
    return quill::parseRecord(tables, name, content);
}

void checkAttachments(const quill::TypeTables& tables, std::string_view input) {
    const quill::Record record = quill::parseRecord(tables, "Offer.attachments", input);
    std::vector<quill::RefusedAttachment> refused;
    const auto attachments = quill::attachmentsOf(record, kDocument, &refused);
    if (attachments.size() + refused.size() > quill::kMaxAttachments)
        std::abort();
    for (const quill::Attachment& a : attachments) {
        if (!quill::liesInAttachmentDirectory(a.path) ||
            quill::path::directory(a.path) != quill::attachmentDirectory(kDocument) || a.name.empty())
            std::abort();
    }
    quill::Record fresh = quill::parseRecord(tables, "Offer.attachments", "");
    if (!quill::fillAttachments(fresh, attachments).ok())
        std::abort();
    const auto written = writtenAndRead(tables, "Offer.attachments", fresh);
    if (!written)
        return;
    const auto again = quill::attachmentsOf(*written, kDocument);
    if (again.size() != attachments.size())
        std::abort();
    for (std::size_t i = 0; i < again.size(); ++i) {
        if (again[i].name != attachments[i].name || again[i].path != attachments[i].path ||
            again[i].type != attachments[i].type)
            std::abort();
    }
}

void checkComments(const quill::TypeTables& tables, std::string_view input) {
    const quill::Record record = quill::parseRecord(tables, "Offer.comments", input);
    std::vector<std::string> texts;
    for (const quill::Comment& c : quill::commentsOf(record))
        texts.push_back(c.text);
    quill::Record rewritten = record;
    if (!quill::fillComments(rewritten, texts).ok())
        std::abort();
    const auto written = writtenAndRead(tables, "Offer.comments", rewritten);
    if (!written)
        return;
    const auto again = quill::commentsOf(*written);
    if (again.size() != texts.size())
        std::abort();
    for (std::size_t i = 0; i < again.size(); ++i) {
        // Renumbered without gaps: comment i sits in slot i + 1.
        if (again[i].text != texts[i] || rewritten.value("COMMENT" + std::to_string(i + 1)) != texts[i])
            std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const quill::TypeTables tables = makeTables();
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    checkAttachments(tables, input);
    checkComments(tables, input);
    return 0;
}
