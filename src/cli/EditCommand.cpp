// The object editor without a window: the changes a script gives, applied
// in order to the editor's model and saved with the same pass as the view.
#include "EditCommand.h"

#include "CommandRunner.h"

#include "navigation/DocumentEditor.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/TextUtil.h"
#include "session/Logon.h"
#include "session/Session.h"

#include <functional>
#include <iostream>

namespace quill::cli {
namespace {

// The exit status of an edit that met a change it could not merge:
// nothing was written.
constexpr int kConflictStatus = 3;

using Step = std::function<Status(DocumentEditor&)>;

// A row number as scripts count them, from 1.
std::size_t rowNumber(const std::string& option, const std::string& text) {
    const auto number = text::parseInteger(text);
    if (!number || *number < 1)
        throw CliError{option + " needs a number from 1, not \"" + text + "\""};
    return static_cast<std::size_t>(*number - 1);
}

// FILE[=DISPLAYNAME]: a file whose own name holds "=" is taken whole.
std::pair<std::string, std::string> fileAndName(const std::string& text) {
    const std::size_t equals = text.find('=');
    if (fs::exists(text) || equals == std::string::npos)
        return {text, {}};
    return {text.substr(0, equals), text.substr(equals + 1)};
}

} // namespace

int editCommand(Call& call) {
    const bool noMerge = takeFlag(call.args, "--no-merge");
    call.sessionOptions();
    const Args& args = call.args;
    const std::string usage = "; " + call.usage();
    std::string document;
    std::vector<Step> steps;
    const auto value = [&](std::size_t& i) -> const std::string& {
        if (i + 1 >= args.size())
            throw CliError{args[i] + " needs a value" + usage};
        return args[++i];
    };
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string option = args[i];
        if (option == "--set") {
            const std::string assignment = value(i);
            const std::size_t equals = assignment.find('=');
            if (equals == std::string::npos || equals == 0)
                throw CliError{"--set needs NAME=VALUE, not \"" + assignment + "\""};
            steps.push_back([name = assignment.substr(0, equals), text = assignment.substr(equals + 1)](
                                DocumentEditor& editor) { return editor.setProperty(name, text); });
        } else if (option == "--comment") {
            steps.push_back([text = value(i)](DocumentEditor& editor) { return editor.addComment(text); });
        } else if (option == "--remove-comment") {
            steps.push_back(
                [row = rowNumber(option, value(i))](DocumentEditor& editor) { return editor.removeComment(row); });
        } else if (option == "--attach") {
            steps.push_back([file = fileAndName(value(i))](DocumentEditor& editor) {
                return editor.attachFile(file.first, file.second, AttachmentType::Document);
            });
        } else if (option == "--remove-attachment") {
            steps.push_back(
                [row = rowNumber(option, value(i))](DocumentEditor& editor) { return editor.removeAttachment(row); });
        } else if (option == "--schedule") {
            const std::string date = value(i);
            const std::string time = value(i);
            const std::string event = value(i);
            steps.push_back([=](DocumentEditor& editor) { return editor.setSchedule(date, time, event); });
        } else if (option == "--unschedule") {
            steps.push_back([](DocumentEditor& editor) {
                editor.setScheduled(false);
                return Status::success();
            });
        } else if (option.starts_with("--") || !document.empty()) {
            throw CliError{"unexpected " + option + usage};
        } else {
            document = option;
        }
    }
    // What is left is the document alone, placed in the data point and
    // checked to be shown to the user when the session opens.
    call.args = document.empty() ? Args{} : Args{document};
    Session& session = call.session();
    const std::string placed = call.args[0];
    // The staging directory and the text cache belong to the logon.
    loadUserData(session);
    DocumentEditor editor(session);
    if (const Status opened = editor.open(placed); !opened)
        throw CliError{opened.message()};
    // Every change is checked before anything is saved, so a bad one
    // leaves the document as it was.
    for (const Step& step : steps) {
        if (const Status applied = step(editor); !applied)
            throw CliError{applied.message()};
    }
    // Another user's save between the read and this save is merged unit by
    // unit; what both changed differently is reported and nothing written.
    std::vector<ForeignChange> changes;
    const Status saved = editor.save(noMerge ? ConflictChoice::Ask : ConflictChoice::Merge, &changes);
    if (!saved && (!editor.mergeConflicts().empty() || (noMerge && !changes.empty()))) {
        std::cerr << "quill-cli: " << cp1250::toUtf8(saved.message()) << '\n';
        for (const MergeConflict& conflict : editor.mergeConflicts()) {
            const auto shown = [](const std::optional<EditorRow>& row) {
                return row ? "\"" + row->value + "\"" : std::string("deleted");
            };
            std::cerr << "  "
                      << cp1250::toUtf8(conflict.label + ": yours " + shown(conflict.mine) + ", theirs " +
                                        shown(conflict.theirs))
                      << '\n';
        }
        return kConflictStatus;
    }
    if (!saved)
        throw CliError{saved.message()};
    if (!editor.mergeReport().empty())
        printLine(call.out, editor.mergeReport());
    return 0;
}

} // namespace quill::cli
