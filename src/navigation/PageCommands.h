#pragma once

#include "navigation/EmbeddedCommand.h"

#include <string>
#include <string_view>

namespace quill {

class Record;
class Session;
class Shell;

// What is left for the window once a page's request has run.
enum class PageStep {
    Done,             // nothing more to do
    ShowAgain,        // a form was stored: the page is shown anew
    Warn,             // the warning `warning` of "GUI_FORM", followed by detail
    ChooseSaveTarget, // the user picks where a copy of file goes (named displayName)
    ConfirmPrint,     // the user confirms printing file on printer
    MakeFromTemplate, // a new file is made from the template file
    DataPointCommand, // the window's wizard for command
};

struct PageCommandStep {
    PageStep step = PageStep::Done;
    int warning = 0;
    std::string detail;
    EmbeddedCommandKind command = EmbeddedCommandKind::None;
    std::string file;
    std::string displayName;
    std::string printer;

    bool operator==(const PageCommandStep&) const = default;
};

// Runs what a page asks for. With a form body: stores the posted form.
// Otherwise the command of the link: opens a file of the directory a
// listing page shows (the actual object's), or opens, mails, saves or
// prints an attached file of documentPath (the document whose page is
// shown, empty for none). What needs the user's answer first comes back
// as the step the window takes; a warning the user is to see comes back
// as a Warn step. shownRecord is the record the page showed last: a form
// is stored into its file, and the names of attached files are expanded
// with its fields.
PageCommandStep runPageCommand(Session& session, std::string_view address, std::string_view formBody,
                               std::string_view documentPath, const Record& shownRecord);

// Saves a copy of an attached file where the user chose, making the
// directories on the way.
PageCommandStep saveAttachmentCopy(const std::string& file, const std::string& target);

// Prints the attached file on the printer the user confirmed; the job is
// named after displayName.
PageCommandStep printAttachment(Shell& shell, const std::string& file, const std::string& printer,
                                const std::string& displayName);

} // namespace quill
