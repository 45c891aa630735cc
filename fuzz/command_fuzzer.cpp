// Any address a page may carry: it is a command or not, and an attachment
// command never resolves to anything but a regular file inside the
// document's attachment directory.
#include "navigation/EmbeddedCommand.h"
#include "platform/FileSystem.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <unistd.h>

namespace {

// An attachment directory with a plain file, a name holding ';', a link
// out of it and a sub-directory, beside a file that must stay out of reach.
std::string attachmentDirectory() {
    namespace stdfs = std::filesystem;
    const stdfs::path base = stdfs::temp_directory_path() / ("quill-command-fuzz-" + std::to_string(::getpid()));
    const stdfs::path dir = base / "Documents" / "Attachments.systemfiles";
    stdfs::create_directories(dir / "sub");
    std::ofstream(dir / "plain.txt") << "x";
    std::ofstream(dir / "a;b.pdf") << "x";
    std::ofstream(base / "secret.txt") << "x";
    std::error_code ignored;
    stdfs::create_symlink(base / "secret.txt", dir / "link.txt", ignored);
    return dir.string();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string directory = attachmentDirectory();
    const std::string_view address(reinterpret_cast<const char*>(data), size);
    const quill::EmbeddedCommand command = quill::parseEmbeddedCommand(address);
    if (command.kind == quill::EmbeddedCommandKind::None || command.kind == quill::EmbeddedCommandKind::Unknown)
        return 0;
    for (const bool withName : {false, true}) {
        const auto target = quill::resolveAttachment(directory, command.argument, withName);
        if (!target)
            continue;
        if (!quill::fs::isWithin(target->path, directory) || quill::fs::isSymlink(target->path) ||
            !quill::fs::isRegularFile(target->path) || target->path.find("secret") != std::string::npos)
            std::abort();
    }
    return 0;
}
