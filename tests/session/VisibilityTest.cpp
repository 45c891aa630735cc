// Which folders and documents the rights show a user: a document's own
// rights and those of every folder it lies in, and only records of a known
// type carry rights.
#include "session/Visibility.h"

#include "SessionFixture.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace quill {
namespace {

class VisibilityTest : public ::testing::Test, public test::SessionFixture {
protected:
    void SetUp() override {
        ASSERT_TRUE(open());
        setRights(root + "Contracts/folder.folders", "Jan Novy (JAN); ");
        setRights(root + "Projects/Ideas.note", "Jan Novy (JAN); ");
        setRights(root + "Projects/Website/folder.folders", "");
        setRights(root + "Projects/Website/Kickoff.meeting", "Anna Novakova (ANNABELLE); anna novak; ");
        // Files of no known type read as the first type would; their lines
        // are no rights.
        std::string lines;
        for (int n = 0; n < 20; ++n)
            lines += "Jan Novy (JAN); \r\n";
        test::writeBytes(root + "Projects/Minutes.history", lines);
        test::writeBytes(root + "Projects/Plan.txt", lines);
    }
    void setRights(const std::string& file, const std::string& rights) {
        Record record;
        ASSERT_EQ(session->readRecord(file, record), RecordRead::Ok);
        ASSERT_TRUE(record.setValue("RIGHTS", rights));
        ASSERT_TRUE(session->writeRecord(record, file));
    }
    std::string root = dataPoint + "/DataPoint.root/";
};

TEST_F(VisibilityTest, ADocumentIsShownWhenItAndEveryFolderAboveItAdmitTheUser) {
    const struct {
        std::string path;
        bool shown;
    } cases[] = {
        {root, true},
        {root + "Projects", true},
        {root + "Projects/Website", true},
        {root + "Projects/Website/Kickoff.meeting", true},
        {root + "Projects/Website/Kickoff.scheduler", true},
        {root + "Projects/Ideas.note", false},
        {root + "Projects/Minutes.history", true},
        {root + "Projects/Plan.txt", true},
        {root + "Contracts", false},
        {root + "Contracts/", false},
        {root + "Contracts/Supplier.contract", false},
        {root + "Contracts/Supplier.comments", false},
        {root + "Contracts/Attachments.systemfiles", false},
        {dataPoint + "/DataPoint.info", true},
        {dataPoint + "/DataPoint.users/ANNA/Reading list.note", true},
    };
    // The same answers with the folders' rights kept for a walk, asked
    // twice so that the second answer comes from what the first read.
    for (const bool cached : {false, true}) {
        std::optional<FolderRightsCache> keep;
        if (cached)
            keep.emplace(*session);
        for (const bool administrator : {false, true}) {
            session->program.isAdministrator = administrator;
            for (int round = 0; round < (cached ? 2 : 1); ++round) {
                for (const auto& c : cases)
                    EXPECT_EQ(isVisibleToUser(*session, c.path), c.shown || administrator)
                        << c.path << (administrator ? " (administrator)" : "") << (cached ? " (kept)" : "");
            }
        }
    }
}

TEST_F(VisibilityTest, KeptRightsLastAsLongAsTheirCacheAndNoLonger) {
    const std::string contract = root + "Contracts/Supplier.contract";
    {
        const FolderRightsCache keep(*session);
        EXPECT_FALSE(isVisibleToUser(*session, contract));
        {
            // A cache made while another lives leaves that one in charge.
            const FolderRightsCache inner(*session);
        }
        setRights(root + "Contracts/folder.folders", "");
        EXPECT_FALSE(isVisibleToUser(*session, contract)) << "answered from what was read first";
    }
    EXPECT_TRUE(isVisibleToUser(*session, contract)) << "read again once the cache is gone";
}

} // namespace
} // namespace quill
