#include "NavigationCommands.h"

#include "CommandRunner.h"

#include "navigation/DocumentList.h"
#include "navigation/Find.h"
#include "navigation/ImageNames.h"
#include "navigation/MainTree.h"
#include "navigation/PageRenderer.h"
#include "navigation/PrintFile.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "session/Logon.h"
#include "session/Visibility.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <ostream>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

namespace quill::cli {

int treeCommand(Call& call) {
    Session& session = call.session();
    // The templates below SETTINGS live in the local copy of the
    // resources, brought up to date as at a logon.
    loadUserData(session);
    MainTree tree;
    buildMainTree(session, tree);
    tree.forEach([&out = call.out](const TreeNode& node, int depth) {
        printLine(out, std::string(static_cast<std::size_t>(depth) * 2, ' ') + node.caption + "\t" +
                           std::string(keyOf(node.kind)) + "\t" + node.subKind + "\t" + node.path + "\t" +
                           node.imageName + "\t" + node.url);
    });
    return 0;
}

int renderCommand(Call& call) {
    const std::string recordFile = takeOption(call.args, "--record");
    Session& session = call.session();
    // Record pages use the templates of the local copy of the resources.
    loadUserData(session);
    // The address is expanded with the user's own fields, as the window
    // does; the page shows those or the fields of the record asked for.
    Record record;
    ignoreOutcome(session.readRecord(session.context.userRecordFile, record));
    const std::string url = session.variables.expand(call.args[0], record, false);
    if (fs::exists(url))
        expectShown(session, url);
    setActualObjectForAddress(session, url);
    if (!recordFile.empty() && session.readRecord(recordFile, record) != RecordRead::Ok)
        throw CliError{"cannot read record " + recordFile};
    PageRenderer renderer(session);
    const std::string address = renderer.render(url, record);
    if (!address.empty())
        printLine(call.out, address);
    return 0;
}

int documentsCommand(Call& call) {
    Session& session = call.session();
    loadUserData(session);
    const ImageNameTable images = loadTreeImageNames(session.context.settings.resourceDirectory);
    for (const DocumentItem& item : listFolderDocuments(session, images, call.args[0]))
        printLine(call.out, item.name + "\t" + item.secondField + "\t" + item.typeCaption + "\t" + item.date + "\t" +
                                item.time + "\t" + item.path);
    return 0;
}

int locationCommand(Call& call) {
    Session& session = call.session();
    MainTree tree;
    buildMainTree(session, tree, FolderDepth::TopFolders);
    printLine(call.out, locationText(session, tree, call.args[0]));
    return 0;
}

int findCommand(Call& call) {
    const std::string kindText = takeOption(call.args, "--kind", "0");
    std::string folder = takeOption(call.args, "--folder");
    if (!folder.empty())
        folder = absolutePath(folder); // the tree and its locations name folders in full
    const bool noSubfolders = takeFlag(call.args, "--no-subfolders");
    Session& session = call.session();
    loadUserData(session);
    // Where to search and how to name the places: the top folders are all
    // the tree gives a search.
    MainTree tree;
    buildMainTree(session, tree, FolderDepth::TopFolders);
    const FolderRightsCache rights(session);
    const std::vector<FindKind> kinds = findKinds(session);
    const auto kind = text::parseInteger(kindText);
    if (!kind || *kind < 0 || static_cast<std::size_t>(*kind) >= kinds.size())
        throw CliError{"--kind takes a number from 0 to " + std::to_string(kinds.size() - 1) + ", not " + kindText};
    // The first kind is every file; the others narrow to their object type.
    const std::string filter = *kind == 0 ? std::string() : searchFilterFor(session.tables, kinds[*kind].caption);
    const std::vector<SearchScope> scopes =
        folder.empty() ? topFolderScopes(tree) : std::vector<SearchScope>{{folder, !noSubfolders}};
    FolderSearch search(call.args[0], filter);
    search.run(scopes, [&](const std::string& document) {
        if (!isVisibleToUser(session, document))
            return;
        const FoundDocument found = describeFound(session, tree, document);
        printLine(call.out,
                  found.name + "\t" + found.owner + "\t" + found.date + "\t" + found.location + "\t" + found.path);
    });
    return 0;
}

namespace {

// A PDF needs the web engine, which only the windowed program links: quill
// beside quill-cli writes it without a window. What it says goes to a
// scratch file that is shown only when it fails, so that the web engine's
// start-up talk stays out of scripts' output.
void writePdf(const std::string& printFile, const std::string& pdf) {
    const std::string quill = path::join(executableDirectory(), "quill");
    if (!fs::isRegularFile(quill))
        throw CliError{"--pdf needs the windowed program quill beside quill-cli, and it is not there (" + quill + ")"};
    const std::string program = fs::native(quill).string();
    const std::string page = fs::native(printFile).string();
    const std::string target = fs::native(pdf).string();
    const char* argv[] = {program.c_str(), "--print-pdf", page.c_str(), target.c_str(), nullptr};
    std::string said = (std::filesystem::temp_directory_path() / "quill-pdf-XXXXXX").string();
    const int output = ::mkstemp(said.data());
    if (output < 0)
        throw CliError{"cannot make a scratch file in " + std::filesystem::temp_directory_path().string()};
    ::unlink(said.c_str());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, output, STDOUT_FILENO);
    posix_spawn_file_actions_adddup2(&actions, output, STDERR_FILENO);
    pid_t child = 0;
    const int spawned =
        ::posix_spawn(&child, program.c_str(), &actions, nullptr, const_cast<char* const*>(argv), environ);
    posix_spawn_file_actions_destroy(&actions);
    int status = 0;
    pid_t waited = spawned == 0 ? ::waitpid(child, &status, 0) : -1;
    while (waited == -1 && spawned == 0 && errno == EINTR)
        waited = ::waitpid(child, &status, 0);
    const bool written = waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (!written) {
        std::string talk;
        char buffer[4096];
        ::lseek(output, 0, SEEK_SET);
        for (ssize_t got; (got = ::read(output, buffer, sizeof buffer)) > 0;)
            talk.append(buffer, static_cast<std::size_t>(got));
        std::cerr << talk;
    }
    ::close(output);
    if (!written)
        throw CliError{"the print file could not be written as PDF to " + pdf};
}

} // namespace

