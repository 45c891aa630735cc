#include "navigation/PrintFile.h"

#include "formats/CompanionNames.h"
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

// The text between the end of the opening tag and the closing tag of an
// element, found without regard to case; the opening tag's attributes
// in attributes. Empty when the page has no such element.
std::string_view inner(std::string_view page, std::string_view tag, std::string* attributes = nullptr) {
    const std::string opening = "<" + std::string(tag);
    // The element itself, not one whose name only begins so (<header>).
    std::size_t open = cp1250::findNoCase(page, opening);
    while (open != std::string_view::npos && open + opening.size() < page.size() &&
           std::string_view(" \t\r\n>/").find(page[open + opening.size()]) == std::string_view::npos)
        open = cp1250::findNoCase(page, opening, open + 1);
    if (open == std::string_view::npos)
        return {};
    const std::size_t openEnd = page.find('>', open);
    if (openEnd == std::string_view::npos)
        return {};
    const std::size_t close = cp1250::findNoCase(page, "</" + std::string(tag), openEnd);
    if (close == std::string_view::npos)
        return {};
    if (attributes)
        *attributes = std::string(page.substr(open + opening.size(), openEnd - open - opening.size()));
    return page.substr(openEnd + 1, close - openEnd - 1);
}

// The value of an attribute in an opening tag's attribute text.
std::string attributeValue(std::string_view attributes, std::string_view name) {
    const std::size_t at = cp1250::findNoCase(attributes, std::string(name) + "=\"");
    if (at == std::string_view::npos)
        return {};
    const std::size_t start = at + name.size() + 2;
    const std::size_t end = attributes.find('"', start);
    return end == std::string_view::npos ? std::string() : std::string(attributes.substr(start, end - start));
}

} // namespace

std::vector<PrintableDocument> printableDocuments(Session& session, std::string_view folder) {
    std::vector<PrintableDocument> documents;
    const auto entries = fs::list(folder);
    if (!entries || !foldersAdmit(session, folder))
        return documents;
    for (const fs::Entry& entry : *entries) {
        if (entry.isDirectory || entry.isSymlink || isCompanionExtension(path::extension(entry.name)))
            continue;
        const std::string file = path::join(folder, entry.name);
        // Only records of a type the data point defines are documents.
        const std::size_t type = session.tables.objectTypeOf(entry.name);
        if (type >= session.tables.objectTypes.size() ||
            !cp1250::equalsNoCase(session.tables.objectTypes[type].name, objectTypeNameOf(entry.name)))
            continue;
        Record record;
        if (session.readRecord(file, record) != RecordRead::Ok || !rightsAdmit(session.program, record.value("RIGHTS")))
            continue;
        const std::string first = record.fields.size() > 0 ? record.fields[0].value : std::string();
        const std::string second = record.fields.size() > 1 ? record.fields[1].value : std::string();
        documents.push_back({first + ", " + second, file});
    }
    return documents;
}

int printProgressStep(std::size_t documents) {
    return documents == 0 ? 100 : static_cast<int>(100 / documents);
}

std::string joinPages(const std::vector<std::string>& pages) {
    // One head made of each different head of the pages, whole and in
    // order, without their titles: pages of one type share their head, and
    // a style written over several lines stays intact.
    std::vector<std::string> heads;
    for (const std::string& page : pages) {
        std::string head(inner(page, "head"));
        for (std::size_t title = cp1250::findNoCase(head, "<title"); title != std::string::npos;
             title = cp1250::findNoCase(head, "<title", title)) {
            const std::size_t end = cp1250::findNoCase(head, "</title>", title);
            head.erase(title, end == std::string::npos ? std::string::npos : end + 8 - title);
        }
        head = std::string(text::trim(head));
        if (!head.empty() && std::find(heads.begin(), heads.end(), head) == heads.end())
            heads.push_back(std::move(head));
    }
    std::string joined = "<!DOCTYPE html>\r\n<html>\r\n<head>\r\n";
    for (const std::string& head : heads)
        joined += head + "\r\n";
    joined += "<style>section.print-page { break-after: page; page-break-after: always; }\r\n"
              "section.print-page:last-child { break-after: auto; page-break-after: auto; }</style>\r\n"
              "</head>\r\n<body class=\"print\">\r\n";
    for (const std::string& page : pages) {
        std::string attributes;
        std::string_view body = inner(page, "body", &attributes);
        if (body.empty())
            body = page;
        // The page's own body class keeps its look inside the joined page.
        joined += "<section class=\"print-page " + attributeValue(attributes, "class") + "\">\r\n";
        joined += body;
        joined += "\r\n<br>\r\n<hr>\r\n<br>\r\n</section>\r\n";
    }
    joined += "</body>\r\n</html>\r\n";
    return joined;
}

Status preparePrintFile(Session& session, const std::vector<std::string>& documents, std::string& printFile,
                        const std::function<void(int percent)>& progress) {
    BusyCursor busy(session.ui);
    const std::string scratch = path::join(session.context.settings.temporaryDirectory, "HTMLparse");
    fs::createDirectories(scratch);
    printFile = path::join(scratch, "print.htm");
    const int step = printProgressStep(documents.size());
    int done = 0;
    std::vector<std::string> pages;
    PageRenderer renderer(session);
    for (const std::string& document : documents) {
        const std::string rendered = renderer.render(document);
        const fs::ReadResult page = rendered.empty() ? fs::ReadResult{} : fs::readFile(rendered, kMaxPageBytes);
        if (rendered.empty() || !page.ok())
            return Status::failure("the page of " + document + " could not be made");
        pages.push_back(page.content);
        done += step;
        if (progress)
            progress(done);
    }
    if (const Status written = replaceFile(printFile, joinPages(pages)); !written)
        return written;
    if (progress)
        progress(100);
    return Status::success();
}

} // namespace quill
