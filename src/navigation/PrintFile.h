#pragma once

#include "platform/Status.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

class Session;

// A document of a folder as the print wizard offers it.
struct PrintableDocument {
    std::string caption; // first field, ", ", second field
    std::string path;
};

// The folder's documents in listing order: companions, folder records,
// files that are no record of a known type and documents the user is not
// shown left out; none when the folder is not shown to the user.
std::vector<PrintableDocument> printableDocuments(Session& session, std::string_view folder);

// 100 divided by the number of documents, the fraction cut off.
int printProgressStep(std::size_t documents);

// Renders each document's page and joins them into one page,
// <temporary directory>/HTMLparse/print.htm, made anew each time: the
// heads' distinct lines once, then each document's body in a section of
// its own that starts a new sheet, followed by a rule. progress is told
// the percentage done after each document. printFile names the file.
Status preparePrintFile(Session& session, const std::vector<std::string>& documents, std::string& printFile,
                        const std::function<void(int percent)>& progress = {});

// The same joining for pages already rendered, for the file above: one
// head made of each different head of the pages (without titles), then a
// section per page.
std::string joinPages(const std::vector<std::string>& pages);

} // namespace quill
