#include "NavigationCommands.h"

#include "CliSession.h"

#include "navigation/DocumentList.h"
#include "navigation/ImageNames.h"
#include "navigation/MainTree.h"
#include "navigation/PageRenderer.h"
#include "session/Logon.h"

#include <ostream>

namespace quill::cli {

int treeCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 0, 0, "tree --datapoint DIR --user LOGON [--admin]");
    CliSession cli(options);
    // The templates below SETTINGS live in the local copy of the
    // resources, brought up to date as at a logon.
    loadUserData(cli.session());
    MainTree tree;
    buildMainTree(cli.session(), tree);
    tree.forEach([&out](const TreeNode& node, int depth) {
        printLine(out, std::string(static_cast<std::size_t>(depth) * 2, ' ') + node.caption + "\t" + node.kind + "\t" +
                           node.subKind + "\t" + node.path + "\t" + node.imageName + "\t" + node.url);
    });
    return 0;
}

int renderCommand(Args args, std::ostream& out) {
    const std::string recordFile = takeOption(args, "--record");
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "render --datapoint DIR --user LOGON [--admin] [--record FILE] URL");
    CliSession cli(options);
    Session& session = cli.session();
    // Record pages use the templates of the local copy of the resources.
    loadUserData(session);
    const std::string url = session.variables.expand(args[0], false);
    setActualObjectForAddress(session, url);
    if (!recordFile.empty() && !session.readRecord(recordFile))
        throw CliError{"cannot read record " + recordFile};
    PageRenderer renderer(session);
    const std::string address = renderer.render(url);
    if (!address.empty())
        printLine(out, address);
    return 0;
}

int documentsCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "documents --datapoint DIR --user LOGON FOLDER");
    CliSession cli(options);
    Session& session = cli.session();
    loadUserData(session);
    const ImageNameTable images = loadTreeImageNames(session.context.settings.resourceDirectory);
    for (const DocumentItem& item : listFolderDocuments(session, images, args[0]))
        printLine(out, item.name + "\t" + item.secondField + "\t" + item.typeCaption + "\t" + item.date + "\t" +
                           item.time + "\t" + item.path);
    return 0;
}

int locationCommand(Args args, std::ostream& out) {
    const SessionOptions options = takeSessionOptions(args);
    expectArgs(args, 1, 1, "location --datapoint DIR --user LOGON PATH");
    CliSession cli(options);
    MainTree tree;
    buildMainTree(cli.session(), tree);
    printLine(out, locationText(cli.session(), tree, args[0]));
    return 0;
}

} // namespace quill::cli
