#pragma once

#include "platform/Status.h"

#include <chrono>
#include <string>
#include <string_view>
#include <vector>

namespace quill {

// A change of several files that happens whole or not at all, even when
// the process is killed or a file call fails half way.
//
// Before anything is touched, the whole plan is written into an intent
// file in a journal directory on the same file system. Every step until
// the commit can be undone: new files are made under hidden names and
// renamed into place without replacing anything, files to be removed or
// replaced are first renamed aside or copied aside. A failed step undoes
// the steps made. The intent then turns to "commit" in one atomic replace;
// after that only the set-aside files are deleted. Whoever runs
// recoverFileTransactions on the journal later finishes a committed plan
// and undoes one that never reached its commit.
class FileTransaction {
public:
    // Paths inside base are kept relative to it in the intent, so that
    // another computer that mounts the same share elsewhere can recover.
    FileTransaction(std::string journalDirectory, std::string base);

    // A new file (or directory tree) to that holds a copy of from.
    void copy(std::string_view from, std::string_view to);
    // A new file with content.
    void create(std::string_view to, std::string content);
    // An existing file's whole content replaced.
    void replace(std::string_view to, std::string content);
    // A file or directory moved to a name nothing takes yet; across file
    // systems it is copied and the original removed at the commit.
    void move(std::string_view from, std::string_view to);
    // A file or directory removed.
    void remove(std::string_view path);

    bool empty() const { return steps_.empty(); }

    // Carries the plan out. A failure names the file and the reason; what
    // was done is undone by then, unless the message says that the change
    // was made and only a leftover could not be removed (the next
    // recovery removes it).
    Status run();

    struct Step {
        enum class Kind { Copy, Create, Replace, Move, Remove } kind;
        std::string from;    // native path: source of Copy and Move
        std::string to;      // native path: the target, or what Remove removes
        std::string content; // Create, Replace
        bool crossDevice = false;
    };

private:
    std::string journal_;
    std::string base_;
    std::vector<Step> steps_;
};

// An intent older than this whose writer cannot be asked (another
// computer) belongs to a transaction that was killed.
inline constexpr std::chrono::seconds kTransactionStaleAfter{60};

// Finishes or undoes every transaction in journalDirectory whose process
// has ended. Returns how many it found, or a failure naming what could not
// be recovered (its intent stays for the next attempt).
Status recoverFileTransactions(std::string_view journalDirectory, std::string_view base,
                               std::size_t* recovered = nullptr);

// Reads an intent as a recovery does: false for one that is cut off,
// malformed or names a path outside base (a native path). touched gets
// every path a recovery of it may change.
bool readTransactionIntent(std::string_view text, std::string_view base, std::vector<std::string>* touched = nullptr);

// Whether a file name belongs to the program's own bookkeeping (locks,
// interrupted writes, intents and the files they set aside): never a
// document, never listed.
bool isBookkeepingName(std::string_view name);

// Renames from to to only when nothing takes to, atomically where the file
// system can (renameat2 with RENAME_NOREPLACE, else a hard link and an
// unlink). Native paths.
Status renameNoReplace(const std::string& from, const std::string& to);

} // namespace quill
