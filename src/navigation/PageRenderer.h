#pragma once

#include "formats/Record.h"

#include <string>
#include <string_view>

namespace quill {

class Session;

// An address the page pane shows as it is: one that begins, in any case,
// with "HTTP://", "WWW." or "FILE://".
bool isOutsideAddress(std::string_view address);

// For a page shown by its address alone, as the main window shows a node's:
// the actual object becomes the directory the address names or lies in.
void setActualObjectForAddress(Session& session, std::string_view url);

// Turns what a node or item stands for into something the page pane can
// show: outside addresses as they are; page templates, record files and
// directories (listed with the data point's listing template, where it has
// one) as a page written into the scratch directory.
class PageRenderer {
public:
    explicit PageRenderer(Session& session) : session_(session) {}

    // The address for the page pane: url itself, the page written, or ""
    // when url names nothing. url is expanded by the caller. A record file's
    // page shows the fields of the record, then of each of its companions.
    std::string render(std::string_view url);

    // The same, where page templates and directory listings show the fields
    // of pageRecord (the main window shows a node's page with the user's
    // own record).
    std::string render(std::string_view url, const Record& pageRecord);

    // The page written last; the next rendering deletes it.
    const std::string& lastPage() const { return lastPage_; }
    // The record whose fields the page rendered last showed last (a record
    // page's last companion, else pageRecord); a form posted from the page
    // is stored into its file. Empty for a page that shows no record.
    const Record& shownRecord() const { return shownRecord_; }

private:
    // Appends the lines of template, each expanded with the fields of
    // record (none when it is null), to page; false when the template cannot
    // be read.
    bool appendTemplate(const std::string& templateFile, const Record* record, bool blankOnEmptyData,
                        std::string& page);
    std::string renderWith(std::string_view url, const Record* pageRecord);
    std::string freshScratchName(const std::string& directory) const;

    Session& session_;
    std::string lastPage_;
    Record shownRecord_;
};

} // namespace quill
