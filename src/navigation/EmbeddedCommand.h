#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace quill {

// The commands a page may carry in a link ("COMMAND:..."), which the page
// pane runs instead of navigating.
enum class EmbeddedCommandKind {
    None,    // not a command: the pane navigates
    Unknown, // "COMMAND:" with no known command: nothing runs
    SendMailAttachment,
    PrintAttachment,
    SaveAttachment,
    OpenAttachmentDocument,
    OpenAttachmentTemplate,
    OpenFile, // a file of the directory a listing page shows
    CreateDataPoint,
    CreateUser,
    DeleteUser,
};

struct EmbeddedCommand {
    EmbeddedCommandKind kind = EmbeddedCommandKind::None;
    // What follows the command's prefix: for the attachment commands the
    // stored name, then for some ";" and the display name.
    std::string argument;
};

// The command an address (decoded as the pane hands it over) stands for.
// Prefixes are compared in any case, each over its own length.
EmbeddedCommand parseEmbeddedCommand(std::string_view address);

// The file name of a listing page's open command, inside directory: a plain
// name of a regular file there, not a link.
std::optional<std::string> resolveListedFile(std::string_view directory, std::string_view name);

// Whether the command's argument carries a display name after ";".
bool takesDisplayName(EmbeddedCommandKind kind);

// An attached file a command may act on.
struct AttachmentTarget {
    std::string path;        // inside the attachment directory
    std::string displayName; // the display name and the stored name's extension
};

// Resolves an attachment command's argument inside attachmentDirectory
// (the document's Attachments.systemfiles). Names may hold ";" themselves:
// the stored name is the shortest part before a ";" that names a regular
// file there. Nothing else resolves: a name that could lead out of the
// directory, a symbolic link, a directory, a missing file.
std::optional<AttachmentTarget> resolveAttachment(std::string_view attachmentDirectory, std::string_view argument,
                                                  bool withDisplayName);

} // namespace quill
