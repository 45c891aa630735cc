#include "platform/FileTransaction.h"

#include "TestSupport.h"
#include "platform/FileSystem.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <unistd.h>

namespace quill {
namespace {

namespace stdfs = std::filesystem;
using test::TempDir;

// Every name in a tree, the program's hidden files included, so that a
// leftover cannot hide from a comparison.
std::vector<std::string> treeOf(const std::string& root) {
    std::vector<std::string> names;
    for (const auto& entry : stdfs::recursive_directory_iterator(root))
        names.push_back(stdfs::relative(entry.path(), root).string() +
                        (entry.is_directory() ? "/" : "=" + test::readBytes(entry.path().string())));
    std::sort(names.begin(), names.end());
    return names;
}

struct Fixture {
    TempDir dir;
    std::string work = dir / "work";
    std::string journal = dir / "work/journal";
    Fixture() {
        stdfs::create_directories(work + "/a");
        stdfs::create_directories(work + "/b");
        stdfs::create_directories(journal);
        test::writeBytes(work + "/a/doc.note", "record");
        test::writeBytes(work + "/a/doc.comments", "comments");
        test::writeBytes(work + "/a/old.note", "old");
    }
    FileTransaction transaction() const { return FileTransaction(journal, work); }
};

TEST(FileTransactionTest, EachKindOfStepDoesWhatItSaysAndLeavesNothingBehind) {
    struct Row {
        const char* why;
        std::function<void(FileTransaction&, const std::string&)> plan;
        std::vector<std::string> expected; // the tree below work, journal apart
    };
    const std::vector<Row> rows = {
        {"a move renames",
         [](FileTransaction& t, const std::string& w) { t.move(w + "/a/doc.note", w + "/b/doc.note"); },
         {"a/", "a/doc.comments=comments", "a/old.note=old", "b/", "b/doc.note=record"}},
        {"a copy keeps the source",
         [](FileTransaction& t, const std::string& w) { t.copy(w + "/a/doc.note", w + "/b/new/doc.note"); },
         {"a/", "a/doc.comments=comments", "a/doc.note=record", "a/old.note=old", "b/", "b/new/",
          "b/new/doc.note=record"}},
        {"create, replace and remove together",
         [](FileTransaction& t, const std::string& w) {
             t.create(w + "/b/made.note", "made");
             t.replace(w + "/a/doc.note", "changed");
             t.remove(w + "/a/old.note");
         },
         {"a/", "a/doc.comments=comments", "a/doc.note=changed", "b/", "b/made.note=made"}},
        {"a directory moves whole",
         [](FileTransaction& t, const std::string& w) { t.move(w + "/a", w + "/b/a"); },
         {"b/", "b/a/", "b/a/doc.comments=comments", "b/a/doc.note=record", "b/a/old.note=old"}},
    };
    for (const Row& row : rows) {
        Fixture f;
        FileTransaction t = f.transaction();
        row.plan(t, f.work);
        ASSERT_TRUE(t.run().ok()) << row.why;
        stdfs::remove_all(f.journal);
        EXPECT_EQ(treeOf(f.work), row.expected) << row.why;
    }
}

// A plan that cannot be carried out whole changes nothing: the steps made
// before the failing one are undone, and no intent stays behind.
TEST(FileTransactionTest, AFailureOrARefusalChangesNothing) {
    struct Row {
        const char* why;
        std::function<void(FileTransaction&, const std::string&)> plan;
        const char* message;
    };
    const std::vector<Row> rows = {
        {"a target that exists is never replaced",
         [](FileTransaction& t, const std::string& w) {
             t.move(w + "/a/doc.comments", w + "/b/doc.comments");
             t.move(w + "/a/doc.note", w + "/a/old.note");
         },
         "exists already"},
        {"a source that is missing",
         [](FileTransaction& t, const std::string& w) {
             t.create(w + "/b/x.note", "x");
             t.move(w + "/a/missing.note", w + "/b/missing.note");
         },
         "cannot find"},
        {"a step that fails half way undoes the steps before it",
         [](FileTransaction& t, const std::string& w) {
             t.move(w + "/a/doc.note", w + "/b/doc.note");
             t.replace(w + "/a/old.note", "new");
             t.create(w + "/b/made.note", "made");
             // A directory cannot go into itself.
             t.move(w + "/a", w + "/a/inner/a");
         },
         "nothing was changed"},
    };
    for (const Row& row : rows) {
        Fixture f;
        const auto before = treeOf(f.work);
        FileTransaction t = f.transaction();
        row.plan(t, f.work);
        const Status result = t.run();
        ASSERT_FALSE(result.ok()) << row.why;
        EXPECT_NE(result.message().find(row.message), std::string::npos) << row.why << ": " << result.message();
        EXPECT_EQ(treeOf(f.work), before) << row.why;
    }
}

// The intent a program of this computer left in the journal, in the phase
// given, with its steps; by default one that has ended.
void writeIntent(const std::string& journal, const std::string& id, const std::string& phase, const std::string& steps,
                 long pid = test::endedProcessId()) {
    test::writeBytes(journal + "/.~quill-txn-" + id + ".intent",
                     "quill-transaction 1\nid\t" + id + "\nhost\t" + test::hostName() + "\npid\t" +
                         std::to_string(pid) + "\nphase\t" + phase + "\nstep\t" + steps + "\nend\n");
}

// What a killed program leaves: an intent and the steps up to some point
// done. The next recovery puts everything back before the commit and
// finishes it after.
TEST(FileTransactionTest, RecoveryUndoesAnUncommittedChangeAndFinishesACommittedOne) {
    const std::string id = "0123456789abcdef";
    struct Row {
        const char* why;
        bool committed;
        int movesDone; // of the two moves, how many happened before the kill
        bool removalDone;
        std::vector<std::string> expected;
    };
    const std::vector<std::string> untouched = {"a/", "a/doc.comments=comments", "a/doc.note=record", "a/old.note=old",
                                                "b/"};
    const std::vector<Row> rows = {
        {"killed before any step", false, 0, false, untouched},
        {"killed after the first move", false, 1, false, untouched},
        {"killed after every step, before the commit", false, 2, true, untouched},
        {"killed after the commit", true, 2, true, {"a/", "b/", "b/doc.comments=comments", "b/doc.note=record"}},
    };
    for (const Row& row : rows) {
        Fixture f;
        const std::string w = f.work;
        if (row.movesDone >= 1)
            stdfs::rename(w + "/a/doc.note", w + "/b/doc.note");
        if (row.movesDone >= 2)
            stdfs::rename(w + "/a/doc.comments", w + "/b/doc.comments");
        if (row.removalDone)
            stdfs::rename(w + "/a/old.note", w + "/a/.~quill-txn-" + id + "-2.gone");
        writeIntent(f.journal, id, row.committed ? "commit" : "prepare",
                    "move\t0\t@/a/doc.note\t@/b/doc.note\nstep\tmove\t0\t@/a/doc.comments\t@/b/doc.comments\n"
                    "step\tremove\t0\t\t@/a/old.note");
        std::size_t recovered = 0;
        ASSERT_TRUE(recoverFileTransactions(f.journal, f.work, &recovered).ok()) << row.why;
        EXPECT_EQ(recovered, 1u) << row.why;
        stdfs::remove_all(f.journal);
        EXPECT_EQ(treeOf(f.work), row.expected) << row.why;
    }
}

// Where renames cannot refuse to replace, a file is linked under its new
// name and then unlinked from the old one; a kill between the two leaves
// it under both. A share may show the two names as two files of equal
// bytes and time rather than one inode, so each row runs both ways.
TEST(FileTransactionTest, RecoveryUndoesALinkCutShortBeforeTheUnlink) {
    const std::string id = "0123456789abcdef";
    const std::string stage = "/.~quill-txn-" + id + "-0.";
    struct Row {
        const char* why;
        const char* step;
        std::function<void(const std::string& w, const std::function<void(std::string, std::string)>& twin)> cut;
    };
    const std::vector<Row> rows = {
        {"a move", "move\t0\t@/a/doc.note\t@/b/doc.note",
         [](const std::string& w, const auto& twin) { twin(w + "/a/doc.note", w + "/b/doc.note"); }},
        {"a copy", "copy\t0\t@/a/doc.note\t@/b/doc.note",
         [&](const std::string& w, const auto& twin) {
             stdfs::copy_file(w + "/a/doc.note", w + "/b" + stage + "new");
             twin(w + "/b" + stage + "new", w + "/b/doc.note");
         }},
        {"a move to another disk", "move\t1\t@/a/doc.note\t@/b/doc.note",
         [&](const std::string& w, const auto& twin) {
             stdfs::copy_file(w + "/a/doc.note", w + "/b" + stage + "new");
             twin(w + "/b" + stage + "new", w + "/b/doc.note");
         }},
        {"a removal being put back", "remove\t0\t\t@/a/old.note",
         [&](const std::string& w, const auto& twin) {
             stdfs::rename(w + "/a/old.note", w + "/a" + stage + "gone");
             twin(w + "/a" + stage + "gone", w + "/a/old.note");
         }},
    };
    const auto link = [](std::string from, std::string to) { stdfs::create_hard_link(from, to); };
    const auto copy = [](std::string from, std::string to) {
        stdfs::copy_file(from, to);
        stdfs::last_write_time(to, stdfs::last_write_time(from));
    };
    for (const Row& row : rows) {
        for (const bool asLink : {true, false}) {
            Fixture f;
            const auto before = treeOf(f.work);
            row.cut(f.work, asLink ? std::function<void(std::string, std::string)>(link) : copy);
            writeIntent(f.journal, id, "prepare", row.step);
            ASSERT_TRUE(recoverFileTransactions(f.journal, f.work, nullptr).ok()) << row.why;
            // A second recovery, as after a kill during the first, finds nothing more to do.
            ASSERT_TRUE(recoverFileTransactions(f.journal, f.work, nullptr).ok()) << row.why;
            EXPECT_EQ(treeOf(f.work), before) << row.why << (asLink ? ", linked" : ", two files");
        }
    }
}

// An intent of a program that is still running is its own business, and
// one cut off while it was written planned nothing that happened.
TEST(FileTransactionTest, RecoveryLeavesRunningAndUnfinishedIntentsAlone) {
    Fixture f;
    stdfs::rename(f.work + "/a/doc.note", f.work + "/b/doc.note");
    const std::string running = f.journal + "/.~quill-txn-1111.intent";
    writeIntent(f.journal, "1111", "prepare", "move\t0\t@/a/doc.note\t@/b/doc.note", ::getppid());
    test::writeBytes(f.journal + "/.~quill-txn-2222.intent", "quill-transaction 1\nid\t2222\nhost\th");
    std::size_t recovered = 9;
    ASSERT_TRUE(recoverFileTransactions(f.journal, f.work, &recovered).ok());
    EXPECT_EQ(recovered, 0u);
    EXPECT_TRUE(stdfs::exists(f.work + "/b/doc.note"));
    EXPECT_TRUE(stdfs::exists(running));
}

TEST(FileTransactionTest, TheProgramsOwnFilesAreNeverListed) {
    Fixture f;
    FileTransaction t = f.transaction();
    t.remove(f.work + "/a/old.note");
    ASSERT_TRUE(t.run().ok());
    test::writeBytes(f.work + "/a/.~quill-txn-ab-0.gone", "left");
    const auto entries = fs::list(f.work + "/a");
    ASSERT_TRUE(entries);
    std::vector<std::string> names;
    for (const fs::Entry& entry : *entries)
        names.push_back(entry.name);
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"doc.comments", "doc.note"}));
}

} // namespace
} // namespace quill
