#include "navigation/CommandTarget.h"

#include "documents/Companions.h"
#include "formats/CompanionNames.h"
#include "formats/ObjectTypes.h"
#include "navigation/DocumentCommands.h"
#include "navigation/DocumentList.h"
#include "navigation/MainTree.h"
#include "platform/Cp1250.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "session/Session.h"

#include <vector>

namespace quill {

namespace {

// "1 document", "12 documents and 3 folders": what goes with a folder, in
// the language's words; "" for an empty folder.
std::string contentsText(Session& session, const FolderContents& contents) {
    const auto counted = [&](std::size_t count, const char* one, const char* many) {
        if (count == 0)
            return std::string();
        if (count == 1)
            return session.texts.lookup("GUI_FORM", one, "Questions");
        return fillInText(session.texts.lookup("GUI_FORM", many, "Questions"), {{"$COUNT$", std::to_string(count)}});
    };
    const std::string documents = counted(contents.documents, "CONTENTS_DOCUMENT", "CONTENTS_DOCUMENTS");
    const std::string folders = counted(contents.folders, "CONTENTS_FOLDER", "CONTENTS_FOLDERS");
    if (documents.empty() || folders.empty())
        return documents + folders;
    return fillInText(session.texts.lookup("GUI_FORM", "CONTENTS_BOTH", "Questions"),
                      {{"$DOCUMENTS$", documents}, {"$FOLDERS$", folders}});
}

} // namespace

CommandTarget pickCommandTarget(const TreeNode* focused, const DocumentItem* selected) {
    if (!focused)
        return {};
    if (selected && !selected->path.empty())
        return {TargetKind::Document, selected->path, selected->name, false};
    if (focused->kind == NodeKind::Trash)
        return {TargetKind::Trash, focused->path, focused->caption, false};
    if (isFolderKind(focused->kind) && !focused->path.empty())
        return {TargetKind::Folder, focused->path, focused->caption, focused->kind == NodeKind::TopFolder};
    return {};
}

FolderContents countFolderContents(const TypeTables& tables, std::string_view folder) {
    FolderContents contents;
    // A list of directories still to read rather than recursion: a share
    // may nest deeper than the stack allows.
    std::vector<std::string> pending{std::string(folder)};
    while (!pending.empty()) {
        const std::string directory = std::move(pending.back());
        pending.pop_back();
        const auto entries = fs::list(directory);
        if (!entries)
            continue;
        for (const fs::Entry& entry : *entries) {
            if (entry.isSymlink)
                continue;
            if (entry.isDirectory) {
                if (cp1250::equalsNoCase(entry.name, kAttachmentDirectoryName))
                    continue;
                ++contents.folders;
                pending.push_back(path::join(directory, entry.name));
            } else if (isDocumentEntry(tables, entry)) {
                ++contents.documents;
            }
        }
    }
    return contents;
}

DeleteQuestion deleteQuestion(Session& session, const CommandTarget& target, bool forGood) {
    const auto question = [&](std::string_view key) { return session.texts.lookup("GUI_FORM", key, "Questions"); };
    DeleteQuestion asked;
    switch (target.kind) {
    case TargetKind::None: return asked;
    case TargetKind::Trash:
        asked.action = DeleteAction::EmptyTrash;
        asked.text = question("QUESTION_3");
        asked.warning = true;
        asked.defaultYes = countFolderContents(session.tables, target.path).documents == 0;
        return asked;
    case TargetKind::Document:
    case TargetKind::Folder: break;
    }
    if (target.kind == TargetKind::Folder && target.topFolder)
        return asked;
    const bool definitely = forGood || liesInTrash(session, target.path);
    asked.action = definitely ? DeleteAction::DeleteForGood : DeleteAction::MoveToTrash;
    const std::string prefix = definitely ? "QUESTION_1_" : "QUESTION_2_";
    // What is deleted for good cannot be had back: a hasty Enter says No.
    asked.defaultYes = !definitely;
    if (target.kind == TargetKind::Document) {
        asked.text = fillInText(question(prefix + "DOCUMENT"), {{"$TARGET$", target.displayName}});
        return asked;
    }
    const FolderContents contents = countFolderContents(session.tables, target.path);
    const std::string holds = contentsText(session, contents);
    asked.text = fillInText(question(prefix + (holds.empty() ? "EMPTY_FOLDER" : "FOLDER")),
                            {{"$TARGET$", target.displayName}, {"$CONTENTS$", holds}});
    // A folder leaves with everything in it: a warning, and No unless it
    // holds no documents.
    asked.warning = true;
    asked.defaultYes = asked.defaultYes && contents.documents == 0;
    return asked;
}

std::string fillInText(std::string_view text, std::initializer_list<TextValue> values) {
    std::string filled;
    filled.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const TextValue* found = nullptr;
        if (text[at] == '$') {
            for (const TextValue& value : values) {
                if (!value.marker.empty() && text.substr(at, value.marker.size()) == value.marker) {
                    found = &value;
                    break;
                }
            }
        }
        if (found) {
            filled += found->value;
            at += found->marker.size();
        } else {
            filled += text[at++];
        }
    }
    return filled;
}

} // namespace quill