int printFileCommand(Call& call) {
    std::string pdf = takeOption(call.args, "--pdf");
    call.arguments();
    if (!pdf.empty())
        pdf = absolutePath(pdf);
    Session& session = call.session();
    const Args& args = call.args;
    loadUserData(session);
    const std::string folder = absolutePath(args[0]);
    std::vector<std::string> documents;
    const std::vector<PrintableDocument> printable = printableDocuments(session, folder);
    if (args.size() == 1) {
        for (const PrintableDocument& document : printable)
            documents.push_back(document.path);
    }
    for (std::size_t i = 1; i < args.size(); ++i) {
        const std::string wanted =
            args[i].find('/') == std::string::npos ? path::join(folder, args[i]) : absolutePath(args[i]);
        const auto found = std::find_if(printable.begin(), printable.end(),
                                        [&](const PrintableDocument& d) { return d.path == wanted; });
        if (found == printable.end())
            throw CliError{"no document " + args[i] + " in " + folder};
        documents.push_back(found->path);
    }
    // Printed as the document list shows them, whatever order they were named in.
    documents = inListOrder(printable, documents);
    if (documents.empty())
        throw CliError{"there is no document to print in " + folder};
    const Result<std::string> prepared = preparePrintFile(session, documents);
    if (!prepared)
        throw CliError{prepared.message()};
    const std::string& printFile = prepared.value();
    if (!pdf.empty())
        writePdf(printFile, pdf);
    printLine(call.out, printFile);
    return 0;
}

} // namespace quill::cli
