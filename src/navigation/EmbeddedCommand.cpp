#include "navigation/EmbeddedCommand.h"

#include "documents/Companions.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"

#include <array>
#include <utility>

namespace quill {
namespace {

constexpr std::string_view kCommandPrefix = "COMMAND:";

constexpr std::array<std::pair<std::string_view, EmbeddedCommandKind>, 9> kCommands = {{
    {"FILE:OPEN:", EmbeddedCommandKind::OpenFile},
    {"ATTACHMENT:SEND_MAIL_ATTACHMENT:", EmbeddedCommandKind::SendMailAttachment},
    {"ATTACHMENT:PRINT_ATTACHMENT:", EmbeddedCommandKind::PrintAttachment},
    {"ATTACHMENT:SAVE_ATTACHMENT:", EmbeddedCommandKind::SaveAttachment},
    {"ATTACHMENT:OPEN_ATTACHMENT_DOCUMENT:", EmbeddedCommandKind::OpenAttachmentDocument},
    {"ATTACHMENT:OPEN_ATTACHMENT_TEMPLATE:", EmbeddedCommandKind::OpenAttachmentTemplate},
    {"DATAPOINT:CREATE_NEW_DATAPOINT", EmbeddedCommandKind::CreateDataPoint},
    {"DATAPOINT:CREATE_NEW_USER", EmbeddedCommandKind::CreateUser},
    {"DATAPOINT:DELETE_USER", EmbeddedCommandKind::DeleteUser},
}};

bool isAttachedFile(const std::string& directory, std::string_view stored) {
    if (stored.empty() || !isSafeStoredAttachmentName(stored))
        return false;
    const std::string file = path::join(directory, stored);
    return !fs::isSymlink(file) && fs::isRegularFile(file) && fs::isWithin(file, directory);
}

} // namespace

EmbeddedCommand parseEmbeddedCommand(std::string_view address) {
    if (!cp1250::startsWithNoCase(address, kCommandPrefix))
        return {};
    const std::string_view rest = address.substr(kCommandPrefix.size());
    for (const auto& [prefix, kind] : kCommands) {
        if (cp1250::startsWithNoCase(rest, prefix)) {
            // Text after a data point command's word is ignored.
            const bool attachment =
                cp1250::startsWithNoCase(prefix, "ATTACHMENT:") || kind == EmbeddedCommandKind::OpenFile;
            return {kind, attachment ? std::string(rest.substr(prefix.size())) : std::string()};
        }
    }
    return {EmbeddedCommandKind::Unknown, {}};
}

std::optional<std::string> resolveListedFile(std::string_view directory, std::string_view name) {
    const std::string dir = path::withoutTrailingSeparator(directory);
    if (dir.empty() || !path::isPlainFileName(name) || fs::isSymlink(dir))
        return std::nullopt;
    const std::string file = path::join(dir, name);
    if (fs::isSymlink(file) || !fs::isRegularFile(file) || !fs::isWithin(file, dir))
        return std::nullopt;
    return file;
}

bool takesDisplayName(EmbeddedCommandKind kind) {
    return kind == EmbeddedCommandKind::SendMailAttachment || kind == EmbeddedCommandKind::PrintAttachment ||
           kind == EmbeddedCommandKind::SaveAttachment;
}

std::optional<AttachmentTarget> resolveAttachment(std::string_view attachmentDirectory, std::string_view argument,
                                                  bool withDisplayName) {
    const std::string directory = path::withoutTrailingSeparator(attachmentDirectory);
    if (directory.empty() || fs::isSymlink(directory) || !fs::isDirectory(directory))
        return std::nullopt;
    const auto target = [&](std::string_view stored, std::string_view display) {
        return AttachmentTarget{path::join(directory, stored), std::string(display) + path::extension(stored)};
    };
    if (!withDisplayName) {
        if (isAttachedFile(directory, argument))
            return target(argument, {});
        return std::nullopt;
    }
    for (std::size_t semicolon = argument.find(';'); semicolon != std::string_view::npos;
         semicolon = argument.find(';', semicolon + 1)) {
        const std::string_view stored = argument.substr(0, semicolon);
        if (isAttachedFile(directory, stored))
            return target(stored, argument.substr(semicolon + 1));
    }
    return std::nullopt;
}

} // namespace quill
