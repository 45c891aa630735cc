#pragma once

#include "navigation/JoinedPages.h"
#include "platform/Result.h"

#include <functional>
#include <optional>
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

// The folder's documents in the order the folder's document list shows
// them: companions, folder records, files that are no record of a known
// type and documents the user is not shown left out; none when the folder
// is not shown to the user.
std::vector<PrintableDocument> printableDocuments(Session& session, std::string_view folder);

// documents (paths of the folder's printable documents) in the order the
// document list shows them, as they are printed.
std::vector<std::string> inListOrder(const std::vector<PrintableDocument>& listed,
                                     const std::vector<std::string>& documents);

// 100 divided by the number of documents, the fraction cut off.
int printProgressStep(std::size_t documents);

// The name a print of the documents goes by (the print job, the PDF's
// title): the names the document list shows, one after another.
std::string printTitle(Session& session, const std::vector<std::string>& documents);

// Renders each document's page and joins them (joinPages) into one page,
// <temporary directory>/HTMLparse/print.htm, made anew each time, on which
// each document looks as its own page does and starts a new sheet. Style
// sheets the pages link are read only from the data point, the resources
// and the temporary directory. progress is told the percentage done after
// each document. The page's title is printTitle. Gives the file's path.
Result<std::string> preparePrintFile(Session& session, const std::vector<std::string>& documents,
                                     const std::function<void(int percent)>& progress = {});

// The style sheet at an address a page in pageDirectory writes, when it
// lies in one of the directories allowed.
std::optional<LinkedStyleSheet> readLinkedStyleSheet(std::string_view address, const std::string& pageDirectory,
                                                     const std::vector<std::string>& allowed);

} // namespace quill
