#include "navigation/PrintFile.h"

#include "formats/CompanionNames.h"
#include "navigation/DocumentList.h"
#include "navigation/PageRenderer.h"
#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/Session.h"
#include "session/Visibility.h"

#include <algorithm>

namespace quill {

namespace {

constexpr std::size_t kMaxPageBytes = 16 << 20;
constexpr std::size_t kMaxStyleSheetBytes = 4 << 20;

// The path a "file:" address names.
std::string fileAddressPath(std::string_view address) {
    address.remove_prefix(5);
    if (address.substr(0, 2) == "//")
        address.remove_prefix(2);
    if (cp1250::startsWithNoCase(address, "localhost/"))
        address.remove_prefix(9);
    return text::percentDecode(address, false);
}

} // namespace

std::vector<PrintableDocument> printableDocuments(Session& session, std::string_view folder) {
    std::vector<std::pair<DocumentOrderKey, PrintableDocument>> documents;
    const auto entries = fs::list(folder);
    if (!entries || !foldersAdmit(session, folder))
        return {};
    for (const fs::Entry& entry : *entries) {
        if (!isDocumentEntry(session.tables, entry))
            continue;
        const std::string file = path::join(folder, entry.name);
        Record record;
        if (session.readRecord(file, record) != RecordRead::Ok || !rightsAdmit(session.program, record.value("RIGHTS")))
            continue;
        const std::string first = record.fields.size() > 0 ? record.fields[0].value : std::string();
        const std::string second = record.fields.size() > 1 ? record.fields[1].value : std::string();
        documents.push_back(
            {documentOrderKey(documentListName(session, record, file), file), {first + ", " + second, file}});
    }
    std::sort(documents.begin(), documents.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<PrintableDocument> listed;
    listed.reserve(documents.size());
    for (auto& [key, document] : documents)
        listed.push_back(std::move(document));
    return listed;
}

std::vector<std::string> inListOrder(const std::vector<PrintableDocument>& listed,
                                     const std::vector<std::string>& documents) {
    std::vector<std::string> ordered;
    for (const PrintableDocument& document : listed) {
        if (std::find(documents.begin(), documents.end(), document.path) != documents.end())
            ordered.push_back(document.path);
    }
    return ordered;
}

int printProgressStep(std::size_t documents) {
    return documents == 0 ? 100 : static_cast<int>(100 / documents);
}

std::optional<LinkedStyleSheet> readLinkedStyleSheet(std::string_view address, const std::string& pageDirectory,
                                                     const std::vector<std::string>& allowed) {
    // A query or fragment names no other file.
    address = address.substr(0, address.find_first_of("?#"));
    std::string file;
    if (cp1250::startsWithNoCase(address, "file:"))
        file = fileAddressPath(address);
    else if (address.find(':') != std::string_view::npos)
        return std::nullopt; // another computer's sheet: a print file is made from what lies here
    else
        file = path::join(pageDirectory, text::percentDecode(address, false));
    // A page of shared data may name any file: only sheets where the
    // program's pages and resources lie are read into the print file.
    const bool inside = std::any_of(allowed.begin(), allowed.end(), [&file](const std::string& directory) {
        return !directory.empty() && fs::isWithin(file, directory);
    });
    if (!inside || !fs::isRegularFile(file))
        return std::nullopt;
    fs::ReadResult read = fs::readFile(file, kMaxStyleSheetBytes);
    if (!read.ok())
        return std::nullopt;
    return LinkedStyleSheet{std::move(read.content), path::directory(file)};
}

std::string printTitle(Session& session, const std::vector<std::string>& documents) {
    std::string title;
    for (const std::string& document : documents) {
        Record record;
        const std::string name = session.readRecord(document, record) == RecordRead::Ok
                                     ? documentListName(session, record, document)
                                     : path::fileName(document);
        title += (title.empty() ? "" : ", ") + name;
    }
    return title;
}

Result<std::string> preparePrintFile(Session& session, const std::vector<std::string>& documents,
                                     const std::function<void(int percent)>& progress) {
    BusyCursor busy(session.ui);
    const std::string scratch = path::join(session.context.settings.temporaryDirectory, "HTMLparse");
    fs::createDirectories(scratch);
    const std::string printFile = path::join(scratch, "print.htm");
    const int step = printProgressStep(documents.size());
    int done = 0;
    std::vector<std::string> pages;
    PageRenderer renderer(session);
    for (const std::string& document : documents) {
        const std::string rendered = renderer.render(document);
        const fs::ReadResult page = rendered.empty() ? fs::ReadResult{} : fs::readFile(rendered, kMaxPageBytes);
        if (rendered.empty() || !page.ok())
            return Result<std::string>::failure("the page of " + document + " could not be made");
        pages.push_back(page.content);
        done += step;
        if (progress)
            progress(done);
    }
    const std::vector<std::string> allowed = {session.context.dataPointPath, session.context.settings.resourceDirectory,
                                              session.context.settings.temporaryDirectory};
    const StyleSheetReader readSheet = [&scratch, &allowed](std::string_view address) {
        return readLinkedStyleSheet(address, scratch, allowed);
    };
    const std::string title = printTitle(session, documents);
    if (const Status written = replaceFile(printFile, joinPages(pages, readSheet, title)); !written)
        return written;
    if (progress)
        progress(100);
    return printFile;
}

} // namespace quill
