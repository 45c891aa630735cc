#include "navigation/PageRenderer.h"

#include "navigation/DirectoryListing.h"

#include "platform/AtomicFile.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/Result.h"
#include "platform/TextUtil.h"
#include "session/Session.h"

#include <random>

namespace quill {
namespace {

// Page templates are hand-written pages; anything far larger is no template.
constexpr std::size_t kMaxTemplateBytes = 8 * 1024 * 1024;
constexpr int kScratchNames = 9999;

} // namespace

bool isOutsideAddress(std::string_view address) {
    return cp1250::startsWithNoCase(address, "HTTP://") || cp1250::startsWithNoCase(address, "WWW.") ||
           cp1250::startsWithNoCase(address, "FILE://");
}

bool PageRenderer::appendTemplate(const std::string& templateFile, const Record* record, bool blankOnEmptyData,
                                  std::string& page) {
    const fs::ReadResult read = fs::readFile(templateFile, kMaxTemplateBytes);
    if (!read.ok())
        return false;
    for (std::string_view line : text::splitLines(read.content)) {
        page += record ? session_.variables.expand(line, *record, blankOnEmptyData, ExpansionMode::Page)
                       : session_.variables.expand(line, blankOnEmptyData, ExpansionMode::Page);
        page += "\r\n";
    }
    return true;
}

std::string PageRenderer::freshScratchName(const std::string& directory) const {
    // A name at random, but never one that is there already: another page
    // of this program may still be open on it.
    std::random_device seed;
    std::minstd_rand random(seed());
    std::uniform_int_distribution<int> pick(0, kScratchNames - 1);
    for (int attempt = 0; attempt < kScratchNames; ++attempt) {
        const std::string name = path::join(directory, "temp" + std::to_string(pick(random)) + ".htm");
        if (!fs::exists(name))
            return name;
    }
    for (int n = 0; n < kScratchNames; ++n) {
        const std::string name = path::join(directory, "temp" + std::to_string(n) + ".htm");
        if (!fs::exists(name))
            return name;
    }
    return {};
}

void setActualObjectForAddress(Session& session, std::string_view url) {
    if (url.empty() || isOutsideAddress(url))
        return;
    const std::string address = path::normalize(url);
    session.actual.mainPath = fs::isDirectory(address) ? address : path::directory(address);
}

std::string PageRenderer::render(std::string_view url) {
    return renderWith(url, nullptr);
}

std::string PageRenderer::render(std::string_view url, const Record& pageRecord) {
    return renderWith(url, &pageRecord);
}

std::string PageRenderer::renderWith(std::string_view url, const Record* pageRecord) {
    shownRecord_ = pageRecord ? *pageRecord : Record();
    if (isOutsideAddress(url))
        return std::string(url);
    if (url.empty())
        return {};
    const bool directory = fs::isDirectory(url);
    const std::string listingTemplate =
        path::join(session_.context.settings.resourceDirectory, "HTML/Template.Directory.htm");
    // A directory address from data may use '\': the pane gets the
    // platform's separators, or, where the data point has a listing
    // template, a page listing the directory's files.
    if (directory && !fs::isRegularFile(listingTemplate))
        return path::normalize(url);
    if (!directory && !fs::isRegularFile(url))
        return {};

    if (!lastPage_.empty() && fs::exists(lastPage_))
        ignoreOutcome(fs::removeFile(lastPage_));
    lastPage_.clear();
    const std::string& temporary = session_.context.settings.temporaryDirectory;
    if (temporary.empty())
        return {};
    const std::string scratch = path::join(temporary, "HTMLparse");
    fs::createDirectories(scratch);
    const std::string target = freshScratchName(scratch);
    if (target.empty())
        return {};

    std::string page;
    const std::string extension = path::extension(url);
    const std::string upperExtension = cp1250::upper(extension);
    if (directory) {
        appendTemplate(listingTemplate, pageRecord, false, page);
        if (const std::size_t marker = page.find(kListingRowsMarker); marker != std::string::npos)
            page.replace(marker, kListingRowsMarker.size(), directoryListingRows(session_, url));
    } else if (upperExtension == ".HTM" || upperExtension == ".HTML") {
        appendTemplate(std::string(url), pageRecord, false, page);
    } else {
        const std::string templates = path::join(session_.context.settings.resourceDirectory, "HTML");
        const std::string record(url);
        // Each template shows the record read last: the document's, then
        // each companion's in turn.
        Record& shown = shownRecord_;
        shown = Record();
        ignoreOutcome(session_.readRecord(record, shown));
        appendTemplate(path::join(templates, "HTML" + extension + ".htm"), &shown, false, page);
        const std::string base = path::withoutExtension(record);
        for (const char* companion : {"comments", "scheduler", "attachments"}) {
            const std::string templateFile = path::join(templates, std::string("HTML.") + companion + ".htm");
            const std::string companionFile = base + "." + companion;
            if (fs::isRegularFile(templateFile) && fs::isRegularFile(companionFile) &&
                session_.readRecord(companionFile, shown) == RecordRead::Ok)
                appendTemplate(templateFile, &shown, true, page);
        }
        appendTemplate(path::join(templates, "HTML.end.htm"), &shown, false, page);
    }
    if (!writeScratchFile(target, page).ok())
        return {};
    lastPage_ = target;
    return target;
}

} // namespace quill
